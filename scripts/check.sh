#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the normal build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and a bounded fuzzing run of the table reader.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8

bash "$root/scripts/deps.sh"

passed=0
failed=0
# Runs CTest in one build tree and adds its counts to the totals.
run_ctest() {
  local log
  log=$(mktemp)
  local status=0
  (cd "$1" && ctest --output-on-failure -j "$(nproc)") 2>&1 | tee "$log" || status=$?
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  rm -f "$log"
  if [ -n "$line" ]; then
    local bad total
    bad=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  return "$status"
}

echo "== Normal build"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_ctest "$root/build"

echo "== Sanitizer build (ASan + UBSan)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash "$root/scripts/build.sh" build-san -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DKELVANE_BUILD_BENCH=OFF
run_ctest "$root/build-san"

if [ -f "$root/scripts/fuzz.sh" ]; then
  echo "== Fuzzing the table reader"
  bash "$root/scripts/fuzz.sh" "$root/build-san" 60
fi

echo "$passed passed, $failed failed"
