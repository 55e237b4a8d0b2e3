// SPDX-License-Identifier: MIT
// The judgement: facts in, a refusal with its remedy out. It reads nothing of its own.
#include "launch/trust.h"

#include "core/owner.h"
#include "core/translate.h"
#include "launch/types.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <linux/posix_acl.h>
#include <unistd.h>

namespace vexalo {
namespace {

std::string Octal(mode_t mode)
{
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%04o", static_cast<unsigned>(mode & 07777));
    return text.data();
}

// Somebody besides the user and root who holds a permission, and how to take it away.
struct Holder {
    std::string who;    // "is writable by all (mode 0777)"
    std::string remedy; // "chmod o-w"
};

// Who besides the user and root holds `permission` (ACL_WRITE or ACL_EXECUTE) on a file: by
// the mode bits, or by an ACL entry, which the mask limits. Where an ACL has a mask, the
// mode's group bits are the mask, not the owning group's. The texts speak of writing, the one
// permission a refusal names; who may search a folder only decides whether it closes.
std::optional<Holder> OtherHolder(const Permissions& file, unsigned permission,
                                  const Accounts& accounts)
{
    const std::string mode = Octal(file.mode);
    if ((file.mode & permission) != 0)
        return Holder{Format(Translate("Launch", "is writable by all (mode %1)"), {mode}),
                      "chmod o-w"};
    // Never named: what another user owns is refused for that, before anybody's access counts.
    if (!IsUserOrRoot(file.owner, accounts.user) && (file.mode & permission << 6) != 0)
        return Holder{{}, "chown"};
    unsigned mask = ACL_READ | ACL_WRITE | ACL_EXECUTE;
    for (const AclEntry& entry : file.acl) {
        if (entry.tag == ACL_MASK)
            mask = entry.permission;
    }
    bool groupHolds = file.acl.empty() && (file.mode & permission << 3) != 0;
    for (const AclEntry& entry : file.acl) {
        if ((entry.permission & mask & permission) == 0)
            continue;
        if (entry.tag == ACL_USER && !IsUserOrRoot(entry.id, accounts.user))
            return Holder{Format(Translate("Launch", "gives user %1 write access through an ACL"),
                                 {accounts.userNameOf(entry.id)}),
                          "setfacl -x u:" + accounts.userNameOf(entry.id)};
        if (entry.tag == ACL_GROUP && !IsPrivateGroup(entry.id, accounts))
            return Holder{Format(Translate("Launch", "gives group %1 write access through an ACL"),
                                 {accounts.groupNameOf(entry.id)}),
                          "setfacl -x g:" + accounts.groupNameOf(entry.id)};
        groupHolds = groupHolds || entry.tag == ACL_GROUP_OBJ;
    }
    if (groupHolds && !IsPrivateGroup(file.group, accounts))
        return Holder{Format(Translate("Launch", "is writable by group %1 (mode %2)"),
                             {accounts.groupNameOf(file.group), mode}),
                      "chmod g-w"};
    return std::nullopt;
}

// Whether nobody but the user and root can come through `reach`: some folder on it lets
// nobody else search it. One that could not be read closes nothing.
bool ClosedToOthers(const std::vector<Permissions>& reach, const Accounts& accounts)
{
    return std::any_of(reach.begin(), reach.end(), [&](const Permissions& folder) {
        return !folder.statusError && !folder.aclError &&
               !OtherHolder(folder, ACL_EXECUTE, accounts);
    });
}

// What takes others' access away, where the file is. A drive that keeps no modes ignores
// chmod: how to mount it with modes depends on who mounted it.
std::string Remedy(const Drive& drive, const Holder& holder, const std::string& name)
{
    if (drive.keepsModes)
        return Format(Translate("Launch", "%1 '%2' takes it away"), {holder.remedy, name});
    const std::string device = drive.device.starts_with("/dev/") ? drive.device : "DEVICE";
    const std::string mountPoint = drive.mountPoint.empty() ? "MOUNTPOINT" : drive.mountPoint;
    if (mountPoint.starts_with("/media/") || mountPoint.starts_with("/run/media/"))
        return Format(Translate("Launch",
                                "the drive keeps no modes of its own, so chmod cannot change "
                                "this: mount it again with umask=022 (udisksctl unmount -b %1, "
                                "then udisksctl mount -b %1 -o umask=022), or copy the folder "
                                "into your home folder"),
                      {device});
    if (drive.inFstab)
        return Format(Translate("Launch",
                                "the drive keeps no modes of its own, so chmod cannot change "
                                "this: add umask=022 to the options of the line for %1 in "
                                "/etc/fstab and mount it again, or copy the folder into your "
                                "home folder"),
                      {mountPoint});
    return Format(Translate("Launch",
                            "the drive keeps no modes of its own, so chmod cannot change this: "
                            "unmount %1 and mount %2 there again with -o umask=022, or copy "
                            "the folder into your home folder"),
                  {mountPoint, device});
}

// The running user's account, read once per user: every step of every lookup asks for it, and
// what it holds changes at most between runs. Who else has the user's group as their primary
// one is still asked each time.
const Accounts& RunningAccounts()
{
    static std::optional<Accounts> accounts;
    if (!accounts || accounts->user != ::geteuid())
        accounts = SystemAccounts();
    return *accounts;
}

Error Refused(LaunchError error, const std::string& why)
{
    return Error(kRendererName, error, make_error_code(error).message() + ": " + why);
}

} // namespace

bool IsPrivateGroup(gid_t gid, const Accounts& accounts)
{
    if (gid != accounts.userGroup)
        return false;
    const std::optional<Accounts::Group> group = accounts.group(gid);
    return group && group->name == accounts.userName && !group->primaryOfAnother &&
           std::all_of(group->members.begin(), group->members.end(),
                       [&](const std::string& member) { return member == accounts.userName; });
}

std::optional<Error> Judge(const Facts& facts, Use use, const Accounts& accounts)
{
    const Permissions& self = facts.self;
    // Why a folder Wine loads from must be the user's own.
    const std::string because =
        use == Use::DllFolder ? Translate("Launch", ", and Wine loads DLLs from it") : "";
    if (self.statusError)
        return Refused(LaunchError::Unexamined, facts.name + ": " + self.statusError.message());
    // What another user owns, they may change whenever they like.
    if (auto why = ForeignOwner(self.owner, accounts.user, facts.name, accounts.userNameOf))
        return Refused(LaunchError::ForeignOwner, *why + because);
    // A link's own mode means nothing; a sticky folder lets nobody else rename or remove what
    // the user owns in it, but anybody may put a DLL into it.
    if (use == Use::Link || S_ISLNK(self.mode) ||
        (use == Use::OnTheWay && S_ISDIR(self.mode) && (self.mode & S_ISVTX) != 0))
        return std::nullopt;
    // An ACL that cannot be read may let anybody in.
    if (self.aclError)
        return Refused(LaunchError::Unexamined,
                       Format(Translate("Launch", "%1: its ACL cannot be read (%2)"),
                              {facts.name, self.aclError.message()}));
    const std::optional<Holder> writer = OtherHolder(self, ACL_WRITE, accounts);
    if (!writer)
        return std::nullopt;
    // Only on a drive that keeps no modes can others' write access not be taken away, and
    // only there is a folder nobody else may enter the one guard. Elsewhere chmod also cuts
    // off a process that still holds the folder open from before it was closed. A file with
    // other names may be reached through them, from anywhere.
    if (!facts.drive.keepsModes && ClosedToOthers(facts.reach, accounts) &&
        !(S_ISREG(self.mode) && self.names > 1))
        return std::nullopt;
    return Refused(LaunchError::WritableByOthers, facts.name + ' ' + writer->who + because + "; " +
                                                      Remedy(facts.drive, *writer, facts.name));
}

std::optional<Error> RefusalOf(int fd, const std::string& name, int reach)
{
    return Judge(GatherFacts(fd, name, reach), Use::OnTheWay, RunningAccounts());
}

std::optional<Error> LinkRefusal(const struct stat& link, const std::string& name)
{
    Facts facts{name, {}, {}, {}};
    facts.self.mode = link.st_mode;
    facts.self.owner = link.st_uid;
    facts.self.group = link.st_gid;
    return Judge(facts, Use::Link, RunningAccounts());
}

std::optional<Error> StepRefusal(const PathStep& step)
{
    return step.kind == PathStep::Link
               ? LinkRefusal(step.status, Format(Translate("Launch", "the link %1"), {step.name}))
               : RefusalOf(step.fd, step.name, step.fd);
}

std::optional<Error> PlantingRefusal(int folder, const std::string& name)
{
    return Judge(GatherFacts(folder, name, folder), Use::DllFolder, RunningAccounts());
}

} // namespace vexalo
