#!/usr/bin/env bash
# Benchmarks the writers and readers against RapidJSON, jsoncpp and
# nlohmann-json in one run, prints the table of ratios from that run and
# draws docs/bench/throughput.svg.
#
# Environment: BENCH_BUILD_DIR (default build-bench), REPETITIONS (default 5;
# the table uses the medians). Further arguments go to the benchmark binary,
# e.g. --benchmark_filter=Write/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev rapidjson-dev nlohmann-json3-dev gnuplot-nox python3

build=${BENCH_BUILD_DIR:-build-bench}
repetitions=${REPETITIONS:-5}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORV_TIMELINE_JSON_BUILD_BENCHMARKS=ON -DORV_TIMELINE_JSON_BUILD_TESTS=OFF \
    -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF -DORV_TIMELINE_JSON_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target orv-timeline-json-bench

results="$build/bench-results.json"
# Repetitions interleaved in random order, so that a burst of load from
# elsewhere on the machine falls on every contender alike rather than on the
# one that happens to run during it.
"$build/bench/orv-timeline-json-bench" \
    --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$results" --benchmark_out_format=json \
    "$@"

echo
echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores;" \
    "medians of $repetitions interleaved repetitions, CPU time"
echo
python3 bench/report.py "$results" "$build"

mkdir -p docs/bench
gnuplot -e "writedata='$build/write.dat'; readdata='$build/read.dat'; output='docs/bench/throughput.svg'" \
    bench/throughput.gp
echo
echo "Chart: docs/bench/throughput.svg"
