#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Reads the window through AT-SPI (check_accessibility.py) on a virtual display, with a session
# bus and an accessibility bus of its own. Skipped (77) where one of them cannot be had.
# Usage: check_accessibility.sh PROGRAM
set -euo pipefail
for tool in xvfb-run dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null ||
        { echo "accessibility: skipped, $tool is missing (xvfb, dbus-daemon, at-spi2-core)"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
    { echo "accessibility: skipped, python3-pyatspi is missing"; exit 77; }
# The buses' own chatter (fd limits, activations) is no finding.
exec xvfb-run -a dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/check_accessibility.py" \
    "$1" 2> >(grep -v -e '^dbus-daemon' -e 'SpiRegistry daemon' -e 'Cannot open default display' \
        -e '^$' -e XDG_RUNTIME_DIR >&2)
