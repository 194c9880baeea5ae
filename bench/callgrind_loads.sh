#!/bin/sh
# Instructions per model load, Tabula against assimp: runs ModelReaderBench
# --count under callgrind for each model and format and prints the
# instructions of the one counted load (tabula_bench_counted_load(), after a
# small model has loaded, so that start-up is left out) and their ratio.
# Instruction counts do not move with the machine's load or its page faults,
# which on a virtual machine make times alone mislead.
#
#   bench/callgrind_loads.sh [build/bench/ModelReaderBench]
set -eu
bench=${1:-build/bench/ModelReaderBench}
command -v valgrind > /dev/null || { echo "callgrind_loads.sh: needs valgrind" >&2; exit 1; }
[ -x "$bench" ] || { echo "callgrind_loads.sh: $bench not built" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

count() # loader format size
{
    valgrind --tool=callgrind --toggle-collect=tabula_bench_counted_load \
        --callgrind-out-file="$out/$1.$2.$3" "$bench" --count "$1" "$2" "$3" 2> "$out/log" ||
        { cat "$out/log" >&2; exit 1; }
    sed -n 's/^==[0-9]*== Collected : \([0-9]*\)$/\1/p' "$out/log"
}

printf '%-6s %-4s %16s %16s %8s\n' model fmt tabula assimp ratio
for size in torus large; do
    for format in glb obj; do
        ours=$(count tabula "$format" "$size")
        theirs=$(count assimp "$format" "$size")
        printf '%-6s %-4s %16s %16s %8.2f\n' "$size" "$format" "$ours" "$theirs" \
            "$(echo "$theirs / $ours" | bc -l)"
    done
done
echo "ratio: assimp's instructions per load / Tabula's"
