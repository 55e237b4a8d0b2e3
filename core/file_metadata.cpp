// SPDX-License-Identifier: MIT
#include "core/file_metadata.h"

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

// A list or value that keeps changing size between asking for the size and reading it is
// being rewritten by someone else; after a few rounds we stop chasing it.
constexpr int kSizeAttempts = 7;

// Fills `names` with a file's extended attributes, the access ACL among them, as NUL-ended
// names. A file system without them has none to keep.
int ListAttributes(int fd, std::vector<char>& names)
{
    std::vector<char> list;
    for (int attempt = 0; attempt < kSizeAttempts; ++attempt) {
        const ssize_t size = ::flistxattr(fd, nullptr, 0);
        if (size < 0)
            return errno == EOPNOTSUPP ? 0 : errno;
        list.resize(static_cast<std::size_t>(size));
        const ssize_t got = size == 0 ? 0 : ::flistxattr(fd, list.data(), list.size());
        if (got >= 0) {
            list.resize(static_cast<std::size_t>(got));
            if (!list.empty() && list.back() != '\0')
                list.push_back('\0'); // so that every name ends, whatever the file system
            names = std::move(list);
            return 0;
        }
        if (errno != ERANGE) // ERANGE: grown in between, ask again
            return errno;
    }
    return ERANGE;
}

// Fills `value` with the attribute's value; ENODATA when the file does not have it.
int ReadAttribute(int fd, const char* name, std::string& value)
{
    std::string data;
    for (int attempt = 0; attempt < kSizeAttempts; ++attempt) {
        const ssize_t size = ::fgetxattr(fd, name, nullptr, 0);
        if (size < 0)
            return errno;
        data.resize(static_cast<std::size_t>(size));
        // With no room, a second call would only ask for the size again.
        const ssize_t got = size == 0 ? 0 : ::fgetxattr(fd, name, data.data(), data.size());
        if (got >= 0) {
            data.resize(static_cast<std::size_t>(got));
            value = std::move(data);
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
    return ERANGE;
}

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
int CopyAttributes(int from, int to)
{
    std::vector<char> fromList, toList;
    if (const int error = ListAttributes(from, fromList); error != 0)
        return error;
    if (const int error = ListAttributes(to, toList); error != 0)
        return error;
    const std::vector<std::string_view> wanted = Names(fromList);
    for (const std::string_view name : Names(toList)) {
        if (name.starts_with("security.") ||
            std::find(wanted.begin(), wanted.end(), name) != wanted.end())
            continue;
        if (::fremovexattr(to, name.data()) != 0 && errno != ENODATA)
            return errno;
    }
    for (const std::string_view name : wanted) {
        std::string value;
        if (const int error = ReadAttribute(from, name.data(), value); error != 0) {
            if (error == ENODATA) // removed meanwhile
                continue;
            return error;
        }
        std::string present;
        if (ReadAttribute(to, name.data(), present) == 0 && present == value)
            continue;
        if (::fsetxattr(to, name.data(), value.data(), value.size(), 0) != 0)
            return errno;
    }
    return 0;
}

} // namespace

int CopyMetadata(int from, const struct stat& old, int to)
{
    struct stat now {};
    if (::fstat(to, &now) != 0)
        return errno;
    // Whatever keeps the owner from being given, a new file without it would take the old
    // one away from its owner: that is a refusal like any other.
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(to, old.st_uid, old.st_gid) != 0)
        return EPERM;
    if (const int error = CopyAttributes(from, to); error != 0)
        return error;
    // Last: fchown clears the set-id bits, and an ACL sets the group's.
    if (::fstat(to, &now) != 0)
        return errno;
    if ((now.st_mode & 07777) != (old.st_mode & 07777) && ::fchmod(to, old.st_mode & 07777) != 0)
        return errno;
    return 0;
}

} // namespace vexalo
