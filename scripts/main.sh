#!/usr/bin/env bash
# The main job: installs what is missing and builds Paginor with its desktop program. With a
# display the program starts on the bundled example document; without one the example is
# converted to PDF and the script says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DPAGINOR_BUILD_TESTS=OFF \
  -DPAGINOR_BUILD_GUI=ON >/dev/null
cmake --build build/release -j"$(nproc)"
EXAMPLE=data/examples/beispiel.sbl
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Paginor startet mit dem Beispieldokument $(pwd)/$EXAMPLE"
  exec build/release/bin/paginor "$EXAMPLE"
fi
CLI=build/release/bin/paginor-cli
mkdir -p out
"$CLI" convert "$EXAMPLE" out/beispiel.pdf
echo "Kein Bildschirm gefunden (DISPLAY und WAYLAND_DISPLAY sind leer)."
echo "Das Beispieldokument ist als PDF geschrieben: $(pwd)/out/beispiel.pdf"
