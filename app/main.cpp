// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"
#include "dialog/form1.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr char kNoDisplay[] = "vexalo-config: cannot connect to a display\n";

// Qt aborts the process, maybe with a core dump, when no platform plugin can start. Without
// a display that is no crash but an ordinary condition, so say so plainly.
bool DisplayLooksReachable()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return true;
    if (platform.isEmpty() && qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    return vexalo::CanConnectToDisplay();
}

QtMessageHandler defaultHandler = nullptr;

// Catches what the check above cannot foresee, e.g. a Wayland session without Qt's plugin.
void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(1);
    }
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    if (!DisplayLooksReachable()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    defaultHandler = qInstallMessageHandler(ExitOnFatal);
    QApplication app(argc, argv);
    qInstallMessageHandler(defaultHandler);
    QApplication::setApplicationName(QStringLiteral("Vexalo-Config"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    vexalo::Form1 form;
    form.show();
    QApplication::exec();
    return form.exitStatus();
}
