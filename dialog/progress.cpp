// SPDX-License-Identifier: MIT
#include "dialog/progress.h"

#include "launch/launch.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressDialog>
#include <QSocketNotifier>
#include <QTimer>

namespace vexalo {

// A start within the first second, as with a ready Wine prefix, shows nothing but the busy
// cursor; Wine's first start, which makes the prefix, takes 7 to 12 s.
static constexpr std::chrono::milliseconds kQuietWait{1000};

void WaitShowingProgress(QWidget& window, int fd, std::chrono::milliseconds bound)
{
    QEventLoop loop;
    bool ended = false;
    const auto end = [&] {
        ended = true;
        loop.quit();
    };
    QSocketNotifier ready(fd, QSocketNotifier::Read);
    QObject::connect(&ready, &QSocketNotifier::activated, &loop, end);
    QTimer::singleShot(bound, &loop, end);
    QTimer::singleShot(kQuietWait, &loop, &QEventLoop::quit);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // Until the progress window shows, input waits: nothing may run a second command.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!ended) {
        QProgressDialog progress(&window);
        progress.setWindowTitle(window.windowTitle());
        progress.setWindowModality(Qt::WindowModal);
        progress.setRange(0, 0);
        auto* label = new QLabel(&progress);
        label->setTextFormat(Qt::PlainText);
        progress.setLabel(label);
        progress.setLabelText(
            QCoreApplication::translate("Progress",
                                        "Starting %1 through Wine…\n\nThe first start sets Wine up "
                                        "and can take a minute.\nWine goes on when you "
                                        "stop waiting.")
                .arg(QLatin1String(kRendererName)));
        progress.setCancelButtonText(QCoreApplication::translate("Progress", "Stop Waiting"));
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        progress.show();
        loop.exec();
    }
    QApplication::restoreOverrideCursor();
}

} // namespace vexalo
