#!/usr/bin/env bash
# Builds the release packages into dist/: the Windows installer kado-<version>-setup.exe (NSIS)
# and the Debian package kado_<version>_amd64.deb, each from its own preset's build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
mkdir -p dist
for preset in windows linux; do
  # Only what the package holds; the tests are not needed for it.
  targets=(kado szip)
  if [ "$preset" = linux ]; then targets+=(kado_package_docs); fi
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target "${targets[@]}"
  rm -rf "build/$preset/packages"
  (cd "build/$preset" && cpack >/dev/null)
  cp "build/$preset"/packages/kado* dist/
done
ls -l dist
