#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Installs into a scratch DESTDIR and compares the files with the expected list; also checks that
# the desktop entry starts the installed program and names the installed icon.
set -euo pipefail
build=$1 expected=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
diff -u "$expected" <(cd "$dest" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
entry="$dest/usr/share/applications/de.punktblick.Punktblick.desktop"
exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -x "$dest/usr/bin/${exec_line%% *}" ] || { echo "Exec=$exec_line is not the installed program"; exit 1; }
[ -f "$dest/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || { echo "no icon $icon"; exit 1; }
grep -q "<launchable type=\"desktop-id\">${entry##*/}</launchable>" \
    "$dest/usr/share/metainfo/de.punktblick.Punktblick.metainfo.xml"
for size in 16 24 32 48 64 128 256; do
    file "$dest/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png" | grep -q "$size x $size"
done
echo "install: $(wc -l < "$expected") files as expected"
