#!/usr/bin/env bash
# Converts the same generated texts to PDF with paginor-cli and, when installed, with LibreOffice
# and AbiWord, one after the other in one run, and prints wall time, user time, peak memory and
# how many times faster and smaller paginor-cli is.
#
#   bench/peers.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR is a Release build with -DPAGINOR_BUILD_BENCH=ON (default build/bench; configured and
# built when its programs are missing). Each program converts each file RUNS times (default 5);
# the best wall time and the highest peak memory count.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/bench}
runs=${2:-5}
case $build in /*) ;; *) build=$PWD/$build ;; esac

if [[ ! -x $build/bin/paginor-cli || ! -x $build/bin/paginor_textgen ]]; then
  echo "Baue paginor-cli und paginor_textgen in $build ..."
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPAGINOR_BUILD_BENCH=ON \
    -DPAGINOR_BUILD_GUI=OFF -DPAGINOR_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j2 --target paginor-cli paginor_textgen >/dev/null
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "/usr/bin/time fehlt (Debian: apt-get install time)." >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/paginor_textgen" 1500000 "$work/text.txt"
"$build/bin/paginor_textgen" 1000 "$work/one.txt"

# best_of PROGRAM FILE OUTDIR: converts FILE $runs times; prints "wall user rss_kib".
best_of() {
  local prog=$1 file=$2 out=$3 cmd
  local best_wall="" best_user="" max_rss=0
  for ((i = 0; i < runs; i++)); do
    rm -rf "$out" && mkdir -p "$out"
    command_for "$prog" "$file" "$out"
    # Wall time to the millisecond from bash's clock (time(1) gives hundredths; the clock is
    # read without starting a process), user time and peak memory from time(1).
    local t0 t1
    t0=${EPOCHREALTIME/[.,]/}  # microseconds, whatever the locale's decimal sign
    if ! /usr/bin/time -f '%U %M' -o "$work/time" "${cmd[@]}" >"$work/log" 2>&1; then
      echo "failed"
      return
    fi
    t1=${EPOCHREALTIME/[.,]/}
    read -r user rss <"$work/time"
    wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.3f", (b-a)/1e6}')
    if [[ -z $best_wall ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN{exit !(a<b)}'; then
      best_wall=$wall best_user=$user
    fi
    ((rss > max_rss)) && max_rss=$rss
  done
  echo "$best_wall $best_user $max_rss"
}

# command_for PROGRAM IN OUTDIR: sets cmd to the command line that converts IN into OUTDIR.
command_for() {
  local base
  base=$(basename "${2%.*}")
  case $1 in
    ours) cmd=("$build/bin/paginor-cli" convert "$2" "$3/$base.pdf") ;;
    # A profile of its own, so that a running LibreOffice of the user is not asked to convert.
    soffice) cmd=(soffice -env:UserInstallation="file://$work/lo-profile" --headless
                  "--infilter=Text (encoded):MS_1252,CRLF,," --convert-to pdf --outdir "$3" "$2") ;;
    abiword) cmd=(abiword --to=pdf -o "$3/$base.pdf" "$2") ;;
  esac
}

peers=(ours)
command -v soffice >/dev/null && peers+=(soffice) || echo "LibreOffice (soffice) ist nicht installiert."
command -v abiword >/dev/null && peers+=(abiword) || echo "AbiWord (abiword) ist nicht installiert."
# A first LibreOffice start creates its profile; that is no part of a conversion.
if [[ " ${peers[*]} " == *" soffice "* ]]; then
  command_for soffice "$work/one.txt" "$work/warm" && "${cmd[@]}" >/dev/null 2>&1 || true
fi

echo "Rechner: $(uptime)"
echo "Läufe je Programm und Datei: $runs (beste Zeit, höchster Speicher)"
printf '%-10s %-10s %9s %9s %11s %16s %16s\n' Datei Programm "Zeit s" "User s" "Speicher" "Zeit-Faktor" "Speicher-Faktor"
for file in text.txt one.txt; do
  declare -A wall=() rss=()
  for p in "${peers[@]}"; do
    read -r w u m < <(best_of "$p" "$work/$file" "$work/out-$p")
    name=$p
    [[ $name == ours ]] && name=paginor
    if [[ $w == failed ]]; then
      printf '%-10s %-10s %s\n' "$file" "$name" "Umwandlung fehlgeschlagen"
      continue
    fi
    wall[$p]=$w rss[$p]=$m
    ratio_t="" ratio_m=""
    if [[ $p != ours && -n ${wall[ours]:-} ]]; then
      ratio_t=$(awk -v a="$w" -v b="${wall[ours]}" 'BEGIN{printf "%.1fx", (b>0? a/b : 0)}')
      ratio_m=$(awk -v a="$m" -v b="${rss[ours]}" 'BEGIN{printf "%.2fx", (b>0? a/b : 0)}')
    fi
    printf '%-10s %-10s %9s %9s %7.1f MiB %16s %16s\n' "$file" "$name" "$w" "$u" \
      "$(awk -v k="$m" 'BEGIN{print k/1024}')" "$ratio_t" "$ratio_m"
  done
  unset wall rss
done
echo "Faktor: Zeit bzw. Speicher des anderen Programms geteilt durch den von paginor-cli."
