#!/bin/bash
# Builds the Debian package into a scratch folder and checks its dependencies and contents.
set -euo pipefail
build=$1 expected=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >/dev/null
deb=$(ls "$out"/punktblick_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in fonts-liberation2 qt6-qpa-plugins libqt6widgets6 libqt6gui6 libqt6core6 libc6; do
    grep -q "\b$needed\b" <<<"$depends" || { echo "Depends lacks $needed: $depends"; exit 1; }
done
diff -u "$expected" <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | LC_ALL=C sort)
echo "package: $(basename "$deb"), Depends: $depends"
