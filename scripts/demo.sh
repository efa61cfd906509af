#!/usr/bin/env bash
# The program's main job on a bundled sample card: the recorder simulator writes a card copy as
# the recorder leaves it (five minutes of 3-channel compressed ECG with three patient events and a
# speech recording), kado reads the patient files and then the ECG from it, and the script shows
# what landed in the output folder.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh >/dev/null
cmake --preset linux >/dev/null && cmake --build --preset linux --target kado cardsim >/dev/null ||
  exit 1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
card="$work/card"
out="$work/out"
mkdir -p "$out"
export XDG_CONFIG_HOME="$work"

echo "sample card: format 35 (3 channels, compressed), 5 minutes from 14/05/2013 10:15:20"
build/linux/tools/cardsim/cardsim --card="$card" --format=35 --duration=5m \
  --patient-name="Ann Example" --patient-id=PN-0042 --event-text="Chest pain on exertion" \
  --speech=belongs --event=45 --event=150 --event=260 --seek-interval=1m || exit 1
run() {
  echo
  echo "\$ kado $1"
  build/linux/kado "$1"
  echo "exit code $?"
}
run "/readpat=cnav /ipdir=$card /dir=$out"
run "/readecg=hide /opformat=archive /ipdir=$card /dir=$out"

echo
echo "output folder:"
(cd "$out" && for f in *; do printf '  %-13s %9d bytes\n' "$f" "$(stat -c %s "$f")"; done)
echo "patsumm.dat (name, id, output start, recorder, 1, channels, hours, dates):"
tr -d '\r' <"$out/patsumm.dat" | sed 's/^/  | /'
echo "event.dat (seconds from the output start, calibration preamble included):"
tr -d '\r' <"$out/event.dat" | sed 's/^/  | /'
echo "patevent.dat:"
sed 's/^/  | /' "$out/patevent.dat"
echo "rawecg1.dat, first recorded samples after the 80 s preamble (16-bit words):"
od -A n -t u2 -j $((80 * 128 * 2)) -N 32 "$out/rawecg1.dat" | sed 's/^/  /'
