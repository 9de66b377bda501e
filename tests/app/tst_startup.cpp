// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/display.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

#include <map>
#include <string>

Q_DECLARE_METATYPE(WindowSystem)

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void findsADisplay_data()
    {
        QTest::addColumn<WindowSystem>("system");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("available");
        QTest::newRow("nothing") << WindowSystem::FreeDesktop << ""
                                 << "" << QStringList{} << false;
        QTest::newRow("X") << WindowSystem::FreeDesktop << "DISPLAY"
                           << ":0" << QStringList{} << true;
        QTest::newRow("Wayland") << WindowSystem::FreeDesktop << "WAYLAND_DISPLAY"
                                 << "wayland-0" << QStringList{} << true;
        QTest::newRow("platform variable") << WindowSystem::FreeDesktop << "QT_QPA_PLATFORM"
                                           << "offscreen" << QStringList{} << true;
        QTest::newRow("empty DISPLAY") << WindowSystem::FreeDesktop << "DISPLAY"
                                       << "" << QStringList{} << false;
        QTest::newRow("Windows, nothing") << WindowSystem::Windows << ""
                                          << "" << QStringList{} << true;
        QTest::newRow("macOS, nothing") << WindowSystem::MacOS << ""
                                        << "" << QStringList{} << true;
        QTest::newRow("browser, nothing") << WindowSystem::Browser << ""
                                          << "" << QStringList{} << true;
        QTest::newRow("platform argument") << WindowSystem::FreeDesktop << ""
                                           << "" << QStringList{"-platform", "offscreen"} << true;
    }
    void findsADisplay()
    {
        QFETCH(WindowSystem, system);
        QFETCH(QString, variable);
        QFETCH(QString, value);
        QFETCH(QStringList, arguments);
        QFETCH(bool, available);
        std::map<std::string, std::string> env;
        if (!variable.isEmpty())
            env[variable.toStdString()] = value.toStdString();
        std::vector<std::string> args{"punktblick"};
        for (const QString &a : arguments)
            args.push_back(a.toStdString());
        std::vector<const char *> argv;
        for (const std::string &a : args)
            argv.push_back(a.c_str());
        const auto getenv = [&](const char *name) -> const char * {
            const auto it = env.find(name);
            return it == env.end() ? nullptr : it->second.c_str();
        };
        QCOMPARE(displayAvailable(system, int(argv.size()), argv.data(), getenv), available);
    }

    // The real program, started with no display at all: one line and status 1, not Qt's abort.
    void withoutDisplayExplainsAndFails()
    {
        QProcess process;
        process.setProcessEnvironment(QProcessEnvironment());
        process.start(QStringLiteral(PUNKTBLICK_BINARY), {});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QString err = QString::fromUtf8(process.readAllStandardError()).trimmed();
        QCOMPARE(err.count(u'\n'), 0);
        QVERIFY2(err.contains("xvfb-run"), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
