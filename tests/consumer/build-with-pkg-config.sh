#!/usr/bin/env bash
# Builds and runs the consumer with pkg-config instead of CMake.
#
#   build-with-pkg-config.sh [PREFIX] [BUILD_DIR]
#
# PREFIX is the install prefix (default: a system-wide install, found through
# pkg-config's own search path). The program is linked with a run path to the
# library directory, so it runs without LD_LIBRARY_PATH.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=${1:-}
build=${2:-$(mktemp -d)}
mkdir -p "$build"

if [ -n "$prefix" ]; then
    libdir_pc=$(find "$prefix" -path '*/pkgconfig/orv-timeline-json.pc' -print -quit)
    if [ -z "$libdir_pc" ]; then
        echo "no orv-timeline-json.pc under $prefix" >&2
        exit 1
    fi
    export PKG_CONFIG_PATH="$(dirname "$libdir_pc")${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}"
fi

version=$(pkg-config --modversion orv-timeline-json)
libdir=$(pkg-config --variable=libdir orv-timeline-json)
schema=$(pkg-config --variable=schema orv-timeline-json)
echo "pkg-config: orv-timeline-json $version, libdir $libdir, schema $schema"
if [ ! -f "$schema" ]; then
    echo "no schema at $schema" >&2
    exit 1
fi
# Word splitting of the flags is intended.
# shellcheck disable=SC2046
${CXX:-c++} -std=c++17 -Wall -Wextra -Wpedantic -Werror \
    $(pkg-config --cflags orv-timeline-json) \
    "$here/main.cpp" -o "$build/app-pkg-config" \
    $(pkg-config --libs orv-timeline-json) -Wl,-rpath,"$libdir"
"$build/app-pkg-config"
