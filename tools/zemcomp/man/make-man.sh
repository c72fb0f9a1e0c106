#!/usr/bin/env bash
# Writes the manual page zemcomp(1) from the tool's own help, so that the two
# cannot differ: help2man reads `zemcomp --help` for the synopsis and the
# options; each subcommand's `--help` becomes a section of its own.
# Arguments: the built zemcomp, the version, the page to write.
set -euo pipefail
zemcomp=$1
version=$2
page=$3
here=$(cd "$(dirname "$0")" && pwd)
include=$(mktemp)
trap 'rm -f "$include"' EXIT

subcommands=$("$zemcomp" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }')
{
    cat "$here/zemcomp.h2m"
    for subcommand in $subcommands; do
        echo "[SUBCOMMAND ${subcommand^^}]"
        "$zemcomp" "$subcommand" --help | head -n 1 | sed 's/^[.'"'"']/\\\&&/; s/-/\\-/g'
        "$zemcomp" "$subcommand" --help | awk -f "$here/help-to-man.awk"
    done
} >"$include"

help2man --no-info --section=1 --source="zemComposition $version" --version-string="$version" \
    --name="inspect, convert, compare and draw editorial cuts" \
    --include="$include" --output="$page" "$zemcomp"
