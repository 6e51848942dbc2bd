#!/usr/bin/env bash
# A golden recording of everything observable, for changes that must not
# change behaviour: record it before the change, compare after it.
#
#   scripts/golden.sh record DIR [BUILD]    writes DIR/library.txt and DIR/tool.txt
#   scripts/golden.sh compare DIR [BUILD]   records again into DIR.new and
#                                           compares byte for byte
#
# The inputs: the bundled example, JSONTestSuite (../shared/corpus beside the
# clone) and any corpus directories named in GOLDEN_CORPORA (space-separated);
# orv-golden-record (tests/golden) adds generated models and documents, each
# also perturbed, to the library part. The tool part runs check (text and
# JSON, default and strict, every kind) and format on every input file, and
# diff on each pair of neighbours. GOLDEN_PARTS="library" records and compares
# the library part alone (the tool part takes most of the time).
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:?record or compare}
dir=${2:?directory}
build=${3:-build-golden}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DORV_TIMELINE_JSON_INSTALL=OFF >/dev/null
cmake --build "$build" --target orv-golden-record orv-timeline-json >/dev/null

inputs=$(mktemp -d)
trap 'rm -rf "$inputs"' EXIT
cp examples/data/*.json "$inputs/"
if [ -d ../shared/corpus/JSONTestSuite/test_parsing ]; then
    cp ../shared/corpus/JSONTestSuite/test_parsing/* "$inputs/"
fi
for corpus in ${GOLDEN_CORPORA:-}; do
    for file in "$corpus"/*; do
        [ -f "$file" ] && cp "$file" "$inputs/corpus-$(basename "$corpus")-$(basename "$file")"
    done
done

target=$dir
[ "$mode" = compare ] && target=$dir.new
mkdir -p "$target"
files=$(cd "$inputs" && ls | LC_ALL=C sort)
root=$(pwd)
(cd "$inputs" && echo "$files" | tr '\n' '\0' | xargs -0 "$root/$build/tests/orv-golden-record") >"$target/library.txt"

parts=${GOLDEN_PARTS:-library tool}
tool="$build/tools/orv-timeline-json"
[[ " $parts " == *" tool "* ]] && {
    for file in $files; do
        echo "=== $file"
        for kind in timeline track item media-info effect; do
            for flags in "" "--strict"; do
                for format in text json; do
                    echo "--- check --as $kind $flags --format $format"
                    status=0
                    (cd "$inputs" && "$root/$tool" check --as "$kind" $flags --format "$format" "$file") 2>&1 || status=$?
                    echo "exit $status"
                done
            done
            echo "--- format --as $kind"
            status=0
            (cd "$inputs" && "$root/$tool" format --as "$kind" "$file") 2>&1 || status=$?
            echo "exit $status"
        done
    done
    # diff of each input against the one after it.
    previous=""
    for file in $files; do
        if [ -n "$previous" ]; then
            echo "=== diff $previous $file"
            status=0
            (cd "$inputs" && "$root/$tool" diff --max 50 "$previous" "$file") 2>&1 || status=$?
            echo "exit $status"
        fi
        previous=$file
    done
} >"$target/tool.txt"

if [ "$mode" = compare ]; then
    status=0
    for part in $parts; do
        if cmp -s "$dir/$part.txt" "$target/$part.txt"; then
            echo "$part: identical ($(wc -c <"$target/$part.txt") bytes)"
        else
            echo "$part: DIFFERS"
            diff "$dir/$part.txt" "$target/$part.txt" | head -40
            status=1
        fi
    done
    exit $status
fi
echo "recorded $(echo "$files" | wc -l) inputs into $target ($(du -sh "$target" | cut -f1))"
