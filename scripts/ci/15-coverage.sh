#!/usr/bin/env bash
# CI stage: how much of the four libraries the whole test suite runs (lines,
# branches, functions), per file and in total. Fails when line coverage is
# below COVERAGE_MIN percent (95 by default); see scripts/coverage.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."

work=$(mktemp -d /tmp/orv-coverage.XXXXXX)
trap 'rm -rf "$work"' EXIT
scripts/coverage.sh "$work/build"
