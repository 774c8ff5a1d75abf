#include "util/Plugin.h"

Plugin::Plugin() {}
Plugin::Plugin(const Plugin&) {}
Plugin& Plugin::operator=(const Plugin&) { return *this; }
Plugin& Plugin::operator=(Plugin&&) noexcept { return *this; }
