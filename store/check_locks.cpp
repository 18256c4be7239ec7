#include "store/check_locks.h"

#include <fcntl.h>
#include <unistd.h>

namespace oc::store {
namespace {

int openLockFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
}

struct flock byteOf(std::int64_t id, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = static_cast<off_t>(id);
    lock.l_len = 1;
    return lock;
}

}  // namespace

CheckLocks::CheckLocks(const std::string& path) {
    holder_ = openLockFile(path);
    prober_ = holder_ >= 0 ? openLockFile(path) : -1;
    if (prober_ < 0 && holder_ >= 0) {
        ::close(holder_);
        holder_ = -1;
    }
}

CheckLocks::~CheckLocks() {
    for (int fd : {holder_, prober_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool CheckLocks::hold(std::int64_t id) {
    struct flock lock = byteOf(id, F_WRLCK);
    return usable() && ::fcntl(holder_, F_OFD_SETLK, &lock) == 0;
}

void CheckLocks::release(std::int64_t id) {
    struct flock lock = byteOf(id, F_UNLCK);
    if (usable()) {
        ::fcntl(holder_, F_OFD_SETLK, &lock);
    }
}

bool CheckLocks::held(std::int64_t id) const {
    struct flock lock = byteOf(id, F_WRLCK);
    if (!usable() || ::fcntl(prober_, F_OFD_GETLK, &lock) != 0) {
        return false;
    }
    return lock.l_type != F_UNLCK;
}

}  // namespace oc::store
