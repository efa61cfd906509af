#!/usr/bin/env bash
# Installs the release packages of dist/ (scripts/package.sh) and checks what a clinic gets:
# the Debian package in a throwaway dpkg root, the Windows installer in a fresh Wine prefix of its
# own. Needs the linux build (cardsim) and the windows build (the kado.exe to compare with).
# Usage: scripts/test-packages.sh [deb|setup]...   (default: both)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
version=$(sed -n 's/^project(kado VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$root/dist/kado_${version}_amd64.deb
setup=$root/dist/kado-${version}-setup.exe
cardsim=$root/build/linux/tools/cardsim/cardsim
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
# check NAME COMMAND...: runs the command and counts its outcome under the name.
check() {
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $name"
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
  fi
}

# A fresh copy of the one test card: a read marks the card it reads, so each read gets its own.
card_copy() {
  rm -rf "$work/$1" && cp -r "$work/card" "$work/$1"
}

# quiet COMMAND...: runs the command, showing its output only when it fails.
quiet() {
  "$@" >"$work/quiet.log" 2>&1 || { cat "$work/quiet.log"; return 1; }
}

# --- Debian package ---------------------------------------------------------------------------

test_deb() {
  local dpkg_root=$work/dpkg-root
  mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
  touch "$dpkg_root/var/lib/dpkg/status"
  local bin=$dpkg_root/usr/bin

  check "lintian reports no error" quiet lintian --fail-on error "$deb"
  check "the dependencies name libblkid1 and zlib1g" \
    bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libblkid1' && dpkg-deb -f '$deb' Depends | grep -q 'zlib1g'"
  check "the dependencies are satisfiable here" quiet apt-get install --simulate "$deb"
  # The throwaway root has no packages of its own; the programs run on this machine's libraries.
  check "dpkg installs the package" \
    quiet dpkg --root="$dpkg_root" --force-depends -i "$deb"
  check "kado --version names the package's version" \
    bash -c "[ \"\$('$bin/kado' --version)\" = 'kado $version' ]"
  check "the installed szip packs and unpacks" \
    bash -c "head -c 100000 '$deb' >'$work/plain' && '$bin/szip' -c '$work/plain' '$work/packed' &&
             '$bin/szip' -d '$work/packed' '$work/unpacked' && cmp -s '$work/plain' '$work/unpacked'"
  check "the installed kado reads a card copy" \
    bash -c "card_copy card-installed && XDG_CONFIG_HOME='$work/config' '$bin/kado' /readecg=hide /opformat=archive \
             /ipdir='$work/card-installed' /dir='$work/deb-out' && [ -s '$work/deb-out/rawecg1.dat' ]"
  local page=$dpkg_root/usr/share/man/man1/kado.1.gz
  check "man kado renders without warnings" \
    bash -c "MANWIDTH=80 man --warnings -l '$page' >'$work/kado.man' 2>'$work/man.log' &&
             [ ! -s '$work/man.log' ] && grep -q 'EXIT STATUS' '$work/kado.man'"
  # The manual page must not fall behind the program: every exit code --help lists is there.
  check "the manual page lists every exit code of kado --help" \
    bash -c "'$bin/kado' --help | sed -n 's/^  *\([0-9][0-9]*\)  .*/\1/p' | while read -r code; do
               grep -qw \"\$code\" '$work/kado.man' || { echo \"exit code \$code missing\"; exit 1; }
             done"
  check "dpkg removes the package and everything it installed" \
    bash -c "dpkg --root='$dpkg_root' -r kado >/dev/null 2>&1 &&
             [ -z \"\$(find '$dpkg_root' -path '$dpkg_root/var' -prune -o -mindepth 1 -print)\" ]"
}

# --- Windows installer ------------------------------------------------------------------------

install_folder='C:\Program Files\Vantorel\Pulsenote CF Interface Program'
program_key='HKLM\Software\Wow6432Node\Vantorel\Pulsenote CF Interface Program'

wine_path() { echo "Z:${1//\//\\}"; }

# A listing of drive C: and the registry as Wine saves it (its server must have ended), without
# the hardware keys Wine rewrites at each start and without key time stamps. Left out: the user's
# profile (Software\Vantorel\KADO), the program's to keep, and the temporary folder, the
# system's to clean (the uninstaller runs from a copy there).
snapshot() {
  wineserver -w
  (cd "$WINEPREFIX/drive_c" && find . -path './users/*/Temp/*' -prune -o -print | sort) >"$1.files"
  for hive in system user; do
    sed -E 's/^(\[.*\]) [0-9]+$/\1/; /^#time=/d' "$WINEPREFIX/$hive.reg" |
      awk 'BEGIN { RS = ""; ORS = "\n\n" }
           !/^\[(System|Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\NetworkCards|Software\\\\Vantorel\\\\KADO)/' \
        >"$1.$hive.reg"
  done
}

same_snapshot() {
  diff "$1.files" "$2.files" && diff "$1.system.reg" "$2.system.reg" && diff "$1.user.reg" "$2.user.reg"
}

# Reads the card copy with a program under Wine into the folder; its exit code must be 0.
wine_read() {
  wine "$1" /readecg=hide /opformat=archive "/ipdir=$(wine_path "$2")" "/dir=$(wine_path "$3")"
}

test_setup() {
  # winemenubuilder would copy the Start-menu entry into this machine's own desktop menus.
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY
  wineboot -i >/dev/null 2>&1
  snapshot "$work/before"

  check "the installer runs silently" quiet wine "$setup" /S
  local installed=$WINEPREFIX/drive_c/Program\ Files/Vantorel/Pulsenote\ CF\ Interface\ Program
  check "kado.exe, szip.exe, the read-mes and the uninstaller are installed" \
    bash -c "cd '$installed' && [ \"\$(ls | tr '\n' ' ')\" = 'README.txt Uninstall.exe kado.exe szip.exe szip.readme.txt ' ]"
  check "the Start menu holds the program" \
    test -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pulsenote CF Interface Program.lnk"
  check "Install Path in the 32-bit view names kado.exe" \
    bash -c "wine reg query '$program_key' /v 'Install Path' | tr -d '\r' |
             grep -qF 'REG_SZ    $install_folder\\kado.exe'"
  check "the installed and the built kado.exe read a card copy into the same files" \
    bash -c "card_copy card-build && card_copy card-installed && mkdir '$work/out-build' '$work/out-installed' &&
             wine_read '$root/build/windows/kado.exe' '$work/card-build' '$work/out-build' &&
             wine_read '$install_folder\\kado.exe' '$work/card-installed' '$work/out-installed' &&
             [ -s '$work/out-installed/rawecg1.dat' ] && diff -r '$work/out-build' '$work/out-installed'"

  # The uninstaller goes on from a copy of itself in the temporary folder: the end of the Wine
  # server tells when it is done.
  check "the uninstaller runs silently" quiet wine "$installed/Uninstall.exe" /S
  snapshot "$work/after"
  check "the uninstall leaves drive C: and the registry as before, but for the profile" \
    same_snapshot "$work/before" "$work/after"
}

export -f card_copy wine_path wine_read
export work root
parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(deb setup)
"$cardsim" --card="$work/card" --format=35 --duration=1h --event=600 >/dev/null || exit 1
for part in "${parts[@]}"; do
  case "$part" in
    deb) test_deb ;;
    setup) test_setup ;;
    *) echo "unknown part: $part" >&2; exit 2 ;;
  esac
done
echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
