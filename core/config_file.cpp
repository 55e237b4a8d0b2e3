// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include "core/replace_file.h"

#include <fcntl.h>
#include <string>

namespace vexalo {

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);
    FileToReplace file;
    int error = OpenToReplace(AT_FDCWD, kConfigFileName, file);
    if (error == 0) {
        switch (ChooseStrategy(file)) {
        case WriteStrategy::ReplaceAtomically: {
            bool refused = false;
            error = ReplaceAtomically(file, text, refused);
            if (!refused)
                break;
            // The directory or the file system will not take a new file like the old one;
            // the old one itself may still take the text.
            [[fallthrough]];
        }
        case WriteStrategy::RewriteInPlace:
            error = RewriteInPlace(file, text);
            break;
        case WriteStrategy::WriteThrough:
            error = WriteThrough(file, text);
            break;
        }
        if (error != 0)
            UndoCreation(file);
    }
    if (error != 0)
        throw Error(kConfigFileName, error);
}

} // namespace vexalo
