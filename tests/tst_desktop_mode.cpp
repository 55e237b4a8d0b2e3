// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"
#include "core/desktop_mode_platform.h"
#include "servers.h"

#include <QFile>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using vexalo::DesktopMode;

using Outputs = std::vector<vexalo::platform::WaylandOutput>;
using XMonitors = std::vector<vexalo::platform::X11Monitor>;
Q_DECLARE_METATYPE(DesktopMode)
Q_DECLARE_METATYPE(Outputs)
Q_DECLARE_METATYPE(XMonitors)

namespace vexalo {
char* toString(const DesktopMode& m)
{
    return QTest::toString(
        QString::asprintf("{%d, %d x %d x %d}", m.available, m.width, m.height, m.bitsPerPixel));
}
} // namespace vexalo

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
        QCOMPARE(vexalo::QueryDesktopMode({"", server.display().toStdString(), ""}), expected);
    }

    // Several monitors: the window's (by name), else the primary, else the first lit one;
    // always the monitor's mode, never its panned extent or the whole screen.
    void reportsTheMonitorsModeNotTheScreen_data()
    {
        QTest::addColumn<QString>("server");     // an Xvfb geometry, or "dummy" for Xorg's driver
        QTest::addColumn<QStringList>("xrandr"); // argument lists, run in turn
        QTest::addColumn<QString>("monitor");
        QTest::addColumn<DesktopMode>("expected");
        const QStringList addMode{"--newmode 800x600 40 800 840 968 1056 600 601 605 628",
                                  "--addmode screen 800x600"};
        QTest::newRow("monitor smaller than the screen")
            << "1920x1080x24"
            << addMode + QStringList{"--output screen --mode 800x600 --fb 1920x1080"} << ""
            << DesktopMode{true, 800, 600, 32};
        QTest::newRow("the same as primary")
            << "1920x1080x24"
            << addMode + QStringList{"--output screen --mode 800x600 --fb 1920x1080 --primary"}
            << "" << DesktopMode{true, 800, 600, 32};
        QTest::newRow("no lit monitor: the screen")
            << "1920x1080x24" << QStringList{"--fb 1920x1080 --output screen --off"} << "screen"
            << DesktopMode{true, 1920, 1080, 32};
        // DUMMY0 1280x800 on the left; DUMMY1, the primary, 1920x1080 panned over 2560x1440.
        const QStringList twoPanned{"--output DUMMY0 --mode 1280x800", "--addmode DUMMY1 1920x1080",
                                    "--output DUMMY1 --mode 1920x1080 --right-of DUMMY0 --primary",
                                    "--output DUMMY1 --panning 2560x1440+1280+0"};
        QTest::newRow("panned primary: its mode")
            << "dummy" << twoPanned << "" << DesktopMode{true, 1920, 1080, 32};
        QTest::newRow("window's monitor, not the primary")
            << "dummy" << twoPanned << "DUMMY0" << DesktopMode{true, 1280, 800, 32};
        QTest::newRow("window's monitor panned")
            << "dummy" << twoPanned << "DUMMY1" << DesktopMode{true, 1920, 1080, 32};
        QTest::newRow("unknown name: the primary")
            << "dummy" << twoPanned << "DUMMY7" << DesktopMode{true, 1920, 1080, 32};
        QTest::newRow("no primary: the first lit")
            << "dummy"
            << QStringList{"--output DUMMY0 --off", "--addmode DUMMY3 1024x768",
                           "--output DUMMY3 --mode 1024x768", "--noprimary"}
            << "" << DesktopMode{true, 1024, 768, 32};
    }
    void reportsTheMonitorsModeNotTheScreen()
    {
        QFETCH(QString, server);
        QFETCH(QStringList, xrandr);
        QFETCH(QString, monitor);
        QFETCH(DesktopMode, expected);
        Xvfb x;
        if (server == "dummy") {
            if (geteuid() != 0)
                QSKIP("Xorg with the dummy driver needs root");
            QVERIFY2(x.startXorgDummy(DUMMY_XORG_CONF), "Xorg did not start");
        } else {
            QVERIFY2(x.start(server), "Xvfb did not start");
        }
        for (const QString& arguments : xrandr) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            p.start("xrandr", QStringList{"-display", x.display()} + arguments.split(' '));
            QVERIFY(p.waitForFinished(10000));
            QVERIFY2(p.exitCode() == 0, qPrintable("xrandr " + arguments));
        }
        const vexalo::DesktopTarget target{monitor.toStdString(), x.display().toStdString(), {}};
        QCOMPARE(vexalo::QueryDesktopMode(target), expected);
    }

    // The compositor's current mode is physical: scaled and rotated outputs included.
    void reportsTheCompositorsPhysicalMode_data()
    {
        QTest::addColumn<QStringList>("weston");
        QTest::addColumn<DesktopMode>("expected");
        const QStringList headless{"--backend=headless-backend.so", "--width=1920",
                                   "--height=1080"};
        QTest::newRow("unscaled") << headless << DesktopMode{true, 1920, 1080, 32};
        QTest::newRow("scale 2 is twice the logical size")
            << headless + QStringList{"--scale=2"} << DesktopMode{true, 3840, 2160, 32};
        QTest::newRow("rotated 90 and scaled")
            << headless + QStringList{"--scale=2", "--transform=rotate-90"}
            << DesktopMode{true, 2160, 3840, 32};
        QTest::newRow("flipped 270 turns too")
            << headless + QStringList{"--transform=flipped-rotate-270"}
            << DesktopMode{true, 1080, 1920, 32};
        QTest::newRow("upside down does not") << headless + QStringList{"--transform=rotate-180"}
                                              << DesktopMode{true, 1920, 1080, 32};
    }
    void reportsTheCompositorsPhysicalMode()
    {
        QFETCH(QStringList, weston);
        QFETCH(DesktopMode, expected);
        Weston compositor;
        QVERIFY2(compositor.start(weston), "weston did not start");
        // No X server at all: a pure Wayland session.
        const vexalo::DesktopTarget target{"headless", "", compositor.socket().toStdString()};
        QTRY_COMPARE_WITH_TIMEOUT(vexalo::QueryDesktopMode(target), expected, 20000);
    }

    // Three outputs, as weston's x11 backend makes them: X1 1280x800, X2 1920x1080 at scale
    // 2, X3 1024x768 turned 90 degrees, side by side in Xwayland's logical pixels. Qt names a
    // Wayland screen after its output, an Xwayland screen after Xwayland's RandR output, which
    // Xwayland 22.1 (Debian 12) names XWAYLAND0 and on, 24.1 (Debian 13) as the compositor does.
    void reportsTheNamedOutputOfSeveral_data()
    {
        QTest::addColumn<QString>("monitor");
        QTest::addColumn<int>("xwaylandOutput"); // 0 and on: instead, the name Xwayland gives
                                                 // its output of that place, left to right
        QTest::addColumn<QPoint>("centre");      // the window's on the X screen; null: none
        QTest::addColumn<DesktopMode>("expected");
        QTest::newRow("first") << "X1" << -1 << QPoint() << DesktopMode{true, 1280, 800, 32};
        QTest::newRow("second, scaled")
            << "X2" << -1 << QPoint() << DesktopMode{true, 3840, 2160, 32};
        QTest::newRow("third, rotated")
            << "X3" << -1 << QPoint() << DesktopMode{true, 768, 1024, 32};
        QTest::newRow("second, by Xwayland's name")
            << "" << 1 << QPoint() << DesktopMode{true, 3840, 2160, 32};
        QTest::newRow("third, by Xwayland's name")
            << "" << 2 << QPoint() << DesktopMode{true, 768, 1024, 32};
        QTest::newRow("a name Xwayland does not have: where the window is")
            << "XWAYLAND9" << -1 << QPoint(3300, 900) << DesktopMode{true, 768, 1024, 32};
        QTest::newRow("unnamed: the first")
            << "" << -1 << QPoint() << DesktopMode{true, 1280, 800, 32};
        QTest::newRow("unknown: the first")
            << "DP-9" << -1 << QPoint() << DesktopMode{true, 1280, 800, 32};
    }
    void reportsTheNamedOutputOfSeveral()
    {
        QFETCH(QString, monitor);
        QFETCH(int, xwaylandOutput);
        QFETCH(QPoint, centre);
        QFETCH(DesktopMode, expected);
        if (!threeOutputs_) {
            host_ = std::make_unique<Xvfb>();
            QVERIFY2(host_->start("4000x2000x24"), "Xvfb did not start");
            threeOutputs_ = std::make_unique<Weston>();
            QVERIFY2(threeOutputs_->start({"--backend=x11-backend.so", "--output-count=3",
                                           "--xwayland", "--config=" THREE_OUTPUTS_INI},
                                          host_->display()),
                     "weston did not start");
        }
        QTRY_VERIFY_WITH_TIMEOUT(!threeOutputs_->xwaylandDisplay().isEmpty(), 20000);
        const std::string xDisplay = threeOutputs_->xwaylandDisplay().toStdString();
        if (xwaylandOutput >= 0) {
            XMonitors x;
            QTRY_VERIFY_WITH_TIMEOUT(
                (x = vexalo::platform::QueryX11Desktop(xDisplay.c_str(), "").monitors).size() == 3,
                20000);
            std::sort(x.begin(), x.end(),
                      [](const auto& a, const auto& b) { return a.area.x < b.area.x; });
            monitor = QString::fromStdString(x[static_cast<std::size_t>(xwaylandOutput)].name);
        }
        // The tool asks the X display Qt runs on: here weston's Xwayland.
        vexalo::DesktopTarget target{monitor.toStdString(), xDisplay,
                                     threeOutputs_->socket().toStdString()};
        if (!centre.isNull())
            target.windowCentre = vexalo::Point{centre.x(), centre.y()};
        QTRY_COMPARE_WITH_TIMEOUT(vexalo::QueryDesktopMode(target), expected, 20000);
    }

    void choosesTheOutputAtXwaylandsPlace_data()
    {
        QTest::addColumn<Outputs>("outputs");
        QTest::addColumn<XMonitors>("x");
        QTest::addColumn<QString>("monitor");
        QTest::addColumn<DesktopMode>("expected");
        // KWin puts Xwayland at the largest scale: 1920x1080 at 2, then 1920x1080 turned left.
        const Outputs kde{{"Virtual-0", {0, 0, 960, 540}, {true, 1920, 1080, 32}},
                          {"Virtual-1", {1920, 0, 1080, 1920}, {true, 1080, 1920, 32}}};
        const XMonitors kdeX{{"XWAYLAND0", {0, 0, 1920, 1080}},
                             {"XWAYLAND1", {3840, 0, 2160, 3840}}};
        QTest::newRow("KWin at scale 2, turned") << kde << kdeX << "XWAYLAND1" << kde[1].mode;
        const Outputs three{{"eDP-1", {0, 0, 1920, 1080}, {true, 3840, 2160, 32}},
                            {"DP-1", {1920, 0, 1920, 1080}, {true, 1920, 1080, 32}},
                            {"DP-2", {3840, 0, 2560, 1440}, {true, 2560, 1440, 32}}};
        const XMonitors threeX{{"XWAYLAND0", {0, 0, 3840, 2160}},
                               {"XWAYLAND1", {3840, 0, 3840, 2160}},
                               {"XWAYLAND2", {7680, 0, 5120, 2880}}};
        QTest::newRow("KWin, place not logical") << three << threeX << "XWAYLAND1" << three[1].mode;
    }
    void choosesTheOutputAtXwaylandsPlace()
    {
        QFETCH(Outputs, outputs);
        QFETCH(XMonitors, x);
        QFETCH(QString, monitor);
        QFETCH(DesktopMode, expected);
        QCOMPARE(vexalo::ChooseOutput(outputs, monitor.toStdString(), [&] { return x; }).mode,
                 expected);
    }

    // An X display opened from a Wayland session (a VNC or nested server) shows the window
    // elsewhere than the compositor's outputs; only its own Xwayland shows them.
    void knowsTheCompositorsOwnXwayland_data()
    {
        QTest::addColumn<XMonitors>("x");
        QTest::addColumn<bool>("xwayland");
        const XMonitors xwayland{{"XWAYLAND0", {0, 0, 1920, 1080}}, {"DP-1", {1920, 0, 800, 600}}};
        QTest::newRow("Xwayland's names or the compositor's") << xwayland << true;
        QTest::newRow("a VNC server") << XMonitors{{"VNC-0", {0, 0, 1100, 650}}} << false;
        QTest::newRow("one output fewer") << XMonitors{xwayland[0]} << false;
        QTest::newRow("no RandR") << XMonitors{} << false;
    }
    void knowsTheCompositorsOwnXwayland()
    {
        QFETCH(XMonitors, x);
        QFETCH(bool, xwayland);
        const Outputs outputs{{"eDP-1", {0, 0, 1920, 1080}, {true, 1920, 1080, 32}},
                              {"DP-1", {1920, 0, 800, 600}, {true, 800, 600, 32}}};
        QCOMPARE(vexalo::IsXwaylandOf(x, outputs), xwayland);
    }

    // When the compositor cannot be asked, the X display is.
    void fallsBackToXWithoutTheCompositor_data()
    {
        QTest::addColumn<bool>("listening"); // a socket that accepts but never answers
        QTest::newRow("no socket") << false;
        QTest::newRow("compositor never answers") << true;
    }
    void fallsBackToXWithoutTheCompositor()
    {
        QFETCH(bool, listening);
        Xvfb server;
        QVERIFY2(server.start("1024x600x24"), "Xvfb did not start");
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("wayland"));
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        if (listening) {
            QVERIFY(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
            QVERIFY(listen(fd, 4) == 0);
        }
        const vexalo::DesktopTarget target{"", server.display().toStdString(), path.toStdString()};
        const DesktopMode mode = vexalo::QueryDesktopMode(target);
        close(fd);
        QCOMPARE(mode, (DesktopMode{true, 1024, 600, 32}));
    }

    void defaultDisplayComesFromEnvironment()
    {
        Xvfb server;
        QVERIFY2(server.start("1024x600x24"), "Xvfb did not start");
        const QByteArray saved = qgetenv("DISPLAY");
        qputenv("DISPLAY", server.display().toLatin1());
        const DesktopMode mode = vexalo::QueryDesktopMode({});
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
        const DesktopMode mode = vexalo::QueryDesktopMode({"", display.toStdString(), ""});
        // Nor does a Wayland display that is not there change that.
        const DesktopMode withWayland = vexalo::QueryDesktopMode(
            vexalo::DesktopTarget{"", display.toStdString(), "/nonexistent/wayland-0"});
        qputenv("DISPLAY", saved);
        QCOMPARE(mode, DesktopMode{});
        QCOMPARE(withWayland, DesktopMode{});
    }

private:
    std::unique_ptr<Xvfb> host_;
    std::unique_ptr<Weston> threeOutputs_;
};

QTEST_GUILESS_MAIN(TestDesktopMode)
#include "tst_desktop_mode.moc"
