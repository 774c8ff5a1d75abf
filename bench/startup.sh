#!/usr/bin/env bash
# Start-up of TesmoChat next to a bare Qt Quick window, on a virtual X server of
# 1366x768, against the local server (nothing leaves 127.0.0.1).
#
#   bash bench/startup.sh [ROUNDS [SETTLE_SECONDS]]     (defaults 5 and 10)
#
# Needs a build in build/ (targets startup_bench, startup_bare, startup_look,
# startup_program, tesmo-localserver). startup_look draws what the login window
# draws and nothing more: the share of the look in the program's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESMO_BUILD_DIR:-build}

work=$(mktemp -d)
# shellcheck source=scripts/localserver.sh
source scripts/localserver.sh
cleanup() {
  stop_localserver
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck source=bench/fresh-user.sh
source bench/fresh-user.sh

# Nobody scans the QR code in the first seconds of a start: the demo world without
# its automatic confirmation, so that the memory read 10 s after the first frame is
# the login window's, not the main window's after a login.
sed 's/"qrautoconfirm": *true/"qrautoconfirm": false/' tools/localserver/demo-world.json \
  > "$work/world.json"
grep -q '"qrautoconfirm": false' "$work/world.json"
ln -s "$PWD/tools/localserver/demo-files" "$work/demo-files"
start_localserver "$build/tools/localserver/tesmo-localserver" "$work/server" "$work/server.log" \
  --world "$work/world.json"

# A session bus as on a desktop: without one, Qt's accessibility bridge starts
# dbus-launch and waits for it, in both programs.
xvfb-run -a -s "-screen 0 1366x768x24" dbus-run-session -- \
  "$build/bench/startup_bench" --look "$build/bench/startup_look" \
  "$build/bench/startup_bare" "$build/client/startup_program" "$@" \
  2> "$work/programs.log" || { cat "$work/programs.log" >&2; exit 1; }
