#!/usr/bin/env bash
# Installs the release packages of dist/ (scripts/package.sh) and checks what a clinic gets:
# the Debian package in a throwaway dpkg root, the Windows installer in a fresh Wine prefix of its
# own. Needs the windows build (the kado.exe to compare with) and builds cardsim for its card.
# Usage: scripts/test-packages.sh [deb] [setup]   (default: both)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.." || exit 1
root=$(pwd)
version=$(sed -n 's/^project(kado VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$root/dist/kado_${version}_amd64.deb
setup=$root/dist/kado-${version}-setup.exe
work=$(mktemp -d)
# The Wine prefix's server goes with the work folder, however the run ends.
trap 'WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

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

# quiet COMMAND...: runs the command, showing its output only when it fails.
quiet() {
  "$@" >"$work/quiet.log" 2>&1 || { cat "$work/quiet.log"; return 1; }
}

# A fresh copy of the one test card: a read marks the card it reads, so each read gets its own.
card_copy() {
  rm -rf "$work/card-$1" && cp -r "$work/card" "$work/card-$1"
}

# --- Debian package ---------------------------------------------------------------------------

dpkg_root=$work/dpkg-root
bin=$dpkg_root/usr/bin

depends_on_libraries() {
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  [[ $depends == *libblkid1* && $depends == *zlib1g* ]]
}

version_answered() {
  [ "$("$bin/kado" --version)" = "kado $version" ]
}

szip_round_trip() {
  head -c 100000 "$deb" >"$work/plain" && "$bin/szip" -c "$work/plain" "$work/packed" &&
    "$bin/szip" -d "$work/packed" "$work/unpacked" && cmp -s "$work/plain" "$work/unpacked"
}

deb_read() {
  card_copy deb && mkdir "$work/out-deb" &&
    XDG_CONFIG_HOME=$work/config "$bin/kado" /readecg=hide /opformat=archive \
      "/ipdir=$work/card-deb" "/dir=$work/out-deb" && [ -s "$work/out-deb/rawecg1.dat" ]
}

man_page_renders() {
  MANWIDTH=80 man --warnings -l "$dpkg_root/usr/share/man/man1/kado.1.gz" >"$work/kado.man" \
    2>"$work/man.log" && [ ! -s "$work/man.log" ] && grep -q 'EXIT STATUS' "$work/kado.man"
}

# The manual page must not fall behind the program: every exit code --help lists is in it.
man_page_has_exit_codes() {
  local code
  for code in $("$bin/kado" --help | sed -n 's/^  *\([0-9][0-9]*\)  .*/\1/p'); do
    grep -qw "$code" "$work/kado.man" || { echo "exit code $code missing"; return 1; }
  done
}

removed_whole() {
  quiet dpkg --root="$dpkg_root" -r kado &&
    [ -z "$(find "$dpkg_root" -mindepth 1 -path "$dpkg_root/var" -prune -o -print)" ]
}

test_deb() {
  mkdir -p "$dpkg_root/var/lib/dpkg/info" "$dpkg_root/var/lib/dpkg/updates"
  touch "$dpkg_root/var/lib/dpkg/status"
  check "lintian reports no error" quiet lintian --fail-on error "$deb"
  check "the dependencies name libblkid1 and zlib1g" depends_on_libraries
  check "the dependencies are satisfiable here" quiet apt-get install --simulate "$deb"
  # The throwaway root has no packages of its own; the programs run on this machine's libraries.
  check "dpkg installs the package" quiet dpkg --root="$dpkg_root" --force-depends -i "$deb"
  check "kado --version names the package's version" version_answered
  check "the installed szip packs and unpacks" szip_round_trip
  check "the installed kado reads a card copy" deb_read
  check "man kado renders without warnings" man_page_renders
  check "the manual page lists every exit code of kado --help" man_page_has_exit_codes
  check "dpkg removes the package and everything it installed" removed_whole
}

# --- Windows installer ------------------------------------------------------------------------

wine_path() { echo "Z:${1//\//\\}"; }
unix_path() { winepath -u "$1" 2>/dev/null; }

# Waits for the prefix's programs to end and its server with them, which saves the registry.
# Wine's own helper processes have been seen to outlive a run by minutes: after a bound far
# beyond any installer's time they are ended.
end_wine() {
  timeout 120 wineserver -w || wineserver -k
}

# A listing of drive C: and the registry as Wine saves it (its server must have ended), without
# the hardware keys Wine rewrites at each start and without key time stamps. Left out: the user's
# profile (Software\Vantorel\KADO), the program's to keep, and the temporary folder, the
# system's to clean (the uninstaller runs from a copy there).
snapshot() {
  end_wine
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

# Installs silently into the folder given, or into the default folder. /D= must come last and
# unquoted even with blanks: cmd passes the line on as written.
install() {
  quiet wine cmd /c "$(wine_path "$setup") /S${1:+ /D=$1}" && end_wine
}

install_twice() {
  install "$1" && install "$1"
}

installed_files() {
  [ "$(cd "$(unix_path "$1")" && ls | tr '\n' ' ')" = \
    'README.txt Uninstall.exe kado.exe szip.exe szip.readme.txt ' ]
}

# The value where the program reads it: the 32-bit view of the machine's registry.
install_path_names() {
  wine reg query 'HKLM\Software\Wow6432Node\Vantorel\Pulsenote CF Interface Program' \
    /v 'Install Path' | tr -d '\r' | grep -qxF "    Install Path    REG_SZ    $1"
}

# Reads a fresh card copy with a program under Wine into a fresh folder; exit code 0.
wine_read() {
  card_copy "$2" && mkdir "$work/out-$2" &&
    wine "$1" /readecg=hide /opformat=archive "/ipdir=$(wine_path "$work/card-$2")" \
      "/dir=$(wine_path "$work/out-$2")"
}

same_read() {
  wine_read "$root/build/windows/kado.exe" build && wine_read "$1\\kado.exe" installed &&
    [ -s "$work/out-installed/rawecg1.dat" ] && diff -r "$work/out-build" "$work/out-installed"
}

# A copy of kado.exe away from szip.exe, started with a command line it refuses (after its
# start-up has looked for szip), finds the installed szip.exe through Install Path: it installs
# no copy of its own into Program Files\Vantorel\Common.
szip_found_through_install_path() {
  local copy=$WINEPREFIX/drive_c/kado-copy status=0
  mkdir "$copy" && cp "$(unix_path "$1")/kado.exe" "$copy/" || return 1
  wine "$copy/kado.exe" "/dir=C:\\" /refused || status=$?
  rm -r "$copy"
  [ $status -eq 100 ] && [ ! -e "$WINEPREFIX/drive_c/Program Files/Vantorel/Common" ]
}

# The uninstaller goes on from a copy of itself in the temporary folder: the end of the Wine
# server (in snapshot) tells when it is done.
uninstall_restores() {
  quiet wine "$(unix_path "$1")/Uninstall.exe" /S && snapshot "$work/after" &&
    same_snapshot "$work/before" "$work/after"
}

test_setup() {
  # winemenubuilder would copy the Start-menu entry into this machine's own desktop menus.
  export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY
  wineboot -i >/dev/null 2>&1
  snapshot "$work/before"

  local folder='C:\Program Files\Vantorel\Pulsenote CF Interface Program'
  check "the installer runs silently" install
  check "kado.exe, szip.exe, the read-mes and the uninstaller are installed" installed_files "$folder"
  check "the Start menu holds the program" test -f \
    "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Pulsenote CF Interface Program.lnk"
  check "Install Path in the 32-bit view names kado.exe" install_path_names "$folder\\kado.exe"
  check "the installed and the built kado.exe read a card copy into the same files" same_read "$folder"
  check "the program finds the installed szip.exe through Install Path" \
    szip_found_through_install_path "$folder"
  check "the uninstall leaves drive C: and the registry as before, but for the profile" \
    uninstall_restores "$folder"

  # A chosen folder, installed twice as a repair would: the uninstall still removes the folders
  # the first installation made.
  folder='C:\Clinic Programs\kado'
  check "the installer installs twice into a chosen folder" install_twice "$folder"
  check "Install Path names kado.exe in the chosen folder" install_path_names "$folder\\kado.exe"
  check "the uninstall of the chosen folder leaves the prefix as before" uninstall_restores "$folder"
}

parts=("$@")
[ ${#parts[@]} -gt 0 ] || parts=(deb setup)
cmake --build --preset linux --target cardsim >/dev/null || exit 1
"$root/build/linux/tools/cardsim/cardsim" --card="$work/card" --format=35 --duration=1h \
  --event=600 >/dev/null || exit 1
for part in "${parts[@]}"; do
  case "$part" in
    deb) test_deb ;;
    setup) test_setup ;;
    *) echo "unknown part: $part" >&2; exit 2 ;;
  esac
done
echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
