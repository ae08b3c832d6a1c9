#!/usr/bin/env bash
# The main job: installs what is missing, builds Paginor and converts the bundled example
# document to PDF.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPAGINOR_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
CLI=build/release/bin/paginor-cli
mkdir -p out
"$CLI" convert data/examples/beispiel.sbl out/beispiel.pdf
echo "Das Beispieldokument ist als PDF geschrieben: $(pwd)/out/beispiel.pdf"
