#!/usr/bin/env bash
# Speed of move generation and make/unmake: perft 6 from the initial position
# and perft 5 of the second standard position ("kiwipete"), each run RUNS times
# (default 3), with the median wall time and nodes per second. When Stockfish
# is installed it is timed on the same perft 6 for comparison.
#   usage: tools/perft-bench.sh [BUILD_DIR]     (default: build)
set -euo pipefail
build=${1:-build}
runs=${RUNS:-3}
perft="$build/perft"
[ -x "$perft" ] || { echo "perft-bench: $perft not found; build first" >&2; exit 2; }

KIWIPETE="r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"

now() { date +%s.%N; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# bench NAME EXPECTED-NODES COMMAND...: runs the command, checks its node count.
bench() {
    local name=$1 expected=$2
    shift 2
    local times=() nodes=""
    for ((i = 0; i < runs; i++)); do
        local start end out
        start=$(now)
        out=$("$@" 2>/dev/null)
        end=$(now)
        nodes=$(printf '%s\n' "$out" | awk '/^nodes /{n = $2} /^Nodes searched: /{n = $3} END {print n}')
        if [ "$nodes" != "$expected" ]; then
            echo "perft-bench: $name gave '$nodes' nodes, expected $expected" >&2
            exit 1
        fi
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN {printf "%.3f", b - a}')")
    done
    local t
    t=$(printf '%s\n' "${times[@]}" | median)
    printf '%-28s nodes %-11s median %6.3f s of %d  %6.1f M nodes/s   (runs: %s)\n' "$name" "$nodes" "$t" "$runs" \
        "$(awk -v n="$nodes" -v t="$t" 'BEGIN {print n / t / 1e6}')" "$(printf '%.3f ' "${times[@]}")"
    last_time=$t
}

bench "rotor perft 6 start" 119060324 "$perft" 6
rotor_time=$last_time
bench "rotor perft 5 kiwipete" 193482233 "$perft" 5 --fen "$KIWIPETE"

stockfish=$(command -v stockfish || { [ -x /usr/games/stockfish ] && echo /usr/games/stockfish; } || true)
if [ -n "$stockfish" ]; then
    sf() { printf 'position startpos\ngo perft 6\nquit\n' | "$stockfish"; }
    bench "stockfish go perft 6 start" 119060324 sf
    printf 'rotor / stockfish wall time on perft 6: %.2f\n' "$(awk -v a="$rotor_time" -v b="$last_time" 'BEGIN {print a / b}')"
else
    echo "(stockfish not installed: no comparison)"
fi
