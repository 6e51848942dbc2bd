#!/usr/bin/env bash
# Builds the library, the example and the orv-timeline-json tool, then shows
# them on the bundled timeline document: the example reads it, reports what it
# holds and proves the round trip lossless; the tool checks it and writes it
# back in the pretty layout.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
ensure_packages "${BUILD_PACKAGES[@]}"

build=${BUILD_DIR:-build}
document=examples/data/timeline.json
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target timeline_roundtrip orv-timeline-json
tool="$build/tools/orv-timeline-json"

echo "\$ timeline_roundtrip $document"
"$build/examples/timeline_roundtrip" "$document"
echo
echo "\$ orv-timeline-json check $document"
"$tool" check "$document"
echo
echo "\$ orv-timeline-json format --pretty $document"
"$tool" format --pretty "$document"
