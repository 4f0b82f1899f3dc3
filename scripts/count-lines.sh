#!/usr/bin/env bash
# Prints the size of the test suite against the product: non-blank .cpp/.h
# lines that are not only a // comment. Product is src/, tools/, fuzz/, bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null |
        xargs -0 cat | grep -Ev '^[[:space:]]*(//.*)?$' | wc -l
}
product=$(count src tools fuzz bench)
tests=$(count tests)
echo "product lines: $product"
echo "test lines:    $tests"
awk -v t="$tests" -v p="$product" 'BEGIN { printf "tests/product: %.1f %%\n", 100 * t / p }'
