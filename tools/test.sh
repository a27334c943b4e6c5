#!/usr/bin/env bash
# Installs what is missing, builds 墨舟 and runs every test.
#   tools/test.sh            build in ./build and run the tests
# Set MOZHOU_WERROR=ON to turn warnings into errors (CI does).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOZHOU_WERROR="${MOZHOU_WERROR:-OFF}"
cmake --build build -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure --no-tests=error -j 2
