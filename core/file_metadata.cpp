// SPDX-License-Identifier: MIT
#include "core/file_metadata.h"

#include "core/error.h"
#include "core/xattr.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vexalo {
namespace {

std::vector<std::string_view> Names(const std::vector<char>& list)
{
    std::vector<std::string_view> names;
    for (std::size_t at = 0; at < list.size();) {
        names.emplace_back(list.data() + at);
        at += names.back().size() + 1;
    }
    return names;
}

// Gives the new file the old one's extended attributes: its access ACL, user attributes,
// security labels and, for root, trusted ones.
std::error_code CopyAttributes(int from, int to)
{
    std::vector<char> fromList, toList;
    if (const std::error_code error = ListAttributes(from, fromList))
        return error;
    if (const std::error_code error = ListAttributes(to, toList))
        return error;
    const std::vector<std::string_view> wanted = Names(fromList);
    for (const std::string_view name : Names(toList)) {
        if (name.starts_with("security.") ||
            std::find(wanted.begin(), wanted.end(), name) != wanted.end())
            continue;
        if (::fremovexattr(to, name.data()) != 0 && errno != ENODATA)
            return LastError();
    }
    for (const std::string_view name : wanted) {
        std::string value;
        if (const std::error_code error = ReadAttribute(from, name.data(), value)) {
            if (error == std::errc::no_message_available) // removed meanwhile
                continue;
            return error;
        }
        std::string present;
        if (!ReadAttribute(to, name.data(), present) && present == value)
            continue;
        if (::fsetxattr(to, name.data(), value.data(), value.size(), 0) != 0)
            return LastError();
    }
    return {};
}

} // namespace

std::error_code CopyMetadata(int from, const struct stat& old, int to)
{
    struct stat now {};
    if (::fstat(to, &now) != 0)
        return LastError();
    // Whatever keeps the owner from being given, a new file without it would take the old
    // one away from its owner: that is a refusal like any other.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(to, old.st_uid, old.st_gid) != 0)
        return SystemError(EPERM);
    if (const std::error_code error = CopyAttributes(from, to))
        return error;
    // Last: fchown clears the set-id bits, and an ACL sets the group's.
    if (::fstat(to, &now) != 0)
        return LastError();
    if ((now.st_mode & 07777) != (old.st_mode & 07777) && ::fchmod(to, old.st_mode & 07777) != 0)
        return LastError();
    return {};
}

} // namespace vexalo
