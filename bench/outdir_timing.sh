#!/bin/bash
# Times `paginor-cli convert --outdir` on ten generated one-page text files in one process, on
# demand (not a test): bench/outdir_timing.sh [PAGINOR_CLI] [RUNS]
set -euo pipefail
cli=${1:-build/release/bin/paginor-cli}
runs=${2:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for i in $(seq 1 10); do
  for l in $(seq 1 30); do echo "Zeile $l des Briefes $i: Größere Übungen für die Silbentrennung."; done \
    >"$work/brief$i.txt"
done
mkdir "$work/aus"
best=""
for r in $(seq 1 "$runs"); do
  start=$(date +%s%N)
  "$cli" convert --to pdf --outdir "$work/aus" "$work"/brief*.txt
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
  [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
  echo "run $r: ${ms} ms"
done
echo "ten one-page files to PDF in one process: best ${best} ms (goal: under 100 ms)"
