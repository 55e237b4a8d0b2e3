// SPDX-License-Identifier: MIT
// The window's monitor as Qt names it, on Qt's wayland plugin and on xcb through Xwayland,
// matched to the compositor's output. The servers start before QApplication, which picks
// its platform from VEXALO_TEST_PLATFORM.
#include "dialog/native_window.h"
#include "servers.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <algorithm>

using vexalo::DesktopMode;

// Qt's wayland plugin leaves some of libwayland's objects to the end of the process. Only with
// full stacks (libwayland keeps no frame pointers) can LeakSanitizer tell them from ours.
extern "C" const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

class TestDesktopTarget : public QObject {
    Q_OBJECT
public:
    explicit TestDesktopTarget(QString xwayland) : xwayland_(std::move(xwayland)) {}

private slots:
    void eachScreenGetsItsOutputsPhysicalMode()
    {
        // three-outputs.ini, left to right: 1280x800; 1920x1080 at scale 2; 1024x768 turned.
        const DesktopMode expected[] = {
            {true, 1280, 800, 32}, {true, 3840, 2160, 32}, {true, 768, 1024, 32}};
        QList<QScreen*> screens = QGuiApplication::screens();
        QCOMPARE(screens.size(), 3);
        std::sort(screens.begin(), screens.end(),
                  [](QScreen* a, QScreen* b) { return a->geometry().x() < b->geometry().x(); });
        for (int i = 0; i < 3; ++i) {
            QWidget window;
            window.setScreen(screens[i]);
            const vexalo::DesktopTarget target = vexalo::DesktopTargetOf(window);
            QVERIFY2(vexalo::QueryDesktopMode(target) == expected[i],
                     qPrintable(screens[i]->name()));
            if (QGuiApplication::platformName() == "xcb")
                QCOMPARE(QString::fromStdString(target.xDisplay).section('.', 0, 0), xwayland_);
        }
    }

private:
    QString xwayland_;
};

int main(int argc, char* argv[])
{
    Xvfb host;
    Weston weston;
    if (!host.start("4000x2000x24") ||
        !weston.start({"--backend=x11-backend.so", "--output-count=3", "--xwayland",
                       "--config=" THREE_OUTPUTS_INI},
                      host.display()))
        qFatal("the servers did not start");
    for (QDeadlineTimer deadline(20000); weston.xwaylandDisplay().isEmpty();) {
        if (deadline.hasExpired())
            qFatal("Xwayland did not start");
        QTest::qWait(20);
    }
    const QByteArray platform = qgetenv("VEXALO_TEST_PLATFORM");
    qputenv("QT_QPA_PLATFORM", platform);
    qputenv("WAYLAND_DISPLAY", weston.socket().toLocal8Bit());
    // DISPLAY names the host; on xcb the tool is told -display, and must ask that one.
    qputenv("DISPLAY", host.display().toLocal8Bit());
    QByteArray display = weston.xwaylandDisplay().toLocal8Bit();
    QByteArray option = "-display";
    std::vector<char*> args(argv, argv + argc);
    if (platform == "xcb")
        args.insert(args.begin() + 1, {option.data(), display.data()});
    int count = static_cast<int>(args.size());
    QApplication app(count, args.data());
    TestDesktopTarget test(weston.xwaylandDisplay());
    return QTest::qExec(&test, count, args.data());
}

#include "tst_desktop_target.moc"
