#!/usr/bin/env bash
# Fuzzes the Paradox structure reader: fuzz.sh BUILD_DIR SECONDS.
# Seeds are copies of the corpus tables and companions, plus each table joined with its
# companions in the fuzz target's input format; the corpus itself is never written to.
# Exits non-zero when the fuzzer finds a crash. A build without libFuzzer only replays the seeds.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
corpus=${KELVANE_CORPUS_DIR:-$root/../shared/corpus}
bin=$build/fuzz/fuzz_paradox_reader
kind=$(cat "$build/fuzz/fuzz_paradox_reader.kind" 2>/dev/null || echo missing)
if [ ! -x "$bin" ]; then
  echo "fuzz.sh: $bin is not built" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/seeds" "$work/found"

# Single files, named after their path so that equal names in two folders do not collide.
while IFS= read -r -d '' file; do
  rel=${file#"$corpus"/}
  cp "$file" "$work/seeds/${rel//\//_}"
done < <(find "$corpus" -type f \( -iname '*.db' -o -iname '*.px' -o -iname '*.val' \
                                    -o -iname '*.x[0-9a-f][0-9a-f]' -o -iname '*.xg?' \) -print0)

# Each table with its companions: "\n@KVF:" EXT "\n" before each companion's bytes. Only
# header areas matter (4 KiB covers every corpus header), except for the whole .VAL.
while IFS= read -r -d '' table; do
  dir=$(dirname "$table")
  stem=$(basename "$table"); stem=${stem%.*}
  rel=${table#"$corpus"/}
  seed="$work/seeds/joined_${rel//\//_}"
  head -c 4096 "$table" > "$seed"
  while IFS= read -r -d '' companion; do
    ext=${companion##*.}
    printf '\n@KVF:%s\n' "$ext" >> "$seed"
    case "${ext,,}" in
      val) cat "$companion" >> "$seed" ;;
      *) head -c 4096 "$companion" >> "$seed" ;;
    esac
  done < <(find "$dir" -maxdepth 1 -type f -iname "$stem.*" ! -iname '*.db' ! -iname '*.mb' \
                 ! -iname '*.y??' -print0)
done < <(find "$corpus" -type f -iname '*.db' -print0)

if [ "$kind" != libfuzzer ]; then
  echo "fuzz.sh: $bin was built without libFuzzer (no clang); replaying the seeds only."
  "$bin" "$work/seeds"
  exit
fi

artifacts=$build/fuzz-artifacts
mkdir -p "$artifacts"
echo "fuzz.sh: fuzzing the table reader for ${seconds}s; crash inputs go to $artifacts/"
log=$build/fuzz-last.log
status=0
"$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$work/found" "$work/seeds" >"$log" 2>&1 || status=$?
# The fuzzer's own output is long; show its end, all of the failure when there is one.
if [ "$status" -ne 0 ]; then
  tail -n 80 "$log"
  echo "fuzz.sh: the fuzzer failed (exit $status); full log in $log" >&2
  exit "$status"
fi
grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
