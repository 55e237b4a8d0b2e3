// SPDX-License-Identifier: MIT
#include "core/replace_file.h"

#include "core/file_metadata.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <random>
#include <sys/ioctl.h>
#include <unistd.h>
#include <utility>

namespace vexalo {
namespace {

// Opening never waits for a FIFO's reader, nor makes a terminal ours.
constexpr int kOpenFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Where writing starts on a FIFO or a device, which have no offset, or on a new file.
constexpr std::optional<off_t> kCurrentPosition = std::nullopt;

// Writes all of `bytes` from `offset` on, or from the current position.
int WriteAll(int fd, std::string_view bytes, std::optional<off_t> offset)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const char* data = bytes.data() + done;
        const std::size_t size = bytes.size() - done;
        const ssize_t n = offset ? ::pwrite(fd, data, size, *offset + static_cast<off_t>(done))
                                 : ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Opens a directory to work in by descriptor, never by a path rebuilt as text, so that names
// in any encoding and directories below ancestors we may not search all work. One we may
// search but not read can still hold files, it just cannot be flushed.
Fd OpenDirectory(int at, const char* path)
{
    Fd dir(::openat(at, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid() && errno == EACCES)
        dir = Fd(::openat(at, path, O_PATH | O_DIRECTORY | O_CLOEXEC));
    return dir;
}

// Follows the chain of symbolic links from `name` in `start` one link at a time, as the
// kernel did when it opened the file, to the directory and name that hold `opened`; fills
// `file.dir` and `file.name`. Fails where the chain leads somewhere a name cannot be
// replaced: ESTALE where it now leads to another file than the one opened.
int FollowLinks(int start, const std::string& name, const struct stat& opened, FileToReplace& file)
{
    Fd dir = OpenDirectory(start, ".");
    std::string at = name;
    for (int hop = 0; hop < 40; ++hop) { // as many as the kernel follows
        if (!dir.valid())
            return errno;
        struct stat st {};
        if (::fstatat(dir.get(), at.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            return errno;
        if (!S_ISLNK(st.st_mode)) {
            if (st.st_dev != opened.st_dev || st.st_ino != opened.st_ino)
                return ESTALE;
            file.dir = std::move(dir);
            file.name = std::move(at);
            return 0;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlinkat(dir.get(), at.c_str(), target.data(), target.size());
        if (n < 0)
            return errno;
        if (n == 0 || static_cast<std::size_t>(n) >= target.size())
            return n == 0 ? ENOENT : ENAMETOOLONG;
        target.resize(static_cast<std::size_t>(n));
        const std::size_t slash = target.rfind('/');
        if (slash == std::string::npos) {
            at = target;
            continue;
        }
        at = target.substr(slash + 1);
        const std::string path = slash == 0 ? "/" : target.substr(0, slash);
        dir = OpenDirectory(dir.get(), path.c_str());
        // A name that can only be a directory: not where a regular file was opened.
        if (at.empty() || at == "." || at == "..")
            return ENOTDIR;
    }
    return ELOOP;
}

// An append-only or immutable directory takes new names but gives none up: a temporary file
// could neither replace the name nor be removed again. statx answers on a descriptor opened
// only as a path too (a directory we may search but not read), where the ioctl cannot.
bool IsAppendOnlyOrImmutable(int dir)
{
    constexpr unsigned kFlags = STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE;
    struct statx st {};
    if (::statx(dir, "", AT_EMPTY_PATH, 0, &st) == 0 && (st.stx_attributes_mask & kFlags) == kFlags)
        return (st.stx_attributes & kFlags) != 0;
    int flags = 0;
    return ::ioctl(dir, FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
}

// Judges a failure at any step of a replacement: the directory cannot take the new file,
// though the old one may still be writable (a file bind-mounted into a read-only tree, say).
// A name too long for a temporary one is no reason to fail where a plain write would not.
bool IsDirectoryRefusal(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EROFS ||
           error == ENAMETOOLONG;
}

// Judges, besides, a failure to copy the old file's metadata: the file system or its policy
// will not give the new file what the old one has: a mode (FUSE mounts that deny chmod,
// network shares), a security label, an attribute only a privileged process may set.
bool IsMetadataRefusal(int error)
{
    return error == EPERM || error == EACCES || error == EOPNOTSUPP || error == ENOSYS;
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

// Tries hidden names beside `base` until `claim`, which returns 0 or an errno, takes one;
// `name` then holds it. Only a name already taken is reason to try another.
template <typename Claim>
int ClaimHiddenName(const std::string& base, Claim claim, std::string& name)
{
    // Uniqueness comes from O_EXCL or linkat; the seed only makes collisions rare.
    std::minstd_rand random(
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string candidate = TemporaryName(base, random);
        error = claim(candidate.c_str());
        if (error == 0)
            name = std::move(candidate);
    }
    return error;
}

// The new file while it is written.
struct Temporary {
    Fd fd;
    std::string name; // empty while the file has none
};

// Creates the new file in `dir`: unnamed where the file system can, so that a crash leaves
// nothing behind, else under a hidden name beside `base`. Where no unnamed file can be made,
// the named attempt gives the reason.
int CreateTemporary(int dir, const std::string& base, mode_t mode, Temporary& temp)
{
    // An unnamed file can only be named later through /proc.
    if (::access("/proc/self/fd", F_OK) == 0) {
        Fd fd(::openat(dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
        if (fd.valid()) {
            temp = Temporary{std::move(fd), {}};
            return 0;
        }
    }
    Temporary named;
    const auto create = [&](const char* candidate) {
        named.fd = Fd(
            ::openat(dir, candidate, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        return named.fd.valid() ? 0 : errno;
    };
    const int error = ClaimHiddenName(base, create, named.name);
    if (error == 0)
        temp = std::move(named);
    return error;
}

// Gives an unnamed new file its hidden name, the moment before it replaces the old one;
// through /proc, as linking a descriptor itself needs a privilege.
int LinkTemporary(int dir, const std::string& base, Temporary& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd.get());
    const auto link = [&](const char* candidate) {
        return ::linkat(AT_FDCWD, self.c_str(), dir, candidate, AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
    };
    return ClaimHiddenName(base, link, temp.name);
}

} // namespace

int OpenToReplace(int dir, const std::string& name, FileToReplace& file)
{
    FileToReplace found;
    found.fd = Fd(::openat(dir, name.c_str(), kOpenFlags));
    if (!found.fd.valid() && errno == ENOENT) {
        struct stat link {};
        if (::fstatat(dir, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0) {
            // No file at all: the new one simply takes the name.
            found.dir = OpenDirectory(dir, ".");
            if (!found.dir.valid())
                return errno;
            found.name = name;
            file = std::move(found);
            return 0;
        }
        // A dangling link: the kernel decides whether its target may be created.
        found.fd = Fd(::openat(dir, name.c_str(), kOpenFlags | O_CREAT, 0666));
        found.created = true;
    }
    if (!found.fd.valid())
        return errno;
    if (::fstat(found.fd.get(), &found.opened) != 0)
        return errno;
    // Only a regular file is replaced; one whose links cannot be followed to the name that
    // holds it is left without a directory, whatever the reason, and so rewritten in place.
    if (S_ISREG(found.opened.st_mode))
        static_cast<void>(FollowLinks(dir, name, found.opened, found));
    file = std::move(found);
    return 0;
}

WriteStrategy ChooseStrategy(const FileToReplace& file)
{
    if (file.fd.valid() && !S_ISREG(file.opened.st_mode))
        return WriteStrategy::WriteThrough;
    if (!file.dir.valid() || IsAppendOnlyOrImmutable(file.dir.get()))
        return WriteStrategy::RewriteInPlace;
    return WriteStrategy::ReplaceAtomically;
}

int ReplaceAtomically(const FileToReplace& file, std::string_view bytes, bool& refused)
{
    // Without an old file, a refusal leaves nothing to fall back on.
    const bool hasOld = file.fd.valid();
    refused = false;
    Temporary temp;
    // Only the owner's until it is the old file's twin.
    if (const int error = CreateTemporary(file.dir.get(), file.name, hasOld ? 0600 : 0666, temp);
        error != 0) {
        refused = hasOld && IsDirectoryRefusal(error);
        return error;
    }
    int error = 0;
    bool metadataRefused = false;
    if (hasOld) {
        error = CopyMetadata(file.fd.get(), file.opened, temp.fd.get());
        metadataRefused = IsMetadataRefusal(error);
    }
    if (error == 0)
        error = WriteAll(temp.fd.get(), bytes, kCurrentPosition);
    if (error == 0 && ::fdatasync(temp.fd.get()) != 0)
        error = errno;
    if (error == 0 && temp.name.empty())
        error = LinkTemporary(file.dir.get(), file.name, temp);
    if (error == 0)
        error = temp.fd.Close();
    if (error == 0 &&
        ::renameat(file.dir.get(), temp.name.c_str(), file.dir.get(), file.name.c_str()) != 0)
        error = errno;
    if (error != 0) {
        if (!temp.name.empty())
            ::unlinkat(file.dir.get(), temp.name.c_str(), 0);
        refused = hasOld && (metadataRefused || IsDirectoryRefusal(error));
        return error;
    }
    // The new name must survive a crash as well as the new content. A directory reached
    // without read permission cannot be flushed, and some file systems cannot flush one.
    if (::fsync(file.dir.get()) != 0 && errno != EBADF && errno != EINVAL)
        return errno;
    return 0;
}

int RewriteInPlace(FileToReplace& file, std::string_view bytes)
{
    off_t oldSize = 0;
    Fd fd = std::move(file.fd);
    if (fd.valid()) {
        oldSize = file.opened.st_size;
    } else {
        // None yet, in a directory that would keep a temporary file for good: the new file
        // takes the name at once.
        fd = Fd(::openat(file.dir.get(), file.name.c_str(),
                         kOpenFlags | O_CREAT | O_EXCL | O_NOFOLLOW, 0666));
        if (!fd.valid())
            return errno;
    }
    // The file is first made to hold the new bytes, so that a size limit, a quota or a full
    // disk is met before any old byte is overwritten; a refusal there leaves the old bytes
    // whole. Space is reserved where the file system can; elsewhere the file is lengthened.
    const off_t size = static_cast<off_t>(bytes.size());
    if (size > oldSize) {
        int error = ::fallocate(fd.get(), 0, 0, size) == 0 ? 0 : errno;
        if (error == EOPNOTSUPP || error == ENOSYS)
            error = ::ftruncate(fd.get(), size) == 0 ? 0 : errno;
        if (error != 0) {
            // A file grown part-way gets its old length back; no old byte was touched.
            [[maybe_unused]] const int restored = ::ftruncate(fd.get(), oldSize);
            return error;
        }
    }
    // Only a failed write from here, or a failed cut to a shorter length, mixes new and old.
    int error = WriteAll(fd.get(), bytes, 0);
    if (error == 0 && size < oldSize && ::ftruncate(fd.get(), size) != 0)
        error = errno;
    if (error == 0 && ::fdatasync(fd.get()) != 0)
        error = errno;
    return error != 0 ? error : fd.Close();
}

int WriteThrough(FileToReplace& file, std::string_view bytes)
{
    Fd fd = std::move(file.fd);
    const int error = WriteAll(fd.get(), bytes, kCurrentPosition);
    return error != 0 ? error : fd.Close();
}

void UndoCreation(const FileToReplace& file)
{
    if (file.created && file.dir.valid())
        ::unlinkat(file.dir.get(), file.name.c_str(), 0);
}

} // namespace vexalo
