// SPDX-License-Identifier: MIT
#pragma once

// The trust rule for what lies on the way to a renderer that may be in anybody's folder:
// nobody but the user and root may change it. A walk gathers plain facts of each step
// (GatherFacts), and a judgement of those facts alone decides (Judge), so that every case can
// be judged without making it on a real file system. Whatever cannot be judged is refused.

#include "core/error.h"
#include "core/resolve_path.h"
#include "core/xattr.h"

#include <functional>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace vexalo {

// Who may do what to one file or folder, as its file system says.
struct Permissions {
    mode_t mode = 0; // the type and permission bits
    uid_t owner = 0;
    gid_t group = 0;
    nlink_t names = 1;           // its hard links
    std::vector<AclEntry> acl;   // the access ACL; empty where it has none
    std::error_code statusError; // why its status could not be read
    std::error_code aclError;    // why its ACL could not be read
};

// The file system a file is on: whether it keeps modes of its own, and where it is mounted,
// which says how a drive that keeps none is mounted otherwise.
struct Drive {
    bool keepsModes = true; // false for FAT, exFAT and NTFS: every file shows the mount's options
    std::string device;     // "/dev/sdb1", as the mount table says
    std::string mountPoint; // "/media/ann/GAMES"
    bool inFstab = false;   // whether /etc/fstab mounts something there
};

// What one step on the way is.
struct Facts {
    std::string name; // as reports name it
    Permissions self;
    Drive drive;
    // Where others would have to come through, nearest first: the folder holding the step (or
    // the folder itself), then each one above it, up to /. Gathered only on a drive that keeps
    // no modes, the one place where it matters.
    std::vector<Permissions> reach;
};

// What the step is to the renderer.
enum class Use {
    OnTheWay,  // the renderer, or a folder on the way to it
    Link,      // a symbolic link followed on the way: only its owner counts
    DllFolder, // a folder Wine loads DLLs from: its folder and the working directory
};

// What the account database says, as far as the rule asks.
struct Accounts {
    uid_t user = 0;
    std::string userName; // the user's own, and the name a private group has
    gid_t userGroup = 0;  // the user's primary group
    struct Group {
        std::string name;
        std::vector<std::string> members; // listed members
        bool primaryOfAnother = false;    // another account's primary group, listed or not
    };
    std::function<std::optional<Group>(gid_t)> group;
    std::function<std::string(uid_t)> userNameOf;
    std::function<std::string(gid_t)> groupNameOf;
};

// The running user's account, as the system lists it.
Accounts SystemAccounts();

// Whether `gid` is the user's private group, as Debian makes them: named as the user, the
// user's primary group, no other listed member, and nobody else's primary group.
bool IsPrivateGroup(gid_t gid, const Accounts& accounts);

// The facts of `name`, open as `fd` (O_PATH will do); `reach` is the folder others would
// have to come through: the file's own folder, or a folder itself.
Facts GatherFacts(int fd, std::string name, int reach);

// The refusal of the step, with its remedy, or nullopt where it may be trusted.
std::optional<Error> Judge(const Facts& facts, Use use, const Accounts& accounts);

// The walk and the judgement of one step, for the running user.
std::optional<Error> RefusalOf(int fd, const std::string& name, int reach);
std::optional<Error> LinkRefusal(const struct stat& link, const std::string& name);
std::optional<Error> PlantingRefusal(int folder, const std::string& name);

// A step of core's walk (resolve_path.h), judged: a link by its owner, a folder as any step
// on the way.
std::optional<Error> StepRefusal(const PathStep& step);

} // namespace vexalo
