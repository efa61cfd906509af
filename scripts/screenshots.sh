#!/usr/bin/env bash
# Screenshots of kado.exe's dialogs and progress windows in each of the nine languages, taken
# under a virtual X display with Wine's X11 driver and the build's uidriver. Not part of the test
# command. The English set is kept in docs/screens/.
# Usage: scripts/screenshots.sh [FOLDER]   (default build/screens; one PNG per window and language)
# The conditioning window is taken while a 1200 MB tmpfs card is filled (root mounts it; without
# root that shot is left out).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${KADO_SCREENS_DISPLAY:-}" ]; then
  exec env KADO_SCREENS_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
build=$root/build/windows
shots=$(realpath -m "${1:-$root/build/screens}")
work=$(mktemp -d)
export WINEPREFIX=$build/wineprefix-screens WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/e:" "$WINEPREFIX/dosdevices/f:"
  mountpoint -q "$work/blank" 2>/dev/null && umount "$work/blank"
  rm -rf "$work"
}
trap cleanup EXIT

wine_path() { echo "Z:${1//\//\\}"; }
kado() { KADO_COMMAND_LINE="$1" KADO_IO_FAULT="${2:-}" wine "$build/tools/winlaunch/winlaunch.exe" "$(wine_path "$build/kado.exe")" & }
drive() { wine "$build/tools/uidriver/uidriver.exe" "$@" >/dev/null; }
card() { wine "$build/tools/cardsim/cardsim.exe" --card="$(wine_path "$1")" "${@:2}" >/dev/null; }

wineboot -i >/dev/null 2>&1
# No window manager runs on the virtual display: Wine draws the frames and captions itself.
for value in Managed Decorated; do
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f >/dev/null 2>&1
done
wineserver -w
mkdir -p "$shots" "$work/out" "$work/card"
card "$work/card" --duration=12h --state=read
printf VNT_CFR >"$work/card/.windows-label"
# The mount manager reads the drive links when it starts.
use_drive() {
  rm -f "$WINEPREFIX/dosdevices/e:"
  ln -sfn "$2" "$WINEPREFIX/dosdevices/$1:"
  wineserver -k 2>/dev/null || true
  wineserver -w
}

out=$(wine_path "$work/out")
# Language tag, primary language and sub-language of each text source.
languages="en-US:9:1 de-DE:7:1 fi-FI:11:1 fr-FR:12:1 it-IT:16:1 pl-PL:21:1 ru-RU:25:1 sv-SE:29:1 es-ES:10:3"
choose() {
  IFS=: read -r tag primary sub <<<"$1"
  local key='HKCU\Software\Vantorel\Language\KADO'
  wine reg add "$key" /v PrimaryLanguage /t REG_DWORD /d "$primary" /f >/dev/null 2>&1
  wine reg add "$key" /v SubLanguage /t REG_DWORD /d "$sub" /f >/dev/null 2>&1
}
shot() { echo "$(wine_path "$work")\\$tag-$1.bmp"; }

# Drive F: a blank card big enough that filling it keeps the conditioning window up; the default
# drive, so the Initialise dialog offers it.
blank=""
mkdir -p "$work/blank"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=1200m tmpfs "$work/blank"; then
  blank=$work/blank
  ln -sfn "$blank" "$WINEPREFIX/dosdevices/f:"
fi
default_drive() {
  local key='HKCU\Software\Vantorel\KADO\Settings'
  if [ -n "$1" ]; then
    wine reg add "$key" /v "Default Drive" /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  else
    wine reg delete "$key" /v "Default Drive" /f >/dev/null 2>&1 || true
  fi
}
default_drive ""
use_drive e "$work/card"
for language in $languages; do
  choose "$language"
  kado "/write=stand /dir=$out"
  drive "window 1000" "screenshot $(shot initialise-dialog)" "click 1" "gone"
  wait
  # The read is over in a moment; a write fault part way through holds its progress window up
  # behind the error report.
  kado "/readecg=stand /dir=$out" write:100
  drive "window 1000" "screenshot $(shot read-dialog)" "click 1009" "box" "window 1019" \
        "screenshot $(shot read-progress)" "answer ok" "box" "answer ok" "window 1000" "click 1" \
        "gone"
  wait
  if [ -n "$blank" ]; then
    find "$blank" -mindepth 1 -delete
    default_drive 70
    kado "/write=stand /dir=$out"
    f=$(wine "$build/tools/uidriver/uidriver.exe" "window 1000" "items 1022" | tr -d '\r' |
        awk '/^items 1022:/ { for (i = 3; i <= NF; ++i) if ($i ~ /^\*?F$/) print i - 3 }')
    drive "window 1000" "select 1022 ${f:-0}" "click 1004" "box" "answer ok" "box" "answer yes" \
          "window 1019" \
          "screenshot $(shot condition-progress)" "box" "answer ok" "window 1000" "click 1" "gone"
    wait
    default_drive ""
  fi
done
wine reg delete 'HKCU\Software\Vantorel\Language\KADO' /f >/dev/null 2>&1

# BMP (bottom-up, 24-bit) to PNG with the standard library alone.
python3 - "$work" "$shots" <<'PY'
import pathlib, struct, sys, zlib
source, target = map(pathlib.Path, sys.argv[1:])
for bmp in sorted(source.glob("*.bmp")):
    data = bmp.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    row = (width * 3 + 3) & ~3
    lines = []
    for y in range(height - 1, -1, -1):
        start = offset + y * row
        bgr = data[start:start + width * 3]
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        lines.append(b"\0" + bytes(rgb))
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(b"".join(lines), 9)) + chunk(b"IEND", b""))
    (target / (bmp.stem + ".png")).write_bytes(png)
    print(target / (bmp.stem + ".png"))
PY
