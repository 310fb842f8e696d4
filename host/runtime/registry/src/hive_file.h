#pragma once
// One hive kept in one REGEDIT4 file. Reads use an in-memory copy that is read again whenever the
// file on disk changed; every change is a read-modify-write cycle under an exclusive lock on a
// sidecar file ("user.reg.lock"), written to a temporary file, flushed and renamed over the hive,
// so readers and crashes only ever see a whole file.

#include "hostreg/hive.h"
#include "hostreg/reg_text.h"
#include "hostreg/wintypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct stat;

namespace hostreg {

class HiveFile {
public:
    // An empty path keeps the hive in memory only.
    HiveFile(std::string path, HiveRoot root);

    // Start-up read. A malformed file is kept aside as "<path>.bad-<date>-<time>" and replaced by
    // what could be read; problems are appended to `messages`. True when there was none.
    bool load(std::vector<std::string>& messages);

    // The content for reading, read again first when the file changed on disk.
    const RegKey& current(std::vector<std::string>& messages);

    // Whether changes can be written at all (the file and its folder are writable).
    bool readOnly() const { return readOnly_; }

    // Re-reads the file under the lock, lets `change` edit that content and, when it returns
    // ERROR_SUCCESS, writes the result before returning. Returns change's result, or the error
    // that kept the change from being written (nothing is changed then).
    LONG update(const std::function<LONG(RegKey&)>& change, std::vector<std::string>& messages);

    // How long a change waits for another process holding the lock.
    void setLockPatience(std::chrono::milliseconds patience) { lockPatience_ = patience; }

private:
    struct Identity {
        bool exists = false;
        std::uint64_t device = 0, inode = 0, size = 0;
        std::int64_t mtimeSec = 0, mtimeNsec = 0, ctimeSec = 0, ctimeNsec = 0;
        bool operator==(const Identity&) const = default;
    };
    enum class ReadStatus { Ok, Missing, Malformed, Failed };
    struct Snapshot {
        ReadStatus status = ReadStatus::Missing;
        int error = 0;
        Identity identity;
        std::string text;
        ReadResult parsed;
    };

    static Identity identityOf(const struct stat& st);
    Snapshot readFile() const;
    Identity statFile() const;
    // Keeps the file as it is on disk under a ".bad-" name; returns that name or "" on failure.
    std::string keepAside(const Snapshot& snapshot, std::vector<std::string>& messages) const;
    LONG writeFile(const std::string& text);
    void reportProblems(const Snapshot& snapshot, std::vector<std::string>& messages) const;
    void removeStaleTemporaries() const;
    std::string displayName() const { return path_; }

    std::string path_;
    std::string lockPath_;
    HiveRoot root_;
    RegKey cache_;
    Identity cacheIdentity_;
    bool readOnly_ = false;
    std::chrono::milliseconds lockPatience_{10000};
    unsigned temporaryCounter_ = 0;
};

// Maps an errno of a failed file operation to the registry's result.
LONG resultFromErrno(int error);

} // namespace hostreg
