#!/usr/bin/env bash
# Runs the fault matrix end to end against the simulator and writes docs/reliability.md: one row
# a scenario, with the result code it must end with and what was observed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
status=0
OLK_RELIABILITY_REPORT="$rows" "$build/tests/e2e/olk_e2e_tests" --gtest_filter='Matrix/*' >/dev/null || status=$?
{
    echo "# Reliability: the fault matrix"
    echo
    echo "Every operation against a desk, a line or a disk that fails in one way, run end to end over a"
    echo "pseudo-terminal against the desk simulator by \`scripts/reliability.sh\` on $(date -u +%Y-%m-%d)."
    echo "*Expected* is the result code the operation must end with (its message is in the result-code"
    echo "table); *ended* says its end-of-operation notice came, so nothing hung; *files intact* says that"
    echo "an earlier backup and an earlier fixture file are byte for byte as before and nothing was left"
    echo "beside them. The test run fails on any row that differs."
    echo
    echo "| operation | what goes wrong | expected | observed | ended | time | files intact |"
    echo "|---|---|---|---|---|---|---|"
    cat "$rows"
    cat <<'TEXT'

## Fuzzing

Every reader of untrusted bytes has a libFuzzer target in `fuzz/` with a seed corpus in
`fuzz/corpus/NAME`: `hexreader` (the `.hex` reader), `datafile` (header checks and previews),
`fixturefile` (a fixture's size, name and text, and what the description manager shows of it),
`fixturelist` (the fixture list stream, cut anywhere), `descriptionstore` (storing a description)
and `desklink` (a desk that answers every operation with any bytes at any moment, then hangs
up). Each target also checks what the code promises, not only that it does not crash. The test
command replays every corpus; `scripts/fuzz.sh NAME SECONDS` fuzzes one target with clang,
AddressSanitizer and UndefinedBehaviorSanitizer. An input that breaks a promise goes into the
corpus first, so every test run replays it, and is fixed after. The `desklink` seeds are made by
`build/fuzz/desklinkseeds DIRECTORY` from the simulator's transcripts of whole sessions.

## Sanitizers

`scripts/sanitize.sh address,undefined` and `scripts/sanitize.sh thread` build the whole tree
with those sanitizers and run every test, corpora included; CI runs both after the plain suite.
TEXT
} > "$root/docs/reliability.md"
echo "docs/reliability.md: $(wc -l < "$rows") scenarios" >&2
exit $status
