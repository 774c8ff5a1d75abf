#include "shell/UIMessage.h"

std::atomic<int> UIMessage::s_live{0};

UIMessage::UIMessage() { ++s_live; }

UIMessage::~UIMessage() { --s_live; }

int UIMessage::liveCount() { return s_live.load(); }
