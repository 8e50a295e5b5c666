#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Korvalin's one entry point on a Debian 12 machine:
#   ./build.sh demo   install what is missing, build, run the main job on the demo disc tree
#   ./build.sh test   install what is missing, build, run every test, build and check the
#                     Debian package (and run the core tests again under AddressSanitizer
#                     and UndefinedBehaviorSanitizer)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake ninja-build g++ pkg-config zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev python3
  # independent readers the image tests check against
  genisoimage libcdio-utils bchunk python3-pycdlib xorriso
  # the Debian package and its check, the completion scripts' syntax check
  dpkg-dev file man-db zsh
)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

JOBS=$(nproc)

build() {  # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

run_demo() {
  build build
  local k=./build/src/korvalin out=build/demo disc=demo/disc
  mkdir -p "$out"
  echo "== Building the demo project from $disc"
  $k new "$out/demo.krv" --force --stamp-system-area   # sectors 0-15 addressed, as emulators want
  $k add "$out/demo.krv" "$disc/SYSTEM.CNF" "$disc/SLUS_000.01" "$disc/DATA" "$disc/MOVIE"
  $k label "$out/demo.krv" KORVALIN_DEMO
  $k edit "$out/demo.krv" /SYSTEM.CNF --lba 40              # pin the boot file
  local intro
  intro=$($k ls "$out/demo.krv" --json | python3 -c \
    'import json,sys; print(next(f["lba"] for f in json.load(sys.stdin)["files"] if f["name"]=="INTRO.STR"))')
  $k dummy "$out/demo.krv" /MOVIE/ALIAS.STR --lba "$intro"   # a second name for INTRO.STR's data
  $k ls "$out/demo.krv"
  echo "== Compiling and verifying"
  $k check "$out/demo.krv"
  $k compile "$out/demo.krv" "$out/demo.bin" --force   # replaces the image of an earlier run
  $k verify "$out/demo.bin"
  echo "== Dumping the image into a project and its files, and compiling that again"
  rm -rf "$out/dump"
  $k dump "$out/demo.bin" "$out/dump"
  $k compile "$out/dump/KORVALIN_DEMO.krv" "$out/rebuilt.bin" --force
  cmp "$out/demo.bin" "$out/rebuilt.bin" && echo "build/demo/rebuilt.bin is byte for byte build/demo/demo.bin"
  echo "Image: $out/demo.bin with cue sheet $out/demo.cue"
}

run_tests() {
  build build
  (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")
  echo "== The Debian package"
  tools/check_deb.sh build
  # The core again under the sanitizers (no GUI, no CLI).
  build build-sanitize -DKORVALIN_SANITIZE=ON -DKORVALIN_BUILD_GUI=OFF -DKORVALIN_BUILD_CLI=OFF \
        -DCMAKE_BUILD_TYPE=Debug
  (cd build-sanitize && ctest --output-on-failure -j "$JOBS")
}

case "${1:-}" in
  demo) install_missing; run_demo ;;
  test) install_missing; run_tests ;;
  *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac
