// SPDX-License-Identifier: MIT
#include "core/resolve_path.h"

#include <cerrno>
#include <climits>
#include <deque>
#include <fcntl.h>
#include <unistd.h>

namespace vexalo {
namespace {

std::error_code Errno(int error)
{
    return {error, std::generic_category()};
}

// Puts the components of `path` at the front of `rest`, in order; "" and "." mean nothing.
void PushFront(std::string_view path, std::deque<std::string>& rest)
{
    for (std::size_t end = path.size(); end > 0;) {
        const std::size_t slash = path.rfind('/', end - 1);
        const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
        if (const std::string_view part = path.substr(start, end - start);
            !part.empty() && part != ".")
            rest.emplace_front(part);
        end = slash == std::string_view::npos ? 0 : slash;
    }
}

// The target of the link open as `link` (O_PATH | O_NOFOLLOW), read whole.
std::error_code ReadLink(int link, std::size_t size, std::string& target)
{
    for (std::string text(size + 1, '\0');; text.resize(text.size() * 2)) {
        const ssize_t got = ::readlinkat(link, "", text.data(), text.size());
        if (got < 0)
            return Errno(errno);
        if (static_cast<std::size_t>(got) < text.size()) {
            text.resize(static_cast<std::size_t>(got));
            target = std::move(text);
            return got == 0 ? Errno(ENOENT) : std::error_code();
        }
    }
}

} // namespace

std::string InDirectory(std::string_view folder, std::string_view name)
{
    std::string path(folder);
    if (!path.ends_with('/'))
        path += '/';
    return path += name;
}

std::string Parent(std::string path)
{
    if (path.empty() || path == "/")
        return path;
    if (path == "." || path.ends_with("/.."))
        return path + "/..";
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : slash == std::string::npos ? "." : path.substr(0, slash);
}

bool WalkUp(int start, std::string startName,
            const std::function<bool(int folder, const std::string& name)>& visit)
{
    // Every folder takes at least two bytes of a path ("/x"), so no way up is longer.
    constexpr int kMaxDepth = PATH_MAX / 2;
    Fd folder(::openat(start, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (int depth = 0; folder.valid() && depth < kMaxDepth; ++depth) {
        if (visit(folder.get(), startName))
            return true;
        Fd parent(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat here {
        }, above{};
        if (!parent.valid() || ::fstat(folder.get(), &here) != 0 ||
            ::fstat(parent.get(), &above) != 0 ||
            (here.st_dev == above.st_dev && here.st_ino == above.st_ino))
            return false;
        folder = std::move(parent);
        startName = Parent(std::move(startName));
    }
    return false;
}

std::error_code ResolvePath(int start, std::string startName, std::string_view path,
                            const StepCheck& check, PathEnd& end)
{
    Fd folder(::openat(start, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string folderName = std::move(startName);
    std::deque<std::string> rest;
    PushFront(path, rest);
    int links = 0;
    const auto restartAtRoot = [&] {
        folder = Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
        folderName.clear();
    };
    if (path.starts_with('/'))
        restartAtRoot();
    while (folder.valid()) {
        if (rest.empty())
            return Errno(EISDIR); // the name was a folder's
        const std::string part = std::move(rest.front());
        rest.pop_front();
        if (part == "..") {
            // Where the kernel goes: the folder's own parent, whatever name led here.
            folder = Fd(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
            folderName = Parent(folderName);
            continue;
        }
        // The step is judged on a descriptor of what it is, and a link is read through the
        // same descriptor: an entry swapped between a look and a read cannot slip through.
        Fd entry(::openat(folder.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        struct stat status {};
        if (!entry.valid()) {
            if (errno != ENOENT || !rest.empty())
                return Errno(errno);
            end = {std::move(folder), std::move(folderName), part, false, {}, links};
            return {};
        }
        if (::fstat(entry.get(), &status) != 0)
            return Errno(errno);
        const std::string name = InDirectory(folderName, part);
        if (S_ISLNK(status.st_mode)) {
            if (++links > kMaxLinkHops)
                return Errno(ELOOP);
            std::string target;
            if (const auto error = check(PathStep{PathStep::Link, folder.get(), name, status}))
                return error;
            if (const auto error =
                    ReadLink(entry.get(), static_cast<std::size_t>(status.st_size), target))
                return error;
            PushFront(target, rest);
            if (target.starts_with('/'))
                restartAtRoot();
            if (rest.empty()) // "/" itself, or a link to "." or ".."
                return Errno(EISDIR);
            continue;
        }
        if (rest.empty()) {
            end = {std::move(folder), std::move(folderName), part, true, status, links};
            return {};
        }
        if (!S_ISDIR(status.st_mode))
            return Errno(ENOTDIR);
        // The descriptor judged is the folder entered: reopened by name, it would be whatever
        // bears the name by then.
        if (const auto error = check(PathStep{PathStep::Folder, entry.get(), name, status}))
            return error;
        folder = std::move(entry);
        folderName = name;
    }
    return Errno(errno);
}

} // namespace vexalo
