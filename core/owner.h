// SPDX-License-Identifier: MIT
#pragma once

// The owner rule for what another user might have put on the tool's way, a link above all:
// what the user or root owns may be trusted, anybody else may change theirs whenever they like.

#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>

namespace vexalo {

// The account's name as the system lists it, or its number where it lists none.
std::string UserName(uid_t uid);
std::string GroupName(gid_t gid);

// Whether `owner` is `user` or root.
bool IsUserOrRoot(uid_t owner, uid_t user);

// nullopt where `owner` is `user` or root; otherwise why `name` is not to be trusted, in the
// user's language: "./config.txt belongs to user eve". `nameOf` names the owner.
std::optional<std::string> ForeignOwner(uid_t owner, uid_t user, const std::string& name,
                                        const std::function<std::string(uid_t)>& nameOf = UserName);

} // namespace vexalo
