// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "display.h"

#include <cstring>

bool displayAvailable(WindowSystem system, int argc, const char *const *argv,
                      const std::function<const char *(const char *)> &getenv)
{
    if (system != WindowSystem::FreeDesktop)
        return true;
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char *value = getenv(name);
        if (value && *value)
            return true;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

const char *noDisplayMessage()
{
    return "punktblick: keine grafische Anzeige gefunden (DISPLAY und WAYLAND_DISPLAY sind leer); "
           "ohne Bildschirm starten mit: xvfb-run punktblick";
}
