// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Measures what a learner feels: how fast the window comes up and what it holds in memory (beside
// a window of one button), how idle it is during a display, how exactly a display ends, and how
// soon the lit cells show after Start. Runs the real window under the platform Qt is given (an X
// server under xvfb-run for real figures). Prints a table and writes the same figures as JSON.

#include "paint_watch.h"
#include "platform/clock.h"
#include "platform/random_source.h"
#include "trial/trial.h"
#include "window/design.h"
#include "window/form1.h"

#include <QButtonGroup>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double maximum(const std::vector<double> &v)
{
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto secs = [](timeval t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return secs(usage.ru_utime) + secs(usage.ru_stime);
}

struct Launch
{
    double startupMs = -1;
    double rssKiB = -1;
};

Launch launch(const QString &program)
{
    QProcess process;
    const double t0 = monotonicSeconds();
    process.start(program, {});
    Launch result;
    if (!process.waitForFinished(20000)) {
        process.kill();
        return result;
    }
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2)
            continue;
        if (words[0] == "painted")
            result.startupMs = (words[1].toDouble() - t0) * 1000;
        else if (words[0] == "rss_kib")
            result.rssKiB = words[1].toDouble();
    }
    return result;
}

struct Paint
{
    double at;
    bool lit;
};

struct DisplayRuns
{
    int seconds = 0;
    std::vector<double> lateMs;    // dark cells painted, after N seconds from the click
    std::vector<double> latencyMs; // click to lit cells painted
    int early = 0;
    double cpuShare = -1; // share of one core over the display (only measured for N = 4)
};

} // namespace

int main(int argc, char *argv[])
{
    PaintWatchApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption runsOption("runs", "Runs per figure (at least 10 for real figures).", "n",
                                  "10");
    QCommandLineOption jsonOption("json", "Where to write the figures as JSON.", "file",
                                  "bench-results.json");
    QCommandLineOption smokeOption("smoke", "One short run of everything: checks that it runs.");
    QCommandLineOption probesOption("probes", "Folder of the start-up probes.", "dir",
                                    QCoreApplication::applicationDirPath());
    // A launch takes a tenth of a second, and one launch's start-up varies by a quarter on a
    // shared machine, so the start-up median gets more launches than the displays get runs.
    QCommandLineOption launchesOption(
        "launches", "Launches of each window for start-up and memory.", "n", "50");
    parser.addOptions({runsOption, launchesOption, jsonOption, smokeOption, probesOption});
    parser.process(app);
    const bool smoke = parser.isSet(smokeOption);
    const int runs = smoke ? 1 : std::max(1, parser.value(runsOption).toInt());
    const int launches = smoke ? 1 : std::max(runs, parser.value(launchesOption).toInt());
    const QString probes = parser.value(probesOption);

    // 1, 2: start-up and memory, the two windows launched in turn, each first every other time,
    // so that drift and the order hit both alike.
    std::vector<double> startPb, startMin, rssPb, rssMin;
    for (int i = 0; i < launches; ++i) {
        Launch pb, min;
        if (i % 2 == 0) {
            pb = launch(probes + "/punktblick_startup_probe");
            min = launch(probes + "/minimal_startup_probe");
        } else {
            min = launch(probes + "/minimal_startup_probe");
            pb = launch(probes + "/punktblick_startup_probe");
        }
        if (pb.startupMs < 0 || min.startupMs < 0 || pb.rssKiB < 0 || min.rssKiB < 0) {
            std::fprintf(stderr, "bench: a start-up probe did not report\n");
            return 1;
        }
        startPb.push_back(pb.startupMs);
        startMin.push_back(min.startupMs);
        rssPb.push_back(pb.rssKiB);
        rssMin.push_back(min.rssKiB);
    }

    // 3, 4, 5: the real window on the real clock.
    SteadyClock clock;
    ClockSeededRandom random;
    Form1 form;
    Trial trial(form, clock, random);
    trial.load();
    std::vector<Paint> paints;
    app.watch(&form, [&] {
        paints.push_back({monotonicSeconds(), form.Picture1.colour(0) == design::LitCell});
    });
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "bench: the window was not shown\n");
        return 1;
    }

    std::vector<DisplayRuns> displays;
    for (const int level : smoke ? std::vector<int>{4} : std::vector<int>{4, 3, 2}) {
        DisplayRuns d;
        d.seconds = displaySeconds(level);
        form.levels->button(level)->click();
        std::vector<double> cpuShares;
        for (int i = 0; i < runs; ++i) {
            QTest::qWait(50);
            paints.clear();
            const double cpu0 = cpuSeconds();
            const double click = monotonicSeconds();
            QTest::mouseClick(form.cmd_start, Qt::LeftButton);
            const double cpu1 = cpuSeconds();
            const double returned = monotonicSeconds();
            const double due = click + d.seconds;
            QElapsedTimer limit;
            limit.start();
            const auto darkAfter = [&](double t) {
                return std::find_if(paints.begin(), paints.end(),
                                    [&](const Paint &p) { return !p.lit && p.at >= t; });
            };
            // The first picture with the cells lit, and the first dark one after it: a paint
            // before the lit one (the pressed button, say) still shows the previous trial.
            const auto firstLit = [&] {
                return std::find_if(paints.begin(), paints.end(),
                                    [](const Paint &p) { return p.lit; });
            };
            const auto darkAfterLit = [&] {
                const auto lit = firstLit();
                return lit == paints.end() ? paints.end() : darkAfter(lit->at);
            };
            while (darkAfterLit() == paints.end() && limit.elapsed() < 2000)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            const auto lit = firstLit();
            const auto dark = darkAfterLit();
            if (lit == paints.end() || dark == paints.end()) {
                std::fprintf(stderr, "bench: a display was not painted\n");
                return 1;
            }
            d.latencyMs.push_back((lit->at - click) * 1000);
            d.lateMs.push_back((dark->at - due) * 1000);
            d.early += dark->at < due ? 1 : 0;
            cpuShares.push_back((cpu1 - cpu0) / (returned - click));
        }
        if (d.seconds == 4 || smoke)
            d.cpuShare = median(cpuShares);
        displays.push_back(d);
    }

    // The table and the JSON.
    QJsonObject json;
    const double startRatio = median(startPb) / median(startMin);
    const double rssRatio = median(rssPb) / median(rssMin);
    json["runs"] = runs;
    json["launches"] = launches;
    json["startup_ms"] = QJsonObject{
        {"punktblick", median(startPb)}, {"minimal", median(startMin)}, {"ratio", startRatio}};
    json["rss_kib"] = QJsonObject{
        {"punktblick", median(rssPb)}, {"minimal", median(rssMin)}, {"ratio", rssRatio}};
    std::printf("%d launches of each window, %d runs of each display\n", launches, runs);
    std::printf("%-44s %12s %12s %8s\n", "figure", "punktblick", "minimal", "ratio");
    std::printf("%-44s %12.1f %12.1f %8.3f\n", "start-up to first paint, median (ms)",
                median(startPb), median(startMin), startRatio);
    std::printf("%-44s %12.0f %12.0f %8.3f\n", "resident memory after start-up (KiB)",
                median(rssPb), median(rssMin), rssRatio);
    QJsonArray displayJson;
    for (const DisplayRuns &d : displays) {
        displayJson.append(QJsonObject{{"seconds", d.seconds},
                                       {"late_ms_median", median(d.lateMs)},
                                       {"late_ms_max", maximum(d.lateMs)},
                                       {"early", d.early},
                                       {"start_to_lit_ms_median", median(d.latencyMs)},
                                       {"start_to_lit_ms_max", maximum(d.latencyMs)}});
        std::printf(
            "%-44s %12.2f %12s\n",
            qPrintable(QStringLiteral("display %1 s: end late, median / max (ms)").arg(d.seconds)),
            median(d.lateMs), qPrintable(QString::number(maximum(d.lateMs), 'f', 2)));
        std::printf("%-44s %12d\n",
                    qPrintable(QStringLiteral("display %1 s: ended early (of %2)")
                                   .arg(d.seconds)
                                   .arg(d.lateMs.size())),
                    d.early);
        std::printf(
            "%-44s %12.2f %12s\n",
            qPrintable(
                QStringLiteral("display %1 s: Start to lit, median / max (ms)").arg(d.seconds)),
            median(d.latencyMs), qPrintable(QString::number(maximum(d.latencyMs), 'f', 2)));
        if (d.cpuShare >= 0) {
            json["cpu_share_during_display"] =
                QJsonObject{{"seconds", d.seconds}, {"share_of_one_core", d.cpuShare}};
            std::printf("%-44s %11.2f%%\n",
                        qPrintable(QStringLiteral("CPU during a %1 s display").arg(d.seconds)),
                        d.cpuShare * 100);
        }
    }
    json["displays"] = displayJson;
    json["platform"] = QGuiApplication::platformName();

    QFile out(parser.value(jsonOption));
    if (!out.open(QIODevice::WriteOnly) || out.write(QJsonDocument(json).toJson()) < 0) {
        std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    std::printf("figures written to %s\n", qPrintable(out.fileName()));
    return 0;
}
