#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs halvane-bench several times, each in a process of its own, and prints every ratio it
# checks against a target as min / median / max, with the runs that missed. On a shared machine
# one run's ratios move by several per cent from process to process (memory placement,
# neighbours), more than passes within a run can average out; several runs show where a
# target really stands.
#
#   bench/ratios-over-runs.sh [RUNS] [halvane-bench arguments...]
#
# RUNS defaults to 10. HALVANE_BENCH names the bench (default: the release build's).
set -euo pipefail

runs=10
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
    runs=$1
    shift
fi
if ((runs < 1)); then
    echo "ratios-over-runs: RUNS must be at least 1" >&2
    exit 2
fi
bench=${HALVANE_BENCH:-$(dirname "$0")/../build/release/bench/halvane-bench}
if [[ ! -x $bench ]]; then
    echo "ratios-over-runs: no bench at $bench (build the release preset, or set HALVANE_BENCH)" >&2
    exit 2
fi

lines=$(mktemp)
trap 'rm -f "$lines"' EXIT
for ((i = 1; i <= runs; ++i)); do
    echo "run $i of $runs..." >&2
    # A ratio line: its name, its value, "<=", the target, then met or MISSED.
    "$bench" "$@" 2>/dev/null | awk '
        {
            for (i = 2; i + 2 <= NF; ++i)
                if ($(i + 1) == "<=" && $i ~ /^[0-9.]+$/) {
                    name = $1
                    for (j = 2; j < i; ++j) name = name " " $j
                    print name "\t" $i "\t" $(i + 2) "\t" ($(i + 3) == "MISSED" ? 1 : 0)
                }
        }' >>"$lines" || {
        # Its messages were left out to keep the summary clean: say where to look.
        echo "ratios-over-runs: run $i: the bench failed; run $bench${*:+ $*} to see why" >&2
        exit 1
    }
done

if [[ ! -s $lines ]]; then
    echo "ratios-over-runs: the bench printed no ratios" >&2
    exit 1
fi

printf '%-34s %6s %6s %6s   %-8s %s\n' "ratio over $runs runs" min median max target missed
# Names in the order the bench prints them; values sorted for the median.
awk -F'\t' '!seen[$1]++ { print $1 }' "$lines" | while IFS= read -r name; do
    awk -F'\t' -v name="$name" '$1 == name' "$lines" | sort -t$'\t' -k2,2g | awk -F'\t' '
        { v[NR] = $2; target = $3; missed += $4; name = $1 }
        END {
            median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            printf "%-34s %6.2f %6.2f %6.2f   <= %-5s %d of %d\n",
                name, v[1], median, v[NR], target, missed, NR
        }'
done
