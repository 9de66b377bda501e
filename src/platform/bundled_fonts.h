// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Makes the faces that the build carries known to Qt. A browser lends a page no faces of the
// system, so the web build brings the one the results are written in; where the system has its
// faces, the build carries none and this does nothing. Call once the application object exists,
// before the window is created.
void addBundledFonts();
