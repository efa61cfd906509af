#!/usr/bin/env bash
# Checks formatting and runs clang-tidy over the sources of the Linux build (slow: minutes).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
cmake --preset linux >/dev/null
files=$(git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v -E '/win32/')
clang-format --dry-run -Werror $(git ls-files '*.cpp' '*.h')
run-clang-tidy -quiet -p build/linux $files >/tmp/kado-tidy.log 2>&1 || { grep -E 'error:|warning:' /tmp/kado-tidy.log; exit 1; }
echo "lint clean"
