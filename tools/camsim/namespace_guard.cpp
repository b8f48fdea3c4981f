#include "tools/camsim/namespace_guard.h"

#include <sys/stat.h>

namespace camsim {

bool InInitialNetworkNamespace() {
    // The initial namespace always has this inode number; /proc/1 may not
    // be readable inside a container, so both are compared.
    constexpr ino_t kInitialNetInode = 0xEFFFFFF9u;
    struct stat own {};
    if (stat("/proc/self/ns/net", &own) != 0) return true;
    if (own.st_ino == kInitialNetInode) return true;
    struct stat first {};
    return stat("/proc/1/ns/net", &first) == 0 && first.st_ino == own.st_ino &&
           first.st_dev == own.st_dev;
}

}  // namespace camsim
