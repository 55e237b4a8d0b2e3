// SPDX-License-Identifier: MIT
#include "core/replace_file.h"

#include "core/file_metadata.h"
#include "core/owner.h"
#include "core/resolve_path.h"

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
std::error_code WriteAll(int fd, std::string_view bytes, std::optional<off_t> offset)
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
            return n < 0 ? LastError() : SystemError(EIO);
        done += static_cast<std::size_t>(n);
    }
    return {};
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
bool IsDirectoryRefusal(std::error_code error)
{
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
           error == std::errc::device_or_resource_busy ||
           error == std::errc::read_only_file_system || error == std::errc::filename_too_long;
}

// Judges, besides, a failure to copy the old file's metadata: the file system or its policy
// will not give the new file what the old one has: a mode (FUSE mounts that deny chmod,
// network shares), a security label, an attribute only a privileged process may set.
bool IsMetadataRefusal(std::error_code error)
{
    return error == std::errc::operation_not_permitted || error == std::errc::permission_denied ||
           error == std::errc::operation_not_supported ||
           error == std::errc::function_not_supported;
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

// Tries hidden names beside `base` until `claim`, which returns a failure's code, takes one;
// `name` then holds it. Only a name already taken is reason to try another.
template <typename Claim>
std::error_code ClaimHiddenName(const std::string& base, Claim claim, std::string& name)
{
    // Uniqueness comes from O_EXCL or linkat; the seed only makes collisions rare.
    std::minstd_rand random(
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::error_code error = SystemError(EEXIST);
    for (int attempt = 0; attempt < 100 && error == std::errc::file_exists; ++attempt) {
        std::string candidate = TemporaryName(base, random);
        error = claim(candidate.c_str());
        if (!error)
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
std::error_code CreateTemporary(int dir, const std::string& base, mode_t mode, Temporary& temp)
{
    // An unnamed file can only be named later through /proc.
    if (::access("/proc/self/fd", F_OK) == 0) {
        Fd fd(::openat(dir, ".", O_WRONLY | O_TMPFILE | O_CLOEXEC, mode));
        if (fd.valid()) {
            temp = Temporary{std::move(fd), {}};
            return {};
        }
    }
    Temporary named;
    const auto create = [&](const char* candidate) {
        named.fd = Fd(
            ::openat(dir, candidate, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        return named.fd.valid() ? std::error_code() : LastError();
    };
    const std::error_code error = ClaimHiddenName(base, create, named.name);
    if (!error)
        temp = std::move(named);
    return error;
}

// Gives an unnamed new file its hidden name, the moment before it replaces the old one;
// through /proc, as linking a descriptor itself needs a privilege.
std::error_code LinkTemporary(int dir, const std::string& base, Temporary& temp)
{
    const std::string self = "/proc/self/fd/" + std::to_string(temp.fd.get());
    const auto link = [&](const char* candidate) {
        return ::linkat(AT_FDCWD, self.c_str(), dir, candidate, AT_SYMLINK_FOLLOW) == 0
                   ? std::error_code()
                   : LastError();
    };
    return ClaimHiddenName(base, link, temp.name);
}

} // namespace

std::error_code OpenToReplace(int dir, const std::string& name, FileToReplace& file)
{
    // Another user's link could aim our write at any file of ours (~/.bashrc); the user's own
    // links are followed, as a plain open would.
    const uid_t user = ::geteuid();
    std::string refusedLink;
    const auto check = [&](const PathStep& step) -> std::error_code {
        if (step.kind != PathStep::Link)
            return {};
        if (auto why = ForeignOwner(step.status.st_uid, user, step.name)) {
            refusedLink = std::move(*why);
            return WriteError::ForeignLink;
        }
        return {};
    };
    PathEnd end;
    if (const std::error_code error = ResolvePath(dir, ".", name, check, end)) {
        file.refusedLink = std::move(refusedLink);
        return error;
    }
    FileToReplace found;
    found.name = std::move(end.name);
    if (!end.exists) {
        // A link to nothing: whatever it names is not a file the user asked for.
        if (end.links > 0)
            return WriteError::DanglingLink;
        // No file at all: the new one simply takes the name.
        found.dir = OpenDirectory(end.folder.get(), ".");
        if (!found.dir.valid())
            return LastError();
        file = std::move(found);
        return {};
    }
    // The last component as the walk found it: were it swapped for a link since, this fails.
    found.fd = Fd(::openat(end.folder.get(), found.name.c_str(), kOpenFlags | O_NOFOLLOW));
    if (!found.fd.valid() || ::fstat(found.fd.get(), &found.opened) != 0)
        return LastError();
    // Only a regular file is replaced; one whose folder cannot be opened is rewritten in place.
    if (S_ISREG(found.opened.st_mode))
        found.dir = OpenDirectory(end.folder.get(), ".");
    file = std::move(found);
    return {};
}

WriteStrategy ChooseStrategy(const FileToReplace& file)
{
    if (file.fd.valid() && !S_ISREG(file.opened.st_mode))
        return WriteStrategy::WriteThrough;
    if (!file.dir.valid() || IsAppendOnlyOrImmutable(file.dir.get()))
        return WriteStrategy::RewriteInPlace;
    return WriteStrategy::ReplaceAtomically;
}

std::error_code ReplaceAtomically(const FileToReplace& file, std::string_view bytes, bool& refused)
{
    // Without an old file, a refusal leaves nothing to fall back on.
    const bool hasOld = file.fd.valid();
    refused = false;
    Temporary temp;
    // Only the owner's until it is the old file's twin.
    if (const std::error_code error =
            CreateTemporary(file.dir.get(), file.name, hasOld ? 0600 : 0666, temp)) {
        refused = hasOld && IsDirectoryRefusal(error);
        return error;
    }
    std::error_code error;
    bool metadataRefused = false;
    if (hasOld) {
        error = CopyMetadata(file.fd.get(), file.opened, temp.fd.get());
        metadataRefused = IsMetadataRefusal(error);
    }
    if (!error)
        error = WriteAll(temp.fd.get(), bytes, kCurrentPosition);
    if (!error && ::fdatasync(temp.fd.get()) != 0)
        error = LastError();
    if (!error && temp.name.empty())
        error = LinkTemporary(file.dir.get(), file.name, temp);
    if (!error)
        error = temp.fd.Close();
    if (!error &&
        ::renameat(file.dir.get(), temp.name.c_str(), file.dir.get(), file.name.c_str()) != 0)
        error = LastError();
    if (error) {
        if (!temp.name.empty())
            ::unlinkat(file.dir.get(), temp.name.c_str(), 0);
        refused = hasOld && (metadataRefused || IsDirectoryRefusal(error));
        return error;
    }
    // The new name must survive a crash as well as the new content. A directory reached
    // without read permission cannot be flushed, and some file systems cannot flush one.
    if (::fsync(file.dir.get()) != 0 && errno != EBADF && errno != EINVAL)
        return LastError();
    return {};
}

std::error_code RewriteInPlace(FileToReplace& file, std::string_view bytes)
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
            return LastError();
    }
    // The file is first made to hold the new bytes, so that a size limit, a quota or a full
    // disk is met before any old byte is overwritten; a refusal there leaves the old bytes
    // whole. Space is reserved where the file system can; elsewhere the file is lengthened.
    const off_t size = static_cast<off_t>(bytes.size());
    if (size > oldSize) {
        std::error_code error =
            ::fallocate(fd.get(), 0, 0, size) == 0 ? std::error_code() : LastError();
        if (error == std::errc::operation_not_supported ||
            error == std::errc::function_not_supported)
            error = ::ftruncate(fd.get(), size) == 0 ? std::error_code() : LastError();
        if (error) {
            // A file grown part-way gets its old length back; no old byte was touched.
            [[maybe_unused]] const int restored = ::ftruncate(fd.get(), oldSize);
            return error;
        }
    }
    // Only a failed write from here, or a failed cut to a shorter length, mixes new and old.
    std::error_code error = WriteAll(fd.get(), bytes, 0);
    if (!error && size < oldSize && ::ftruncate(fd.get(), size) != 0)
        error = LastError();
    if (!error && ::fdatasync(fd.get()) != 0)
        error = LastError();
    return error ? error : fd.Close();
}

std::error_code WriteThrough(FileToReplace& file, std::string_view bytes)
{
    Fd fd = std::move(file.fd);
    const std::error_code error = WriteAll(fd.get(), bytes, kCurrentPosition);
    return error ? error : fd.Close();
}

} // namespace vexalo
