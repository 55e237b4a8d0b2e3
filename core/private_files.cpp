// SPDX-License-Identifier: MIT
#include "core/private_files.h"

#include <cstddef>
#include <sys/stat.h>
#include <unistd.h>

namespace vexalo {

std::string RunningBinary()
{
    constexpr char kSelf[] = "/proc/self/exe";
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink(kSelf, path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    struct stat running {
    }, named{};
    if (::stat(kSelf, &running) != 0 || ::stat(path.c_str(), &named) != 0 ||
        running.st_dev != named.st_dev || running.st_ino != named.st_ino)
        return {};
    return path;
}

std::string RunningBinaryFolder()
{
    std::string path = RunningBinary();
    path.resize(path.rfind('/') + 1); // npos + 1: nothing
    return path;
}

} // namespace vexalo
