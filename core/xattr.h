// SPDX-License-Identifier: MIT
#pragma once

// Extended attributes, read whole: a value or list sized first and read again while it grows,
// so that "cannot read" never reads as "nothing there". Every function returns the system's
// code of its failure, or none.

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

namespace vexalo {

// Fills `names` with the attributes of the file open as `fd` (O_PATH too), as NUL-ended
// names; a file system without attributes has none.
std::error_code ListAttributes(int fd, std::vector<char>& names);

// Fills `value` with the attribute `name` of the file open as `fd` (O_PATH too); ENODATA when
// the file does not have it.
std::error_code ReadAttribute(int fd, const char* name, std::string& value);

// One entry of a POSIX access ACL.
struct AclEntry {
    std::uint16_t tag;        // ACL_USER_OBJ, ACL_USER, ACL_GROUP_OBJ, ACL_GROUP, ACL_MASK, ...
    std::uint16_t permission; // ACL_READ, ACL_WRITE, ACL_EXECUTE
    std::uint32_t id;         // the user or group of ACL_USER and ACL_GROUP entries
};

// Fills `entries` with the access ACL of the file open as `fd`, empty when it has none or its
// file system keeps none; EINVAL for an ACL of a version or shape this reader does not know.
std::error_code ReadAccessAcl(int fd, std::vector<AclEntry>& entries);

} // namespace vexalo
