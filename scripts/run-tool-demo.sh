#!/usr/bin/env bash
# Builds the orv-timeline-json tool and shows it on the bundled example
# document: a check, then the document written back in the pretty layout.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target orv-timeline-json
tool="$build/tools/orv-timeline-json"

echo "\$ orv-timeline-json check examples/data/timeline.json"
"$tool" check examples/data/timeline.json
echo "\$ orv-timeline-json format --pretty examples/data/timeline.json"
"$tool" format --pretty examples/data/timeline.json
