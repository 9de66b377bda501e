// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random_source.h"
#include "trial/trial.h"
#include "window/form1.h"
#include "window/program_icon.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (!displayAvailable(hostWindowSystem(), argc, argv,
                          [](const char *name) { return std::getenv(name); })) {
        std::fprintf(stderr, "%s\n", noDisplayMessage());
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Punktblick"));
    // The desktop entry's id is the Wayland app id; the window's icon and its WM_CLASS (from the
    // application name) tie it to the same entry on X11.
    QApplication::setDesktopFileName(QString::fromLatin1(ProgramIconName));
    QApplication::setWindowIcon(programIcon());

    SteadyClock clock;
    ClockSeededRandom random;
    // The window lives until main returns: a handler suspended in a timed display when the
    // window closes must still find it there while it unwinds.
    Form1 form;
    Trial trial(form, clock, random);
    trial.load();
    form.show();
    return app.exec();
}
