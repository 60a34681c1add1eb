#!/usr/bin/env bash
# Search speed against an earlier commit, measured in the same run: builds the
# bench of BASE (a Release build of that commit's tree, kept under
# BUILD/bench-base/<commit> for later runs), then runs the two benches
# alternately RUNS times (default 5). Prints each run, the median nodes per
# second of each and the median of the per-pair ratios, and fails when the
# two do not search the same number of nodes.
#
# Two speeds are given: nodes per second of wall time, as the bench prints
# them, and nodes per second of the process's own CPU time, which a busy
# machine disturbs much less.
#   usage: tools/bench-compare.sh BASE [BUILD_DIR]      (default: build)
set -euo pipefail
base=${1:?usage: bench-compare.sh BASE [BUILD_DIR]}
build=${2:-build}
runs=${RUNS:-5}
jobs=${JOBS:-2}
root=$(cd "$(dirname "$0")/.." && pwd)
current="$build/bench"
[ -x "$current" ] || { echo "bench-compare: $current not found; build first" >&2; exit 2; }

commit=$(git -C "$root" rev-parse --verify --quiet "$base^{commit}") ||
    { echo "bench-compare: no commit '$base'" >&2; exit 2; }
dir="$build/bench-base/$commit"
if [ ! -x "$dir/build/bench" ]; then
    echo "bench-compare: building the bench of ${commit:0:12} in $dir" >&2
    rm -rf "$dir"
    mkdir -p "$dir/src"
    git -C "$root" archive "$commit" | tar -x -C "$dir/src"
    cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$dir/build" --target bench -j "$jobs" >/dev/null
fi

median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# run BENCH: prints "nodes wall-rate cpu-rate" (nodes per second).
run() {
    local out cpu
    out=$(mktemp)
    TIMEFORMAT=%U
    cpu=$( { time "$1" >"$out" 2>&1; } 2>&1 )
    awk -v cpu="$cpu" '/^bench: /{printf "%s %s %.0f\n", $2, $6, $2 / cpu}' "$out"
    rm -f "$out"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.3f", a / b}'; }

wall_base=() wall_current=() wall_ratios=() cpu_base=() cpu_current=() cpu_ratios=()
for ((i = 1; i <= runs; i++)); do
    read -r base_nodes base_wall base_cpu < <(run "$dir/build/bench")
    read -r current_nodes current_wall current_cpu < <(run "$current")
    if [ "$base_nodes" != "$current_nodes" ]; then
        echo "bench-compare: node counts differ: base $base_nodes, current $current_nodes" >&2
        exit 1
    fi
    printf 'run %d: wall base %9d current %9d ratio %s   cpu base %9d current %9d ratio %s nodes/s\n' "$i" \
        "$base_wall" "$current_wall" "$(ratio "$current_wall" "$base_wall")" \
        "$base_cpu" "$current_cpu" "$(ratio "$current_cpu" "$base_cpu")"
    wall_base+=("$base_wall") wall_current+=("$current_wall") wall_ratios+=("$(ratio "$current_wall" "$base_wall")")
    cpu_base+=("$base_cpu") cpu_current+=("$current_cpu") cpu_ratios+=("$(ratio "$current_cpu" "$base_cpu")")
done
echo "nodes $current_nodes in both; base ${commit:0:12}"
printf 'wall: median base %d, current %d nodes/s; median ratio current/base %s\n' \
    "$(printf '%s\n' "${wall_base[@]}" | median)" "$(printf '%s\n' "${wall_current[@]}" | median)" \
    "$(printf '%s\n' "${wall_ratios[@]}" | median)"
printf 'cpu:  median base %d, current %d nodes/s; median ratio current/base %s\n' \
    "$(printf '%s\n' "${cpu_base[@]}" | median)" "$(printf '%s\n' "${cpu_current[@]}" | median)" \
    "$(printf '%s\n' "${cpu_ratios[@]}" | median)"
