// Lets one copy of the program run at a time: an advisory lock on a file named after the instance name in
// the user's runtime folder. The lock goes with the process, so a crash releases it.
#pragma once

#include <string>

namespace platform {

class SingleInstanceLock {
public:
    // folder empty: the user's runtime folder (XDG_RUNTIME_DIR, else the temporary folder).
    explicit SingleInstanceLock(const std::string& name, const std::string& folder = {});
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another copy holds the lock (or the lock file cannot be made).
    bool acquired() const { return m_fd >= 0; }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    int m_fd = -1;
};

} // namespace platform
