#!/usr/bin/env bash
# The open conversation receiving texts, next to a bare ListView, on a virtual X
# server of 1366x768, against the local server (nothing leaves 127.0.0.1).
#
#   bash bench/conversation_scale.sh [--messages N] [--warmup W] [--order bare-first|program-first]
#                                    [--log FILE]
#
# Needs a build in build/ (targets conversation_scale_bench, tesmo-localserver).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESMO_BUILD_DIR:-build}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The network check pings: a stub answers at once and nothing is sent.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/ping"
chmod +x "$work/bin/ping"
export PATH="$work/bin:$PATH"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

xvfb-run -a -s "-screen 0 1366x768x24" dbus-run-session -- \
  "$build/client/conversation_scale_bench" "$@"
