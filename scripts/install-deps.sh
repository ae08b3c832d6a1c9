#!/usr/bin/env bash
# Installs the Debian packages Paginor needs to build, test and run.
# Idempotent: installs only what is missing. Runs as root, or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libfreetype-dev libfontconfig-dev libharfbuzz-dev
  libjpeg-dev libpng-dev zlib1g-dev
  fonts-liberation2 fonts-dejavu-core
  hyphen-en-us texlive-lang-german
  qpdf poppler-utils
  qt6-base-dev qt6-qpa-plugins libqt6svg6 libcups2-dev xvfb xauth xdg-utils shared-mime-info desktop-file-utils
  qt6-translations-l10n xdotool x11-xkb-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "Fehlende Pakete: ${missing[*]} (bitte als root ausführen)" >&2; exit 1
  fi
fi
echo "Installiere: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
