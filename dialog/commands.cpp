// SPDX-License-Identifier: MIT
#include "dialog/commands.h"

#include "core/config_file.h"
#include "core/error.h"
#include "dialog/layout.h"
#include "dialog/native_window.h"
#include "dialog/progress.h"
#include "launch/launch.h"

#include <QMessageBox>
#include <cwchar>
#include <string>

namespace vexalo {
namespace {

// The system describes failures in the user's language and in the locale's own encoding,
// which need not be UTF-8 (KOI8-R, say); Qt 6 takes every 8-bit locale text for UTF-8.
QString FromLocaleEncoding(const char* text)
{
    std::mbstate_t state{};
    const char* source = text;
    const std::size_t length = std::mbsrtowcs(nullptr, &source, 0, &state);
    if (length == static_cast<std::size_t>(-1))
        return QString::fromUtf8(text);
    std::wstring wide(length + 1, L'\0');
    source = text;
    state = {};
    std::mbsrtowcs(wide.data(), &source, wide.size(), &state);
    wide.resize(length);
    return QString::fromStdWString(wide);
}

// A report names folders and files that another user may have named: it is shown as typed,
// never read as rich text, where a tag could hide the refusal or an image could hang the box.
void ShowReport(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// One modal report of what failed; once it is dismissed the program ends with status 1.
int Report(QWidget& window, const std::exception& failure)
{
    ShowReport(&window, window.windowTitle(), FromLocaleEncoding(failure.what()));
    return 1;
}

} // namespace

std::optional<int> Save(const DisplayChoices& choices, QWidget& window)
{
    try {
        WriteConfigFile(choices, QueryDesktopMode(DesktopTargetOf(window)));
    } catch (const Error& failure) {
        return Report(window, failure);
    }
    return std::nullopt;
}

std::optional<int> SaveAndStart(const DisplayChoices& choices, QWidget& window)
{
    try {
        WriteConfigFile(choices, QueryDesktopMode(DesktopTargetOf(window)));
        StartRendererFrom(ToolWindowOf(window), CurrentSearchPlaces(),
                          [&window](int fd, std::chrono::milliseconds bound) {
                              WaitShowingProgress(window, fd, bound);
                          });
    } catch (const Error& failure) {
        return Report(window, failure);
    }
    return 0;
}

std::optional<int> Cancel()
{
    return 0;
}

void ReportWithoutWindow(const std::string& report)
{
    ShowReport(nullptr, QString::fromLatin1(kWindowTitle), FromLocaleEncoding(report.c_str()));
}

} // namespace vexalo
