#!/usr/bin/env bash
# CI stage: nothing crashes, leaks or corrupts.
#   1. the whole test suite under AddressSanitizer + UndefinedBehaviorSanitizer,
#      built with clang (whose UndefinedBehaviorSanitizer checks more than
#      gcc's: a null pointer plus an offset, for one)
#   2. the whole test suite under ThreadSanitizer
#   3. every test binary under valgrind memcheck (the only tool that also sees
#      inside the uninstrumented jsoncpp)
#   4. the four libFuzzer targets (clang): the seed corpus replayed, then
#      each target fuzzed for FUZZ_SECONDS (60 by default)
# Build directories live under a temporary directory; JOBS (default 2) sets
# the parallelism. Expect about half an hour on two cores.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev valgrind jq rapidjson-dev

jobs=${JOBS:-2}
fuzz_seconds=${FUZZ_SECONDS:-60}
work=$(mktemp -d /tmp/orv-hardening.XXXXXX)
trap 'rm -rf "$work"' EXIT
start=$SECONDS

step() { echo "== [$((SECONDS - start))s] $*"; }

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja -DORV_TIMELINE_JSON_INSTALL=OFF "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

# ---- 1. AddressSanitizer + UndefinedBehaviorSanitizer -----------------------
step "test suite under AddressSanitizer and UndefinedBehaviorSanitizer (clang)"
configure_and_build "$work/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DORV_SANITIZE=address
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$work/asan" --output-on-failure -j "$jobs"
rm -rf "$work/asan"

# ---- 2. ThreadSanitizer ----------------------------------------------------
step "test suite under ThreadSanitizer"
configure_and_build "$work/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORV_SANITIZE=thread
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    ctest --test-dir "$work/tsan" --output-on-failure -j "$jobs"
rm -rf "$work/tsan"

# ---- 3. valgrind memcheck ----------------------------------------------------
# Each test binary runs once, whole, rather than once per test case; a test
# that is not a GoogleTest case runs as ctest would run it. The allocation
# failure test replaces operator new itself: valgrind must leave it alone.
# --quiet is left out so that every log ends with its error summary.
step "test binaries under valgrind memcheck"
configure_and_build "$work/memcheck" -DCMAKE_BUILD_TYPE=RelWithDebInfo
valgrind_flags=(--tool=memcheck --leak-check=full --errors-for-leak-kinds=definite,indirect,possible
                --track-origins=yes --suppressions="$PWD/scripts/ci/simdjson-padding.supp")
mapfile -t commands < <(ctest --test-dir "$work/memcheck" --show-only=json-v1 | jq -c '
    [.tests[]
     | ((.properties // []) | map(select(.name == "WORKING_DIRECTORY")) | (.[0].value // "")) as $dir
     | if any(.command[]; startswith("--gtest_filter="))
       then {key: .command[0], argv: [$dir, .command[0]]}
       else {key: (.command | tojson), argv: ([$dir] + .command)} end]
    | unique_by(.key)[] | .argv')
memcheck_failures=0
is_elf() { [ -f "$1" ] && [ "$(head -c 4 "$1" | od -An -c | tr -d ' ')" = '177ELF' ]; }
for entry in "${commands[@]}"; do
    mapfile -t argv < <(jq -r '.[]' <<<"$entry")
    dir=${argv[0]:-$work/memcheck}
    command=("${argv[@]:1}")
    if [[ ${command[0]} == "$work/memcheck/"* ]]; then
        # A test program of the build: under valgrind, whole.
        extra=()
        case "$(basename "${command[0]}")" in
            AllocationFailureTest) extra=(--soname-synonyms=somalloc=nouserintercepts) ;;
        esac
        echo "   valgrind ${command[*]}"
        if ! (cd "$dir" && valgrind "${valgrind_flags[@]}" --error-exitcode=1 "${extra[@]}" "${command[@]}" \
                >"$work/memcheck.log" 2>&1); then
            cat "$work/memcheck.log"
            echo "   FAILED under valgrind: ${command[*]}" >&2
            memcheck_failures=$((memcheck_failures + 1))
        fi
        continue
    fi
    # A script that drives programs of the build (the tool's tests): it runs
    # as it is, with each such program behind a wrapper that runs it under
    # valgrind and logs apart, so that the program's own exit codes stay.
    logs="$work/memcheck-logs"
    rm -rf "$logs" && mkdir -p "$logs"
    for i in "${!command[@]}"; do
        if [[ ${command[$i]} == "$work/memcheck/"* ]] && is_elf "${command[$i]}"; then
            wrapper="$work/wrapped-$i-$(basename "${command[$i]}")"
            printf '#!/bin/sh\nexec valgrind %s --log-file=%s/%%p.log %q "$@"\n' \
                "${valgrind_flags[*]}" "$logs" "${command[$i]}" >"$wrapper"
            chmod +x "$wrapper"
            command[$i]=$wrapper
        fi
    done
    echo "   ${command[*]} (programs under valgrind)"
    if ! (cd "$dir" && "${command[@]}" >"$work/memcheck.log" 2>&1); then
        cat "$work/memcheck.log"
        echo "   FAILED: ${command[*]}" >&2
        memcheck_failures=$((memcheck_failures + 1))
    fi
    if grep -L 'ERROR SUMMARY: 0 errors' "$logs"/*.log 2>/dev/null | grep -q .; then
        grep -L 'ERROR SUMMARY: 0 errors' "$logs"/*.log | xargs cat
        echo "   valgrind found errors in: ${command[*]}" >&2
        memcheck_failures=$((memcheck_failures + 1))
    fi
done
rm -rf "$work/memcheck"
if [ "$memcheck_failures" -ne 0 ]; then
    echo "$memcheck_failures test program(s) failed under valgrind" >&2
    exit 1
fi

# ---- 4. libFuzzer ------------------------------------------------------------
step "fuzz targets: seed corpus replay, then ${fuzz_seconds}s each"
configure_and_build "$work/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DORV_TIMELINE_JSON_BUILD_FUZZERS=ON -DORV_TIMELINE_JSON_BUILD_TESTS=OFF \
    -DORV_TIMELINE_JSON_BUILD_TOOLS=OFF -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF
seeds=(examples/data)
if [ -d ../shared/corpus/JSONTestSuite/test_parsing ]; then
    seeds+=(../shared/corpus/JSONTestSuite/test_parsing)
else
    echo "   (no ../shared/corpus/JSONTestSuite/test_parsing beside the clone: examples only)"
fi
# The text reader's target also starts from generated documents with
# perturbed members, which it writes itself, and mutates with a dictionary of
# the document's keys and JSON's tokens.
text_seeds="$work/text-seeds"
mkdir -p "$text_seeds"
ORV_FUZZ_WRITE_SEEDS="$text_seeds" "$work/fuzz/fuzz/orv_fuzz_text_reader"
for target in orv_fuzz_json_bytes orv_fuzz_model orv_fuzz_text_reader orv_fuzz_strict_json; do
    fuzzer="$work/fuzz/fuzz/$target"
    corpus="$work/corpus-$target"
    target_seeds=("${seeds[@]}")
    options=()
    if [ "$target" = orv_fuzz_text_reader ]; then
        target_seeds+=("$text_seeds")
        options=(-dict=fuzz/text_reader.dict)
    fi
    mkdir -p "$corpus"
    echo "   $target: replay of ${target_seeds[*]}"
    "$fuzzer" -runs=0 -artifact_prefix="$work/" "${options[@]}" "${target_seeds[@]}" 2>&1 | grep -E '^(Done|orv_fuzz_)'
    echo "   $target: ${fuzz_seconds}s"
    "$fuzzer" -max_total_time="$fuzz_seconds" -max_len=4096 -print_final_stats=1 -artifact_prefix="$work/" \
        "${options[@]}" "$corpus" "${target_seeds[@]}" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done|orv_fuzz_)'
done

step "done"
