// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "bundled_fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QString>

void addBundledFonts()
{
    const QDir fonts(QStringLiteral(":/bundled-fonts"));
    for (const QString &file : fonts.entryList(QDir::Files))
        QFontDatabase::addApplicationFont(fonts.filePath(file));
}
