#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds the Debian package the Debian way from a copy of the source, checks its relations,
# contents and lintian's verdict, and starts the program from the unpacked package.
set -euo pipefail
source=$1 expected=$2
for tool in dpkg-buildpackage lintian xvfb-run; do
    command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/punktblick"
tar -C "$source" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$work/punktblick" -xf -

cd "$work/punktblick"
# The unit tests inside have run already, from the tree; the package need not build them again.
DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)" dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log"; echo "dpkg-buildpackage failed"; exit 1; }
cd "$work"
deb=$(ls punktblick_*.deb)
ls punktblick-dbgsym_*.deb >/dev/null || { echo "no -dbgsym package: the binary was not stripped"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-liberation2 qt6-qpa-plugins libqt6widgets6 libc6; do
    grep -q "\b$needed\b" <<<"$depends" || { echo "Depends lacks $needed: $depends"; exit 1; }
done
grep -q '\bqt6-wayland\b' <<<"$(dpkg-deb -f "$deb" Recommends)" || { echo "no Recommends qt6-wayland"; exit 1; }
# The package holds what the install puts in place, with the manual compressed, and the two
# files every Debian package carries.
diff -u <({ cat "$expected"; printf '%s\n' usr/share/doc/punktblick/{changelog,copyright}; } | LC_ALL=C sort) \
    <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||; s|\.gz$||' | LC_ALL=C sort)

lintian --fail-on error,warning punktblick_*.changes
echo "lintian: no error, no warning"

dpkg-deb -x "$deb" unpacked
PUNKTBLICK=$work/unpacked/usr/bin/punktblick \
    DESKTOP_ENTRY=$work/unpacked/usr/share/applications/de.punktblick.Punktblick.desktop bash "$source/debian/tests/window-opens"
echo "package: $deb, Depends: $depends"
