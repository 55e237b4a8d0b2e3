// SPDX-License-Identifier: MIT
#include "core/owner.h"

#include "core/translate.h"

#include <grp.h>
#include <pwd.h>

namespace vexalo {

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

bool IsUserOrRoot(uid_t owner, uid_t user)
{
    return owner == user || owner == 0;
}

std::optional<std::string> ForeignOwner(uid_t owner, uid_t user, const std::string& name,
                                        const std::function<std::string(uid_t)>& nameOf)
{
    if (IsUserOrRoot(owner, user))
        return std::nullopt;
    return Format(Translate("Owner", "%1 belongs to user %2"), {name, nameOf(owner)});
}

} // namespace vexalo
