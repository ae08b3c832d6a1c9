#!/usr/bin/env bash
# Screenshots of the example document in the desktop program, next to the PDF export of the same
# document rendered by pdftoppm, for comparing line breaks and positions by eye.
#
#   scripts/screenshots.sh [DOCUMENT.sbl]
#
# Builds the programs if needed (build directory: $PAGINOR_BUILD_DIR, default build/release) and
# writes out/screenshots/*.png. Runs under Xvfb (xvfb-run); without it on the present display;
# without a display on Qt's offscreen platform.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${PAGINOR_BUILD_DIR:-$ROOT/build/release}
DOC=$(realpath "${1:-data/examples/beispiel.sbl}")
OUT=$ROOT/out/screenshots
SIZE=1280x1024

if [[ ! -f "$DOC" ]]; then
  echo "Das Dokument „$DOC“ gibt es nicht." >&2
  exit 1
fi

if [[ ! -x "$BUILD/bin/paginor" || ! -x "$BUILD/bin/paginor-cli" ]]; then
  if [[ ! -f "$BUILD/CMakeCache.txt" ]]; then
    cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DPAGINOR_BUILD_TESTS=OFF >/dev/null
  fi
fi
cmake --build "$BUILD" -j2 --target paginor paginor-cli >/dev/null

mkdir -p "$OUT"
name=$(basename "$DOC" .sbl)

run() {
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 ${SIZE}x24" "$@"
  elif [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    "$@"
  else
    QT_QPA_PLATFORM=offscreen "$@"
  fi
}

shot() {  # shot OUTPUT.png [options...]
  local png=$1
  shift
  run "$BUILD/bin/paginor" --screenshot "$OUT/$png" --size "$SIZE" "$@" "$DOC"
  echo "$OUT/$png"
}

shot "$name-100.png" --zoom 100
shot "$name-ganze-seite.png" --zoom "Ganze Seite"
shot "$name-zeichen.png" --zoom 100 --show-marks
shot "$name-markiert.png" --zoom 100 --select-all
# The format dialogs as they open on the document's first paragraph.
for dialog in Zeichen Absatz Tabulator "Nummerierung und Aufzählungen"; do
  shot "$name-dialog-${dialog%% *}.png" --dialog "$dialog"
done

# The same document exported and rendered at the screen's 96 pixels per inch, page by page.
"$BUILD/bin/paginor-cli" convert "$DOC" "$OUT/$name.pdf"
if command -v pdftoppm >/dev/null; then
  pdftoppm -r 96 -png "$OUT/$name.pdf" "$OUT/$name-pdf"
  ls "$OUT/$name"-pdf*.png
else
  echo "pdftoppm fehlt (Paket poppler-utils): die PDF-Seiten wurden nicht gerendert." >&2
fi
