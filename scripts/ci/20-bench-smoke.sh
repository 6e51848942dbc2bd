#!/usr/bin/env bash
# Builds the benchmarks and runs each one briefly, so that they keep compiling
# and working (the binary first checks that every contender writes and reads
# the same document as ours). It judges no speed.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev rapidjson-dev nlohmann-json3-dev

build=${BENCH_BUILD_DIR:-build-bench-smoke}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORV_TIMELINE_JSON_BUILD_BENCHMARKS=ON -DORV_TIMELINE_JSON_BUILD_TESTS=OFF \
    -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF -DORV_TIMELINE_JSON_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target orv-timeline-json-bench orv-timeline-json-threads
# Google Benchmark 1.7 takes the minimum time as a plain number of seconds.
"$build/bench/orv-timeline-json-bench" --benchmark_min_time=0.01
"$build/bench/orv-timeline-json-threads" small 0.1 2
