#!/usr/bin/env bash
# The main job: installs what is missing, builds Paginor and runs it on the bundled example.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPAGINOR_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
CLI=build/release/bin/paginor-cli
echo "== Neues Dokument (Auszug) =="
"$CLI" dump --new --brief | head -n 40
echo "== Vermessung: \"Paginor\" in Times New Roman 12 pt =="
"$CLI" measure --font "Times New Roman" --size 12 "Paginor"
