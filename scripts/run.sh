#!/usr/bin/env bash
# Installs what is missing, builds the engine and the program, and starts TesmoChat.
# Arguments are passed to the program (Qt's own options, e.g. -platform).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target TesmoChat

# The web engine refuses to run as root inside its sandbox.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
exec build/client/TesmoChat "$@"
