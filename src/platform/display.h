// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

// Whether Qt has a display to open a window on: an X or Wayland display in the environment, or a
// platform named explicitly (QT_QPA_PLATFORM or -platform). Without one Qt aborts with a long
// message about plugins, so the program says what it needs instead.
bool displayAvailable(int argc, const char *const *argv,
                      const std::function<const char *(const char *)> &getenv);

// The one line printed when displayAvailable() is false.
const char *noDisplayMessage();
