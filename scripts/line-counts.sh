#!/usr/bin/env bash
# Code lines (src, tools, bench) against test lines (tests), blank and comment lines left out,
# and their ratio; the fuzz harnesses (fuzz) are counted on their own line. The house keeps tests
# at about a third of the code.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() {
    git ls-files -- "$@" | { grep -E '\.(cpp|h)$' || true; } | xargs -r cat |
        { grep -v -E '^\s*$|^\s*//' || true; } | wc -l
}
code=$(count src tools bench)
tests=$(count tests)
fuzz=$(count fuzz)
echo "code lines:  $code"
echo "test lines:  $tests"
echo "fuzz lines:  $fuzz"
percent() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f%%\n", 100 * a / b }'; }
echo "tests/code:  $(percent "$tests" "$code")"
echo "(tests+fuzz)/code:  $(percent $((tests + fuzz)) "$code")"
