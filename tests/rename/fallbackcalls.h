#pragma once

// A file system without the atomic no-replace rename and without hard links (FAT through FUSE,
// some network shares): the system calls that refuse both, so that the no-replace rename takes
// its fallback of reserving the new name first.
#include <cerrno>

namespace quillet::test {

inline int noRenameNoReplace(const char*, const char*)
{
    errno = EINVAL;
    return -1;
}

inline int noLink(const char*, const char*)
{
    errno = EPERM;
    return -1;
}

} // namespace quillet::test
