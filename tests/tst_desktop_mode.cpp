// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"
#include "xvfb.h"

#include <QProcess>
#include <QTest>

using vexalo::DesktopMode;

Q_DECLARE_METATYPE(DesktopMode)

class TestDesktopMode : public QObject {
    Q_OBJECT
private slots:
    void reportsTheRealServersMode_data()
    {
        QTest::addColumn<QString>("geometry");
        QTest::addColumn<DesktopMode>("expected");
        QTest::newRow("depth 16 is 16 bpp") << "1920x1080x16" << DesktopMode{true, 1920, 1080, 16};
        QTest::newRow("depth 24 is stored in 32 bpp")
            << "1280x1024x24" << DesktopMode{true, 1280, 1024, 32};
        QTest::newRow("small odd size") << "801x599x24" << DesktopMode{true, 801, 599, 32};
    }
    void reportsTheRealServersMode()
    {
        QFETCH(QString, geometry);
        QFETCH(DesktopMode, expected);
        Xvfb server;
        QVERIFY2(server.start(geometry), "Xvfb did not start");
        QCOMPARE(vexalo::QueryDesktopMode(server.display().toLatin1().constData()), expected);
        QVERIFY(vexalo::CanConnectToDisplay(server.display().toLatin1().constData()));
    }

    void reportsTheMonitorNotTheWholeScreen_data()
    {
        QTest::addColumn<QStringList>("xrandr"); // argument lists, run in turn
        QTest::addColumn<DesktopMode>("expected");
        const QStringList addMode{"--newmode 800x600 40 800 840 968 1056 600 601 605 628",
                                  "--addmode screen 800x600"};
        QTest::newRow("monitor smaller than the screen")
            << addMode + QStringList{"--output screen --mode 800x600 --fb 1920x1080"}
            << DesktopMode{true, 800, 600, 32};
        QTest::newRow("the same as primary")
            << addMode + QStringList{"--output screen --mode 800x600 --fb 1920x1080 --primary"}
            << DesktopMode{true, 800, 600, 32};
        QTest::newRow("no lit monitor: the screen")
            << QStringList{"--fb 1920x1080 --output screen --off"}
            << DesktopMode{true, 1920, 1080, 32};
    }
    void reportsTheMonitorNotTheWholeScreen()
    {
        QFETCH(QStringList, xrandr);
        QFETCH(DesktopMode, expected);
        Xvfb server;
        QVERIFY2(server.start("1920x1080x24"), "Xvfb did not start");
        for (const QString& arguments : xrandr) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start("xrandr", QStringList{"-display", server.display()} + arguments.split(' '));
            QVERIFY(p.waitForFinished(10000));
            QVERIFY2(p.exitCode() == 0, qPrintable("xrandr " + arguments));
        }
        QCOMPARE(vexalo::QueryDesktopMode(server.display().toLatin1().constData()), expected);
    }

    void defaultDisplayComesFromEnvironment()
    {
        Xvfb server;
        QVERIFY2(server.start("1024x600x24"), "Xvfb did not start");
        const QByteArray saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", server.display().toLatin1());
        const DesktopMode mode = vexalo::QueryDesktopMode();
        qputenv("DISPLAY", saved);
        QCOMPARE(mode, (DesktopMode{true, 1024, 600, 32}));
    }

    void unreachableDisplayIsUnavailable_data()
    {
        QTest::addColumn<QByteArray>("display");
        QTest::newRow("no server on that number") << QByteArray(":4093");
        QTest::newRow("malformed name") << QByteArray("not a display");
        QTest::newRow("unset") << QByteArray();
    }
    void unreachableDisplayIsUnavailable()
    {
        QFETCH(QByteArray, display);
        const QByteArray saved = qgetenv("DISPLAY");
        if (display.isEmpty())
            qunsetenv("DISPLAY");
        const DesktopMode mode =
            vexalo::QueryDesktopMode(display.isEmpty() ? nullptr : display.constData());
        const bool reachable =
            vexalo::CanConnectToDisplay(display.isEmpty() ? nullptr : display.constData());
        qputenv("DISPLAY", saved);
        QCOMPARE(mode, DesktopMode{});
        QVERIFY(!reachable);
    }
};

QTEST_GUILESS_MAIN(TestDesktopMode)
#include "tst_desktop_mode.moc"
