// SPDX-License-Identifier: MIT
#include "launch/lookup.h"

#include "core/error.h"
#include "core/translate.h"
#include "launch/plan.h"
#include "launch/trust.h"

#include "core/resolve_path.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace vexalo {
namespace {

// Refuses the renderer with the error's own message, then what makes it so.
[[noreturn]] void Refuse(LaunchError error, const std::string& why)
{
    throw Error(kRendererName, error, make_error_code(error).message() + ": " + why);
}

// Whether `text` is well-formed UTF-8: no stray continuation bytes, overlong forms, surrogates
// or code points past U+10FFFF.
bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
        const unsigned char lead = byte(i);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size())
            return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                return false;
            code = code << 6 | (byte(i + k) & 0x3F);
        }
        static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

// Whether `name` is the renderer's but for case, as Windows and Wine match names. Its letters
// are ASCII, and no other character folds to one of them.
bool IsRendererNameButForCase(std::string_view name)
{
    const std::string_view renderer = kRendererName;
    return name.size() == renderer.size() &&
           std::equal(name.begin(), name.end(), renderer.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

// The renderer's name in the folder open as `folder`: its own, or else the one name that
// differs from it only in case, as Windows would find it ("OPENGL.EXE"). nullopt when there
// is none, or the folder cannot be listed.
std::optional<std::string> RendererNameIn(int folder, std::string_view folderName)
{
    struct stat status {};
    if (::fstatat(folder, kRendererName, &status, AT_SYMLINK_NOFOLLOW) == 0)
        return kRendererName;
    const auto close = [](DIR* open) { ::closedir(open); };
    const std::unique_ptr<DIR, decltype(close)> listing(
        ::fdopendir(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)), close);
    if (!listing)
        return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (IsRendererNameButForCase(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    if (names.size() < 2)
        return names.empty() ? std::nullopt : std::optional(names.front());
    std::sort(names.begin(), names.end());
    std::string all;
    for (const std::string& name : names)
        all += (all.empty() ? "" : ", ") + name;
    Refuse(LaunchError::SeveralNames,
           Format(Translate("Launch", "%1 in %2; keep one"), {all, folderName}));
}

// The working directory and each folder above it, up to /: whoever may change one of them
// may rename the working directory away, and a name through them would lead elsewhere.
void CheckAncestors(const std::string& name)
{
    std::optional<Error> refusal;
    WalkUp(AT_FDCWD, name, [&refusal](int folder, const std::string& folderName) {
        refusal = RefusalOf(folder, folderName, folder);
        return refusal.has_value();
    });
    if (refusal)
        throw *refusal;
}

// Resolves the renderer's name in the working directory one component at a time, as the
// kernel would, and checks each link (its owner) and each folder entered on the way, so that
// the name returned cannot be made to lead anywhere else. nullopt when there is none.
std::optional<Found> ResolveInWorkingDirectory(const std::string& workingName)
{
    Fd working(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    const std::optional<std::string> entry =
        working.valid() ? RendererNameIn(working.get(), workingName) : std::nullopt;
    if (!entry)
        return std::nullopt;
    // Found: now it matters who could have changed the way here.
    CheckAncestors(workingName);
    // The walk is core's: a refusal ends it with a code, and is thrown once it has returned.
    std::optional<Error> refusal;
    const auto check = [&refusal](const PathStep& step) -> std::error_code {
        refusal = StepRefusal(step);
        return refusal ? refusal->code() : std::error_code();
    };
    PathEnd end;
    if (const std::error_code error = ResolvePath(working.get(), workingName, *entry, check, end)) {
        if (refusal)
            throw *refusal;
        if (error == std::errc::too_many_symbolic_link_levels)
            throw Error(kRendererName, ELOOP);
        return std::nullopt;
    }
    if (!end.exists)
        return std::nullopt;
    if (!S_ISREG(end.status.st_mode))
        throw Error(kRendererName, LaunchError::NotRegularFile);
    // Without blocking: a FIFO put in its place must not hang the window.
    Fd file(::openat(end.folder.get(), end.name.c_str(),
                     O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid())
        file = Fd(::openat(end.folder.get(), end.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid())
        return std::nullopt;
    const std::string name = InDirectory(end.folderName, end.name);
    if (const auto refused = RefusalOf(file.get(), name, end.folder.get()))
        throw *refused;
    return Found{name, std::move(file), std::move(end.folder)};
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
// trusts PATH. Beside the tool, a name that differs only in case counts too, as on Windows;
// on PATH only the exact name, as for any program there. nullopt when there is none.
std::optional<Found> OpenTrusted(std::string_view directory, bool anyCase)
{
    Fd folder(::open(std::string(directory).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder.valid())
        return std::nullopt;
    const std::optional<std::string> entry = anyCase ? RendererNameIn(folder.get(), directory)
                                                     : std::optional(std::string(kRendererName));
    if (!entry)
        return std::nullopt;
    std::string candidate = InDirectory(directory, *entry);
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
    return Found{std::move(candidate), std::move(file), std::move(folder)};
}

// Whether `found` may run: a regular file the user may execute on a file system that allows
// it. A Windows program needs no execute bit, except on PATH (`onPath`), where only programs
// count: Wine reads it, and archives made on Windows carry none.
void CheckRunnable(const Found& found, bool onPath)
{
    struct stat status {};
    if (::fstat(found.file.get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw Error(kRendererName, LaunchError::NotRegularFile);
    if (!onPath && WindowsMachineOf(found.file.get()).value_or(kNoPeHeader) != kNoPeHeader)
        return;
    if (struct statvfs system{};
        ::fstatvfs(found.file.get(), &system) == 0 && (system.f_flag & ST_NOEXEC) != 0)
        throw Error(kRendererName, LaunchError::NoExecMount);
    if (::faccessat(found.file.get(), "", X_OK, AT_EMPTY_PATH | AT_EACCESS) != 0)
        throw Error(kRendererName, EACCES);
}

} // namespace

std::optional<std::string> WineChange(std::string_view path)
{
    for (std::size_t start = 0; start < path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        std::string name(1, '\'');
        name.append(path.substr(0, end)).push_back('\'');
        start = end + 1;
        if (part.empty() || part == "." || part == "..")
            continue;
        if (!IsUtf8(part))
            return Format(Translate("Launch", "%1 has a name that is not UTF-8"), {name});
        if (part.ends_with('.') || part.ends_with(' '))
            return Format(Translate("Launch", "%1 has a name that ends with a dot or a space"),
                          {name});
        if (part.find('\\') != std::string_view::npos)
            return Format(Translate("Launch", "%1 has a backslash in its name"), {name});
        const auto forbidden = [](unsigned char c) {
            return c < 0x20 || c == 0x7f ||
                   std::string_view("\"*?<>|").find(c) != std::string_view::npos;
        };
        if (std::any_of(part.begin(), part.end(), forbidden))
            return Format(Translate("Launch", "%1 has a character in its name that Windows does "
                                              "not allow (\" * ? < > | or a control character)"),
                          {name});
    }
    return std::nullopt;
}

namespace {

// What only a Windows renderer needs: Wine must open the very file that was checked, in the
// working directory that was meant, and load no DLL another user could have put beside it
// or in the working directory.
void CheckWindowsRenderer(const Found& found, const std::string& working)
{
    if (WindowsMachineOf(found.file.get()).value_or(kNoPeHeader) == kNoPeHeader)
        return;
    const auto changed = [](const std::string& why) {
        Refuse(LaunchError::WineRenames, Format(Translate("Launch", "%1; rename it"), {why}));
    };
    if (working == ".")
        changed(Translate("Launch", "the working directory has no name Wine could use"));
    if (const auto why = WineChange(found.path))
        changed(*why);
    if (const auto why = WineChange(working))
        changed(*why);
    if (const auto refusal = PlantingRefusal(found.folder.get(), Parent(found.path)))
        throw *refusal;
    Fd here(::open(".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!here.valid())
        Refuse(LaunchError::Unexamined, working);
    if (const auto refusal = PlantingRefusal(here.get(), working))
        throw *refusal;
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
            if (found) {
                CheckRunnable(*found, onPath);
                CheckWindowsRenderer(*found, working);
            }
            return found;
        } catch (const Error& error) {
            remember(error);
            return std::nullopt;
        }
    };
    if (!places.toolDirectory.empty()) {
        if (auto found = look([&] { return OpenTrusted(places.toolDirectory, true); }, false))
            return std::move(*found);
    }
    if (auto found = look([&] { return ResolveInWorkingDirectory(working); }, false))
        return std::move(*found);
    for (const std::string_view directory : path) {
        if (auto found = look([&] { return OpenTrusted(directory, false); }, true))
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
    throw Error(
        kRendererName, LaunchError::NotFound,
        Format(Translate("Launch",
                         "not found beside vexalo-config (%1), in the working directory (%2) or "
                         "in PATH (%3). Open the tool on the renderer's folder: vexalo-config "
                         "FOLDER in a terminal, a launcher whose command names the folder, or "
                         "the folder dropped on the tool's launcher"),
               {tool, working, folders}));
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
