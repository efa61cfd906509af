#!/usr/bin/env bash
# The program's main job on a bundled default. Until the read road exists this shows the
# command-line contract: an accepted read request and a refused one, with their exit codes.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >/dev/null
cmake --preset linux >/dev/null && cmake --build --preset linux --target kado >/dev/null || exit 1
out=$(mktemp -d)
trace="$out/trace.txt"
run() {
  echo "\$ kado $1"
  KADO_TRACE="$trace" build/linux/kado "$1"
  echo "exit code $?"
}
run "/readecg=hide /opformat=archive /dir=$out"
run "/readecg=hide /dir=$out"
echo "trace lines:"; cat "$trace"
rm -rf "$out"
