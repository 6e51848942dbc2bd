#!/usr/bin/env bash
# CI stage: installation works. A Release build is installed into a temporary
# prefix, with the GNUInstallDirs layout, the schema and the documentation; the
# consumer project is built against it with find_package and with pkg-config,
# and run; neither names simdjson; the installed tool passes its tests; the
# exported symbols are the public API only. `cpack -G DEB` refuses that build,
# configured for /usr/local, and makes both packages once it is configured for
# /usr, with the libraries in the multiarch folder.
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
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")

# expect LISTING REGEX...: every extended regular expression matches a line of
# the listing (read whole: grep -q may stop early, see the packages below).
expect() {
    local listing=$1 pattern
    shift
    for pattern; do
        grep -Eq -- "$pattern" <<<"$listing" || { echo "nothing matches $pattern" >&2; return 1; }
    done
}
# Consumers get include folders only, and nothing of simdjson, the library's
# private parser: no definitions from pkg-config, no mention in the CMake package.
private_parser_stays_private() {
    local pcdir=$1 cmakedir=$2 cflags
    cflags=$(PKG_CONFIG_PATH="$pcdir" pkg-config --cflags orv-timeline-json)
    echo "   pkg-config --cflags: $cflags"
    if [[ " $cflags" == *" -D"* ]] || grep -v '^ *#' "$cmakedir"/*.cmake | grep -qi simdjson; then
        echo "simdjson reaches consumers through $pcdir or $cmakedir" >&2
        return 1
    fi
}

echo "-- Installed layout ($libdir)"
installed=$(cd "$prefix" && find . -type f -o -type l)
expect "$installed" "^\./$libdir/libOrv\.TimelineEngineModel\.Serialization\.Json\.so\.$version\$" \
    "^\./$libdir/pkgconfig/orv-timeline-json\.pc\$" "^\./$libdir/cmake/OrvTimelineJson/OrvTimelineJsonConfig\.cmake\$" \
    '^\./share/orv-timeline-json/timeline\.schema\.json$' '^\./share/doc/orv-timeline-json/README\.md$' \
    '^\./share/doc/orv-timeline-json/docs/json-format\.md$' '^\./share/doc/orv-timeline-json/docs/timeline-example\.svg$'
# The manual page comes with the tool's own install rule.
if [ -e docs/orv-timeline-json.1 ]; then
    expect "$installed" '^\./share/man/man1/orv-timeline-json\.1(\.gz)?$'
fi
private_parser_stays_private "$prefix/$libdir/pkgconfig" "$prefix/$libdir/cmake/OrvTimelineJson"

echo "-- Exported symbols"
for library in "$prefix/$libdir"/libOrv.*.so.*.*.*; do
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
# Not from a build configured for /usr/local: its libraries would land in /usr/lib.
if refusal=$(cd "$build" && cpack -G DEB 2>&1); then
    echo "cpack made Debian packages from a build configured for /usr/local" >&2
    exit 1
fi
expect "$refusal" 'configure the build with -DCMAKE_INSTALL_PREFIX=/usr'
cmake "$build" -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j "$jobs"
(cd "$build" && cpack -G DEB >/dev/null)
for package in orv-timeline-json orv-timeline-json-dev; do
    deb=$(ls "$build/${package}_${version}_"*.deb)
    echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
done
# The listings are read whole before grep looks at them: grep -q stops at the
# first match, and under pipefail the tar it cut off would fail the stage.
runtime_deb=$(ls "$build"/orv-timeline-json_"$version"_*.deb)
dev_deb=$(ls "$build"/orv-timeline-json-dev_"$version"_*.deb)
runtime_files=$(dpkg-deb -c "$runtime_deb")
dev_files=$(dpkg-deb -c "$dev_deb")
multiarch=lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expect "$runtime_files" ' \./usr/bin/orv-timeline-json$' \
    " \./usr/$multiarch/libOrv\.TimelineEngineModel\.Serialization\.Json\.so\.$version\$" \
    ' \./usr/share/orv-timeline-json/timeline\.schema\.json$' ' \./usr/share/doc/orv-timeline-json/README\.md$'
expect "$dev_files" " \./usr/$multiarch/pkgconfig/orv-timeline-json\.pc\$" \
    " \./usr/$multiarch/cmake/OrvTimelineJson/OrvTimelineJsonConfig\.cmake\$" \
    " \./usr/$multiarch/libOrv\.TimelineEngineModel\.Serialization\.Json\.so -> "
if grep -E ' \./usr/lib/[^/]+$' <<<"$runtime_files"$'\n'"$dev_files"; then
    echo "files directly in /usr/lib, not in /usr/$multiarch" >&2
    exit 1
fi
dpkg-deb -x "$dev_deb" "$work/deb"
private_parser_stays_private "$work/deb/usr/$multiarch/pkgconfig" "$work/deb/usr/$multiarch/cmake/OrvTimelineJson"
echo "install and tool: ok"
