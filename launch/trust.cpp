// SPDX-License-Identifier: MIT
#include "launch/trust.h"

#include "core/resolve_path.h"
#include "core/translate.h"
#include "core/xattr.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <linux/posix_acl.h>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace vexalo {
namespace {

std::string Octal(mode_t mode)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%04o", static_cast<unsigned>(mode & 07777));
    return text.data();
}

std::string UserName(uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    return user ? user->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid)
{
    const group* named = ::getgrgid(gid);
    return named ? named->gr_name : std::to_string(gid);
}

bool IsUserOrRoot(uid_t uid, uid_t user)
{
    return uid == user || uid == 0;
}

std::string BelongsTo(uid_t uid)
{
    return Format(Translate("Launch", "belongs to user %1"), {UserName(uid)});
}

// Refuses what another user owns: they may change it whenever they like.
std::optional<Refusal> OwnerRefusal(const struct stat& status, const std::string& name,
                                    const std::string& because = "")
{
    if (IsUserOrRoot(status.st_uid, ::geteuid()))
        return std::nullopt;
    return Refusal{LaunchError::ForeignOwner, name + ' ' + BelongsTo(status.st_uid) + because};
}

// Whether another account than `uid` has `gid` as its primary group: it then writes with
// that group's rights without being listed as a member (useradd -g). Only the accounts the
// system lists count: a directory service that does not enumerate its users (sssd's default,
// LDAP without enumeration) may hide one, which nothing here can see.
bool PrimaryGroupOfAnother(gid_t gid, uid_t uid)
{
    ::setpwent();
    bool found = false;
    while (const passwd* account = ::getpwent()) {
        if (account->pw_gid == gid && account->pw_uid != uid && account->pw_uid != 0) {
            found = true;
            break;
        }
    }
    ::endpwent();
    return found;
}

// Whether `gid` is the private group of user `uid`, as Debian makes them: named as the user,
// the user's own primary group, with no other listed member, and nobody else's primary group.
bool IsPrivateGroupOf(gid_t gid, uid_t uid)
{
    const passwd* user = ::getpwuid(uid);
    if (!user || user->pw_gid != gid)
        return false;
    const std::string name = user->pw_name;
    const group* candidate = ::getgrgid(gid);
    if (!candidate || name != candidate->gr_name)
        return false;
    for (char** listed = candidate->gr_mem; *listed; ++listed) {
        if (name != *listed)
            return false;
    }
    return !PrimaryGroupOfAnother(gid, uid);
}

// Somebody besides the user and root who holds a permission, and how to take it away.
struct Holder {
    std::string who;    // "is writable by all (mode 0777)"
    std::string remedy; // "chmod o-w"
};

// Who besides the user and root holds `permission` (ACL_WRITE or ACL_EXECUTE) on a file of
// status `status` with the access ACL `acl`: by the mode bits, or by an ACL entry, which the
// mask limits. Where an ACL has a mask, the mode's group bits are the mask, not the owning
// group's.
std::optional<Holder> OtherHolder(const struct stat& status, const std::vector<AclEntry>& acl,
                                  unsigned permission, uid_t user)
{
    const std::string mode = Octal(status.st_mode);
    if ((status.st_mode & permission) != 0)
        return Holder{Format(Translate("Launch", "is writable by all (mode %1)"), {mode}),
                      "chmod o-w"};
    if (!IsUserOrRoot(status.st_uid, user) && (status.st_mode & permission << 6) != 0)
        return Holder{BelongsTo(status.st_uid), "chown"};
    unsigned mask = ACL_READ | ACL_WRITE | ACL_EXECUTE;
    for (const AclEntry& entry : acl) {
        if (entry.tag == ACL_MASK)
            mask = entry.permission;
    }
    bool groupHolds = acl.empty() && (status.st_mode & permission << 3) != 0;
    for (const AclEntry& entry : acl) {
        if ((entry.permission & mask & permission) == 0)
            continue;
        if (entry.tag == ACL_USER && !IsUserOrRoot(entry.id, user))
            return Holder{Format(Translate("Launch", "gives user %1 write access through an ACL"),
                                 {UserName(entry.id)}),
                          "setfacl -x u:" + UserName(entry.id)};
        if (entry.tag == ACL_GROUP && !IsPrivateGroupOf(entry.id, user))
            return Holder{Format(Translate("Launch", "gives group %1 write access through an ACL"),
                                 {GroupName(entry.id)}),
                          "setfacl -x g:" + GroupName(entry.id)};
        groupHolds = groupHolds || entry.tag == ACL_GROUP_OBJ;
    }
    if (groupHolds && !IsPrivateGroupOf(status.st_gid, user))
        return Holder{Format(Translate("Launch", "is writable by group %1 (mode %2)"),
                             {GroupName(status.st_gid), mode}),
                      "chmod g-w"};
    return std::nullopt;
}

// The mount holding `device`, as /proc/self/mountinfo lists it: its type and its source.
struct Mount {
    std::string type;
    std::string source;
};

std::optional<Mount> MountOf(dev_t device)
{
    std::ifstream mounts("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ':' + std::to_string(minor(device));
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers, word;
        fields >> id >> parent >> numbers;
        if (numbers != wanted)
            continue;
        while (fields >> word && word != "-") {
        }
        Mount mount;
        if (fields >> mount.type >> mount.source)
            return mount;
    }
    return std::nullopt;
}

// A file system that keeps no owners or modes of its own: every file shows the mount's
// options, and chmod changes nothing. Windows drives: FAT, exFAT and NTFS, the kernel's or
// FUSE's (ntfs-3g and exfat-fuse mount as fuseblk).
std::optional<Mount> OwnerlessDrive(int fd, const struct stat& status)
{
    constexpr long kMsdos = 0x4d44, kExfat = 0x2011BAB0, kNtfs3 = 0x7366746e, kNtfs = 0x5346544e,
                   kFuse = 0x65735546;
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0)
        return std::nullopt;
    const long type = static_cast<long>(system.f_type);
    if (type != kMsdos && type != kExfat && type != kNtfs3 && type != kNtfs && type != kFuse)
        return std::nullopt;
    std::optional<Mount> mount = MountOf(status.st_dev);
    if (type == kFuse && (!mount || mount->type != "fuseblk"))
        return std::nullopt;
    return mount ? mount : Mount{"", "DEVICE"};
}

// What takes others' access away, where the file is.
std::string Remedy(int fd, const struct stat& status, const Holder& holder, const std::string& name)
{
    if (const std::optional<Mount> drive = OwnerlessDrive(fd, status)) {
        const std::string device = drive->source.starts_with("/dev/") ? drive->source : "DEVICE";
        return "; " +
               Format(Translate("Launch",
                                "the drive keeps no modes of its own, so chmod cannot change "
                                "this: mount it with umask=022 (for a drive the desktop "
                                "mounted: udisksctl unmount -b %1, then udisksctl mount -b %1 "
                                "-o umask=022), or copy the folder into your home folder"),
                      {device});
    }
    return "; " + Format(Translate("Launch", "%1 '%2' takes it away"), {holder.remedy, name});
}

// Why a folder Wine loads from must be the user's own.
std::string DllFolder()
{
    return Translate("Launch", ", and Wine loads DLLs from it");
}

// Reads the file's access ACL; a failure is a refusal: an ACL that cannot be read may let
// anybody in.
std::optional<Refusal> ReadAcl(int fd, const std::string& name, std::vector<AclEntry>& acl)
{
    if (const int error = ReadAccessAcl(fd, acl); error != 0)
        return Refusal{LaunchError::Unexamined,
                       Format(Translate("Launch", "%1: its ACL cannot be read (%2)"),
                              {name, std::strerror(error)})};
    return std::nullopt;
}

// Refuses `name` when somebody besides the user and root may write it, and may reach it.
std::optional<Refusal> WriterRefusal(int fd, const struct stat& status, const std::string& name,
                                     int reach, const std::string& because)
{
    std::vector<AclEntry> acl;
    if (auto refusal = ReadAcl(fd, name, acl))
        return refusal;
    const std::optional<Holder> writer = OtherHolder(status, acl, ACL_WRITE, ::geteuid());
    if (!writer)
        return std::nullopt;
    // Only on a drive that keeps no modes can others' write access not be taken away, and
    // only there is a folder nobody else may enter the one guard. Elsewhere chmod also cuts
    // off a process that still holds the folder open from before it was closed. A file with
    // other names may be reached through them, from anywhere.
    if (OwnerlessDrive(fd, status) && ClosedToOthers(reach) &&
        !(S_ISREG(status.st_mode) && status.st_nlink > 1))
        return std::nullopt;
    return Refusal{LaunchError::WritableByOthers,
                   name + ' ' + writer->who + because + Remedy(fd, status, *writer, name)};
}

} // namespace

bool ClosedToOthers(int folder)
{
    const uid_t user = ::geteuid();
    return WalkUp(folder, {}, [user](int here, const std::string&) {
        struct stat status {};
        std::vector<AclEntry> acl;
        // One that cannot be judged closes nothing; the folders above it still may.
        return ::fstat(here, &status) == 0 && ReadAccessAcl(here, acl) == 0 &&
               !OtherHolder(status, acl, ACL_EXECUTE, user);
    });
}

std::optional<Refusal> RefusalOf(int fd, const std::string& name, int reach)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return Refusal{LaunchError::Unexamined, name + ": " + std::strerror(errno)};
    if (auto refusal = OwnerRefusal(status, name))
        return refusal;
    // A link's own mode means nothing; a sticky folder lets nobody else rename or remove
    // what the user owns in it.
    if (S_ISLNK(status.st_mode) || (S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0))
        return std::nullopt;
    return WriterRefusal(fd, status, name, reach, "");
}

std::optional<Refusal> LinkRefusal(const struct stat& link, const std::string& name)
{
    return OwnerRefusal(link, name);
}

std::optional<Refusal> PlantingRefusal(int folder, const std::string& name)
{
    struct stat status {};
    if (::fstat(folder, &status) != 0)
        return Refusal{LaunchError::Unexamined, name + ": " + std::strerror(errno)};
    if (auto refusal = OwnerRefusal(status, name, DllFolder()))
        return refusal;
    return WriterRefusal(folder, status, name, folder, DllFolder());
}

} // namespace vexalo
