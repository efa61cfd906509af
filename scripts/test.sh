#!/usr/bin/env bash
# Installs what is needed, builds all three configurations, runs every test, then builds the
# release packages and tests them by installing them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh
for preset in linux sanitize windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
status=0
for preset in linux sanitize windows; do
  echo "== tests: $preset"
  ctest --preset "$preset" || status=1
done
echo "== tests: packages"
scripts/package.sh >/dev/null && scripts/test-packages.sh || status=1
exit $status
