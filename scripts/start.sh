#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh" build -DCMAKE_BUILD_TYPE=Release -DKELVANE_BUILD_TESTS=OFF -DKELVANE_BUILD_BENCH=OFF
if [ -x "$root/build/app/kelvane" ]; then
  exec "$root/build/app/kelvane"
fi
# Until the window exists: convert a sample folder of real tables with the command-line converter.
sample="$root/../shared/corpus/paradoxdriver/db"
"$root/build/cli/kelvane-convert" "$sample" /tmp/CreateDb.pas
echo "Wrote /tmp/CreateDb.pas"
