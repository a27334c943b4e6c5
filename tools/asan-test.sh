#!/usr/bin/env bash
# Builds the tests with AddressSanitizer and UndefinedBehaviorSanitizer in ./build-asan and runs
# them. Any sanitizer report fails the test that caused it.
#   tools/asan-test.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Qt 6.4's own headers hand a null pointer with a zero length to memcmp when comparing empty lists,
# which the nonnull-attribute check reports inside Qt; that one check is left out.
flags="-fsanitize=address,undefined -fno-sanitize=nonnull-attribute -fno-sanitize-recover=undefined"
flags="$flags -fno-omit-frame-pointer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMOZHOU_WERROR="${MOZHOU_WERROR:-OFF}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    "${launcher[@]}"
cmake --build build-asan -j "$(nproc)"
# Leaks inside the system's libraries (fontconfig, the GUI platform plugin) are not ours.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure --no-tests=error -j 2 \
    -E '^package_files$'
