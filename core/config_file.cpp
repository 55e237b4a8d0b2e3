// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include "core/replace_file.h"
#include "core/resolve_path.h"
#include "core/translate.h"
#include "core/working_directory.h"

#include <QtGlobal>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace vexalo {
namespace {

// The file as the user finds it: the bare name says nothing of where the tool tried to write,
// which from a desktop's menu is the home folder. A folder the system cannot name leaves the
// bare name.
std::string ConfigFilePath()
{
    const std::string folder = WorkingDirectory();
    return folder.empty() ? kConfigFileName : InDirectory(folder, kConfigFileName);
}

// Writes `text` through `file` in the one way that suits it.
std::error_code Write(FileToReplace& file, const std::string& text)
{
    switch (ChooseStrategy(file)) {
    case WriteStrategy::ReplaceAtomically: {
        bool refused = false;
        const std::error_code error = ReplaceAtomically(file, text, refused);
        if (!refused)
            return error;
        // The directory or the file system will not take a new file like the old one; the
        // old one itself may still take the text.
        [[fallthrough]];
    }
    case WriteStrategy::RewriteInPlace:
        return RewriteInPlace(file, text);
    case WriteStrategy::WriteThrough:
        return WriteThrough(file, text);
    }
    return SystemError(EINVAL);
}

// What to do about a failure the system reported, where the user can do something; null
// where the system's own words say enough.
const char* AdviceFor(int error)
{
    switch (error) {
    case EROFS:
        return QT_TRANSLATE_NOOP(
            "Save", "the drive is mounted read-only. A Windows drive is mounted so when Windows "
                    "was hibernated or shut down with Fast Startup on: shut Windows down fully "
                    "(shutdown /s /f /t 0) or turn Fast Startup off. Any other drive: mount it "
                    "read-write, or copy the game folder into your home folder");
    case EACCES:
    case EPERM:
        return QT_TRANSLATE_NOOP("Save", "you may not write here: open the tool on a folder you "
                                         "can write to, such as a copy of the game folder in "
                                         "your home folder");
    case ENOSPC:
        return QT_TRANSLATE_NOOP("Save", "free some space on this drive, then save again");
    case EDQUOT:
        return QT_TRANSLATE_NOOP("Save", "your disk quota here is used up: delete some of your "
                                         "files on this drive, or ask its administrator for "
                                         "more space");
    }
    return nullptr;
}

// The system's own description first, as everywhere, then what to do about it.
[[noreturn]] void ReportFailure(std::error_code code)
{
    const char* advice =
        code.category() == std::generic_category() ? AdviceFor(code.value()) : nullptr;
    if (!advice)
        throw Error(ConfigFilePath(), code);
    throw Error(ConfigFilePath(), code, code.message() + "; " + Translate("Save", advice));
}

} // namespace

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);
    FileToReplace file;
    if (const std::error_code refused = OpenToReplace(AT_FDCWD, kConfigFileName, file)) {
        if (refused == WriteError::ForeignLink)
            throw Error(ConfigFilePath(), refused, refused.message() + ": " + file.refusedLink);
        ReportFailure(refused);
    }
    if (const std::error_code error = Write(file, text))
        ReportFailure(error);
}

} // namespace vexalo
