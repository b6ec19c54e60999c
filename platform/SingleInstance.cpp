#include "platform/SingleInstance.h"

#include "platform/DebugOutput.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

SingleInstanceLock::SingleInstanceLock(const std::string& name, const std::string& folder) {
    std::string dir = folder;
    if (dir.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const char* tmp = std::getenv("TMPDIR");
        dir = runtime && *runtime ? runtime : (tmp && *tmp ? tmp : "/tmp");
    }
    m_path = dir + "/" + name + "-" + std::to_string(getuid()) + ".lock";
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        DebugPrintf("single-instance lock %s: %s", m_path.c_str(), std::strerror(errno));
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock; the file stays for the next start
}

} // namespace platform
