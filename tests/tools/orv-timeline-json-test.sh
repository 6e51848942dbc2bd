#!/usr/bin/env bash
# Tests of the orv-timeline-json command-line tool, run against the built
# binary.
#
#   orv-timeline-json-test.sh TOOL GROUP VERSION SOURCE_DIR
#
# GROUP is one of: general check format diff generate render manual (or all). Every case
# states the exit status and the exact standard output and standard error it
# expects; a failing case prints what it got. Exit status 0 when all pass.
set -uo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 TOOL GROUP VERSION SOURCE_DIR" >&2
    exit 2
fi
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
group=$2
version=$3
source_dir=$(cd "$4" && pwd)
example="$source_dir/examples/data/timeline.json"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2

cases=0
failures=0

# Expected output forms:
#   ""        nothing at all
#   "=TEXT"   exactly TEXT followed by one newline
#   "<TEXT"   the last line is exactly TEXT (check's diagnostics come before)
#   "~REGEX"  some line matches the extended regular expression
#   "@FILE"   byte for byte the content of FILE
matches() {
    local spec=$1 file=$2
    case "$spec" in
        "") [ ! -s "$file" ] ;;
        =*) printf '%s\n' "${spec#=}" | cmp -s - "$file" ;;
        "<"*) [ "$(tail -n 1 "$file")" = "${spec#<}" ] ;;
        "~"*) grep -Eq -- "${spec#\~}" "$file" ;;
        @*) cmp -s "${spec#@}" "$file" ;;
        *) echo "bad expectation '$spec'" >&2; return 1 ;;
    esac
}

# expect NAME STATUS STDOUT STDERR [--stdin FILE] [--stdout FILE] [--ulimit LIMITS] -- ARGUMENTS...
# --stdout sends standard output to FILE (STDOUT then applies to nothing);
# --ulimit runs the tool under `ulimit LIMITS`.
expect() {
    local name=$1 want_status=$2 want_out=$3 want_err=$4
    shift 4
    local input=/dev/null output=$work/.out limits=""
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        case "$1" in
            --stdin) input=$2 ;;
            --stdout) output=$2 ;;
            --ulimit) limits=$2 ;;
        esac
        shift 2
    done
    [ "${1:-}" = "--" ] && shift
    cases=$((cases + 1))
    local status=0
    : >"$work/.out"
    # Under limits, a coverage build's counters go to a scratch folder and its
    # complaints to /dev/null: a file size limit would otherwise cut the real
    # counter files and add gcov's messages to the tool's standard error.
    # shellcheck disable=SC2086 # LIMITS is a list of ulimit's arguments
    (if [ -n "$limits" ]; then
         ulimit $limits || exit 125
         export GCOV_PREFIX="$work/.gcov-limited" GCOV_ERROR_FILE=/dev/null
     fi
     exec "$tool" "$@") \
        <"$input" >"$output" 2>"$work/.err" || status=$?
    local ok=1
    [ "$status" -eq "$want_status" ] || ok=0
    matches "$want_out" "$work/.out" || ok=0
    matches "$want_err" "$work/.err" || ok=0
    if [ $ok -eq 0 ]; then
        failures=$((failures + 1))
        echo "FAIL: $name"
        echo "  command: orv-timeline-json $*"
        echo "  status:  $status (expected $want_status)"
        echo "  stdout (expected '${want_out:0:200}'):"
        head -c 2000 "$work/.out" | sed 's/^/    | /'
        echo "  stderr (expected '${want_err:0:200}'):"
        head -c 2000 "$work/.err" | sed 's/^/    | /'
    fi
}

# verify NAME COMMAND...: a case that passes when COMMAND succeeds.
verify() {
    local name=$1
    shift
    cases=$((cases + 1))
    if ! "$@"; then
        failures=$((failures + 1))
        echo "FAIL: $name"
        echo "  check: $*"
    fi
}

# A timeline in no particular key order, with a key the format does not know,
# a number given as a JSON number (ignored by the readers) and every item kind.
cat >small.json <<'EOF'
{
  "mediaInfos": [{"channels": "L,R", "mediaAssetId": "asset-7", "limitDuration": "250", "limitIn": "0"}],
  "tracks": [{"type": "whatever", "items": [
      {"videoIn": "5", "_type": "MediaSummaryItem", "id": "clip-1", "mediaAssetId": "asset-7", "audioLevel": -3},
      {"_type": "FxAudioTransitionItem", "id": "fx-a", "fxType": "Mix", "offset": "-5", "duration": "10"},
      {"_type": "FxVideoTransitionItem", "id": "fx-v", "fxType": "Cut", "config": "{\"curve\":\"linear\"}"}
  ], "id": "trk-1"}],
  "duration": "1500",
  "extra": "ignored",
  "id": "tl-1"
}
EOF
small_compact='{"id":"tl-1","duration":"1500","tracks":[{"id":"trk-1","type":"SUMMARY","items":[{"_type":"MediaSummaryItem","id":"clip-1","videoIn":"5","videoDuration":"0","audioIn":"0","audioDuration":"0","mediaAssetId":"asset-7","mediaVideoIn":"0","mediaVideoDuration":"0","mediaAudioIn":"0","mediaAudioDuration":"0","audioLevel":"0","monitoringChannel":"0"},{"_type":"FxAudioTransitionItem","id":"fx-a","fxType":"Mix","offset":"-5","duration":"10"},{"_type":"FxVideoTransitionItem","id":"fx-v","fxType":"Cut","config":"{\"curve\":\"linear\"}"}]}],"mediaInfos":[{"mediaAssetId":"asset-7","limitDuration":"250","channels":"L,R"}]}'
small_summary='timeline "tl-1": 1 track, 3 items (1 media summary, 1 audio transition, 1 video transition), 1 media info, duration 1500'

printf '{"id":"m","duration":"7"}' >minimal.json
printf '' >empty.json
printf 'hello' >text.json
printf '{"id": "a",\n  "duration": }' >broken.json
printf '[{"id":"a"}]' >array.json
printf '"just a string"' >string.json
# jsoncpp's default leniency, the same for every kind: comments, duplicate
# keys (the last counts), trailing commas, text after the document.
printf '/* c */ {"id":"a","id":"b",} {"id":"c"} // d' >lenient.json
printf '{"fxType":"Cut","fxType":"Mix",} // d' >lenient-effect.json
printf '{"duration":"abc"}' >badnumber.json
printf '{"duration":"9223372036854775808"}' >outofrange.json
printf '{"tracks":[{"id":"t","items":[{"id":"a"},5,{"id":"b"}]}]}' >emptyentry.json
printf '{"id":"t","items":[{"id":"a"},"x"]}' >emptyentry-track.json
printf 'null' >null.json
# A track item that fails inside a track that the reader carries on with.
printf '{"tracks":[{"id":"t","items":[{"_type":"FxVideoTransitionItem","id":"a","offset":"abc"},{"id":"b"}]}]}' >itemerror.json
# Keys that would reach a terminal as escape sequences, a byte that is not
# UTF-8, and an id that would turn the rest of its line around (U+202E).
printf '{"\\u001b]0;x\\u0007\\u001b[2J":1,"\xff":2,"id":"\\u202eevil\\u0007"}' >escapes.json
escapes_summary='timeline "\u202eevil\u0007": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0' 
# repeat CHARACTER COUNT
repeat() { head -c "$2" /dev/zero | tr '\0' "$1"; }
{ printf '{"'; repeat a 1000000; printf '":1}'; } >longkey.json
head -c 5000 /dev/zero | tr '\0' '[' >deep.json
mkdir adirectory

# Documents of the other entities.
printf '{"id":"t9","type":"SUMMARY","items":[{"_type":"FxVideoTransitionItem","id":"v"},{"id":"s"}]}' >track.json
printf '{"_type":"FxAudioTransitionItem","id":"x1","fxType":"Mix","duration":"25","videoIn":"5"}' >item.json
printf '{"id":"x2","videoIn":"abc"}' >baditem.json
printf '{"mediaAssetId":"asset-1","limitIn":"12abc","limitDuration":"-40","channels":"L"}' >mediainfo.json
printf '{"fxType":"Cut","offset":" -3","config":"c"}' >effect.json
printf '{"fxType":"Mix","offset":"x"}' >badeffect.json

# Larger than the largest document loaded, made in an instant (sparse).
truncate -s 3G huge.json
too_large="cannot be read: larger than 2147483647 bytes, the largest document loaded"

# Cases under a memory limit need the tool itself to run (not a wrapper
# script around valgrind) and to start under the limit at all (a sanitizer's
# shadow memory does not fit); elsewhere they are skipped.
memory_limit="-v 100000"
memory_cases=0
# shellcheck disable=SC2086
if [ "$(head -c 4 "$tool" | od -An -c | tr -d ' ')" = '177ELF' ] &&
    (exec >/dev/null 2>&1 && ulimit $memory_limit && "$tool" --version; exit $?); then
    memory_cases=1
fi
# expect_memory ARGUMENTS OF expect...: a case under the memory limit.
expect_memory() {
    if [ $memory_cases -eq 1 ]; then
        expect "$1" "$2" "$3" "$4" --ulimit "$memory_limit" "${@:5}"
    else
        echo "skipped: $1 (no memory limit for this tool)"
    fi
}

# expect_bounded ARGUMENTS OF expect...: a case under the memory limit where
# it applies, and without it elsewhere.
expect_bounded() {
    if [ $memory_cases -eq 1 ]; then
        expect "$1" "$2" "$3" "$4" --ulimit "$memory_limit" "${@:5}"
    else
        expect "$@"
    fi
}

# timeline_of TRACK...: a timeline document. TRACK is ID=ITEMS, ITEMS a
# comma-separated list of item ids ("_" for none), each with ":N" for its
# videoIn; "@ASSET:CHANNELS" is a media info instead.
timeline_of() {
    local track id list tracks=() infos=()
    for track in "$@"; do
        if [ "${track:0:1}" = @ ]; then
            IFS=: read -r id list <<<"${track:1}"
            infos+=("{\"mediaAssetId\":\"$id\",\"channels\":\"$list\"}")
            continue
        fi
        # read, not ${track#*=}: patterns take quadratic time on long lists.
        IFS='=' read -r id list <<<"$track"
        tracks+=("{\"id\":\"$id\",\"items\":[$(tr , '\n' <<<"$list" |
            sed -E '/^$/d; s/^([^:]*):(.*)$/{"id":"\1","videoIn":"\2"}/; t; s/.*/{"id":"&"}/' |
            sed 's/"id":"_"/"id":""/' | paste -sd,)]}")
    done
    local IFS=,
    printf '{"tracks":[%s],"mediaInfos":[%s]}\n' "${tracks[*]}" "${infos[*]}"
}

deep_error='~^deep.json: not JSON: nesting deeper than the parser allows \(.+\)$'
stoll_hint='stoll (a number text does not start with a decimal integer, or lies outside the 64-bit range)'

group_general() {
    expect "no arguments" 2 "" "~^orv-timeline-json: no command given$" --
    expect "tool help" 0 "~^Usage: orv-timeline-json COMMAND" "" -- --help
    expect "tool help, short" 0 "~^Usage: orv-timeline-json COMMAND" "" -- -h
    expect "version" 0 "=orv-timeline-json $version" "" -- --version
    expect "unknown command" 2 "" "=orv-timeline-json: unknown command 'frob' (expected check, format, diff, generate or render)
Run 'orv-timeline-json --help' for usage." -- frob
    expect "unknown tool option" 2 "" "=orv-timeline-json: unknown option '--frob'
Run 'orv-timeline-json --help' for usage." -- --frob
    expect "help for an unknown command" 2 "" "~unknown command 'frob'" -- help frob
    local command
    for command in check format diff generate render; do
        expect "$command --help" 0 "~^Usage: orv-timeline-json $command " "" -- "$command" --help
        expect "help $command" 0 "~^Usage: orv-timeline-json $command " "" -- help "$command"
        expect "$command with an unknown option" 2 "" "=orv-timeline-json: $command: unknown option '--frob'
Run 'orv-timeline-json $command --help' for usage." -- "$command" --frob
    done
}

group_check() {
    expect "a timeline, with its diagnostics" 0 "=small.json: ok: $small_summary" '=small.json:3:23: warning: /tracks/0/type: track type "whatever" is never read: the track is SUMMARY [ignored-track-type]
small.json:4:110: warning: /tracks/0/items/0/audioLevel: a JSON number where a text is due: skipped, audioLevel stays 0 [wrong-type]
small.json:9:12: warning: /extra: unknown key "extra": ignored [unknown-key]' -- check small.json
    expect "standard input" 0 "=-: ok: $small_summary" '~^-:9:12: warning: /extra: ' --stdin small.json -- check -
    expect "--strict fails a file on warnings" 1 "" "<small.json: not strict: 3 diagnostics" -- check --strict small.json
    expect "--strict holds the text to RFC 8259" 1 "" '~^lenient.json:1:1: warning: not RFC 8259 JSON \(.+\), though jsoncpp accepts it \[not-strict-json\]$' \
        -- check --strict lenient.json
    expect "--strict passes a clean document" 0 '=minimal.json: ok: timeline "m": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7' "" \
        -- check --strict minimal.json
    local empty_summary='timeline "": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0'
    local item_error='itemerror.json:1:82: error: /tracks/0/items/0/offset: "abc" does not start with an integer: the read fails with "stoll"; the item is kept with a default effect; left unread: id [integer-invalid]'
    local item_summary='timeline "": 1 track, 2 items (1 media summary, 0 audio transition, 1 video transition), 0 media infos, duration 0'
    expect "--format json" 0 "=[{\"file\":\"null.json\",\"status\":\"ok\",\"summary\":\"${empty_summary//\"/\\\"}\",\"errors\":0,\"warnings\":1,\"diagnostics\":[{\"line\":1,\"column\":1,\"severity\":\"warning\",\"code\":\"null-value\",\"pointer\":\"\",\"message\":\"null where a timeline is due: read as a default timeline\"}]}]" \
        "=null.json: ok: $empty_summary" -- check --format json null.json
    expect "an error inside a track fails the file" 1 "" "=$item_error
itemerror.json:1:89: warning: /tracks/0/items/1: no \"_type\": read as a media summary item [missing-item-type]
itemerror.json: read with errors: 1 error (the readers carry on past it): $item_summary" -- check itemerror.json
    expect "--format json, one object per file whatever failed" 1 \
        "=[{\"file\":\"itemerror.json\",\"status\":\"failed\",\"error\":\"read with errors: 1 error (the readers carry on past it): ${item_summary//\"/\\\"}\",\"errors\":1,\"warnings\":1,\"diagnostics\":[{\"line\":1,\"column\":82,\"severity\":\"error\",\"code\":\"integer-invalid\",\"pointer\":\"/tracks/0/items/0/offset\",\"message\":\"\\\"abc\\\" does not start with an integer: the read fails with \\\"stoll\\\"; the item is kept with a default effect; left unread: id\"},{\"line\":1,\"column\":89,\"severity\":\"warning\",\"code\":\"missing-item-type\",\"pointer\":\"/tracks/0/items/1\",\"message\":\"no \\\"_type\\\": read as a media summary item\"}]},{\"file\":\"missing.json\",\"status\":\"failed\",\"error\":\"cannot be read: No such file or directory\",\"errors\":0,\"warnings\":0,\"diagnostics\":[]},{\"file\":\"minimal.json\",\"status\":\"ok\",\"summary\":\"timeline \\\"m\\\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7\",\"errors\":0,\"warnings\":0,\"diagnostics\":[]}]" \
        "=itemerror.json: read with errors: 1 error (the readers carry on past it): $item_summary
missing.json: cannot be read: No such file or directory
minimal.json: ok: timeline \"m\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7
3 files: 1 clean, 0 with warnings, 2 failed (1 error, 1 warning)" \
        -- check --format json itemerror.json missing.json minimal.json
    expect "--format json, a missing file" 1 '=[{"file":"missing.json","status":"failed","error":"cannot be read: No such file or directory","errors":0,"warnings":0,"diagnostics":[]}]' \
        "=missing.json: cannot be read: No such file or directory" -- check --format json missing.json
    # Diagnostics show what the document holds escaped, and shortened.
    expect "escape sequences and bytes that are not UTF-8" 0 "=escapes.json: ok: $escapes_summary" \
        '=escapes.json:1:30: warning: /\u001b]0;x\u0007\u001b[2J: unknown key "\u001b]0;x\u0007\u001b[2J": ignored [unknown-key]
escapes.json:1:36: warning: /\xff: unknown key "\xff": ignored [unknown-key]' -- check escapes.json
    expect "--format json is UTF-8 whatever the document holds" 0 \
        '=[{"file":"escapes.json","status":"ok","summary":"timeline \"\\u202eevil\\u0007\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0","errors":0,"warnings":2,"diagnostics":[{"line":1,"column":30,"severity":"warning","code":"unknown-key","pointer":"/\\u001b]0;x\\u0007\\u001b[2J","message":"unknown key \"\\u001b]0;x\\u0007\\u001b[2J\": ignored"},{"line":1,"column":36,"severity":"warning","code":"unknown-key","pointer":"/\\xff","message":"unknown key \"\\xff\": ignored"}]}]' \
        "=escapes.json: ok: $escapes_summary" -- check --format json escapes.json
    expect "a long key gives a short line" 0 "=longkey.json: ok: $empty_summary" \
        "=longkey.json:1:1000005: warning: /$(repeat a 191)...: unknown key \"$(repeat a 48)...\": ignored [unknown-key]" -- check longkey.json
    expect_memory "a file that runs out of memory, then the next" 1 \
        '=[{"file":"/dev/zero","status":"failed","error":"out of memory","errors":0,"warnings":0,"diagnostics":[]},{"file":"null.json","status":"ok","summary":"timeline \"\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0","errors":0,"warnings":1,"diagnostics":[{"line":1,"column":1,"severity":"warning","code":"null-value","pointer":"","message":"null where a timeline is due: read as a default timeline"}]}]' \
        "=/dev/zero: out of memory
null.json: ok: $empty_summary
2 files: 0 clean, 1 with warnings, 1 failed (0 errors, 1 warning)" -- check --format json /dev/zero null.json
    expect_memory "out of memory in text" 1 "=minimal.json: ok: timeline \"m\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7" \
        "=/dev/zero: out of memory
2 files: 1 clean, 0 with warnings, 1 failed (0 errors, 0 warnings)" -- check /dev/zero minimal.json
    expect "an unknown format" 2 "" "~^orv-timeline-json: check: unknown format 'xml' \(expected text or json\)$" -- check --format xml x
    expect "the bundled example" 0 "~^.*timeline.json: ok: timeline \"promo-spring-campaign\": 4 tracks, " "" -- check "$example"
    expect "a null document is an empty timeline" 0 \
        '=null.json: ok: timeline "": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0' \
        '=null.json:1:1: warning: null where a timeline is due: read as a default timeline [null-value]' -- check null.json
    expect "several files, one failing" 1 "=small.json: ok: $small_summary
minimal.json: ok: timeline \"m\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7" \
        "<3 files: 1 clean, 1 with warnings, 1 failed (0 errors, 3 warnings)" -- check small.json missing.json minimal.json
    expect "a missing file" 1 "" "=missing.json: cannot be read: No such file or directory" -- check missing.json
    # --quiet: only what fails a file, and the summary line when one did.
    local null_warning='null.json:1:1: warning: null where a timeline is due: read as a default timeline [null-value]'
    local minimal_ok='minimal.json: ok: timeline "m": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7'
    expect "a summary line after several files" 0 "=$minimal_ok
null.json: ok: $empty_summary" "=$null_warning
2 files: 1 clean, 1 with warnings, 0 failed (0 errors, 1 warning)" -- check minimal.json null.json
    expect "--quiet, nothing fails" 0 "" "" -- check --quiet minimal.json null.json
    expect "-q, one file fails" 1 "" "=$item_error
itemerror.json: read with errors: 1 error (the readers carry on past it): $item_summary
3 files: 1 clean, 1 with warnings, 1 failed (1 error, 2 warnings)" -- check -q null.json itemerror.json minimal.json
    expect "--quiet, one file, no summary" 1 "" "=missing.json: cannot be read: No such file or directory" -- check -q missing.json
    expect "--quiet --strict shows the warnings that fail" 1 "" "=$null_warning
null.json: not strict: 1 diagnostic
2 files: 1 clean, 0 with warnings, 1 failed (0 errors, 1 warning)" -- check -q --strict null.json minimal.json
    expect "--quiet leaves --format json whole" 1 \
        '=[{"file":"minimal.json","status":"ok","summary":"timeline \"m\": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 7","errors":0,"warnings":0,"diagnostics":[]},{"file":"missing.json","status":"failed","error":"cannot be read: No such file or directory","errors":0,"warnings":0,"diagnostics":[]}]' \
        "=missing.json: cannot be read: No such file or directory
2 files: 1 clean, 0 with warnings, 1 failed (0 errors, 0 warnings)" -- check -q --format json minimal.json missing.json
    expect "standard output that cannot be written" 1 "" \
        "=orv-timeline-json: cannot write to standard output: No space left on device" --stdout /dev/full -- check minimal.json
    expect "a directory" 1 "" "=adirectory: cannot be read: Is a directory" -- check adirectory
    expect "a file larger than the limit is not read" 1 "" "=huge.json: $too_large" -- check huge.json
    expect "standard input larger than the limit" 1 "" "=-: $too_large" --stdin huge.json -- check -
    expect "an empty file" 1 "" "~^empty.json: not JSON: Line 1, Column 1: .+$" -- check empty.json
    expect "text that is not JSON" 1 "" "~^text.json: not JSON: Line 1, Column 1: .+$" -- check text.json
    expect "a syntax error names line and column" 1 "" "~^broken.json: not JSON: Line 2, Column 15: .+$" -- check broken.json
    expect "jsoncpp's default leniency" 0 \
        '=lenient.json: ok: timeline "b": 0 tracks, 0 items (0 media summary, 0 audio transition, 0 video transition), 0 media infos, duration 0' \
        '=lenient.json:1:15: warning: /id: duplicate key "id": the last one counts [duplicate-key]' -- check lenient.json
    expect "the same leniency for every kind" 0 '=lenient-effect.json: ok: transition effect Mix, offset 0, duration 0, config ""' '~\[duplicate-key\]$' \
        -- check --as effect lenient-effect.json
    expect "nesting deeper than the parser allows" 1 "" "$deep_error" -- check deep.json
    expect "a root array" 1 "" "~^array.json: not a timeline: .*requires objectValue or nullValue$" -- check array.json
    expect "a root string" 1 "" "~^string.json: not a timeline: .*requires objectValue or nullValue$" -- check string.json
    expect "a number text that is no number" 1 "" "<badnumber.json: not a timeline: $stoll_hint" -- check badnumber.json
    expect "a number out of range" 1 "" "<outofrange.json: not a timeline: $stoll_hint" -- check outofrange.json
    expect "an items element that is not an object" 1 "" \
        '<emptyentry.json: not writable: tracks[0] (id "t") items[1] holds no item (its element is neither an object nor null)' \
        -- check emptyentry.json
    expect "--as track" 0 '=track.json: ok: track "t9": 2 items (1 media summary, 0 audio transition, 1 video transition)' '~\[missing-item-type\]$' \
        -- check --as track track.json
    expect "--as=track" 0 '=track.json: ok: track "t9": 2 items (1 media summary, 0 audio transition, 1 video transition)' '~\[missing-item-type\]$' \
        -- check --as=track track.json
    expect "--as item" 0 '=item.json: ok: FxAudioTransitionItem "x1": effect Mix, offset 0, duration 25, config ""' \
        '~/videoIn: key "videoIn" is not read in an audio transition item: ignored \[unknown-key\]$' \
        -- check --as item item.json
    expect "--as item, a bad number" 1 "" "<baditem.json: not a track item: $stoll_hint" -- check --as item baditem.json
    expect "--as media-info" 0 '=mediainfo.json: ok: media info "asset-1": limit in 12, limit duration -40, channels "L"' '~\[integer-suffix\]$' \
        -- check --as media-info mediainfo.json
    expect "--as effect" 0 '=effect.json: ok: transition effect Cut, offset -3, duration 0, config "c"' '~\[integer-form\]$' \
        -- check --as effect effect.json
    expect "--as effect, a bad number" 1 "" "<badeffect.json: not a transition effect: $stoll_hint" \
        -- check --as effect badeffect.json
    expect "--as track, an items element that is not an object" 1 "" \
        '<emptyentry-track.json: not writable: items[1] holds no item (its element is neither an object nor null)' \
        -- check --as track emptyentry-track.json
    expect "no file" 2 "" "=orv-timeline-json: check: no FILE given
Run 'orv-timeline-json check --help' for usage." -- check
    expect "an unknown kind" 2 "" "~^orv-timeline-json: check: unknown kind 'film' \(expected timeline, track, item, media-info or effect\)$" \
        -- check --as film small.json
    expect "--as without a value" 2 "" "~^orv-timeline-json: check: option '--as' needs a value$" -- check --as
    expect "standard input twice" 2 "" "~^orv-timeline-json: check: standard input \(\"-\"\) can be read only once$" -- check - -
    expect "--as given twice" 2 "" "~^orv-timeline-json: check: option '--as' given twice$" -- check --as track --as item x
}

group_format() {
    expect "compact" 0 "=$small_compact" "" -- format small.json
    expect "standard input" 0 "=$small_compact" "" --stdin small.json -- format -
    expect "pretty" 0 '={
  "id": "m",
  "duration": "7"
}' "" -- format --pretty minimal.json
    expect "an option after the file" 0 '={
  "id": "m",
  "duration": "7"
}' "" -- format minimal.json --pretty
    expect "a null document" 0 '={"duration":"0"}' "" -- format null.json
    # The bundled example is kept exactly as format --pretty writes it.
    expect "the bundled example is canonical" 0 "@$example" "" -- format --pretty "$example"
    # The example of the format documentation is kept canonical.
    sed -n '/<!-- canonical-example -->/,/^```$/p' "$source_dir/docs/json-format.md" | sed '1,2d;$d' >doc-example.json
    expect "the documented example is canonical" 0 "@doc-example.json" "" -- format --pretty doc-example.json
    expect "the documented example is a timeline" 0 "~^doc-example.json: ok: timeline \"tl-42\": 3 tracks, 4 items " "" -- check doc-example.json
    expect "-o writes the file" 0 "" "" -- format -o out.json small.json
    expect "the file written by -o" 0 "=$small_compact" "" -- format out.json
    printf '%s\n' "$small_compact" >small-expected.json
    verify "-o content" cmp -s out.json small-expected.json
    expect "--output= form" 0 "" "" -- format --output=out2.json --pretty minimal.json
    expect "canonical text is a fixed point" 0 "@out2.json" "" -- format --pretty out2.json
    # -o replaces a file whole: a write that fails part-way (at the file size
    # limit, whose signal the tool ignores) leaves the old text and no
    # temporary file.
    mkdir replaced
    "$tool" generate --tracks 10 --pretty >replaced/doc.json
    cp replaced/doc.json doc-before.json
    expect "a write that fails part-way" 1 "" "=replaced/doc.json: cannot be written: File too large" \
        --ulimit "-f 16" -- format --pretty -o replaced/doc.json replaced/doc.json
    verify "a failed write leaves the old file" cmp -s replaced/doc.json doc-before.json
    verify "a failed write leaves no temporary file" [ "$(ls -A replaced)" = doc.json ]
    expect "-o, a new file" 0 "" "" --ulimit "-f 16" -- format --pretty -o replaced/small.json small.json
    (umask 027 && "$tool" format -o new.json small.json)
    verify "a new file's mode is 0666 less the umask" [ "$(stat -c %a new.json)" = 640 ]
    chmod 604 out2.json
    expect "-o over an existing file" 0 "" "" -- format -o out2.json small.json
    verify "the replaced file keeps its mode" [ "$(stat -c %a out2.json)/$(cat out2.json)" = "604/$small_compact" ]
    ln -s out2.json link.json
    expect "-o through a symbolic link" 0 "" "" -- format -o link.json minimal.json
    verify "the link stays, its file is replaced" [ -L link.json -a "$(cat out2.json)" = '{"id":"m","duration":"7"}' ]
    expect "-o to a device is written in place" 1 "" "=/dev/full: cannot be written: No space left on device" \
        -- format -o /dev/full small.json
    expect "standard output that cannot be written" 1 "" \
        "=orv-timeline-json: cannot write to standard output: No space left on device" --stdout /dev/full -- format small.json
    expect "--as track" 0 '={"id":"t9","type":"SUMMARY","items":[{"_type":"FxVideoTransitionItem","id":"v"},{"_type":"MediaSummaryItem","id":"s","videoIn":"0","videoDuration":"0","audioIn":"0","audioDuration":"0","mediaVideoIn":"0","mediaVideoDuration":"0","mediaAudioIn":"0","mediaAudioDuration":"0","audioLevel":"0","monitoringChannel":"0"}]}' "" \
        -- format --as track track.json
    expect "--as item" 0 '={"_type":"FxAudioTransitionItem","id":"x1","fxType":"Mix","duration":"25"}' "" -- format --as item item.json
    expect "--as media-info" 0 '={"mediaAssetId":"asset-1","limitIn":"12","limitDuration":"-40","channels":"L"}' "" \
        -- format --as media-info mediainfo.json
    expect "--as effect" 0 '={"fxType":"Cut","offset":"-3","config":"c"}' "" -- format --as effect effect.json
    expect "a missing file" 1 "" "=missing.json: cannot be read: No such file or directory" -- format missing.json
    expect "a directory" 1 "" "=adirectory: cannot be read: Is a directory" -- format adirectory
    expect "a file larger than the limit" 1 "" "=huge.json: $too_large" -- format --as item huge.json
    expect_memory "a stream that outgrows memory" 1 "" "=/dev/zero: out of memory" -- format /dev/zero
    expect_memory "out of memory, another kind" 1 "" "=/dev/zero: out of memory" -- format --as effect /dev/zero
    expect "an empty file" 1 "" "~^empty.json: not JSON: Line 1, Column 1: .+$" -- format empty.json
    expect "not JSON" 1 "" "~^broken.json: not JSON: Line 2, Column 15: .+$" -- format broken.json
    expect "nesting deeper than the parser allows" 1 "" "$deep_error" -- format deep.json
    expect "a root array" 1 "" "~^array.json: not a timeline: .*requires objectValue or nullValue$" -- format array.json
    expect "a bad number" 1 "" "<badnumber.json: not a timeline: $stoll_hint" -- format badnumber.json
    expect "an entry without an item" 1 "" \
        '=emptyentry.json: cannot be written back: track item entry holds no item (tracks[0] (id "t") items[1]: its element in the document is neither an object nor null)' \
        -- format emptyentry.json
    expect "an entry without an item, track" 1 "" \
        '=emptyentry-track.json: cannot be written back: track item entry holds no item (items[1]: its element in the document is neither an object nor null)' \
        -- format --as track emptyentry-track.json
    expect "a failed conversion leaves -o alone" 1 "" "<badnumber.json: not a timeline: $stoll_hint" -- format -o never.json badnumber.json
    verify "a failed conversion creates no -o file" [ ! -e never.json ]
    expect "an output that cannot be written" 1 "" "=no-such-dir/out.json: cannot be written: No such file or directory" \
        -- format -o no-such-dir/out.json small.json
    expect "no file" 2 "" "~^orv-timeline-json: format: no FILE given$" -- format
    expect "two files" 2 "" "~^orv-timeline-json: format: exactly one FILE expected$" -- format small.json minimal.json
    expect "-o without a value" 2 "" "~^orv-timeline-json: format: option '-o' needs a value$" -- format small.json -o
    expect "--pretty with a value" 2 "" "~^orv-timeline-json: format: option '--pretty' takes no value$" -- format --pretty=yes small.json
    expect "an unknown kind" 2 "" "~^orv-timeline-json: format: unknown kind 'film'" -- format --as film small.json
}

group_diff() {
    "$tool" format --pretty small.json >small-pretty.json
    expect "a document and its canonical form" 0 "=equal timelines" "" -- diff small.json small-pretty.json
    expect "standard input as A" 0 "=equal timelines" "" --stdin small.json -- diff - small-pretty.json
    expect "standard input as B" 0 "=equal timelines" "" --stdin small.json -- diff small.json -
    expect "two empty entries are equal" 0 "=equal timelines" "" -- diff emptyentry.json emptyentry.json

    # B changes the duration, an effect type, a media summary member, the
    # media info channels and adds a track.
    cat >changed.json <<'EOF'
{"id":"tl-1","duration":"1600",
 "tracks":[{"id":"trk-1","items":[
    {"_type":"MediaSummaryItem","id":"clip-1","videoIn":"6","mediaAssetId":"asset-7"},
    {"_type":"FxAudioTransitionItem","id":"fx-a","fxType":"Cut","offset":"-5","duration":"10"},
    {"_type":"FxVideoTransitionItem","id":"fx-v","fxType":"Cut","config":"{\"curve\":\"linear\"}"}]},
   {"id":"trk-2"}],
 "mediaInfos":[{"mediaAssetId":"asset-7","limitDuration":"250","channels":"L"}]}
EOF
    expect "differences" 1 '=duration: A has "1500", B has "1600"
tracks[0] (id "trk-1") items[0] (id "clip-1"): videoIn: A has "5", B has "6"
tracks[0] (id "trk-1") items[1] (id "fx-a"): fxType: A has "Mix", B has "Cut"
tracks[1] (id "trk-2"): inserted
mediaInfos[0] (mediaAssetId "asset-7"): channels: A has "L,R", B has "L"
5 differences' "" -- diff small.json changed.json
    expect "--max" 1 '=duration: A has "1500", B has "1600"
tracks[0] (id "trk-1") items[0] (id "clip-1"): videoIn: A has "5", B has "6"
5 differences (2 shown)' "" -- diff --max 2 small.json changed.json

    cat >kinds.json <<'EOF'
{"id":"tl-1","duration":"1500",
 "tracks":[{"id":"trk-1","items":[
    {"_type":"FxVideoTransitionItem","id":"clip-1"},
    {"_type":"FxAudioTransitionItem","id":"fx-b","fxType":"Mix","offset":"-5","duration":"10"},
    5]}],
 "mediaInfos":[{"mediaAssetId":"asset-7","limitDuration":"250","channels":"L,R"}]}
EOF
    expect "a kind changed under its id, ids removed and inserted" 1 '=tracks[0] (id "trk-1") items[0] (id "clip-1"): _type: A has "MediaSummaryItem", B has "FxVideoTransitionItem"
tracks[0] (id "trk-1") items[1] (id "fx-a"): removed
tracks[0] (id "trk-1") items[2] (id "fx-v"): removed
tracks[0] (id "trk-1") items[1] (id "fx-b"): inserted
tracks[0] (id "trk-1") items[2]: inserted
5 differences' "" -- diff small.json kinds.json
    printf '{"tracks":[{"items":[{"id":"a"},5]}]}' >emptyentry-2.json
    expect "an entry without an item, by position" 1 '=tracks[0] items[1]: entry: A has MediaSummaryItem, B has no item
1 difference' "" -- diff <(printf '{"tracks":[{"items":[{"id":"a"},{}]}]}') emptyentry-2.json
    # Places and values are shortened: a long id costs its text once, not
    # once per item below it.
    for side in 1 2; do
        { printf '{"tracks":[{"id":"'; repeat v 100000; printf '","items":[{"id":"a"},{"id":"b","videoIn":"%s"},' $side
          printf '{"_type":"FxVideoTransitionItem","config":"'; repeat c 300; printf '%s"}]}]}' $side; } >longid-$side.json
    done
    expect "long ids and values" 1 "=tracks[0] (id \"$(repeat v 48)...\") items[1] (id \"b\"): videoIn: A has \"1\", B has \"2\"
tracks[0] (id \"$(repeat v 48)...\") items[2]: config: A has \"$(repeat c 192)...\", B has \"$(repeat c 192)...\"
2 differences" "" -- diff longid-1.json longid-2.json

    # Pairing by id: NAME|A|B|LINES, "\n" between lines; A and B as
    # timeline_of takes them.
    local name a b lines
    while IFS='|' read -r name a b lines; do
        # shellcheck disable=SC2086 # A and B are lists of tracks
        timeline_of $a >pair-a.json && timeline_of $b >pair-b.json
        expect "pairing: $name" 1 "=$(printf '%b' "$lines")" "" -- diff pair-a.json pair-b.json
    done <<EOF
first of 124 items removed|v=$(seq -s, 0 123)|v=$(seq -s, 1 123)|tracks[0] (id "v") items[0] (id "0"): removed\n1 difference
an item inserted|v=a,b,c|v=a,x,b,c|tracks[0] (id "v") items[1] (id "x"): inserted\n1 difference
an item moved|v=a,b,c,d|v=b,c,d,a|tracks[0] (id "v") items[0] (id "a"): moved to items[3]\n1 difference
moved and changed|v=a,b:5,c|v=b:6,a,c|tracks[0] (id "v") items[0] (id "a"): moved to items[1]\ntracks[0] (id "v") items[1] (id "b"): videoIn: A has "5", B has "6"\n2 differences
one replaced by another|v=a,b,c|v=a,x,c|tracks[0] (id "v") items[1] (id "b"): removed\ntracks[0] (id "v") items[1] (id "x"): inserted\n2 differences
tracks|v= a= m=|m= x= a=|tracks[0] (id "v"): removed\ntracks[1] (id "a"): moved to tracks[2]\ntracks[1] (id "x"): inserted\n3 differences
no ids: by position|v=_:1,_:2,_:3|v=_:2,_:3|tracks[0] (id "v") items[0]: videoIn: A has "1", B has "2"\ntracks[0] (id "v") items[1]: videoIn: A has "2", B has "3"\ntracks[0] (id "v") items[2]: removed\n3 differences
repeated ids: by position|v=x,b,x|v=x,b,x:1|tracks[0] (id "v") items[2] (id "x"): videoIn: A has "0", B has "1"\n1 difference
no ids between ids|v=a,_,b,_:1,c|v=_,b,_,c|tracks[0] (id "v") items[0] (id "a"): removed\ntracks[0] (id "v") items[3]: videoIn: A has "1", B has "0"\n2 differences
repeated track ids|v=a v=b|v=a v=c|tracks[1] (id "v") items[0] (id "b"): removed\ntracks[1] (id "v") items[0] (id "c"): inserted\n2 differences
media infos by asset|@m1:L @m2:L|@m2:R|mediaInfos[0] (mediaAssetId "m1"): removed\nmediaInfos[1] (mediaAssetId "m2"): channels: A has "L", B has "R"\n2 differences
EOF
    # Linear but for the order of the pairs: 100,000 items, under the memory
    # limit where it applies.
    timeline_of "v=$(seq -s, 0 99999)" >many-a.json
    timeline_of "v=$(seq -s, 1 49999),$(seq -s, 50001 99999),50000" >many-b.json
    expect_bounded "100,000 items, one removed and one moved" 1 '=tracks[0] (id "v") items[0] (id "0"): removed
tracks[0] (id "v") items[50000] (id "50000"): moved to items[99998]
2 differences' "" -- diff many-a.json many-b.json
    expect "A cannot be read" 1 "" "=missing.json: cannot be read: No such file or directory" -- diff missing.json small.json
    expect "B is not JSON" 1 "" "~^broken.json: not JSON: Line 2, Column 15: .+$" -- diff small.json broken.json
    expect "B is too deep" 1 "" "$deep_error" -- diff small.json deep.json
    expect "B is not a timeline" 1 "" "~^array.json: not a timeline: .*requires objectValue or nullValue$" -- diff small.json array.json
    expect "B is empty" 1 "" "~^empty.json: not JSON: Line 1, Column 1: .+$" -- diff small.json empty.json
    expect "one document" 2 "" "~^orv-timeline-json: diff: two documents expected, A and B; got 1$" -- diff small.json
    expect "standard input twice" 2 "" "~^orv-timeline-json: diff: standard input" -- diff - -
    expect "a bad --max" 2 "" "~^orv-timeline-json: diff: option '--max' wants an integer from 0 to 1000000, not 'x'$" \
        -- diff --max x small.json changed.json
}

group_generate() {
    "$tool" generate --tracks 2 --items-per-track 3 --media-infos 1 --seed 7 >gen-a.json
    expect "the same seed gives the same document" 0 "@gen-a.json" "" \
        -- generate --seed 7 --media-infos 1 --items-per-track 3 --tracks 2
    "$tool" generate --tracks 2 --items-per-track 3 --media-infos 1 --seed 8 >gen-b.json
    verify "two seeds give two documents" [ "$(cat gen-a.json)" != "$(cat gen-b.json)" ]
    expect "the generated document is canonical" 0 "@gen-a.json" "" -- format gen-a.json
    expect "its size" 0 "~^gen-a.json: ok: timeline \"[^\"]*\": 2 tracks, 6 items \(.*\), 1 media info, duration -?[0-9]+$" "" \
        -- check gen-a.json
    expect "seeds 7 and 8 differ" 1 "~ differences?( \([0-9]+ shown\))?$" "" -- diff gen-a.json gen-b.json
    expect "-o" 0 "" "" -- generate --tracks 2 --items-per-track 3 --media-infos 1 --seed 7 -o gen-o.json
    expect "-o holds the same document" 0 "@gen-a.json" "" -- format gen-o.json
    "$tool" generate --tracks 3 --items-per-track 40 --media-infos 4 --seed 3 --awkward-texts --extreme-integers --pretty >awkward.json
    expect "awkward texts and extreme integers survive a round trip" 0 "@awkward.json" "" -- format --pretty awkward.json
    "$tool" generate --tracks 3 --items-per-track 40 --media-infos 4 --seed 3 --awkward-texts --extreme-integers >gen-awkward-compact.json
    expect "awkward, compact equals pretty" 0 "=equal timelines" "" -- diff awkward.json gen-awkward-compact.json
    expect "nothing but the root" 0 "~^-: ok: timeline \"[^\"]*\": 0 tracks, 0 items \(0 media summary, 0 audio transition, 0 video transition\), 0 media infos, duration -?[0-9]+$" "" \
        --stdin <("$tool" generate --tracks 0 --media-infos 0) -- check -
    expect "a negative count" 2 "" "=orv-timeline-json: generate: option '--tracks' wants an integer from 0 to 1000000, not '-1'
Run 'orv-timeline-json generate --help' for usage." -- generate --tracks=-1
    expect "a count above the bound" 2 "" "~^orv-timeline-json: generate: option '--items-per-track' wants an integer from 0 to 1000000, not '1000001'$" \
        -- generate --items-per-track 1000001
    expect "too many items in all" 2 "" "~^orv-timeline-json: generate: --tracks times --items-per-track exceeds 10000000 items$" \
        -- generate --tracks 1000 --items-per-track 100000
    expect "a seed that is no number" 2 "" "~^orv-timeline-json: generate: option '--seed' wants an integer from 0 to [0-9]+, not '1x'$" \
        -- generate --seed 1x
    expect "an operand" 2 "" "~^orv-timeline-json: generate: unexpected argument 'file.json'$" -- generate file.json
    # A reader that stops early: far more than a pipe holds is written, so the
    # tool meets the closed pipe, and reports it (SIGPIPE ignored).
    "$tool" generate --tracks 50 2>pipe.err | head -c 10 >/dev/null
    verify "a closed pipe" [ "${PIPESTATUS[0]}/$(cat pipe.err)" = "1/orv-timeline-json: cannot write to standard output: Broken pipe" ]
}

# The items a picture shows: those drawn each on their own, and those that
# the runs' tooltips ("N media summary items, ...", "N transitions, ...")
# count.
drawn_items() {
    local each runs
    each=$(xmllint --xpath 'count(//*[@class="item"])' "$1")
    runs=$(xmllint --xpath '//*[@class="run"]/*[1]/text()' "$1" 2>/dev/null | sed -n 's/^\([0-9][0-9]*\) .*/+\1/p' | tr -d '\n')
    echo $((each $runs))
}

# render_case NAME FILE CHECK...: render draws FILE (with the options of the
# array render_options, when the caller has one) as well-formed XML
# (xmllint), in which each CHECK holds: XPATH=VALUE, the XPath expression
# gives VALUE; drawn=N, it shows N items.
render_case() {
    local name=$1 file=$2 check got problem=""
    shift 2
    cases=$((cases + 1))
    if ! "$tool" render -o picture.svg ${render_options[@]+"${render_options[@]}"} "$file" 2>"$work/.err"; then
        problem="render failed: $(head -c 300 "$work/.err")"
    elif ! xmllint --noout picture.svg 2>"$work/.err"; then
        problem="not well-formed: $(head -c 300 "$work/.err")"
    fi
    for check in "$@"; do
        [ -n "$problem" ] && break
        if [ "${check%%=*}" = drawn ]; then
            got=$(drawn_items picture.svg)
        else
            got=$(xmllint --xpath "${check%=*}" picture.svg 2>&1)
        fi
        [ "$got" = "${check##*=}" ] || problem="${check%=*} gives '$got', expected '${check##*=}'"
    done
    if [ -n "$problem" ]; then failures=$((failures + 1)); echo "FAIL: render: $name: $problem"; fi
}

group_render() {
    command -v xmllint >/dev/null || { echo "FAIL: render: xmllint (libxml2-utils) is not installed"; exit 1; }
    local items='count(//*[@class="item"])' in_item='//*[@class="item"]/*'
    # The number of items, as check counts them.
    items_of() { "$tool" check "$1" | sed -E 's/.* ([0-9]+) items? \(.*/\1/'; }
    "$tool" generate --tracks 3 --items-per-track 40 --awkward-texts --extreme-integers >gen-awkward.json
    # Texts holding markup, control characters and bytes that are not UTF-8,
    # a surrogate or U+FFFE among them; an audio stretch unlike the video's.
    printf '{"id":"<a & \\"b\\" ]]>","duration":"300","tracks":[{"id":"\xff\xfe\xc3(\xed\xa0\x80\xef\xbf\xbe","items":[
        {"id":"x<&>\\u0001\\t\xc0\xaf \xe2\x82\xac","videoDuration":"200","audioIn":"20","audioDuration":"90","mediaAssetId":"\x80"},
        {"_type":"FxAudioTransitionItem","id":"\\u001f","config":"\xf8"}]}]}' >bytes.json
    printf '{"tracks":[{"id":"t\\u202e","items":[{"id":"a"},{"id":"b"},{"id":"c","videoIn":"50","videoDuration":"10"}]}]}' >untimed.json
    printf '{"tracks":[{"items":[{"id":"a","videoDuration":"100"},{"_type":"FxVideoTransitionItem","fxType":"Mix","duration":"10"},{"id":"b","videoIn":"100","videoDuration":"100"}]}]}' >transition.json

    render_case "the bundled example" "$example" "$items=$(items_of "$example")" \
        "count($in_item[@class=\"fx-mark\"])=13" 'count(//*[@class="track"])=4'
    # Integers anywhere in the 64-bit range leave most items far thinner
    # than a pixel: they merge into runs.
    render_case "awkward texts and extreme integers" gen-awkward.json drawn=120 'count(//*[@class="run"])>0=true'
    # 120,000 items: the picture grows with its size, not with the items.
    {
        printf '{"tracks":[{"id":"untimed","items":['
        yes '{},{"_type":"FxVideoTransitionItem"},' | head -n 30000 | tr -d '\n'
        printf '{}]},{"id":"timed","items":['
        seq 1 59998 | sed 's/.*/{"videoIn":"&","videoDuration":"1"},/' | tr -d '\n'
        printf '{}]}]}'
    } >many.json
    render_case "120,000 items" many.json drawn=120000 "$items=0" 'count(//*[@class="run"])=3' \
        'count(//*[@class="legend"]/*[.="items too close to tell apart"])=1'
    verify "120,000 items, a small picture" [ "$(wc -c <picture.svg)" -lt 20000 ]
    # Wide items that overlap: one drawn on its own per pixel of the lane
    # (1022 at the default width), the rest in a run.
    { printf '{"tracks":[{"items":['; yes '{"videoDuration":"100"},' | head -n 1999 | tr -d '\n'; printf '{}]}]}'; } >overlapping.json
    render_case "overlapping items" overlapping.json drawn=2000 "$items=1022" 'count(//*[@class="run"])=1'
    render_case "bytes that XML does not allow" bytes.json "$items=2" \
        'count(//*[@class="track-label"][.="\xf…a0\x80�"])=1' \
        "count($in_item[.='MediaSummaryItem \"x<&>\\u0001\\u0009\\xc0\\xaf €\"
video in 0, duration 200
audio in 20, duration 90
media asset \"\\x80\": video in 0, duration 0; audio in 0, duration 0
audio level 0, monitoring channel 0'])=1" \
        "count($in_item[.='x<&>\\u0001\\u0009\\xc0\\xaf €'])=1" "count($in_item[@class=\"audio\"])=1"
    render_case "items with no timing" untimed.json "$items=3" "count($in_item[@class=\"untimed\"])=2" \
        'count(//*[@class="track-label"][.="t\u202e"])=1' \
        "count($in_item[@class=\"video\"])=1"
    render_case "a transition between its neighbours" transition.json "$items=3" "string($in_item[@class=\"fx-label\"])=Mix 10" \
        "($in_item[@class=\"fx\"])[1]/@x1 = ($in_item[@class=\"video\"])[2]/@x=true"
    render_case "no tracks" minimal.json "$items=0" 'count(//*[@class="track"])=0'
    expect "the README's picture is current" 0 "@$source_dir/docs/timeline-example.svg" "" -- render "$example"
    expect "standard output" 0 '~^<svg xmlns="http://www.w3.org/2000/svg" width="400" ' "" -- render --width 400 minimal.json
    expect "a missing file" 1 "" "=missing.json: cannot be read: No such file or directory" -- render missing.json
    expect "not a timeline" 1 "" "~^array.json: not a timeline: .*requires objectValue or nullValue$" -- render array.json
    expect "no file" 2 "" "~^orv-timeline-json: render: no FILE given$" -- render
    expect "a width too small" 2 "" "~^orv-timeline-json: render: option '--width' wants an integer from 300 to 100000, not '299'$" \
        -- render --width 299 minimal.json

    # A time range and tracks. "v": a 0-100 (asset x), b 100-200 (asset y),
    # c 200-300, with transitions marked at 100 and 200; "w": d 50-150, its
    # audio 250-350; a track without an id: e 0-300.
    printf '%s' '{"duration":"400","tracks":[{"id":"v","items":[{"id":"a","videoDuration":"100","mediaAssetId":"x"},
        {"_type":"FxVideoTransitionItem","id":"f1"},{"id":"b","videoIn":"100","videoDuration":"100","mediaAssetId":"y"},
        {"_type":"FxVideoTransitionItem","id":"f2"},{"id":"c","videoIn":"200","videoDuration":"100"}]},
        {"id":"w","items":[{"id":"d","videoIn":"50","videoDuration":"100","audioIn":"250","audioDuration":"100"}]},
        {"items":[{"id":"e","videoDuration":"300"}]}]}' >view.json
    local heading='string(/*/*[1])' lane='(//*[@class="track"])' ticks='(//*[@class="tick-label"])'
    render_view() {
        local render_options
        read -ra render_options <<<"$2"
        render_case "$1" view.json "${@:3}"
    }
    render_view "--from --to" "--from 100 --to 200" drawn=5 "string(${ticks}[1])=100" "string(${ticks}[last()])=200" \
        "$heading=timeline \"\": 3 tracks, 7 items, duration 400; shown: 3 tracks, 5 items, from 100 to 200" \
        'count(//*[.="duration 400"])=0' 'string((//*[@class="item"])[1]/*[@class="video"]/@fill)=#f28e2b'
    render_view "--from: an audio band reaches into the range" "--from 250" drawn=3 \
        "string(${lane}[2]/*[1])=track \"w\": 1 item" 'count(//*[.="duration 400"])=1'
    render_view "--to: a transition at the end is drawn" "--to 100 --track v" drawn=2 \
        "string(${lane}[1]//*[@class=\"item\"][2]/*[1])=FxVideoTransitionItem \"f1\"
effect Unknown, offset 0, duration 0, config \"\"
marked at 100, between the items around it"
    render_view "--track by id and by index, in document order" "--track w --track 0 --track v" drawn=6 \
        "count($lane)=2" "string(${lane}[1]/*[1])=track \"v\": 5 items" "string(${lane}[2]/*[1])=track \"w\": 1 item" \
        "$heading=timeline \"\": 3 tracks, 7 items, duration 400; shown: 2 tracks, 6 items"
    render_view "--track, a track without an id" "--track 2" drawn=1 "string($lane/*[1])=track \"\": 1 item"
    local option message
    while IFS='|' read -r option message; do
        # shellcheck disable=SC2086 # OPTION is a list of arguments
        expect "render $option" 2 "" "=orv-timeline-json: render: $message
Run 'orv-timeline-json render --help' for usage." -- render $option -o never.svg view.json
    done <<'EOF'
--from x|option '--from' wants an integer from -9223372036854775808 to 9223372036854775807, not 'x'
--to 9223372036854775808|option '--to' wants an integer from -9223372036854775808 to 9223372036854775807, not '9223372036854775808'
--from 200 --to 100|option '--to' wants a time after --from 200, not '100'
--from -5 --to -5|option '--to' wants a time after --from -5, not '-5'
--track x|option '--track': view.json has no track with id or index 'x' (3 tracks)
--track v --track 3|option '--track': view.json has no track with id or index '3' (3 tracks)
EOF
    verify "a usage error writes no picture" [ ! -e never.svg ]
}

# The options a command's --help lists under "Options:", one per line, sorted.
help_options() {
    "$tool" "$1" --help | awk '/^Options:/ { on = 1; next } /^$/ { on = 0 } on' |
        grep -oE -- '^  (-[a-zA-Z], )?--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ' | tr , '\n' | sort
}

# The options that the .TP entries of a section of the manual page list
# (".SS check", ".SH OPTIONS"), one per line, sorted.
manual_options() {
    awk -v section="$1" '$0 == section { on = 1; next } /^\.S[SH]/ { on = 0 } on && previous == ".TP" { print } { previous = $0 }' \
        "$source_dir/docs/orv-timeline-json.1" | sed 's/\\-/-/g; s/\\f[BIRP]//g' |
        grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ,' | sort
}

# same NAME EXPECTED GOT: a case that passes when the two texts are equal.
same() {
    cases=$((cases + 1))
    [ "$2" = "$3" ] && return
    failures=$((failures + 1))
    echo "FAIL: $1"
    diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | sed 's/^/    | /'
}

group_manual() {
    local command page="$source_dir/docs/orv-timeline-json.1"
    for command in check format diff generate render; do
        same "the manual page lists the options of $command --help" "$(help_options "$command")" \
            "$(manual_options ".SS $command")"
    done
    same "the manual page lists the tool's options" "$(printf '%s\n' --help --version -h | sort)" \
        "$(manual_options ".SH OPTIONS")"
    same "the manual page has a section per command" \
        "$("$tool" --help | awk '/^Commands:/ { on = 1; next } /^$/ { on = 0 } on { print ".SS " $1 }')" \
        "$(grep -E '^\.SS ' "$page")"
    if command -v groff >/dev/null; then
        same "groff finds nothing to warn about" "" "$(groff -ww -man -z "$page" 2>&1)"
    else
        echo "skipped: groff finds nothing to warn about (groff is not installed)"
    fi
}

case "$group" in
    general | check | format | diff | generate | render | manual) "group_$group" ;;
    all) group_general; group_check; group_format; group_diff; group_generate; group_render; group_manual ;;
    *) echo "unknown group '$group'" >&2; exit 2 ;;
esac

echo "$group: $cases cases, $failures failed"
[ "$failures" -eq 0 ]
