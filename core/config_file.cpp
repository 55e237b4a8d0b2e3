// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include "core/fd.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <random>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vexalo {
namespace {

constexpr char kLineEnd[] = "\r\n";

void AddLine(std::string& text, const std::string& line)
{
    text.append(line).append(kLineEnd);
}

[[noreturn]] void Fail(int error)
{
    throw Error(kConfigFileName, error);
}

int WriteAll(int fd, const std::string& text, off_t offset)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = offset < 0 ? ::write(fd, text.data() + done, text.size() - done)
                                     : ::pwrite(fd, text.data() + done, text.size() - done,
                                                offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Where a regular file lives: the directory that holds its name, and the name. The directory
// is reached by descriptor, never by a path rebuilt as text, so names in any encoding and
// directories below ancestors we may not search all work.
struct Place {
    Fd dir;
    std::string name;
};

// Opens a directory to work in by descriptor; one we may search but not read can still hold
// files, it just cannot be flushed.
Fd OpenDirectory(int at, const char* path)
{
    Fd dir(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid() && errno == EACCES)
        dir = Fd(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC));
    return dir;
}

// Follows config.txt's chain of symbolic links one link at a time, as the kernel did when it
// opened the file. Returns nothing when the chain leads somewhere a name cannot be replaced.
std::optional<Place> ResolveLinks(const struct stat& opened)
{
    Place place{OpenDirectory(AT_FDCWD, "."), kConfigFileName};
    for (int hop = 0; hop < 40 && place.dir.valid(); ++hop) {
        struct stat st {};
        if (::fstatat(place.dir.get(), place.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        if (!S_ISLNK(st.st_mode)) {
            if (st.st_dev != opened.st_dev || st.st_ino != opened.st_ino)
                return std::nullopt;
            return place;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n =
            ::readlinkat(place.dir.get(), place.name.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size())
            return std::nullopt;
        target.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        if (slash == std::string::npos) {
            place.name = target;
            continue;
        }
        place.name = target.substr(slash + 1);
        const std::string dir = slash == 0 ? "/" : target.substr(0, slash);
        place.dir = OpenDirectory(place.dir.get(), dir.c_str());
        if (place.name.empty() || place.name == "." || place.name == "..")
            return std::nullopt;
    }
    return std::nullopt;
}

// An append-only or immutable directory takes new names but gives none up: a temporary file
// could neither replace config.txt nor be removed again. statx answers on a descriptor opened
// only as a path too (a directory we may search but not read), where the ioctl cannot.
bool KeepsNames(int dir)
{
    constexpr unsigned kFlags = STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE;
    struct statx st {};
    if (::statx(dir, "", AT_EMPTY_PATH, 0, &st) == 0 && (st.stx_attributes_mask & kFlags) == kFlags)
        return (st.stx_attributes & kFlags) != 0;
    int flags = 0;
    return ::ioctl(dir, FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
}

// The directory cannot take the new file, though the old one may still be writable (a
// file bind-mounted into a read-only tree, say). A name too long for a temporary one is
// no reason to fail where a plain write would not.
bool IsRefusal(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EROFS ||
           error == ENAMETOOLONG;
}

// The file system or its policy will not give the new file what the old one has: a mode
// (FUSE mounts that deny chmod, network shares), a security label, an attribute only a
// privileged process may set.
bool IsRefusedChange(int error)
{
    return error == EPERM || error == EACCES || error == EOPNOTSUPP || error == ENOSYS;
}

// Lists a file's extended attributes, the access ACL among them, as NUL-ended names. A file
// system without them has none to keep.
int ListAttributes(int fd, std::vector<char>& names)
{
    for (;;) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == EOPNOTSUPP ? 0 : errno;
        names.resize(static_cast<std::size_t>(size));
        if (size == 0)
            return 0;
        const ssize_t got = ::flistxattr(fd, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            if (!names.empty() && names.back() != '\0')
                names.push_back('\0'); // so that every name ends, whatever the file system
            return 0;
        }
        if (errno != ERANGE) // grown in between: ask again
            return errno;
    }
}

// Returns the attribute's value, or nothing when the file does not have it.
std::optional<std::string> Attribute(int fd, const char* name)
{
    std::string value;
    for (;;) {
        const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
        if (size < 0)
            return std::nullopt;
        value.resize(static_cast<std::size_t>(size));
        const ssize_t got = ::fgetxattr(fd, name, value.data(), value.size());
        if (got >= 0) {
            value.resize(static_cast<std::size_t>(got));
            return value;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

std::vector<std::string_view> Names(const std::vector<char>& list)
{
    std::vector<std::string_view> names;
    for (std::size_t at = 0; at < list.size();) {
        names.emplace_back(list.data() + at);
        at += names.back().size() + 1;
    }
    return names;
}

// Gives the new file the old one's extended attributes: its access ACL, user attributes,
// security labels and, for root, trusted ones. What the new file got at creation and the old
// one lacks (an ACL from the directory's default) goes again, except the security label the
// system chose. Returns the first failure.
int CopyAttributes(int from, int to)
{
    std::vector<char> fromList, toList;
    if (const int error = ListAttributes(from, fromList); error != 0)
        return error;
    if (const int error = ListAttributes(to, toList); error != 0)
        return error;
    const std::vector<std::string_view> wanted = Names(fromList);
    for (const std::string_view name : Names(toList)) {
        if (name.starts_with("security.") ||
            std::find(wanted.begin(), wanted.end(), name) != wanted.end())
            continue;
        if (::fremovexattr(to, name.data()) != 0 && errno != ENODATA)
            return errno;
    }
    for (const std::string_view name : wanted) {
        const std::optional<std::string> value = Attribute(from, name.data());
        if (!value) {
            if (errno == ENODATA) // removed meanwhile
                continue;
            return errno;
        }
        if (Attribute(to, name.data()) != value &&
            ::fsetxattr(to, name.data(), value->data(), value->size(), 0) != 0)
            return errno;
    }
    return 0;
}

std::minstd_rand Seeded()
{
    // Uniqueness comes from O_EXCL or linkat; the seed only makes collisions rare.
    return std::minstd_rand(
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
}

// A hidden name beside `base`, cut to fit where `base` is already near the limit.
std::string TemporaryName(const std::string& base, std::minstd_rand& random)
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t kRoom = NAME_MAX - 8; // a dot before, a dot and six letters after
    std::size_t keep = std::min(base.size(), kRoom);
    // Never between the bytes of one UTF-8 character: some file systems take only valid names.
    while (keep > 0 && keep < base.size() &&
           (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
        --keep;
    std::string name = '.' + base.substr(0, keep) + '.';
    for (int i = 0; i < 6; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// Tries hidden names beside `base` until `claim` takes one, which `name` then holds; only a
// name already taken is reason to try another. False, with errno telling why, when none was.
template <typename Claim>
bool ClaimHiddenName(const std::string& base, std::string& name, Claim claim)
{
    std::minstd_rand random = Seeded();
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryName(base, random);
        if (claim(name.c_str()))
            return true;
        if (errno != EEXIST)
            break;
    }
    name.clear();
    return false;
}

// Creates the new file in `dir`: unnamed where the file system can, so that a crash leaves
// nothing behind, else under a hidden name, returned in `name`. An unnamed file is linked in
// through /proc, as linking a descriptor itself needs a privilege. Where no unnamed file can
// be made, the named attempt gives the reason.
Fd CreateTemporary(int dir, const std::string& base, std::string& name, mode_t mode)
{
    name.clear();
    if (::access("/proc/self/fd", F_OK) == 0) {
        Fd fd(::openat(dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
        if (fd.valid())
            return fd;
    }
    Fd fd;
    ClaimHiddenName(base, name, [&](const char* candidate) {
        fd = Fd(
            ::openat(dir, candidate, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        return fd.valid();
    });
    return fd;
}

// Gives an unnamed new file its hidden name, the moment before it replaces the old one.
int LinkTemporary(int dir, int fd, const std::string& base, std::string& name)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ClaimHiddenName(base, name,
                           [&](const char* candidate) {
                               return ::linkat(AT_FDCWD, self.c_str(), dir, candidate,
                                               AT_SYMLINK_FOLLOW) == 0;
                           })
               ? 0
               : errno;
}

// Rewrites an open regular file where it is, for when the directory cannot take a new file.
// The file is first made to hold the new text, so that a size limit, a quota or a full disk
// is met before any old byte is overwritten; a refusal there leaves the old text whole.
// Space is reserved where the file system can; elsewhere the file is only lengthened.
void RewriteInPlace(Fd fd, const std::string& text, off_t oldSize)
{
    const off_t size = static_cast<off_t>(text.size());
    if (size > oldSize) {
        int error = ::fallocate(fd.get(), 0, 0, size) == 0 ? 0 : errno;
        if (error == EOPNOTSUPP || error == ENOSYS)
            error = ::ftruncate(fd.get(), size) == 0 ? 0 : errno;
        if (error != 0) {
            // A file grown part-way gets its old length back; no old byte was touched.
            [[maybe_unused]] const int restored = ::ftruncate(fd.get(), oldSize);
            Fail(error);
        }
    }
    // Only a failed write from here, or a failed cut to a shorter length, mixes new and old.
    int error = WriteAll(fd.get(), text, 0);
    if (error == 0 && size < oldSize && ::ftruncate(fd.get(), size) != 0)
        error = errno;
    if (error == 0 && ::fdatasync(fd.get()) != 0)
        error = errno;
    if (error == 0)
        error = fd.Close();
    if (error != 0)
        Fail(error);
}

// Makes the new file the old one's twin in owner, group, extended attributes (its ACL among
// them) and mode. Returns the first failure; what IsRefusedChange calls a refusal sends the
// caller to rewrite in place, which keeps all of these.
int CopyMetadata(int from, const struct stat& old, int to)
{
    struct stat now {};
    if (::fstat(to, &now) != 0)
        return errno;
    // Replacing would give the file away from its owner, whatever the reason it cannot be
    // kept; better to write in place.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(to, old.st_uid, old.st_gid) != 0)
        return EPERM;
    if (const int error = CopyAttributes(from, to); error != 0)
        return error;
    // Last: fchown clears the set-id bits, and an ACL sets the group's.
    if (::fstat(to, &now) != 0)
        return errno;
    if ((now.st_mode & 07777) != (old.st_mode & 07777) && ::fchmod(to, old.st_mode & 07777) != 0)
        return errno;
    return 0;
}

enum class Replaced { Yes, Refused };

// Writes the text to a new file beside `place.name`, makes it the old file's twin, flushes it
// and renames it over the name. On a refusal nothing is left behind and the caller may rewrite
// in place; any other failure is thrown.
Replaced ReplaceAtomically(const Place& place, int oldFd, const struct stat* old,
                           const std::string& text)
{
    std::string tempName;
    Fd temp = CreateTemporary(place.dir.get(), place.name, tempName, old ? 0600 : 0666);
    if (!temp.valid()) {
        if (old && IsRefusal(errno))
            return Replaced::Refused;
        Fail(errno);
    }
    int error = 0;
    bool refused = false;
    if (old) {
        error = CopyMetadata(oldFd, *old, temp.get());
        refused = IsRefusedChange(error);
    }
    if (error == 0)
        error = WriteAll(temp.get(), text, -1);
    if (error == 0 && ::fdatasync(temp.get()) != 0)
        error = errno;
    if (error == 0 && tempName.empty())
        error = LinkTemporary(place.dir.get(), temp.get(), place.name, tempName);
    if (error == 0)
        error = temp.Close();
    if (error == 0 &&
        ::renameat(place.dir.get(), tempName.c_str(), place.dir.get(), place.name.c_str()) != 0)
        error = errno;
    if (error != 0) {
        if (!tempName.empty())
            ::unlinkat(place.dir.get(), tempName.c_str(), 0);
        if (old && (refused || IsRefusal(error)))
            return Replaced::Refused;
        Fail(error);
    }
    // The new name must survive a crash as well as the new content. A directory reached
    // without read permission cannot be flushed, and some file systems cannot flush one.
    if (::fsync(place.dir.get()) != 0 && errno != EBADF && errno != EINVAL)
        Fail(errno);
    return Replaced::Yes;
}

// config.txt is something else than a regular file (a FIFO, a device): write to it as a
// plain open would, without waiting for a reader.
void WriteThrough(Fd fd, const std::string& text)
{
    int error = WriteAll(fd.get(), text, -1);
    if (error == 0)
        error = fd.Close();
    if (error != 0)
        Fail(error);
}

} // namespace

std::string ConfigFileText(const DisplayChoices& choices, const DesktopMode& desktop)
{
    struct Resolution {
        int option;
        const char* width;
        const char* height;
    };
    static constexpr Resolution kResolutions[] = {
        {1, "640", "480"}, {2, "800", "600"}, {3, "1024", "768"}, {4, "1600", "1200"}};
    struct Depth {
        int option;
        const char* bitsPerPixel;
    };
    static constexpr Depth kDepths[] = {{5, "16"}, {6, "32"}};
    // What the renderer is told when the desktop cannot be asked.
    static constexpr DesktopMode kFallbackDesktop{true, 1024, 768, 32};

    std::string text;
    AddLine(text, "[VEXALO-CONFIG]");
    AddLine(text, "");
    for (const Resolution& r : kResolutions) {
        if (IsSelected(choices, r.option)) {
            AddLine(text, std::string("WIDTH: ") + r.width);
            AddLine(text, std::string("HEIGHT: ") + r.height);
        }
    }
    for (const Depth& d : kDepths) {
        if (IsSelected(choices, d.option))
            AddLine(text, std::string("BPP: ") + d.bitsPerPixel);
    }
    AddLine(text,
            choices.Check1 == 1 ? "FULLSCREEN? (0=no/1=yes): 1" : "FULLSCREEN? (0=no/1=yes): 0");
    AddLine(text, "");
    AddLine(text, "[DESKTOP-CONFIG]");
    const DesktopMode& mode = desktop.available ? desktop : kFallbackDesktop;
    AddLine(text, "WIDTH: " + std::to_string(mode.width));
    AddLine(text, "HEIGHT: " + std::to_string(mode.height));
    AddLine(text, "BPP: " + std::to_string(mode.bitsPerPixel));
    return text;
}

void WriteConfigFile(const DisplayChoices& choices, const DesktopMode& desktop)
{
    const std::string text = ConfigFileText(choices, desktop);
    constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

    // The kernel judges the way to the file, links included: what a plain open for writing
    // would refuse (a link it will not follow, a loop, a read-only file, a directory) is
    // refused here with the kernel's own reason, before anything changes.
    Fd fd(::open(kConfigFileName, kOpenFlags));
    bool created = false;
    if (!fd.valid() && errno == ENOENT) {
        struct stat link {};
        if (::lstat(kConfigFileName, &link) != 0) {
            // No config.txt at all: the new file simply takes the name.
            Place here{OpenDirectory(AT_FDCWD, "."), kConfigFileName};
            if (!here.dir.valid())
                Fail(errno);
            if (KeepsNames(here.dir.get())) {
                Fd fresh(::openat(here.dir.get(), kConfigFileName,
                                  kOpenFlags | O_CREAT | O_EXCL | O_NOFOLLOW, 0666));
                if (!fresh.valid())
                    Fail(errno);
                RewriteInPlace(std::move(fresh), text, 0);
                return;
            }
            ReplaceAtomically(here, -1, nullptr, text);
            return;
        }
        // A dangling link: the kernel decides whether its target may be created.
        fd = Fd(::open(kConfigFileName, kOpenFlags | O_CREAT, 0666));
        created = true;
    }
    if (!fd.valid())
        Fail(errno);

    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0)
        Fail(errno);
    if (!S_ISREG(opened.st_mode)) {
        WriteThrough(std::move(fd), text);
        return;
    }
    const std::optional<Place> place = ResolveLinks(opened);
    try {
        if (place && !KeepsNames(place->dir.get()) &&
            ReplaceAtomically(*place, fd.get(), &opened, text) == Replaced::Yes)
            return;
        RewriteInPlace(std::move(fd), text, opened.st_size);
    } catch (const Error&) {
        // The empty file made at a dangling link's end is ours; a failed save leaves none.
        if (created && place)
            ::unlinkat(place->dir.get(), place->name.c_str(), 0);
        throw;
    }
}

} // namespace vexalo
