// SPDX-License-Identifier: MIT
#include "core/xattr.h"

#include "core/error.h"

#include <cerrno>
#include <cstring>
#include <endian.h>
#include <linux/posix_acl_xattr.h>
#include <sys/xattr.h>
#include <utility>

namespace vexalo {
namespace {

// A list or value that keeps changing size between asking for the size and reading it is
// being rewritten by someone else; after a few rounds we stop chasing it.
constexpr int kSizeAttempts = 7;

// Asks `call` (the f- or path form of a listxattr or getxattr) for the size, then for the
// bytes, into `out`, again while the bytes outgrow the size asked.
template <typename Bytes, typename Call> std::error_code ReadSized(Call call, Bytes& out)
{
    Bytes data;
    for (int attempt = 0; attempt < kSizeAttempts; ++attempt) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return LastError();
        data.resize(static_cast<std::size_t>(size));
        // With no room, a second call would only ask for the size again.
        const ssize_t got = size == 0 ? 0 : call(data.data(), data.size());
        if (got >= 0) {
            data.resize(static_cast<std::size_t>(got));
            out = std::move(data);
            return {};
        }
        if (errno != ERANGE) // ERANGE: grown in between, ask again
            return LastError();
    }
    return SystemError(ERANGE);
}

// Runs `onFd` on the descriptor, or, for one opened only as a path (which the f- calls
// refuse), `onPath` on its name under /proc. Without /proc that fails, and so does the read.
template <typename OnFd, typename OnPath, typename Bytes>
std::error_code ReadEither(int fd, OnFd onFd, OnPath onPath, Bytes& out)
{
    const std::error_code error =
        ReadSized([&](char* data, std::size_t size) { return onFd(data, size); }, out);
    if (error != std::errc::bad_file_descriptor)
        return error;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    return ReadSized([&](char* data, std::size_t size) { return onPath(self.c_str(), data, size); },
                     out);
}

} // namespace

std::error_code ListAttributes(int fd, std::vector<char>& names)
{
    std::vector<char> list;
    const std::error_code error = ReadEither(
        fd, [fd](char* data, std::size_t size) { return ::flistxattr(fd, data, size); },
        [](const char* path, char* data, std::size_t size) {
            return ::listxattr(path, data, size);
        },
        list);
    if (error == std::errc::operation_not_supported) {
        names.clear();
        return {};
    }
    if (error)
        return error;
    if (!list.empty() && list.back() != '\0')
        list.push_back('\0'); // so that every name ends, whatever the file system
    names = std::move(list);
    return {};
}

std::error_code ReadAttribute(int fd, const char* name, std::string& value)
{
    return ReadEither(
        fd, [&](char* data, std::size_t size) { return ::fgetxattr(fd, name, data, size); },
        [&](const char* path, char* data, std::size_t size) {
            return ::getxattr(path, name, data, size);
        },
        value);
}

std::error_code ReadAccessAcl(int fd, std::vector<AclEntry>& entries)
{
    std::string value;
    const std::error_code error = ReadAttribute(fd, "system.posix_acl_access", value);
    if (error == std::errc::no_message_available || error == std::errc::operation_not_supported) {
        entries.clear();
        return {};
    }
    if (error)
        return error;
    // The kernel's layout: a little-endian header with the version, then fixed-size entries.
    posix_acl_xattr_header header{};
    if (value.size() < sizeof header ||
        (value.size() - sizeof header) % sizeof(posix_acl_xattr_entry) != 0)
        return SystemError(EINVAL);
    std::memcpy(&header, value.data(), sizeof header);
    if (le32toh(header.a_version) != POSIX_ACL_XATTR_VERSION)
        return SystemError(EINVAL);
    std::vector<AclEntry> read;
    for (std::size_t at = sizeof header; at < value.size(); at += sizeof(posix_acl_xattr_entry)) {
        posix_acl_xattr_entry entry{};
        std::memcpy(&entry, value.data() + at, sizeof entry);
        read.push_back({le16toh(entry.e_tag), le16toh(entry.e_perm), le32toh(entry.e_id)});
    }
    entries = std::move(read);
    return {};
}

} // namespace vexalo
