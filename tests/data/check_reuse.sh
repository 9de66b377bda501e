#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Every file in the tree states its copyright and licence, and every licence named has its text.
set -euo pipefail
command -v reuse >/dev/null || { echo "reuse is not installed: skipped"; exit 77; }
cd "$1"
# Build trees are no part of the source; reuse skips what git ignores only inside a git checkout.
if [ -d .git ]; then
    reuse lint
else
    copy=$(mktemp -d)
    trap 'rm -rf "$copy"' EXIT
    tar --exclude='./build*' -cf - . | tar -C "$copy" -xf -
    reuse --root "$copy" lint
fi
