#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and a bounded fuzzing run of the table reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8

bash "$root/scripts/deps.sh"

echo "== Normal build"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd "$root/build" && ctest --output-on-failure -j "$(nproc)")

echo "== Sanitizer build (ASan + UBSan)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash "$root/scripts/build.sh" build-san -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DKELVANE_BUILD_BENCH=OFF
(cd "$root/build-san" && ctest --output-on-failure -j "$(nproc)")

if [ -f "$root/scripts/fuzz.sh" ]; then
  echo "== Fuzzing the table reader"
  bash "$root/scripts/fuzz.sh" "$root/build-san" 60
fi
