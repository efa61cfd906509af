#!/usr/bin/env bash
# Installs, from Debian's packages, everything the builds and tests need.
set -euo pipefail
# xvfb and xauth give scripts/screenshots.sh its virtual display.
# libclang-rt-dev holds the sanitizer and libFuzzer runtimes, which clang only recommends. zlib is
# for the szip tool alone (zlib1g-dev natively, libz-mingw-w64-dev for szip.exe). The packages:
# nsis makes the Windows installer, dpkg-dev's dpkg-shlibdeps the Debian package's dependencies;
# lintian and man-db check the Debian package. EDFlib (libedf-dev), BioSig (biosig-tools),
# rsvg-convert (librsvg2-bin) and xmllint (libxml2-utils) are the independent readers of the
# EDF+ export and the overview page in the Linux tests; save2gdf and valgrind (callgrind's
# instruction counts) also serve the read benchmarks.
packages=(cmake ninja-build g++ clang libclang-rt-dev pkg-config libblkid-dev googletest libgtest-dev libgmock-dev
          libbenchmark-dev g++-mingw-w64-x86-64-posix wine wine64 clang-format clang-tidy python3
          zlib1g-dev libz-mingw-w64-dev nsis dpkg-dev lintian man-db xvfb xauth
          libedf-dev biosig-tools librsvg2-bin libxml2-utils valgrind)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
