#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of a built tree and checks it as a user would
# meet it: the paths it installs, its dependencies, the installed korvalin
# running and its manual page reading.
#   tools/check_deb.sh [BUILD_DIR]
set -euo pipefail
build=${1:-build}

log=$(cd "$build" && cpack -G DEB 2>&1) || { echo "$log" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/korvalin_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "cpack wrote no $deb" >&2; exit 1; }

problems=0
problem() { echo "$deb: $*" >&2; problems=$((problems + 1)); }

listing=$(dpkg-deb -c "$deb")
for path in usr/bin/korvalin usr/bin/korvalin-gui \
    usr/share/applications/korvalin.desktop usr/share/mime/packages/korvalin.xml \
    usr/share/icons/hicolor/{16x16,32x32,48x48,128x128}/apps/korvalin.png \
    usr/share/man/man1/korvalin.1 usr/share/man/man1/korvalin-gui.1 \
    usr/share/bash-completion/completions/korvalin usr/share/zsh/vendor-completions/_korvalin; do
  grep -q " \./$path\$" <<<"$listing" || problem "does not install /$path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6; do
  [[ $depends == *"$library"* ]] || problem "Depends lacks $library: $depends"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
installed_version=$("$root/usr/bin/korvalin" --version)
[ "$installed_version" = "korvalin $version" ] || problem "korvalin --version says \"$installed_version\""
page=$(man -P cat -l "$root/usr/share/man/man1/korvalin.1" 2>&1)
grep -q "korvalin relocate" <<<"$page" || problem "man -l korvalin.1 does not show the page: $page"

[ "$problems" -eq 0 ] || exit 1
echo "$deb: $(wc -l <<<"$listing") entries, Depends: $depends"
