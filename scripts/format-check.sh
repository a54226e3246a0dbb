#!/usr/bin/env bash
# Fails when a tracked C++ file differs from the layout .clang-format describes, naming each
# place. Fix with: clang-format-14 -i FILE...
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
git ls-files -z '*.cpp' '*.h' | xargs -0 -r "$format" --dry-run --Werror
echo "format-check: every file is formatted."
