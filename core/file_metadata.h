// SPDX-License-Identifier: MIT
#pragma once

// What a file carries besides its bytes, copied from one open file to another. Returns 0 or
// an errno, as the system reports it.

#include <sys/stat.h>

namespace vexalo {

// Makes the file open as `to` the twin of the one open as `from`, whose status is `old`, in
// owner, group, extended attributes (the access ACL among them) and mode. Returns 0 or the
// first failure's errno; EPERM when the owner or group cannot be kept. Attributes the new
// file got at creation and the old one lacks (an ACL from the directory's default) go again,
// except the security label the system chose.
int CopyMetadata(int from, const struct stat& old, int to);

} // namespace vexalo
