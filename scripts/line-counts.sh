#!/usr/bin/env bash
# Code lines (src, tools, bench) against test lines (tests, fuzz), blank and comment lines left
# out, and their ratio. The house keeps tests at about a third of the code.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() {
    git ls-files -- "$@" | grep -E '\.(cpp|h)$' | xargs -r cat |
        grep -v -E '^\s*$|^\s*//' | wc -l
}
code=$(count src tools bench)
tests=$(count tests fuzz)
echo "code lines:  $code"
echo "test lines:  $tests"
echo "tests/code:  $((100 * tests / code))%"
