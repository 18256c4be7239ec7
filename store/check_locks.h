// The locks that tell a running check from an interrupted one: a process
// working on a check holds a lock on the check's byte of a lock file beside the
// store; the system frees it when the process ends, however it ends.
#pragma once

#include <cstdint>
#include <string>

namespace oc::store {

class CheckLocks {
  public:
    // Opens (creates, mode 0600) the lock file, never through a link.
    explicit CheckLocks(const std::string& path);
    ~CheckLocks();
    CheckLocks(const CheckLocks&) = delete;
    CheckLocks& operator=(const CheckLocks&) = delete;

    bool usable() const { return holder_ >= 0; }
    // False when another holder has it.
    bool hold(std::int64_t id);
    void release(std::int64_t id);
    // Whether anyone, this process included, holds it.
    bool held(std::int64_t id) const;

  private:
    int holder_ = -1;  // the descriptor the locks are held through
    int prober_ = -1;  // a second one, which sees this process's locks as others'
};

}  // namespace oc::store
