#include "file_lock.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace hostreg {

FileLock::FileLock(const std::string& path, std::chrono::milliseconds patience) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error_ = errno;
        return;
    }
    // Poll rather than block, so a process that hangs while holding the lock cannot hang us.
    const auto deadline = std::chrono::steady_clock::now() + patience;
    auto pause = std::chrono::microseconds(200);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error_ = errno;
            ::close(fd);
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            timedOut_ = true;
            error_ = EWOULDBLOCK;
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
}

} // namespace hostreg
