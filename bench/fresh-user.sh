# A fresh user for a benchmark run, under the folder $work: home, settings, data,
# cache and runtime folders of its own, and a ping stub (the program's network
# check pings; the stub answers at once and nothing is sent). Sourced by the
# benchmark scripts.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export XDG_CACHE_HOME="$work/cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 0\n' > "$work/bin/ping"
chmod +x "$work/bin/ping"
export PATH="$work/bin:$PATH"
# The web engine refuses to run as root inside its sandbox.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
