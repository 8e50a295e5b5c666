#!/usr/bin/env bash
# Korvalin's one entry point on a Debian 12 machine:
#   ./build.sh demo   install what is missing, build, run the main job on the demo disc tree
#   ./build.sh test   install what is missing, build, run every test (and the core tests
#                     again under AddressSanitizer and UndefinedBehaviorSanitizer)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  # independent readers the image tests check against
  genisoimage libcdio-utils bchunk python3-pycdlib
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
  local out=build/demo
  mkdir -p "$out"
  ./build/src/korvalin new "$out/demo.krv" --force
  ./build/src/korvalin ls "$out/demo.krv"
}

run_tests() {
  build build
  (cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$JOBS")
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
