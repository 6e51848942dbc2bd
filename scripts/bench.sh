#!/usr/bin/env bash
# Benchmarks the writers and readers against RapidJSON, jsoncpp and
# nlohmann-json in one run, times cold writes (one per fresh process), prints
# the tables of ratios from that run and draws docs/bench/throughput.svg.
#
# Environment: BENCH_BUILD_DIR (default build-bench), REPETITIONS (default 5;
# the table uses the medians), COLD_RUNS (default 5 processes per cold case;
# 0 skips them), COLD_DOCUMENTS (default "large uuid"), THREAD_DOCUMENTS
# (default "medium uuid", read on 1 to all cores), THREAD_SECONDS (default 2
# per thread count). Further arguments go
# to the benchmark binary, e.g. --benchmark_filter=Write/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}" libbenchmark-dev rapidjson-dev nlohmann-json3-dev gnuplot-nox python3

build=${BENCH_BUILD_DIR:-build-bench}
repetitions=${REPETITIONS:-5}
cold_runs=${COLD_RUNS:-5}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORV_TIMELINE_JSON_BUILD_BENCHMARKS=ON -DORV_TIMELINE_JSON_BUILD_TESTS=OFF \
    -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF -DORV_TIMELINE_JSON_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" --target orv-timeline-json-bench orv-timeline-json-cold orv-timeline-json-threads \
    orv-timeline-json-write-memory

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

# Cold writes: every write the first of its process, the writers taking turns
# so that load from elsewhere falls on both alike.
cold="$build/cold-results.jsonl"
: >"$cold"
for ((run = 0; run < cold_runs; run++)); do
    for document in ${COLD_DOCUMENTS:-large uuid}; do
        for state in fresh parsed; do
            for writer in ours rapidjson; do
                "$build/bench/orv-timeline-json-cold" "$writer" "$document" "$state" >>"$cold"
            done
        done
    done
done

# Reading on every core at once, each thread its own copy of the document.
threads="$build/threads-results.jsonl"
: >"$threads"
for document in ${THREAD_DOCUMENTS:-medium uuid}; do
    "$build/bench/orv-timeline-json-threads" "$document" "${THREAD_SECONDS:-2}" >>"$threads"
done

# The peak memory of writing a 200 MB document to a file and into memory.
memory="$build/write-memory.jsonl"
"$build/bench/orv-timeline-json-write-memory" "${TMPDIR:-/tmp}" >"$memory"

echo
echo "Machine: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores;" \
    "medians of $repetitions interleaved repetitions, CPU time"
echo
python3 bench/report.py "$results" "$build" "$cold" "$threads" "$memory"

mkdir -p docs/bench
plots="writedata='$build/write.dat'; readdata='$build/read.dat'; output='docs/bench/throughput.svg'"
[ -s "$cold" ] && plots+="; colddata='$build/cold.dat'"
gnuplot -e "$plots" bench/throughput.gp
echo
echo "Chart: docs/bench/throughput.svg"
