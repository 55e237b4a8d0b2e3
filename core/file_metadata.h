// SPDX-License-Identifier: MIT
#pragma once

// What a file carries besides its bytes, copied from one open file to another.

#include <sys/stat.h>
#include <system_error>

namespace vexalo {

// Makes the file open as `to` the twin of the one open as `from`, whose status is `old`, in
// owner, group, extended attributes (the access ACL among them) and mode. Returns the first
// failure's code; EPERM when the owner or group cannot be kept. Attributes the new
// file got at creation and the old one lacks (an ACL from the directory's default) go again,
// except the security label the system chose.
std::error_code CopyMetadata(int from, const struct stat& old, int to);

} // namespace vexalo
