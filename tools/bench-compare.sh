#!/usr/bin/env bash
# Search speed against an earlier commit, measured in the same run: builds the
# bench of BASE (a Release build of that commit's tree, kept under
# BUILD/bench-base/<commit> for later runs), then runs the two benches
# alternately RUNS times (default 5). Prints each run, the median nodes per
# second of each and the median of the per-pair ratios, and fails when the
# two do not search the same number of nodes.
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

# run BENCH: prints "nodes nodes-per-second" from the bench's summary line.
run() {
    "$1" 2>&1 | awk '/^bench: /{print $2, $6}'
}

base_rates=() current_rates=() ratios=()
for ((i = 1; i <= runs; i++)); do
    read -r base_nodes base_rate < <(run "$dir/build/bench")
    read -r current_nodes current_rate < <(run "$current")
    if [ "$base_nodes" != "$current_nodes" ]; then
        echo "bench-compare: node counts differ: base $base_nodes, current $current_nodes" >&2
        exit 1
    fi
    ratio=$(awk -v a="$current_rate" -v b="$base_rate" 'BEGIN {printf "%.3f", a / b}')
    printf 'run %d: base %9d nodes/s   current %9d nodes/s   ratio %s\n' "$i" "$base_rate" "$current_rate" "$ratio"
    base_rates+=("$base_rate") current_rates+=("$current_rate") ratios+=("$ratio")
done
echo "nodes $current_nodes in both"
printf 'median base    (%s): %d nodes/s\n' "${commit:0:12}" "$(printf '%s\n' "${base_rates[@]}" | median)"
printf 'median current         : %d nodes/s\n' "$(printf '%s\n' "${current_rates[@]}" | median)"
printf 'median ratio current/base: %s\n' "$(printf '%s\n' "${ratios[@]}" | median)"
