#!/usr/bin/env python3
"""Checks docs/timeline.schema.json against what the writer produces.

    schema_test.py TOOL SOURCE_DIR

Valid: the bundled example and documents from `TOOL generate` over several
seeds and shapes, compact and pretty, and the single tracks, items, media
infos and effects of those documents as `TOOL format --as KIND` writes them,
each kind also with a root "$schema" member naming the schema's $id.
Invalid: copies of the example broken in one place each, which must fail for
the reason named. Prints one line per failure and a closing count.
"""
import copy
import json
import subprocess
import sys
from urllib.parse import urlsplit

from jsonschema import Draft202012Validator
from jsonschema.exceptions import best_match

TOOL, SOURCE = sys.argv[1], sys.argv[2]


# Texts may hold any byte but NUL; surrogateescape carries the bytes that are
# not UTF-8 through decoding and encoding unchanged.
def load(data):
    return json.loads(data.decode("utf-8", "surrogateescape"))


def dump(document):
    return json.dumps(document, ensure_ascii=False).encode("utf-8", "surrogateescape")


def tool(*arguments, stdin=None):
    return subprocess.run([TOOL, *arguments], input=stdin, capture_output=True, check=True).stdout


with open(f"{SOURCE}/docs/timeline.schema.json", encoding="utf-8") as file:
    SCHEMA = json.load(file)
Draft202012Validator.check_schema(SCHEMA)
# Documents and tools name the schema by its $id: an absolute URI without a
# fragment, as JSON Schema requires of a root schema's identifier.
assert urlsplit(SCHEMA["$id"]).scheme and "#" not in SCHEMA["$id"], f"$id {SCHEMA['$id']!r}"
CHECKER = Draft202012Validator.FORMAT_CHECKER


def validator(definition):
    root = {key: SCHEMA[key] for key in ("$schema", "$defs")}
    return Draft202012Validator(dict(root, **{"$ref": f"#/$defs/{definition}"}), format_checker=CHECKER)


VALIDATORS = {name: validator(name) for name in ("timeline", "track", "trackItem", "mediaInfo", "effect")}
TIMELINE = Draft202012Validator(SCHEMA, format_checker=CHECKER)
KINDS = {"track": "track", "item": "trackItem", "media-info": "mediaInfo", "effect": "effect"}
counts = {"valid": 0, "failures": 0}


def fail(message):
    counts["failures"] += 1
    print("FAIL:", message)


def keywords(errors):
    """The keywords of every error, nested ones (under oneOf) included."""
    for error in errors:
        yield error.validator if error.validator is not None else "false"  # None: a false schema
        yield from keywords(error.context or [])


def expect_valid(name, document, check=TIMELINE):
    counts["valid"] += 1
    error = best_match(check.iter_errors(document))
    if error is not None:
        fail(f"{name}: {error.message} at {list(error.absolute_path)}")


def entities(timeline):
    """The first track, item of each kind, media info and effect, as KIND and document."""
    items = [item for track in timeline.get("tracks", []) for item in track.get("items", [])]
    firsts = {item["_type"]: item for item in reversed(items)}
    yield from (("track", track) for track in timeline.get("tracks", [])[:1])
    yield from (("item", item) for item in firsts.values())
    yield from (("media-info", info) for info in timeline.get("mediaInfos", [])[:1])
    for item in firsts.values():
        if item["_type"] != "MediaSummaryItem":
            yield "effect", {key: value for key, value in item.items() if key not in ("_type", "id")}


with open(f"{SOURCE}/examples/data/timeline.json", "rb") as file:
    EXAMPLE = load(file.read())
expect_valid("examples/data/timeline.json", EXAMPLE)


def with_schema(document):
    return dict(document, **{"$schema": SCHEMA["$id"]})


expect_valid("examples/data/timeline.json with \"$schema\"", with_schema(EXAMPLE))

SHAPES = [
    [],
    ["--tracks", "0", "--media-infos", "0"],
    ["--tracks", "4", "--items-per-track", "0", "--media-infos", "1"],
    ["--tracks", "1", "--items-per-track", "200"],
    ["--awkward-texts"],
    ["--extreme-integers"],
    ["--awkward-texts", "--extreme-integers", "--tracks", "5", "--items-per-track", "40"],
]
# Three seeds a shape, and the entities of the first: enough to meet every
# omission rule, few enough runs of the tool for the valgrind stage of CI.
for shape in SHAPES:
    for seed in range(1, 4):
        arguments = ["generate", "--seed", str(seed), *shape]
        name = " ".join(arguments)
        compact = load(tool(*arguments))
        expect_valid(name, compact)
        expect_valid(name + " --pretty", load(tool(*arguments, "--pretty")))
        for kind, entity in entities(compact) if seed == 1 else []:
            written = load(tool("format", "--as", kind, "-", stdin=dump(entity)))
            expect_valid(f"{name}, format --as {kind}", written, VALIDATORS[KINDS[kind]])
            expect_valid(f"{name}, format --as {kind}, with \"$schema\"", with_schema(written),
                         VALIDATORS[KINDS[kind]])


# Each case changes one place of the example and names the keyword that must
# reject it.
def set_at(path, value):
    def change(document):
        *parents, last = path
        target = document
        for key in parents:
            target = target[key]
        if value is KeyError:
            del target[last]
        else:
            target[last] = value
    return change


CLIP = ["tracks", 0, "items", 0]  # a media summary item
FX = ["tracks", 0, "items", 3]  # a video transition with offset and duration
BROKEN = [
    ("a number where a string is due", set_at(["duration"], 3000), "type"),
    ("null where a string is due", set_at(CLIP + ["videoIn"], None), "type"),
    ("a misspelt \"_type\"", set_at(CLIP + ["_type"], "MediaSumaryItem"), "const"),
    ("a misspelt transition \"_type\"", set_at(FX + ["_type"], "FxVideoTransition"), "enum"),
    ("an unknown member of the root", set_at(["extra"], "x"), "additionalProperties"),
    ("an unknown member of an item", set_at(CLIP + ["comment"], "x"), "additionalProperties"),
    ("a media member in a transition", set_at(FX + ["videoIn"], "5"), "unevaluatedProperties"),
    ("an integer with a leading zero", set_at(CLIP + ["videoDuration"], "0100"), "pattern"),
    ("an integer with a plus sign", set_at(CLIP + ["audioIn"], "+5"), "pattern"),
    ("minus zero", set_at(CLIP + ["audioLevel"], "-0"), "pattern"),
    ("an integer with a space", set_at(["duration"], " 7"), "pattern"),
    ("an integer with a final newline", set_at(["duration"], "7\n"), "pattern"),
    ("an integer of 20 digits", set_at(["duration"], "10000000000000000000"), "pattern"),
    ("a zero the writer leaves out", set_at(FX + ["offset"], "0"), "pattern"),
    ("an empty list written as []", set_at(["mediaInfos"], []), "minItems"),
    ("an empty items list", set_at(["tracks", 1, "items"], []), "minItems"),
    ("no \"duration\"", set_at(["duration"], KeyError), "required"),
    ("no \"videoDuration\"", set_at(CLIP + ["videoDuration"], KeyError), "required"),
    ("no track \"type\"", set_at(["tracks", 0, "type"], KeyError), "required"),
    ("an empty identifier", set_at(["id"], ""), "minLength"),
    ("a text holding NUL", set_at(["tracks", 0, "id"], "a\u0000b"), "pattern"),
    ("a track type other than SUMMARY", set_at(["tracks", 0, "type"], "Summary"), "const"),
    ("an unknown effect type", set_at(FX + ["fxType"], "Dissolve"), "enum"),
    ("an effect under a key of its own", set_at(FX + ["effect"], {"fxType": "Mix"}), "unevaluatedProperties"),
    ("a \"$schema\" that is not a string", set_at(["$schema"], {}), "type"),
    ("a \"$schema\" in a track", set_at(["tracks", 0, "$schema"], "x"), "false"),
    ("a \"$schema\" in a media summary item", set_at(CLIP + ["$schema"], "x"), "false"),
    ("a \"$schema\" in a transition item", set_at(FX + ["$schema"], "x"), "false"),
    ("a \"$schema\" in a media info", set_at(["mediaInfos", 0, "$schema"], "x"), "false"),
]
assert "offset" in EXAMPLE["tracks"][0]["items"][3], "the cases expect a transition with an offset at FX"
for name, change, keyword in BROKEN:
    document = copy.deepcopy(EXAMPLE)
    change(document)
    found = set(keywords(TIMELINE.iter_errors(document)))
    if keyword not in found:
        fail(f"broken, {name}: expected a '{keyword}' error, got {sorted(found) or 'none'}")

print(f"{counts['valid']} documents checked valid, {len(BROKEN)} broken documents checked invalid")
print(f"{counts['valid'] + len(BROKEN) - counts['failures']} passed, {counts['failures']} failed")
sys.exit(1 if counts["failures"] else 0)
