// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "program_icon.h"

#include "platform/after_first_paint.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QMap>
#include <QPixmap>
#include <QStandardPaths>
#include <QString>
#include <QWidget>

namespace {

// The icon's pictures are PNG files, and only the built-in PNG reader is asked for them: left to
// guess, QImageReader would load every image format plugin to ask it first.
QPixmap readPng(const QString &file)
{
    QImageReader reader(file, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The built-in pictures by size: the build puts in the sizes a window's icon needs
// (punktblick-<size>.png); the large ones are the desktop entry's business.
QMap<int, QString> builtInFiles()
{
    QMap<int, QString> files;
    const QDir dir(QStringLiteral(":/icons"));
    for (const QString &name : dir.entryList({QStringLiteral("punktblick-*.png")}))
        files.insert(name.section(u'-', 1).section(u'.', 0, 0).toInt(), dir.filePath(name));
    return files;
}

} // namespace

QIcon builtInProgramIcon()
{
    QIcon icon;
    const QMap<int, QString> files = builtInFiles();
    for (const QString &file : files)
        icon.addPixmap(readPng(file));
    return icon;
}

QIcon programIcon()
{
    // The icon that the package installs into the hicolor theme, looked up where it lies:
    // QIcon::fromTheme parses the whole theme index first, which cost 4 ms.
    QIcon icon;
    const QMap<int, QString> files = builtInFiles();
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString installed = QStandardPaths::locate(
            QStandardPaths::GenericDataLocation,
            QStringLiteral("icons/hicolor/%1x%1/apps/%2.png").arg(it.key()).arg(DesktopId));
        icon.addPixmap(readPng(installed.isEmpty() ? it.value() : installed));
    }
    return icon;
}

void nameProgram()
{
    QApplication::setApplicationName(QStringLiteral("Punktblick"));
    QApplication::setDesktopFileName(QString::fromLatin1(DesktopId));
}

void showProgramIconAfterFirstFrame(QWidget &window)
{
    afterFirstPaint(window, [] { QApplication::setWindowIcon(programIcon()); });
}
