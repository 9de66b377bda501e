// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QIcon>

// The icon under which the desktop knows the program (its desktop entry's id).
inline constexpr const char *ProgramIconName = "de.punktblick.Punktblick";

// The program's icon: the installed theme icon where there is one, so that the window shows what
// the desktop entry shows, else the copy built into the program.
QIcon programIcon();

// The copy built into the program, at the sizes that window systems ask for.
QIcon builtInProgramIcon();
