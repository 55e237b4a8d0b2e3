// SPDX-License-Identifier: MIT
#include "core/config_file.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <optional>
#include <random>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

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

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~Fd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, returning the error close reports: some file systems report a failed
    // write-back only here.
    int Close()
    {
        const int result = ::close(std::exchange(fd_, -1));
        return result == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int fd_;
};

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
// could neither replace config.txt nor be removed again.
bool KeepsNames(int dir)
{
    int flags = 0;
    return ::ioctl(dir, FS_IOC_GETFLAGS, &flags) == 0 &&
           (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
}

// The directory cannot take the new file, though the old one may still be writable (a
// file bind-mounted into a read-only tree, say).
bool IsRefusal(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == EROFS;
}

Fd CreateTemporary(int dir, const std::string& base, std::string& name, mode_t mode)
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Uniqueness comes from O_EXCL; the seed only makes collisions rare.
    std::minstd_rand random(
        static_cast<unsigned>(::getpid()) ^
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = base + '.';
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        Fd fd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                       mode));
        if (fd.valid() || errno != EEXIST)
            return fd;
    }
    return Fd();
}

// Rewrites an open regular file where it is. Only for when the directory cannot take a new
// file: a failure part-way can leave the file incomplete. Overwriting before truncating needs
// no new space unless the file grows.
void RewriteInPlace(Fd fd, const std::string& text)
{
    int error = WriteAll(fd.get(), text, 0);
    if (error == 0 && ::ftruncate(fd.get(), static_cast<off_t>(text.size())) != 0)
        error = errno;
    if (error == 0 && ::fdatasync(fd.get()) != 0)
        error = errno;
    if (error == 0)
        error = fd.Close();
    if (error != 0)
        Fail(error);
}

enum class Replaced { Yes, Refused };

// Writes the text to a new file beside `place.name`, makes it the old file's twin in mode,
// owner and group, flushes it and renames it over the name. On a refusal by the directory
// nothing is left behind and the caller may rewrite in place; any other failure is thrown.
Replaced ReplaceAtomically(const Place& place, const struct stat* old, const std::string& text)
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
        struct stat now {};
        if (::fstat(temp.get(), &now) != 0)
            error = errno;
        else if ((now.st_uid != old->st_uid || now.st_gid != old->st_gid) &&
                 ::fchown(temp.get(), old->st_uid, old->st_gid) != 0)
            // Replacing would give the file away from its owner; better to write in place.
            refused = true;
        // After fchown, which clears the set-id bits.
        else if (::fchmod(temp.get(), old->st_mode & 07777) != 0)
            error = errno;
    }
    if (error == 0 && !refused)
        error = WriteAll(temp.get(), text, -1);
    if (error == 0 && !refused && ::fdatasync(temp.get()) != 0)
        error = errno;
    if (error == 0 && !refused)
        error = temp.Close();
    if (error == 0 && !refused &&
        ::renameat(place.dir.get(), tempName.c_str(), place.dir.get(), place.name.c_str()) != 0) {
        error = errno;
        refused = old && IsRefusal(error);
    }
    if (error != 0 || refused) {
        ::unlinkat(place.dir.get(), tempName.c_str(), 0);
        if (refused)
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
                RewriteInPlace(std::move(fresh), text);
                return;
            }
            ReplaceAtomically(here, nullptr, text);
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
            ReplaceAtomically(*place, &opened, text) == Replaced::Yes)
            return;
        RewriteInPlace(std::move(fd), text);
    } catch (const Error&) {
        // The empty file made at a dangling link's end is ours; a failed save leaves none.
        if (created && place)
            ::unlinkat(place->dir.get(), place->name.c_str(), 0);
        throw;
    }
}

} // namespace vexalo
