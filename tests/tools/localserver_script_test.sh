#!/usr/bin/env bash
# scripts/localserver.sh: stop_localserver stops the server that start_localserver
# started, and never a process that merely holds the id the server had.
#
#   localserver_script_test.sh PROGRAM ROOT WORLD
set -euo pipefail
program="$1"
root="$2"
world="$3"
work="$(mktemp -d)"
others=()
cleanup() {
  for pid in "${others[@]}"; do kill "$pid" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# shellcheck source=scripts/localserver.sh
source "$root/scripts/localserver.sh"

# Started and stopped: the server is gone, its address exported while it ran.
start_localserver "$program" "$work/state" "$work/log" --world "$world"
pid=$server_pid
[ -n "$TESMO_SERVER" ] || fail "no TESMO_SERVER"
kill -0 "$pid" 2> /dev/null || fail "the server is not running"
stop_localserver
if kill -0 "$pid" 2> /dev/null; then fail "the server still runs"; fi

# A server that ended by itself: its id may name another process by now, which
# stop_localserver must leave alone. (The id is handed to another process here; the
# system does the same when it reuses ids.)
start_localserver "$program" "$work/state" "$work/log" --world "$world"
kill -KILL "$server_pid"
wait "$server_pid" 2> /dev/null || true
sleep 300 &
others+=("$!")
server_pid=${others[0]}
stop_localserver
kill -0 "${others[0]}" 2> /dev/null || fail "stop_localserver ended a process it did not start"
echo "ok"
