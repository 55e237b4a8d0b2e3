// SPDX-License-Identifier: MIT
#include "core/working_directory.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace vexalo {

std::string WorkingDirectory()
{
    std::string path(256, '\0');
    for (int attempt = 0; !::getcwd(path.data(), path.size()); ++attempt) {
        if (errno != ERANGE || attempt == 8)
            return {};
        path.resize(path.size() * 2);
    }
    path.resize(std::strlen(path.c_str()));
    // Older C libraries name an unreachable folder "(unreachable)/...".
    return path.starts_with('/') ? path : std::string();
}

} // namespace vexalo
