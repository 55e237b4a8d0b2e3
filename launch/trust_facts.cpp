// SPDX-License-Identifier: MIT
// The walk's half of the trust rule: what the file system and the account database say, read
// without judging.
#include "launch/trust.h"

#include "core/owner.h"
#include "core/resolve_path.h"

#include <fstream>
#include <grp.h>
#include <linux/magic.h>
#include <pwd.h>
#include <sstream>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vexalo {
namespace {

// NTFS, as the kernel's two drivers name it; <linux/magic.h> names neither.
constexpr long kNtfs3Magic = 0x7366746e; // ntfs3
constexpr long kNtfsMagic = 0x5346544e;  // the older, read-only ntfs

Permissions PermissionsOf(int fd)
{
    Permissions file;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        file.statusError = LastError();
        return file;
    }
    file.mode = status.st_mode;
    file.owner = status.st_uid;
    file.group = status.st_gid;
    file.names = status.st_nlink;
    file.aclError = ReadAccessAcl(fd, file.acl);
    return file;
}

// The mount table's words are escaped as the kernel escapes them: "\040" for a space.
std::string Unescaped(const std::string& word)
{
    std::string plain;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const auto octal = [&](std::size_t at) { return word[at] >= '0' && word[at] <= '7'; };
        if (word[i] == '\\' && i + 3 < word.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            plain += static_cast<char>(std::stoi(word.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            plain += word[i];
        }
    }
    return plain;
}

// Whether /etc/fstab mounts something at `mountPoint`, as the mount table escapes it.
bool InFstab(const std::string& mountPoint)
{
    std::ifstream fstab("/etc/fstab");
    for (std::string line; std::getline(fstab, line);) {
        std::istringstream fields(line);
        std::string source, target;
        if (fields >> source >> target && !source.starts_with('#') && target == mountPoint)
            return true;
    }
    return false;
}

// The file system `fd` is on. FUSE keeps no modes of its own only for a Windows drive
// (ntfs-3g and exfat-fuse, which mount as fuseblk); the mount table tells.
Drive DriveOf(int fd, dev_t device)
{
    Drive drive;
    struct statfs system {};
    if (::fstatfs(fd, &system) != 0)
        return drive;
    const long type = static_cast<long>(system.f_type);
    if (type != MSDOS_SUPER_MAGIC && type != EXFAT_SUPER_MAGIC && type != kNtfs3Magic &&
        type != kNtfsMagic && type != FUSE_SUPER_MAGIC)
        return drive;
    std::ifstream mounts("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ':' + std::to_string(minor(device));
    std::string fsType;
    for (std::string line; std::getline(mounts, line);) {
        std::istringstream fields(line);
        std::string id, parent, numbers, root, mountPoint, word;
        fields >> id >> parent >> numbers >> root >> mountPoint;
        if (numbers != wanted)
            continue;
        while (fields >> word && word != "-") {
        }
        fields >> fsType >> drive.device;
        drive.inFstab = InFstab(mountPoint);
        drive.mountPoint = Unescaped(mountPoint);
        drive.device = Unescaped(drive.device);
        break;
    }
    drive.keepsModes = type == FUSE_SUPER_MAGIC && fsType != "fuseblk";
    return drive;
}

} // namespace

Accounts SystemAccounts()
{
    Accounts accounts;
    accounts.user = ::geteuid();
    accounts.userName = UserName(accounts.user);
    if (const passwd* user = ::getpwuid(accounts.user))
        accounts.userGroup = user->pw_gid;
    accounts.userNameOf = UserName;
    accounts.groupNameOf = GroupName;
    accounts.group = [user = accounts.user](gid_t gid) -> std::optional<Accounts::Group> {
        const group* listed = ::getgrgid(gid);
        if (!listed)
            return std::nullopt;
        Accounts::Group group{listed->gr_name, {}, false};
        for (char** member = listed->gr_mem; *member; ++member)
            group.members.emplace_back(*member);
        // An account made with "useradd -g GROUP" writes with the group's rights without
        // being listed in it. Only the accounts the system lists count: a directory service
        // that does not enumerate its users (sssd's default, LDAP without enumeration) may
        // hide one, which nothing here can see.
        ::setpwent();
        while (const passwd* account = ::getpwent()) {
            if (account->pw_gid == gid && account->pw_uid != user && account->pw_uid != 0) {
                group.primaryOfAnother = true;
                break;
            }
        }
        ::endpwent();
        return group;
    };
    return accounts;
}

Facts GatherFacts(int fd, std::string name, int reach)
{
    Facts facts{std::move(name), PermissionsOf(fd), {}, {}};
    struct stat status {};
    if (facts.self.statusError || ::fstat(fd, &status) != 0)
        return facts;
    facts.drive = DriveOf(fd, status.st_dev);
    if (!facts.drive.keepsModes) {
        WalkUp(reach, {}, [&facts](int folder, const std::string&) {
            facts.reach.push_back(PermissionsOf(folder));
            return false;
        });
    }
    return facts;
}

} // namespace vexalo
