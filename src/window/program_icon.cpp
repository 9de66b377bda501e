// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "program_icon.h"

#include <QString>

QIcon builtInProgramIcon()
{
    // Files, not pixmaps: QIcon decodes only the sizes that the window system asks for.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/punktblick-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon programIcon()
{
    return QIcon::fromTheme(QString::fromLatin1(ProgramIconName), builtInProgramIcon());
}
