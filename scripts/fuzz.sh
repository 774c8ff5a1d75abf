#!/usr/bin/env bash
# Fuzzes one parser of outside input with libFuzzer for a while:
#   bash scripts/fuzz.sh TARGET SECONDS
# TARGET is one of: content_decode http_reply im_datagram json_args ciphers push history
# file_store.
# New inputs go to build-fuzz/corpus/TARGET (seeded from tests/fuzz/corpus/TARGET);
# a crash leaves its input in build-fuzz/ and the script exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?usage: fuzz.sh TARGET SECONDS}
seconds=${2:?usage: fuzz.sh TARGET SECONDS}
[ -d "tests/fuzz/corpus/$target" ] || { echo "unknown target: $target" >&2; exit 2; }

bash scripts/install-deps.sh
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${db:Status-Status}' libclang-rt-14-dev 2>/dev/null | grep -qx installed; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get install -y -q --no-install-recommends clang libclang-rt-14-dev
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESMO_FUZZ=ON -DTESMO_SANITIZE=ON -DTESMO_BUILD_CLIENT=OFF -DTESMO_BUILD_BENCH=OFF
cmake --build build-fuzz --target "fuzz_$target" -j "$(nproc)"

corpus="build-fuzz/corpus/$target"
mkdir -p "$corpus"
cp -n "tests/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true
cd build-fuzz
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
exec "tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  "corpus/$target"
