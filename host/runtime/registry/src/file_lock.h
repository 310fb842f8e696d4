#pragma once
// An exclusive lock on a sidecar file, shared by every host process that writes the same hive.

#include <chrono>
#include <string>

namespace hostreg {

class FileLock {
public:
    // Opens (creating) the lock file and waits up to `patience` for the exclusive lock.
    // Each FileLock opens the file anew, so the lock also excludes other FileLocks of this
    // process and of forked children.
    FileLock(const std::string& path, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }
    bool timedOut() const { return timedOut_; }
    int error() const { return error_; } // errno of a failed open or lock

private:
    int fd_ = -1;
    bool timedOut_ = false;
    int error_ = 0;
};

} // namespace hostreg
