#!/usr/bin/env bash
# Installs what is missing, builds, and starts TesmoChat.
#
#   bash scripts/run.sh                      starts the local server with the demo world
#                                            and points TesmoChat at it
#   bash scripts/run.sh --server HOST:PORT   uses that server instead
#
# Further arguments are passed to the program (Qt's own options, e.g. -platform).
set -euo pipefail
cd "$(dirname "$0")/.."

server=""
if [ "${1:-}" = "--server" ]; then
  if [ -z "${2:-}" ]; then
    echo "usage: bash scripts/run.sh [--server HOST:PORT] [program arguments]" >&2
    exit 2
  fi
  server="$2"
  shift 2
fi

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target TesmoChat tesmo-localserver

# The web engine refuses to run as root inside its sandbox.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

if [ -n "$server" ]; then
  export TESMO_SERVER="$server"
  exec build/client/TesmoChat "$@"
fi

# The local server keeps its CA, messages and uploads per user, so the program keeps
# trusting the same CA from one run to the next.
state="${XDG_STATE_HOME:-${HOME:-/tmp}/.local/state}/tesmochat-localserver"
mkdir -p "$state"
log="$state/server.log"
# shellcheck source=scripts/localserver.sh
source scripts/localserver.sh
trap stop_localserver EXIT
start_localserver build/tools/localserver/tesmo-localserver "$state" "$log"
echo "Local server at $TESMO_SERVER (log: $log, control: $(sed -n 's/^CONTROL //p' "$log"))"
echo "CA file: $TESMO_CA_FILE"
# The login window offers the QR code only.
grep -E '^QR login signs in as' "$log"

status=0
build/client/TesmoChat "$@" || status=$?
exit "$status"
