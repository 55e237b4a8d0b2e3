// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include "core/replace_file.h"
#include "core/resolve_path.h"
#include "core/working_directory.h"

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

} // namespace

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);
    FileToReplace file;
    if (const std::error_code refused = OpenToReplace(AT_FDCWD, kConfigFileName, file)) {
        if (refused == WriteError::ForeignLink)
            throw Error(ConfigFilePath(), refused, refused.message() + ": " + file.refusedLink);
        throw Error(ConfigFilePath(), refused);
    }
    if (const std::error_code error = Write(file, text))
        throw Error(ConfigFilePath(), error);
}

} // namespace vexalo
