#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in ./build-fuzz, then runs each for a bounded time on its seed corpus (fuzz/corpus/<target>).
# Fails on any crash, leak, timeout, out-of-memory or sanitizer report; the input that caused it
# is kept in build-fuzz/artifacts/.
#   tools/fuzz.sh                    every target, 20 s each
#   tools/fuzz.sh 60                 every target, 60 s each (or MOZHOU_FUZZ_SECONDS=60)
#   tools/fuzz.sh 20 fuzz_profile    only the named targets
# clang and its runtime are installed here, not by tools/install-deps.sh: only fuzzing needs them.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-${MOZHOU_FUZZ_SECONDS:-20}}
shift $(($# > 0 ? 1 : 0))

tools/install-deps.sh
missing=()
for p in clang libclang-rt-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

build=build-fuzz
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DMOZHOU_FUZZ=ON "${launcher[@]}"
cmake --build "$build" -j "${MOZHOU_FUZZ_JOBS:-2}" --target fuzzers

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_archiveparser fuzz_hotparser fuzz_optionfile fuzz_profile
                                     fuzz_articles fuzz_filenames fuzz_gbkdecoder
                                     fuzz_archivestream)
mkdir -p "$build/artifacts"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=()
for t in "${targets[@]}"; do
    # New inputs go to a scratch corpus; the seeds in the repository are only read.
    work="$build/corpus/$t"
    mkdir -p "$work"
    echo "== $t: ${seconds} s"
    if ! "$build/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "$work" "fuzz/corpus/$t" \
        >"$build/$t.log" 2>&1; then
        tail -n 60 "$build/$t.log"
        failed+=("$t")
    else
        grep -E "^stat::number_of_executed_units|^Done" "$build/$t.log" | tr '\n' ' '
        echo
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing failed: ${failed[*]} (inputs in $build/artifacts/)"
    exit 1
fi
echo "fuzzing passed: ${#targets[@]} targets, ${seconds} s each"
