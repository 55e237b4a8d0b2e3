// SPDX-License-Identifier: MIT
#include "launch/trust.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// Whether `gid` is the private group of user `uid`, as Debian makes them: named as the user,
// the user's own primary group, with no other listed member. A directory service need not
// list every user, so whoever else is in a group is never asked.
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
    return true;
}

// Who may write `status`'s file besides its owner, the user and root: by the mode bits, or
// by an entry of its access ACL, as the kernel stores it (the system.posix_acl_access
// attribute: a version, then tag, permission and id of each entry).
std::optional<std::string> OtherWriter(int fd, const struct stat& status, uid_t user)
{
    std::array<unsigned char, 4096> acl{};
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size =
        ::getxattr(self.c_str(), "system.posix_acl_access", acl.data(), acl.size());
    unsigned mask = 07;
    std::vector<std::array<unsigned, 3>> entries; // tag, permission, id
    for (ssize_t at = 4; size > 4 && at + 8 <= size; at += 8) {
        const auto field = [&](ssize_t offset, int bytes) {
            unsigned value = 0;
            for (int i = bytes - 1; i >= 0; --i)
                value = value << 8 | acl[static_cast<std::size_t>(at + offset + i)];
            return value;
        };
        entries.push_back({field(0, 2), field(2, 2), field(4, 4)});
        if (entries.back()[0] == 0x10)
            mask = entries.back()[1];
    }
    constexpr unsigned kWrite = 02;
    for (const auto& [tag, permission, id] : entries) {
        if ((permission & mask & kWrite) == 0)
            continue;
        if (tag == 0x02 && id != user && id != 0)
            return "gives user " + UserName(id) + " write access through an ACL";
        if (tag == 0x08 && !IsPrivateGroupOf(id, user))
            return "gives group " + GroupName(id) + " write access through an ACL";
    }
    // Where an ACL has a mask, the mode's group bits are the mask, not the owning group's.
    const bool groupWrites = entries.empty()
                                 ? (status.st_mode & S_IWGRP) != 0
                                 : std::any_of(entries.begin(), entries.end(), [&](const auto& e) {
                                       return e[0] == 0x04 && (e[1] & mask & kWrite) != 0;
                                   });
    if ((status.st_mode & S_IWOTH) != 0)
        return "is writable by all (mode " + Octal(status.st_mode) +
               "); a Windows partition needs the fmask and umask mount options, or a copy of "
               "the renderer in a folder of your own";
    if (groupWrites && !IsPrivateGroupOf(status.st_gid, user))
        return "is writable by group " + GroupName(status.st_gid) + " (mode " +
               Octal(status.st_mode) + ")";
    return std::nullopt;
}

} // namespace

std::optional<Refusal> RefusalOf(int fd, const std::string& name)
{
    const uid_t user = ::geteuid();
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return Refusal{LaunchError::ForeignOwner, name + " cannot be examined"};
    if (status.st_uid != user && status.st_uid != 0)
        return Refusal{LaunchError::ForeignOwner,
                       name + " belongs to user " + UserName(status.st_uid)};
    // A link's own mode means nothing; a sticky folder lets nobody else rename or remove
    // what the user owns in it.
    if (S_ISLNK(status.st_mode) || (S_ISDIR(status.st_mode) && (status.st_mode & S_ISVTX) != 0))
        return std::nullopt;
    if (auto writer = OtherWriter(fd, status, user))
        return Refusal{LaunchError::WritableByOthers, name + ' ' + *writer};
    return std::nullopt;
}

} // namespace vexalo
