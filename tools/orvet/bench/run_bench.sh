#!/bin/sh
# Runs every benchmark script under orvet and its peers, checks that all print
# the same, and prints each time (best of three, in processor time: user plus
# system, so that other work on a busy machine counts as little as it can),
# the ratio of orvet's time to each peer's (below 1: orvet is faster), a
# geometric mean of those ratios per peer, and every engine's peak memory per
# benchmark.
#
# Peers: QuickJS (`qjs`: the QJS variable names it, else it is looked for on
# the PATH and where ../shared/peers/build-quickjs.sh build/peers would put
# it), Lua 5.4 (scripts/NAME.lua renders NAME.js where the languages differ),
# duk and mujs. A peer that is not installed is skipped with a note.
# Usage: run_bench.sh ORVET_EXECUTABLE
set -eu
orvet=$1
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Finds the peers: sets qjs, lua, duk and mujs to a command or to nothing.
find_peer() { command -v "$1" 2>/dev/null || true; }
qjs=${QJS:-$(find_peer qjs)}
if [ -z "$qjs" ] && [ -x "$root/build/peers/quickjs/qjs" ]; then qjs=$root/build/peers/quickjs/qjs; fi
lua=$(find_peer lua5.4)
duk=$(find_peer duk)
mujs=$(find_peer mujs)
peers=
for peer in qjs lua duk mujs; do
    eval "command=\$$peer"
    if [ -n "$command" ]; then
        peers="$peers $peer"
    else
        echo "note: $peer not found, skipped (QuickJS: set QJS or run build-quickjs.sh)"
    fi
done

# best_of_three NAME COMMAND...: runs COMMAND three times, its output into
# $work/NAME.out; sets t_NAME to the shortest processor time in ms and m_NAME
# to the largest peak resident set in KiB. The time is what bash's `times`
# reports for its children (getrusage: finer than the 10 ms steps of
# /usr/bin/time's own figures), the memory what /usr/bin/time reports.
best_of_three() {
    who=$1; shift
    best=
    peak=0
    for _ in 1 2 3; do
        took=$(bash -c '/usr/bin/time -o "$1" -f %M "${@:3}" > "$2"; times' _ "$work/rss" "$work/$who.out" "$@" |
               awk 'END { split($1, u, "m"); split($2, s, "m"); printf "%d", (u[1] * 60 + u[2] + s[1] * 60 + s[2]) * 1000 }')
        rss=$(tail -n 1 "$work/rss")
        if [ -z "$best" ] || [ "$took" -lt "$best" ]; then best=$took; fi
        if [ "$rss" -gt "$peak" ]; then peak=$rss; fi
    done
    eval "t_$who=$best; m_$who=$peak"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) b = 1; printf "%.2f", a / b }'; }

# One line per benchmark: the times, then the ratios, then the peak memory.
header=$(printf '%-9s %8s' benchmark orvet-ms)
for peer in $peers; do header=$(printf '%s %8s' "$header" "$peer-ms"); done
for peer in $peers; do header=$(printf '%s %9s' "$header" "orv/$peer"); done
header=$(printf '%s %9s' "$header" orvet-KiB)
for peer in $peers; do header=$(printf '%s %9s' "$header" "$peer-KiB"); done
echo "$header"

status=0
for script in "$here"/scripts/*.js; do
    name=$(basename "$script" .js)
    cat "$here/prelude.ovs" "$script" > "$work/$name.ovs"
    cat "$here/prelude.js" "$script" > "$work/$name.js"
    best_of_three orvet "$orvet" run "$work/$name.ovs"
    line=$(printf '%-9s %8s' "$name" "$t_orvet")
    ratios=
    memory=$(printf '%9s' "$m_orvet")
    for peer in $peers; do
        eval "command=\$$peer"
        program=$work/$name.js
        if [ "$peer" = lua ]; then program=$here/scripts/$name.lua; fi
        if [ ! -f "$program" ]; then
            line=$(printf '%s %8s' "$line" -)
            ratios=$(printf '%s %9s' "$ratios" -)
            memory=$(printf '%s %9s' "$memory" -)
            continue
        fi
        best_of_three "$peer" "$command" "$program"
        eval "t=\$t_$peer; m=\$m_$peer"
        line=$(printf '%s %8s' "$line" "$t")
        r=$(ratio "$t_orvet" "$t")
        ratios=$(printf '%s %9s' "$ratios" "$r")
        memory=$(printf '%s %9s' "$memory" "$m")
        echo "$peer $r" >> "$work/ratios"
        if ! cmp -s "$work/orvet.out" "$work/$peer.out"; then
            echo "  $name: orvet printed '$(head -c 80 "$work/orvet.out")', $peer '$(head -c 80 "$work/$peer.out")'" >&2
            status=1
        fi
    done
    echo "$line$ratios $memory"
done

# The geometric mean of orvet's time ratios, per peer.
if [ -f "$work/ratios" ]; then
    awk '{ sum[$1] += log($2); count[$1]++; if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } }
         END { printf "geomean  "; for (i = 1; i <= n; i++)
                   printf " orv/%s %.2f", order[i], exp(sum[order[i]] / count[order[i]]); print "" }' \
        "$work/ratios"
fi
exit $status
