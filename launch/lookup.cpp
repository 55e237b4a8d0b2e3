// SPDX-License-Identifier: MIT
#include "launch/lookup.h"

#include "core/error.h"
#include "launch/plan.h"
#include "launch/trust.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace vexalo {
namespace {

[[noreturn]] void Refuse(const Refusal& refusal)
{
    throw Error(kRendererName, refusal.error,
                make_error_code(refusal.error).message() + ": " + refusal.why);
}

std::string InDirectory(std::string_view directory, std::string_view name)
{
    std::string path(directory);
    if (!path.ends_with('/'))
        path += '/';
    return path += name;
}

// The name of `path`'s parent: "" and "/" name the root, "." a working directory the system
// cannot name.
std::string Parent(std::string path)
{
    if (path.empty() || path == "/")
        return path;
    if (path == "." || path.ends_with("/.."))
        return path + "/..";
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : slash == std::string::npos ? "." : path.substr(0, slash);
}

// The working directory and each folder above it, up to /: whoever may change one of them
// may rename the working directory away, and a name through them would lead elsewhere.
void CheckAncestors(const std::string& name)
{
    Fd folder(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string folderName = name;
    for (int depth = 0; folder.valid() && depth < 4096; ++depth) {
        if (const auto refusal = RefusalOf(folder.get(), folderName))
            Refuse(*refusal);
        Fd parent(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat here {
        }, above{};
        if (!parent.valid() || ::fstat(folder.get(), &here) != 0 ||
            ::fstat(parent.get(), &above) != 0 ||
            (here.st_dev == above.st_dev && here.st_ino == above.st_ino))
            return;
        folder = std::move(parent);
        folderName = Parent(folderName);
    }
}

// Resolves the renderer's name in the working directory one component at a time, as the
// kernel would, and checks each link (its owner) and each folder entered on the way, so that
// the name returned cannot be made to lead anywhere else. nullopt when there is none.
std::optional<Found> ResolveInWorkingDirectory(const std::string& workingName)
{
    struct Folder {
        Fd fd;
        std::string name;
    };
    std::vector<Folder> folders;
    folders.push_back({Fd(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)), workingName});
    if (!folders.back().fd.valid())
        return std::nullopt;
    std::deque<std::string> rest = {kRendererName};
    bool ancestorsChecked = false;
    for (int links = 0; !rest.empty();) {
        const std::string part = rest.front();
        rest.pop_front();
        const Folder& in = folders.back();
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (folders.size() > 1) {
                folders.pop_back();
            } else {
                folders.back() = {Fd(::openat(in.fd.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC)),
                                  Parent(in.name)};
            }
            continue;
        }
        struct stat status {};
        if (::fstatat(in.fd.get(), part.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        if (rest.empty() && !S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
            throw Error(kRendererName, LaunchError::NotRegularFile);
        // Found: now it matters who could have changed the way here.
        if (!ancestorsChecked) {
            CheckAncestors(workingName);
            ancestorsChecked = true;
        }
        const std::string name = InDirectory(in.name, part);
        if (S_ISLNK(status.st_mode)) {
            if (++links > 40)
                throw Error(kRendererName, ELOOP);
            Fd link(::openat(in.fd.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
            if (const auto refusal =
                    link.valid() ? RefusalOf(link.get(), "the link " + name) : std::nullopt)
                Refuse(*refusal);
            std::string target(PATH_MAX, '\0');
            const ssize_t length =
                ::readlinkat(in.fd.get(), part.c_str(), target.data(), target.size());
            if (length < 0)
                return std::nullopt;
            target.resize(static_cast<std::size_t>(length));
            for (std::size_t end = target.size(); end != std::string::npos && end > 0;) {
                const std::size_t slash = target.rfind('/', end - 1);
                const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
                rest.push_front(target.substr(start, end - start));
                end = slash;
            }
            if (target.starts_with('/')) {
                // "/" is above the working directory, and was checked with it.
                folders.clear();
                folders.push_back({Fd(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)), ""});
            }
            continue;
        }
        if (!rest.empty()) {
            Fd folder(
                ::openat(in.fd.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (!folder.valid())
                return std::nullopt;
            if (const auto refusal = RefusalOf(folder.get(), name))
                Refuse(*refusal);
            folders.push_back({std::move(folder), name});
            continue;
        }
        // Without blocking: a FIFO put in its place must not hang the window.
        Fd file(
            ::openat(in.fd.get(), part.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
        if (!file.valid())
            file = Fd(::openat(in.fd.get(), part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!file.valid())
            return std::nullopt;
        if (const auto refusal = RefusalOf(file.get(), name))
            Refuse(*refusal);
        return Found{name, std::move(file)};
    }
    return std::nullopt;
}

// PATH's absolute entries. Empty and relative ones would mean wherever the user happens to
// stand, where a planted file must not run unchecked: the working directory is searched, but
// with the trust rule.
std::vector<std::string_view> AbsoluteEntries(std::string_view path)
{
    std::vector<std::string_view> entries;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        if (const std::string_view entry = path.substr(start, end - start); entry.starts_with('/'))
            entries.push_back(entry);
        start = end + 1;
    }
    return entries;
}

// A name in the tool's directory or on PATH, which are the user's own choice, as a shell
// trusts PATH. nullopt when there is none.
std::optional<Found> OpenTrusted(std::string_view directory)
{
    std::string candidate = InDirectory(directory, kRendererName);
    struct stat status {};
    if (::stat(candidate.c_str(), &status) != 0) {
        if (errno == ELOOP)
            throw Error(kRendererName, ELOOP);
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode))
        throw Error(kRendererName, LaunchError::NotRegularFile);
    // Readable, to judge the content; a program the user may run but not read is opened only
    // to run it.
    Fd file(::open(candidate.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid())
        file = Fd(::open(candidate.c_str(), O_PATH | O_CLOEXEC));
    if (!file.valid())
        return std::nullopt;
    return Found{std::move(candidate), std::move(file)};
}

// Whether `found` may run: a regular file the user may execute on a file system that allows
// it. A Windows program needs no execute bit, except on PATH (`onPath`), where only programs
// count: Wine reads it, and archives made on Windows carry none.
void CheckRunnable(const Found& found, bool onPath)
{
    struct stat status {};
    if (::fstat(found.file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw Error(kRendererName, LaunchError::NotRegularFile);
    if (!onPath && WindowsMachineOf(found.file.get()).value_or(0) != 0)
        return;
    if (struct statvfs system{};
        ::fstatvfs(found.file.get(), &system) == 0 && (system.f_flag & ST_NOEXEC) != 0)
        throw Error(kRendererName, LaunchError::NoExecMount);
    if (::faccessat(found.file.get(), "", X_OK, AT_EMPTY_PATH | AT_EACCESS) != 0)
        throw Error(kRendererName, EACCES);
}

} // namespace

Found FindRenderer(const SearchPlaces& places)
{
    const std::string working = places.workingDirectory.empty() ? "." : places.workingDirectory;
    const std::vector<std::string_view> path = AbsoluteEntries(places.path);
    std::optional<Error> failure;
    // As execvp does, a match that may not run is remembered and the search goes on; the
    // tool's own reasons tell more than the system's.
    const auto remember = [&failure](const Error& error) {
        if (!failure || error.code().category() == LaunchCategory())
            failure = error;
    };
    const auto look = [&](auto open, bool onPath) -> std::optional<Found> {
        try {
            std::optional<Found> found = open();
            if (found)
                CheckRunnable(*found, onPath);
            return found;
        } catch (const Error& error) {
            remember(error);
            return std::nullopt;
        }
    };
    if (!places.toolDirectory.empty()) {
        if (auto found = look([&] { return OpenTrusted(places.toolDirectory); }, false))
            return std::move(*found);
    }
    if (auto found = look([&] { return ResolveInWorkingDirectory(working); }, false))
        return std::move(*found);
    for (const std::string_view directory : path) {
        if (auto found = look([&] { return OpenTrusted(directory); }, true))
            return std::move(*found);
    }
    if (failure)
        throw *failure;
    // A user who started the tool from the desktop's menu does not know which folder "the
    // working directory" is.
    std::string folders;
    for (const std::string_view directory : path) {
        if (!folders.empty())
            folders += ':';
        folders += directory;
    }
    std::string tool = places.toolDirectory;
    if (tool.size() > 1 && tool.ends_with('/'))
        tool.pop_back();
    throw Error(kRendererName, LaunchError::NotFound,
                "not found beside vexalo-config (" + tool + "), in the working directory (" +
                    working + ") or in PATH (" + folders + ")");
}

std::optional<std::string> FindWine(const SearchPlaces& places)
{
    std::vector<std::string_view> directories = AbsoluteEntries(places.path);
    if (!places.toolDirectory.empty())
        directories.insert(directories.begin(), places.toolDirectory);
    for (const std::string_view directory : directories) {
        if (std::string wine = InDirectory(directory, "wine"); ::access(wine.c_str(), X_OK) == 0) {
            struct stat status {};
            if (::stat(wine.c_str(), &status) == 0 && S_ISREG(status.st_mode))
                return wine;
        }
    }
    return std::nullopt;
}

} // namespace vexalo
