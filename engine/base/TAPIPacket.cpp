#include "base/TAPIPacket.h"

TAPIPacket::TAPIPacket() : code(0), id(0), a(0), b(0), state(0) {}

TAPIPacket::~TAPIPacket() = default;
