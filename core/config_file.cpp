// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vexalo {
namespace {

constexpr char kLineEnd[] = "\r\n";

void AddLine(std::string& text, const std::string& line)
{
    text.append(line).append(kLineEnd);
}

[[noreturn]] void Fail(const QString& description)
{
    throw ConfigFileError(std::string(kConfigFileName) + ": " + description.toStdString());
}

[[noreturn]] void FailWithErrno(int error)
{
    Fail(QString::fromStdString(std::generic_category().message(error)));
}

// QSaveFile words these two refusals in its own terms; users should read the system's.
void RefuseUnwritableTarget()
{
    struct stat status {};
    if (::stat(kConfigFileName, &status) != 0)
        return;
    if (S_ISDIR(status.st_mode))
        FailWithErrno(EISDIR);
    if (::faccessat(AT_FDCWD, kConfigFileName, W_OK, AT_EACCESS) != 0)
        FailWithErrno(errno);
}

} // namespace

std::string ConfigFileText(const DisplayChoices& choices, const DesktopMode& desktop)
{
    struct Resolution {
        int option;
        const char* width;
        const char* height;
    };
    static constexpr Resolution kResolutions[] = {
        {1, "640", "480"}, {2, "800", "600"}, {3, "1024", "768"}, {4, "1600", "1200"}};
    struct Depth {
        int option;
        const char* bitsPerPixel;
    };
    static constexpr Depth kDepths[] = {{5, "16"}, {6, "32"}};
    // What the renderer is told when the desktop cannot be asked.
    static constexpr DesktopMode kFallbackDesktop{true, 1024, 768, 32};

    std::string text;
    AddLine(text, "[VEXALO-CONFIG]");
    AddLine(text, "");
    for (const Resolution& r : kResolutions) {
        if (IsSelected(choices, r.option)) {
            AddLine(text, std::string("WIDTH: ") + r.width);
            AddLine(text, std::string("HEIGHT: ") + r.height);
        }
    }
    for (const Depth& d : kDepths) {
        if (IsSelected(choices, d.option))
            AddLine(text, std::string("BPP: ") + d.bitsPerPixel);
    }
    AddLine(text,
            choices.Check1 == 1 ? "FULLSCREEN? (0=no/1=yes): 1" : "FULLSCREEN? (0=no/1=yes): 0");
    AddLine(text, "");
    AddLine(text, "[DESKTOP-CONFIG]");
    const DesktopMode& mode = desktop.available ? desktop : kFallbackDesktop;
    AddLine(text, "WIDTH: " + std::to_string(mode.width));
    AddLine(text, "HEIGHT: " + std::to_string(mode.height));
    AddLine(text, "BPP: " + std::to_string(mode.bitsPerPixel));
    return text;
}

void WriteConfigFile(const DisplayChoices& choices)
{
    WriteConfigFile(choices, QueryDesktopMode());
}

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);

    // QSaveFile writes a temporary file beside config.txt and renames it over the old one on
    // commit, so a failure never leaves a truncated file. It must be unbuffered: a buffered
    // QSaveFile can lose a write error (a full disk) that shows only when its buffer is
    // flushed at commit, and would then rename an empty file over the old one.
    RefuseUnwritableTarget();
    QSaveFile file(QString::fromLatin1(kConfigFileName));
    // In a directory we may not create files in, an existing writable config.txt is still
    // rewritten in place, as plain truncate-and-write would.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        Fail(file.errorString());
    const auto size = static_cast<qint64>(text.size());
    if (file.write(text.data(), size) != size)
        Fail(file.errorString());
    if (!file.commit())
        Fail(file.errorString());
}

} // namespace vexalo
