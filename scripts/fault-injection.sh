#!/usr/bin/env bash
# Fault injection: how many plausible bugs the test suite catches.
#
#   scripts/fault-injection.sh [FAULT...]
#
# Each fault is one small patch under scripts/faults/ (NN-name.patch, its
# first line says what it breaks). FAULT is such a path, a number (07) or a
# name (type-prefix-match); without any, every fault is tried in turn.
#
# The working tree as it is (tracked and untracked files, not ignored ones) is
# copied into a temporary directory and built once (Release, tests and tool).
# Then, for each fault: apply the patch, rebuild incrementally, run the whole
# ctest suite, revert the patch. A fault is CAUGHT when a test fails (the first
# failing tests are named) and SURVIVED when the suite passes. A patch that no
# longer applies is STALE, one that does not build is NOCOMPILE: both are
# faults of the fault list, to be fixed, and make the script exit non-zero.
# JOBS (default 2) sets the parallelism; TEST_TIMEOUT (default 120 s) bounds
# each test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" git

jobs=${JOBS:-2}
test_timeout=${TEST_TIMEOUT:-120}
start=$SECONDS

faults=()
if [ $# -eq 0 ]; then
    faults=(scripts/faults/*.patch)
fi
for name in "$@"; do
    matches=()
    if [ -f "$name" ]; then
        matches=("$name")
    else
        for candidate in scripts/faults/"$name"-*.patch scripts/faults/*-"$name".patch; do
            [ -f "$candidate" ] && matches+=("$candidate")
        done
    fi
    if [ ${#matches[@]} -ne 1 ]; then
        echo "fault '$name': ${#matches[@]} patches match it" >&2
        exit 2
    fi
    faults+=("${matches[0]}")
done

work=$(mktemp -d /tmp/orv-faults.XXXXXX)
trap 'rm -rf "$work"' EXIT
src="$work/src"
build="$work/build"
mkdir -p "$src"
git ls-files -z --cached --others --exclude-standard |
    tar --null --files-from=- --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$src"
# git apply outside a repository patches files like patch -p1; the ceiling
# keeps it from taking a repository above the copy for its own.
export GIT_CEILING_DIRECTORIES="$work"
patch_apply() { (cd "$src" && git apply "$@"); }

echo "== [$((SECONDS - start))s] building the unpatched copy"
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORV_TIMELINE_JSON_BUILD_TESTS=ON -DORV_TIMELINE_JSON_BUILD_TOOLS=ON \
    -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF -DORV_TIMELINE_JSON_BUILD_BENCHMARKS=OFF \
    -DORV_TIMELINE_JSON_BUILD_FUZZERS=OFF -DORV_TIMELINE_JSON_INSTALL=OFF >/dev/null
cmake --build "$build" -j "$jobs" >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

# Runs the whole suite; prints the failing tests in ctest's order ("" when
# none; a typed test loses its type parameter) and returns ctest's status.
# ctest runs the tests that failed last time first: its record is removed, so
# that every fault starts from the same order.
run_suite() {
    rm -f "$build"/Testing/Temporary/LastTestsFailed*.log "$build"/Testing/Temporary/CTestCostData.txt
    local status=0
    ctest --test-dir "$build" -j "$jobs" --timeout "$test_timeout" >"$work/ctest.log" 2>&1 || status=$?
    sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (\(Failed\|Timeout\|SEGFAULT\|Subprocess aborted\|Exception\|Not Run\).*/\1/p' \
        "$work/ctest.log" | sed 's/\.  # TypeParam = [^>]*>/>/'
    return $status
}

echo "== [$((SECONDS - start))s] the suite on the unpatched copy"
if ! run_suite >/dev/null; then
    cat "$work/ctest.log"
    echo "the suite fails without any fault: nothing to measure" >&2
    exit 1
fi

results=()
caught=0
survived=0
stale=0
nocompile=0
for fault in "${faults[@]}"; do
    name=$(basename "$fault" .patch)
    patch=$(realpath "$fault")
    if ! patch_apply --check "$patch" 2>"$work/apply.log"; then
        result="STALE"
        detail=$(head -n 1 "$work/apply.log")
        stale=$((stale + 1))
    else
        patch_apply "$patch"
        if ! cmake --build "$build" -j "$jobs" >"$work/build.log" 2>&1; then
            result="NOCOMPILE"
            detail=$(grep -m 1 'error' "$work/build.log" || tail -n 1 "$work/build.log")
            detail=${detail//"$src/"/}
            nocompile=$((nocompile + 1))
        elif failing=$(run_suite); then
            result="SURVIVED"
            detail=""
            survived=$((survived + 1))
        else
            result="CAUGHT"
            count=$(grep -c . <<<"$failing" || true)
            detail="$count failing: $(head -n 3 <<<"$failing" | paste -sd ' ')"
            [ "$count" -le 3 ] || detail+=" ..."
            [ "$count" -gt 0 ] || detail="ctest: $(tail -n 1 "$work/ctest.log")"
            caught=$((caught + 1))
        fi
        patch_apply -R "$patch"
    fi
    line=$(printf '%-44s %-9s %s' "$name" "$result" "$detail")
    results+=("$line")
    echo "== [$((SECONDS - start))s] $line"
done

echo
printf '%-44s %-9s %s\n' "fault" "result" "detail"
printf '%s\n' "${results[@]}"
echo
total=${#faults[@]}
echo "caught $caught of $total: $survived survived, $stale stale, $nocompile do not compile ($((SECONDS - start))s)"
[ $((stale + nocompile)) -eq 0 ]
