// SPDX-License-Identifier: MIT
#include "core/private_files.h"

#include <cstddef>
#include <unistd.h>

namespace vexalo {
namespace {

// Found from the binary itself, not from PATH or the working directory: only the folder the
// tool was installed in is trusted to hold code the tool loads.
std::string PrivateFile(const char* name)
{
    std::string path = RunningBinary();
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    path.resize(slash + 1);
    return path + VEXALO_EGL_STANDIN_DIR_FROM_BINDIR + '/' + name;
}

} // namespace

std::string RunningBinary()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string StandInEglManifest()
{
    return PrivateFile(VEXALO_EGL_STANDIN_MANIFEST);
}

std::string StandInEglLibrary()
{
    return PrivateFile(VEXALO_EGL_STANDIN_LIBRARY);
}

} // namespace vexalo
