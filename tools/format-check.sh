#!/usr/bin/env bash
# Fails when a C++ file of the project does not match .clang-format (run clang-format -i to fix).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
