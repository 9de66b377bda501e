// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>

class QWidget;

// The desktop entry's id: the name of the installed icon and the Wayland app id.
inline constexpr const char *DesktopId = "de.punktblick.Punktblick";

// The program's icon at the sizes a window needs: the pictures installed into the hicolor icon
// theme where there are, so that the window shows what the desktop entry shows, else the copy
// built into the program.
QIcon programIcon();

// The copy built into the program, at the sizes that window systems ask for.
QIcon builtInProgramIcon();

// Names the running program as the desktop knows it: the application name (the class of its X11
// WM_CLASS, the desktop entry's StartupWMClass) and the desktop entry's id (its Wayland app id).
// Call once the application object exists, before the window is created.
void nameProgram();

// Gives the program's windows their icon as soon as `window` has painted its first frame:
// finding and decoding the icon costs a millisecond that the first frame need not wait for, and
// window systems take a changed icon as readily as a first one.
void showProgramIconAfterFirstFrame(QWidget &window);
