// SPDX-License-Identifier: MIT
// Writes config.txt with the default choices in the current directory, as the tool's Save
// does, so tests can run the writer under another user, limits or fault injection. Prints the
// failure; exit status 1.
#include "core/config_file.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

int main()
{
    // A file-size limit must end in a reported failure, not a killed process. The tool catches
    // SIGXFSZ with a handler that does nothing, so that the renderer it starts does not inherit
    // an ignored signal; this helper starts nothing, and with the signal ignored the write
    // fails with EFBIG all the same.
    std::signal(SIGXFSZ, SIG_IGN);
    vexalo::DisplayChoices choices;
    vexalo::ApplyDefaults(choices);
    try {
        vexalo::WriteConfigFile(choices, vexalo::DesktopMode{true, 1280, 1024, 32});
    } catch (const vexalo::Error& error) {
        // The tests' tables name the file without the scratch folder, which changes each run.
        std::string report = error.what();
        std::error_code unnamed;
        const std::string here = std::filesystem::current_path(unnamed).string() + '/';
        if (!unnamed && report.starts_with(here))
            report.erase(0, here.size());
        std::puts(report.c_str());
        return 1;
    }
    return 0;
}
