// SPDX-License-Identifier: MIT
#include "dialog/progress.h"

#include "launch/launch.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSocketNotifier>
#include <QTimer>
#include <optional>

namespace vexalo {

// A start within the first second, as with a ready Wine prefix, shows nothing but the busy
// cursor; Wine's first start, which makes the prefix, takes 7 to 12 s.
static constexpr std::chrono::milliseconds kQuietWait{1000};

namespace {

enum class End { Ready, Bound, Left };

// The progress window: what is happening, a busy indicator and a button that stops waiting,
// as Escape and its close control do. Its label shows the renderer's name as typed.
class Progress {
public:
    // Leaving the window sets `end` and quits `loop`.
    Progress(QWidget& window, QEventLoop& loop, std::optional<End>& end) : dialog_(&window)
    {
        QObject::connect(&dialog_, &QProgressDialog::canceled, &loop, [&] {
            end = End::Left;
            loop.quit();
        });
        dialog_.setWindowTitle(window.windowTitle());
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setRange(0, 0);
        label_->setTextFormat(Qt::PlainText);
        dialog_.setLabel(label_);
        dialog_.setBar(bar_);
        dialog_.setLabelText(
            QCoreApplication::translate("Progress",
                                        "Starting %1 through Wine…\n\nThe first start sets Wine up "
                                        "and can take a minute.\nWine goes on when you "
                                        "stop waiting.")
                .arg(QLatin1String(kRendererName)));
        dialog_.setCancelButtonText(QCoreApplication::translate("Progress", "Stop Waiting"));
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
    }

    // Past the bound nothing more is known: Wine may still be making its prefix on a slow
    // disk, or hang. The tool ends as after a start, since the renderer may yet appear.
    void TurnIntoNotice()
    {
        bar_->hide();
        dialog_.setLabelText(
            QCoreApplication::translate(
                "Progress",
                "Wine has not shown %1 after a minute.\n\nIt may still be starting, and goes on "
                "when this tool closes. If it never appears, start vexalo-config in a "
                "terminal: what Wine prints shows there.")
                .arg(QLatin1String(kRendererName)));
        dialog_.setCancelButtonText(QCoreApplication::translate("Progress", "Close"));
    }

    // Shows the window until the user leaves it or `loop` quits for another reason.
    void Show(QEventLoop& loop)
    {
        dialog_.show();
        loop.exec();
    }

private:
    QProgressDialog dialog_;
    QLabel* label_ = new QLabel(&dialog_);
    QProgressBar* bar_ = new QProgressBar(&dialog_);
};

} // namespace

void WaitShowingProgress(QWidget& window, int fd, std::chrono::milliseconds bound)
{
    QEventLoop loop;
    std::optional<End> end;
    const auto endWith = [&](End how) {
        return [&, how] {
            if (!end)
                end = how;
            loop.quit();
        };
    };
    QSocketNotifier ready(fd, QSocketNotifier::Read);
    QObject::connect(&ready, &QSocketNotifier::activated, &loop, endWith(End::Ready));
    QTimer::singleShot(bound, &loop, endWith(End::Bound));
    QTimer quiet;
    quiet.setSingleShot(true);
    QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
    quiet.start(kQuietWait);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    // Until the progress window shows, input waits: nothing may run a second command.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    quiet.stop();
    std::optional<Progress> progress;
    if (!end) {
        progress.emplace(window, loop, end);
        progress->Show(loop);
    }
    QApplication::restoreOverrideCursor();
    if (end == End::Bound) {
        if (!progress)
            progress.emplace(window, loop, end);
        progress->TurnIntoNotice();
        // Wine's start may still end while the notice shows; then it is judged as before.
        end.reset();
        progress->Show(loop);
    }
}

} // namespace vexalo
