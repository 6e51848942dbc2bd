#!/usr/bin/env bash
# Line, branch and function coverage of the four libraries by the whole test
# suite: a gcc build with --coverage in BUILD_DIR (default /tmp/orv-coverage),
# every ctest test, then gcovr over the libraries' sources and headers only
# (BusinessEntityModel/, Common/, TimelineEngineModel/, include/). Prints one
# line per file and the totals; fails when line coverage is below
# COVERAGE_MIN percent (default 95). JOBS (default 2) sets the parallelism.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" gcovr python3

build=${1:-/tmp/orv-coverage}
jobs=${JOBS:-2}
minimum=${COVERAGE_MIN:-95}

# Atomic counters: the concurrency tests run the converters on several
# threads, and plain counters updated at once come out wrong (even negative).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=g++ \
    -DCMAKE_CXX_FLAGS="-O0 -g --coverage -fprofile-update=atomic" \
    -DORV_TIMELINE_JSON_BUILD_TESTS=ON -DORV_TIMELINE_JSON_BUILD_TOOLS=ON \
    -DORV_TIMELINE_JSON_BUILD_BENCHMARKS=OFF -DORV_TIMELINE_JSON_BUILD_FUZZERS=OFF \
    -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF -DORV_TIMELINE_JSON_INSTALL=OFF >/dev/null
cmake --build "$build" -j "$jobs"
# Counters add up across runs: start from zero. CMake's compiler probe leaves
# a .gcno without a source; gcov would only complain about it.
find "$build" -name '*.gcda' -delete
rm -f "$build"/CMakeFiles/*/CompilerIdCXX/*.gcno
ctest --test-dir "$build" --output-on-failure -j "$jobs"

# Every call that may throw adds a branch for the exception, and the compiler
# adds some it knows are never taken; both are left out, so that the branch
# figure counts the decisions written in the source.
summary="$build/coverage-summary.json"
gcovr --root . --object-directory "$build" \
    --filter 'BusinessEntityModel/' --filter 'Common/' --filter 'TimelineEngineModel/' --filter 'include/' \
    --exclude-throw-branches --exclude-unreachable-branches \
    --json-summary "$summary" --html-details "$build/coverage.html" "$build"

echo "Line by line: $build/coverage.html"
# One line per file, named from after its last "Orv/" (the paths repeat the
# subsystem), least covered first; then the totals and the verdict.
python3 - "$summary" "$minimum" <<'PY'
import json, sys
data, minimum = json.load(open(sys.argv[1])), float(sys.argv[2])
files = sorted(data["files"], key=lambda f: (f["line_percent"], f["filename"]))
names = [f["filename"].rsplit("/Orv/", 1)[-1] for f in files]
width = max(map(len, names))
def cell(f, metric):
    total = f[metric + "_total"]
    return f"{f[metric + '_percent']:5.1f}% of {total:<4}" if total else f"{'-':>6} of 0   "
print(f"{'file':<{width}}  {'lines':<12} {'branches':<12} {'functions':<12}")
for name, f in zip(names, files):
    print(f"{name:<{width}}  {cell(f, 'line')} {cell(f, 'branch')} {cell(f, 'function')}")
print()
for metric, label in (("line", "lines"), ("branch", "branches"), ("function", "functions")):
    print(f"{label + ':':<11}{data[metric + '_percent']:5.1f}% ({data[metric + '_covered']} of {data[metric + '_total']})")
if data["line_percent"] < minimum:
    sys.exit(f"line coverage {data['line_percent']}% is below COVERAGE_MIN ({minimum:g}%)")
PY
