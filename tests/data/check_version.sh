#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The program, the package, the metainfo's newest release and the manual page give one version.
set -euo pipefail
version=$1 source=$2
changelog=$(sed -n '1s/^punktblick (\([^)]*\)).*/\1/p' "$source/debian/changelog")
release=$(grep -o '<release version="[^"]*"' "$source/data/de.punktblick.Punktblick.metainfo.xml" |
    head -1 | cut -d'"' -f2)
manual=$(sed -n 's/^\.TH .*"Punktblick \([^"]*\)".*/\1/p' "$source/data/punktblick.6")
status=0
for pair in "debian/changelog:$changelog" "metainfo release:$release" "manual page:$manual"; do
    if [ "${pair#*:}" != "$version" ]; then
        echo "${pair%%:*} says '${pair#*:}', the program $version"
        status=1
    fi
done
[ $status -eq 0 ] && echo "version $version everywhere"
exit $status
