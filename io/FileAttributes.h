#pragma once
// What a file is besides its bytes: its owner, its access control list and its extended
// attributes. A new file that replaces an old one must take them over, or the old file must be
// rewritten in place instead.
#include <sys/stat.h>

namespace io {

// Whether this process may give a new file the old one's owner and group.
bool canKeepOwner(const struct stat& old);

// Copies the access control list (system.posix_acl_access) and the user., security. and trusted.
// extended attributes of the file 'name' in the folder 'dirfd' to the open file 'toFd'.
// 0, or the errno value of the first one that could not be read or set.
int copyAttributes(int dirfd, const char* name, int toFd);

} // namespace io
