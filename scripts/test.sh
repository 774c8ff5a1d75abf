#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: first the normal
# build (engine and program), then the engine again under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=$(nproc)

bash scripts/install-deps.sh

# Tests run without a display, a home or a sound device.
export QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software QTWEBENGINE_DISABLE_SANDBOX=1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
export HOME=${HOME:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS" --timeout 300)

echo "== engine under ASan+UBSan"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESMO_SANITIZE=ON \
  -DTESMO_BUILD_CLIENT=OFF -DTESMO_BUILD_BENCH=OFF
cmake --build build-asan -j "$JOBS"
(cd build-asan && ctest --output-on-failure -j "$JOBS" --timeout 300 -L engine)
echo "All tests passed."
