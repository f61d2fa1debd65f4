#!/bin/sh
# Runs every benchmark script under orvet, duk and mujs, checks that the three
# print the same, and prints each time (best of three) and the ratio of the
# other engines' time to orvet's (above 1: orvet is faster). The last column
# is orvet's peak memory.
# Usage: run_bench.sh ORVET_EXECUTABLE
set -eu
orvet=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# best_of_three OUTFILE COMMAND...: the shortest of three runs, in ms.
best_of_three() {
    out=$1; shift
    best=
    for _ in 1 2 3; do
        start=$(now_ms)
        "$@" > "$out"
        took=$(( $(now_ms) - start ))
        if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
    done
    echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }

printf '%-10s %9s %9s %9s %9s %9s %10s\n' benchmark orvet-ms duk-ms mujs-ms duk/orv mujs/orv orvet-KiB
status=0
for script in "$here"/scripts/*.js; do
    name=$(basename "$script" .js)
    cat "$here/prelude.ovs" "$script" > "$work/$name.ovs"
    cat "$here/prelude.js" "$script" > "$work/$name.js"
    t_orvet=$(best_of_three "$work/orvet.out" "$orvet" run "$work/$name.ovs")
    t_duk=$(best_of_three "$work/duk.out" duk "$work/$name.js")
    t_mujs=$(best_of_three "$work/mujs.out" mujs "$work/$name.js")
    rss=$( { /usr/bin/time -f '%M' "$orvet" run "$work/$name.ovs" > /dev/null; } 2>&1 | tail -n 1)
    printf '%-10s %9s %9s %9s %9s %9s %10s\n' "$name" "$t_orvet" "$t_duk" "$t_mujs" \
        "$(ratio "$t_duk" "$t_orvet")" "$(ratio "$t_mujs" "$t_orvet")" "$rss"
    for other in duk mujs; do
        if ! cmp -s "$work/orvet.out" "$work/$other.out"; then
            echo "  $name: orvet printed '$(head -c 80 "$work/orvet.out")', $other '$(head -c 80 "$work/$other.out")'"
            status=1
        fi
    done
done
exit $status
