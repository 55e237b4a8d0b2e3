// SPDX-License-Identifier: MIT
#include "app/command_line.h"
#include "app/desktop_look.h"
#include "app/translations.h"
#include "app/without_gl.h"
#include "core/translate.h"
#include "dialog/commands.h"
#include "dialog/form1.h"

#include <QApplication>
#include <QDBusConnection>
#include <QScreen>
#include <QTranslator>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using vexalo::kProgram;

// A closed standard stream would be handed to the next file opened, the X connection among
// them, and Qt's first warning would then be written into that connection. Where there is no
// /dev/null (a minimal container), a descriptor that only names the root directory takes the
// place: reads and writes on it fail, so nothing can be mistaken for the stream.
void OpenClosedStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        // Each open takes the lowest free descriptor, which is this one.
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF && open("/dev/null", O_RDWR) != fd)
            open("/", O_PATH);
    }
}

void IgnoreSignal(int) {}

// Past a file-size limit the kernel kills the writer with SIGXFSZ before it can say why; with
// the signal caught, the write fails with "File too large" and that is reported like any
// other failure. Caught rather than ignored: an ignored signal stays ignored in the renderer.
void ReportFileSizeLimitAsError()
{
    struct sigaction action = {};
    action.sa_handler = IgnoreSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXFSZ, &action, nullptr);
}

// Qt tells why it cannot start in warnings, then ends in qFatal, which aborts with a core dump.
// While the program starts, Qt's messages are held back: a failure is then told in one line
// that names its cause, and a start that succeeds still shows every message.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
std::mutex heldMutex;
std::vector<HeldMessage> heldMessages;
QtMessageHandler qtMessageHandler = nullptr;

// How a start that fails ends: status 1 with its cause, unless the start was only to show a
// report that standard error already carries (a FOLDER the tool cannot enter).
std::optional<int> reportedFailureStatus;

[[noreturn]] void ExitWithCause(const QString& cause)
{
    if (reportedFailureStatus)
        std::_Exit(*reportedFailureStatus);
    std::fprintf(stderr, "%s: %s\n", kProgram, qPrintable(cause.section(u'\n', 0, 0)));
    std::_Exit(1);
}

// The tool's own words for a failed start; Qt's application object, which would translate
// them, is what failed.
QString Startup(const char* text)
{
    const QString translated = vexalo::Catalogue().translate("Startup", text);
    return translated.isEmpty() ? QString::fromUtf8(text) : translated;
}

// A platform plugin that is not installed explains more than the failed connection of the one
// Qt then fell back to; a failed connection explains more than Qt's closing words.
QString CauseOfFailure(const QString& fatal)
{
    for (const HeldMessage& m : heldMessages)
        if (m.text.startsWith(QLatin1String("Could not find the Qt platform plugin")))
            return m.text;
    for (const HeldMessage& m : heldMessages)
        if (m.text.startsWith(QLatin1String("could not connect to display")) ||
            m.text.startsWith(QLatin1String("Failed to create wl_display")))
            return Startup(QT_TRANSLATE_NOOP("Startup", "cannot connect to a display"));
    for (const HeldMessage& m : heldMessages)
        if (m.category.startsWith("qt.qpa"))
            return m.text;
    return heldMessages.empty() ? fatal : heldMessages.front().text;
}

// Set while the window opens without Qt's GL buffers, whose missing integration Qt reports.
bool withoutGlBuffers = false;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const std::lock_guard lock(heldMutex);
    if (type == QtFatalMsg)
        ExitWithCause(CauseOfFailure(text));
    if (withoutGlBuffers && qstrcmp(context.category, "qt.qpa.wayland") == 0 &&
        (text.startsWith(QLatin1String("Failed to load client buffer integration")) ||
         text.startsWith(QLatin1String("Available client buffer integrations"))))
        return;
    heldMessages.push_back({type, QByteArray(context.category), text});
}

void ReleaseHeldMessages()
{
    const std::lock_guard lock(heldMutex);
    qInstallMessageHandler(qtMessageHandler);
    for (const HeldMessage& m : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
        qtMessageHandler(m.type, context, m.text);
    }
    heldMessages.clear();
}

// Some platforms start without a screen Qt can draw on, and Qt crashes when the window is
// shown: linuxfb without a framebuffer has no screen, and xcb has no image format for fewer
// than 15 bits per pixel (a palette display).
void RequireDrawableScreen()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        const std::lock_guard lock(heldMutex);
        ExitWithCause(
            Startup(QT_TRANSLATE_NOOP("Startup", "no screen to show the window on")) +
            (heldMessages.empty() ? QString() : QStringLiteral(": ") + heldMessages.front().text));
    }
    if (screen->depth() < 15)
        ExitWithCause(Startup(QT_TRANSLATE_NOOP("Startup", "cannot draw on a display of %1 bits "
                                                           "per pixel; 15 or more are needed"))
                          .arg(screen->depth()));
}

// With no session bus to reach (ssh -X, a bare X session), Qt's bus library would start one
// for the tool (dbus-launch), which outlives it and holds its X connection open: "ssh -X host
// vexalo-config" would never return. Without a session bus there is no accessibility bus to
// find either, so the tool then asks for none while Qt starts.
bool WithoutSessionBus()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return false;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    struct stat status {};
    if (!runtime.isEmpty() && ::stat(runtime + "/bus", &status) == 0 && S_ISSOCK(status.st_mode))
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    OpenClosedStandardStreams();
    ReportFileSizeLimitAsError();
    // The system's descriptions in the user's language from the start, on the command line too.
    std::setlocale(LC_ALL, "");
    vexalo::LoadTranslations();
    const std::optional<vexalo::CommandLineEnd> end = vexalo::AnswerCommandLine(argc, argv);
    if (end && (end->folderReport.empty() || ::isatty(STDERR_FILENO)))
        return end->status;
    // Started from a launcher or a file manager with a FOLDER it cannot enter: shown in a box
    // where a display opens, else only on standard error; the status stays.
    if (end)
        reportedFailureStatus = end->status;

    qtMessageHandler = qInstallMessageHandler(HoldMessage);
    const vexalo::WithoutGl withoutGl = vexalo::OpenWithoutGl();
    withoutGlBuffers = withoutGl == vexalo::WithoutGl::NoBufferIntegration;
    // GTK, loaded by Qt's GTK theme, would register a second, empty application on the
    // accessibility bus beside Qt's, and screen readers may pick the empty one. GTK reads the
    // switch while Qt starts; then it goes, so the renderer gets the user's own environment.
    const bool setNoAtBridge = !qEnvironmentVariableIsSet("NO_AT_BRIDGE");
    if (setNoAtBridge)
        qputenv("NO_AT_BRIDGE", "1");
    const bool withoutSessionBus = WithoutSessionBus();
    const vexalo::DesktopLook look = vexalo::ChooseDesktopLook(argc, argv);
    QApplication app(argc, argv);
    vexalo::ApplyDesktopLook(look);
    if (setNoAtBridge)
        qunsetenv("NO_AT_BRIDGE");
    if (withoutSessionBus) {
        // Qt connects to the bus in a thread of its own, later; asked now, it settles the
        // answer while the address is in place, and keeps it.
        QDBusConnection::sessionBus();
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    RequireDrawableScreen();

    QApplication::setApplicationName(QStringLiteral("Vexalo-Config"));
    QApplication::setApplicationVersion(QStringLiteral(VEXALO_VERSION));
    // Links the window to its menu entry: the Wayland app id, docks' icon and grouping.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.vexalo.Config"));
    // The reports and Qt's own texts (the report's button) in the user's language; the
    // window's captions stay. A right-to-left translation would mirror the window around its
    // English captions and reorder them ("?Fullscreen"): the direction stays as it is,
    // -reverse included.
    QGuiApplication::setLayoutDirection(QGuiApplication::layoutDirection());
    vexalo::InstallTranslations();
    if (end) {
        ReleaseHeldMessages();
        vexalo::ReportWithoutWindow(end->folderReport);
        return end->status;
    }

    vexalo::Form1 form;
    form.show();
    vexalo::TakeBack(withoutGl);
    ReleaseHeldMessages();
    QApplication::exec();
    return form.exitStatus();
}
