#!/usr/bin/env bash
# Builds the engine and its tests under ThreadSanitizer (build-tsan) and runs the engine
# suite there. Not part of CI (it takes several times longer than the normal run); run it
# after touching anything threaded. Exits non-zero on any failure or reported race.
set -euo pipefail
cd "$(dirname "$0")/.."
JOBS=${JOBS:-$(nproc)}

bash scripts/install-deps.sh

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
export HOME=${HOME:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMO_SANITIZE=thread \
  -DTESMO_BUILD_CLIENT=OFF -DTESMO_BUILD_BENCH=OFF
cmake --build build-tsan -j "$JOBS"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/scripts/tsan.supp"
(cd build-tsan && ctest --output-on-failure -j "$JOBS" --timeout 600 -L engine)
echo "Engine tests passed under ThreadSanitizer."
