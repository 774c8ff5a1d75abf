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

# shellcheck source=bench/fresh-user.sh
source bench/fresh-user.sh

xvfb-run -a -s "-screen 0 1366x768x24" dbus-run-session -- \
  "$build/client/conversation_scale_bench" "$@"
