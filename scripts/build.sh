#!/usr/bin/env bash
# Configures and builds one build tree: build.sh DIR [extra cmake arguments].
set -euo pipefail
dir=$1; shift
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/$dir" -G Ninja "$@"
cmake --build "$root/$dir" -j "$(nproc)"
