// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/bundled_fonts.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/random_source.h"
#include "trial/trial.h"
#include "web/web.h"
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

    prepareForPage();
    QApplication app(argc, argv);
    nameProgram();
    addBundledFonts();

    SteadyClock clock;
    ClockSeededRandom random;
    // The window lives until main returns: a handler suspended in a timed display when the
    // window closes must still find it there while it unwinds.
    Form1 form;
    Trial trial(form, clock, random);
    trial.load();
    showProgramIconAfterFirstFrame(form);
    form.show();
    joinPage(form);
    return app.exec();
}
