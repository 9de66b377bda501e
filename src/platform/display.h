// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

// The kinds of window system the program is built for. Only on a freedesktop system (Linux and
// the BSDs) does Qt need a display named in the environment; Windows, macOS and the browser's
// page always have one.
enum class WindowSystem { FreeDesktop, Windows, MacOS, Browser };

constexpr WindowSystem hostWindowSystem()
{
#if defined(_WIN32)
    return WindowSystem::Windows;
#elif defined(__APPLE__)
    return WindowSystem::MacOS;
#elif defined(__EMSCRIPTEN__)
    return WindowSystem::Browser;
#else
    return WindowSystem::FreeDesktop;
#endif
}

// Whether Qt has a display to open a window on: on a freedesktop system an X or Wayland display
// in the environment, or a platform named explicitly (QT_QPA_PLATFORM or -platform). Without one
// Qt aborts with a long message about plugins, so the program says what it needs instead.
bool displayAvailable(WindowSystem system, int argc, const char *const *argv,
                      const std::function<const char *(const char *)> &getenv);

// The one line printed when displayAvailable() is false.
const char *noDisplayMessage();
