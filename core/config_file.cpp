// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include "core/replace_file.h"

#include <fcntl.h>
#include <string>

namespace vexalo {
namespace {

// Writes `text` through `file` in the one way that suits it; 0 or an errno.
int Write(FileToReplace& file, const std::string& text)
{
    switch (ChooseStrategy(file)) {
    case WriteStrategy::ReplaceAtomically: {
        bool refused = false;
        const int error = ReplaceAtomically(file, text, refused);
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
    return EINVAL;
}

} // namespace

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);
    FileToReplace file;
    if (const std::error_code refused = OpenToReplace(AT_FDCWD, kConfigFileName, file)) {
        if (refused == WriteError::ForeignLink)
            throw Error(kConfigFileName, refused, refused.message() + ": " + file.refusedLink);
        throw Error(kConfigFileName, refused);
    }
    if (const int error = Write(file, text); error != 0)
        throw Error(kConfigFileName, error);
}

} // namespace vexalo
