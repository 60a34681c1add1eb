#!/usr/bin/env bash
# Speed of move generation and make/unmake: perft 6 from the initial position
# and perft 5 of the second standard position ("kiwipete"), each run RUNS times
# (default 3), with the median wall time, CPU time and nodes per second. When
# Stockfish is installed it is timed on the same perft 6 for comparison, its
# runs alternating with Rotor's so that both meet the same load.
#   usage: tools/perft-bench.sh [BUILD_DIR]     (default: build)
set -euo pipefail
build=${1:-build}
runs=${RUNS:-3}
perft="$build/perft"
[ -x "$perft" ] || { echo "perft-bench: $perft not found; build first" >&2; exit 2; }

KIWIPETE="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"
START_NODES=119060324

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# timed NAME EXPECTED-NODES COMMAND...: runs the command once, checks its node
# count and appends its wall and CPU (user + system) seconds to the lists of NAME.
declare -A wall cpu
timed() {
    local name=$1 expected=$2
    shift 2
    local out start end times nodes
    out=$(mktemp)
    start=$(date +%s.%N)
    TIMEFORMAT='%U %S'
    times=$( { time "$@" >"$out" 2>/dev/null; } 2>&1 )
    end=$(date +%s.%N)
    nodes=$(awk '/^nodes /{n = $2} /^Nodes searched: /{n = $3} END {print n}' "$out")
    rm -f "$out"
    if [ "$nodes" != "$expected" ]; then
        echo "perft-bench: $name gave '$nodes' nodes, expected $expected" >&2
        exit 1
    fi
    wall[$name]+="$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.3f", b - a}') "
    cpu[$name]+="$(echo "$times" | awk '{printf "%.3f", $1 + $2}') "
}

report() {
    local name=$1 nodes=$2 w c
    w=$(printf '%s\n' ${wall[$name]} | median)
    c=$(printf '%s\n' ${cpu[$name]} | median)
    printf '%-28s nodes %-11s median wall %6.3f s, cpu %6.3f s of %d  %6.1f M nodes/s   (wall: %s)\n' \
        "$name" "$nodes" "$w" "$c" "$runs" "$(awk -v n="$nodes" -v t="$w" 'BEGIN {print n / t / 1e6}')" "${wall[$name]% }"
}

stockfish=$(command -v stockfish || { [ -x /usr/games/stockfish ] && echo /usr/games/stockfish; } || true)
sf() { printf 'position startpos\ngo perft 6\nquit\n' | "$stockfish"; }

for ((i = 0; i < runs; i++)); do
    timed "rotor perft 6 start" $START_NODES "$perft" 6
    [ -z "$stockfish" ] || timed "stockfish go perft 6 start" $START_NODES sf
done
for ((i = 0; i < runs; i++)); do timed "rotor perft 5 kiwipete" 193482233 "$perft" 5 --fen "$KIWIPETE"; done

report "rotor perft 6 start" $START_NODES
report "rotor perft 5 kiwipete" 193482233
if [ -n "$stockfish" ]; then
    report "stockfish go perft 6 start" $START_NODES
    rotor=$(printf '%s\n' ${wall["rotor perft 6 start"]} | median)
    fish=$(printf '%s\n' ${wall["stockfish go perft 6 start"]} | median)
    rotor_cpu=$(printf '%s\n' ${cpu["rotor perft 6 start"]} | median)
    fish_cpu=$(printf '%s\n' ${cpu["stockfish go perft 6 start"]} | median)
    printf 'rotor / stockfish on perft 6: wall time %.2f, cpu time %.2f\n' \
        "$(awk -v a="$rotor" -v b="$fish" 'BEGIN {print a / b}')" "$(awk -v a="$rotor_cpu" -v b="$fish_cpu" 'BEGIN {print a / b}')"
else
    echo "(stockfish not installed: no comparison)"
fi
