#!/usr/bin/env bash
# Start-up of TesmoChat next to a bare Qt Quick window, on a virtual X server of
# 1366x768, against the local server (nothing leaves 127.0.0.1).
#
#   bash bench/startup.sh [ROUNDS [SETTLE_SECONDS]]     (defaults 5 and 10)
#
# Needs a build in build/ (targets startup_bench, startup_bare, startup_program,
# tesmo-localserver).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TESMO_BUILD_DIR:-build}

work=$(mktemp -d)
server_pid=""
cleanup() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2> /dev/null || true
    wait "$server_pid" 2> /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh user: settings, data and runtime folders of its own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The network check pings: a stub answers at once and nothing is sent.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/ping"
chmod +x "$work/bin/ping"
export PATH="$work/bin:$PATH"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

log="$work/server.log"
"$build/tools/localserver/tesmo-localserver" --state "$work/server" < /dev/null > "$log" 2>&1 &
server_pid=$!
for _ in $(seq 1 300); do
  grep -q '^ready$' "$log" && break
  sleep 0.1
done
if ! grep -q '^ready$' "$log"; then
  cat "$log" >&2
  echo "the local server did not get ready" >&2
  exit 1
fi
TESMO_SERVER="$(sed -n 's/^TESMO_SERVER=//p' "$log")"
TESMO_CA_FILE="$(sed -n 's/^TESMO_CA_FILE=//p' "$log")"
export TESMO_SERVER TESMO_CA_FILE

xvfb-run -a -s "-screen 0 1366x768x24" \
  "$build/bench/startup_bench" "$build/bench/startup_bare" "$build/client/startup_program" "$@" \
  2> "$work/programs.log" || { cat "$work/programs.log" >&2; exit 1; }
