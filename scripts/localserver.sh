# Sourced: starts the local server and points TesmoChat at it.
#
#   start_localserver PROGRAM STATE_DIR LOG [SERVER ARGUMENTS...]
#
# Sets server_pid, exports TESMO_SERVER and TESMO_CA_FILE once the server says
# "ready"; on failure prints its log and exits. stop_localserver stops it.
start_localserver() {
  "$1" --state "$2" "${@:4}" < /dev/null > "$3" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 300); do
    grep -q '^ready$' "$3" && break
    if ! kill -0 "$server_pid" 2> /dev/null; then
      cat "$3" >&2
      echo "the local server did not start" >&2
      exit 1
    fi
    sleep 0.1
  done
  if ! grep -q '^ready$' "$3"; then
    cat "$3" >&2
    echo "the local server did not get ready" >&2
    exit 1
  fi
  TESMO_SERVER="$(sed -n 's/^TESMO_SERVER=//p' "$3")"
  TESMO_CA_FILE="$(sed -n 's/^TESMO_CA_FILE=//p' "$3")"
  export TESMO_SERVER TESMO_CA_FILE
}

stop_localserver() {
  if [ -n "${server_pid:-}" ]; then
    kill "$server_pid" 2> /dev/null || true
    wait "$server_pid" 2> /dev/null || true
  fi
}
