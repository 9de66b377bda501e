// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Started by the benchmark once per run: reports the moment its window was first painted and its
// resident memory once start-up has settled, then quits. Built twice: around the real Punktblick
// window, and around a window of one button, as the least that Qt Widgets costs.

#include "paint_watch.h"

#ifdef PROBE_PUNKTBLICK
#include "platform/clock.h"
#include "platform/random_source.h"
#include "trial/trial.h"
#include "window/form1.h"
#include "window/program_icon.h"
#else
#include <QPushButton>
#endif

#include <QTimer>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    PaintWatchApplication app(argc, argv);
#ifdef PROBE_PUNKTBLICK
    nameProgram();
    SteadyClock clock;
    ClockSeededRandom random;
    Form1 window;
    Trial trial(window, clock, random);
    trial.load();
#else
    QPushButton window(QStringLiteral("Start"));
#endif
    bool reported = false;
    app.watch(&window, [&] {
        if (reported)
            return;
        reported = true;
        std::printf("painted %.6f\n", monotonicSeconds());
        std::fflush(stdout);
        QTimer::singleShot(300, &app, [&] {
            std::printf("rss_kib %ld\n", residentKiB());
            std::fflush(stdout);
            QApplication::quit();
        });
    });
#ifdef PROBE_PUNKTBLICK
    showProgramIconAfterFirstFrame(window);
#endif
    window.show();
    return app.exec();
}
