#!/usr/bin/env bash
# CI stage: installation works. A Release build is installed into a temporary
# prefix; the consumer project is built against it with find_package and with
# pkg-config, and run; the installed tool passes its tests; the exported
# symbols are the public API only; `cpack -G DEB` produces both packages.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/deps.sh
# dpkg-dev and file: CPack's Debian generator computes dependencies with them.
ensure_packages "${BUILD_PACKAGES[@]}" dpkg-dev file

jobs=${JOBS:-2}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build="$work/build"
prefix="$work/prefix"

echo "-- Release build, installed into $prefix"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DORV_TIMELINE_JSON_BUILD_TESTS=OFF -DORV_TIMELINE_JSON_BUILD_EXAMPLES=OFF >/dev/null
cmake --build "$build" -j "$jobs"
cmake --install "$build" --prefix "$prefix" >/dev/null
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

echo "-- Exported symbols"
for library in "$prefix"/lib*/libOrv.*.so.*.*.*; do
    count=$(nm -D --defined-only "$library" | wc -l)
    echo "   $(basename "$library"): $count symbols"
    # Internals stay hidden: nothing of the Detail namespaces is exported.
    if grep -q '::Detail::' <<<"$(nm -D --defined-only -C "$library")"; then
        echo "$library exports internal symbols:" >&2
        nm -D --defined-only -C "$library" | grep '::Detail::' >&2
        exit 1
    fi
done

echo "-- Consumer with find_package"
cmake -S tests/consumer -B "$work/consumer-cmake" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer-cmake"
"$work/consumer-cmake/app"

echo "-- Consumer with pkg-config"
tests/consumer/build-with-pkg-config.sh "$prefix" "$work/consumer-pkg-config"

echo "-- The installed tool"
"$prefix/bin/orv-timeline-json" --version
"$prefix/bin/orv-timeline-json" check examples/data/timeline.json
bash tests/tools/orv-timeline-json-test.sh "$prefix/bin/orv-timeline-json" all "$version" .

echo "-- Debian packages"
(cd "$build" && cpack -G DEB >/dev/null)
for package in orv-timeline-json orv-timeline-json-dev; do
    deb=$(ls "$build/${package}_${version}_"*.deb)
    echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
done
# The listings are read whole before grep looks at them: grep -q stops at the
# first match, and under pipefail the tar it cut off would fail the stage.
runtime_files=$(dpkg-deb -c "$(ls "$build"/orv-timeline-json_"$version"_*.deb)")
dev_files=$(dpkg-deb -c "$(ls "$build"/orv-timeline-json-dev_"$version"_*.deb)")
grep -q './usr/bin/orv-timeline-json$' <<<"$runtime_files"
grep -q 'pkgconfig/orv-timeline-json.pc$' <<<"$dev_files"
echo "install and tool: ok"
