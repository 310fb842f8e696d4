#include "hive_file.h"

#include "file_lock.h"
#include "hostreg/host_registry.h"
#include "hostreg/registry.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace hostreg {

namespace {

std::atomic<WriteStepHook> g_writeStepHook{nullptr};

void writeStep(const char* step) {
    if (WriteStepHook hook = g_writeStepHook.load())
        hook(step);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string errorText(int error) {
    return std::strerror(error);
}

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Makes a rename in `folder` survive a power cut, not only a crash of this process.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::string timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &local);
    return buf;
}

} // namespace

void setWriteStepHook(WriteStepHook hook) {
    g_writeStepHook.store(hook);
}

LONG resultFromErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENOMEM:
        return ERROR_OUTOFMEMORY;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

HiveFile::HiveFile(std::string path, HiveRoot root)
    : path_(std::move(path)), lockPath_(path_.empty() ? "" : path_ + ".lock"), root_(root) {}

HiveFile::Identity HiveFile::identityOf(const struct stat& st) {
    Identity id;
    id.exists = true;
    id.device = st.st_dev;
    id.inode = st.st_ino;
    id.size = static_cast<std::uint64_t>(st.st_size);
    id.mtimeSec = st.st_mtim.tv_sec;
    id.mtimeNsec = st.st_mtim.tv_nsec;
    id.ctimeSec = st.st_ctim.tv_sec;
    id.ctimeNsec = st.st_ctim.tv_nsec;
    return id;
}

HiveFile::Identity HiveFile::statFile() const {
    struct stat st {};
    if (::stat(path_.c_str(), &st) != 0)
        return {};
    return identityOf(st);
}

HiveFile::Snapshot HiveFile::readFile() const {
    Snapshot s;
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        s.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
        s.error = errno;
        return s;
    }
    // Identity and content come from the same open file, so they always match.
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        s.identity = identityOf(st);
    const ReadLimits limits;
    char buf[65536];
    while (s.text.size() <= limits.maxInputBytes) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            s.status = ReadStatus::Failed;
            s.error = errno;
            ::close(fd);
            return s;
        }
        if (n == 0)
            break;
        s.text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    s.parsed = readRegText(s.text, root_, limits);
    s.status = s.parsed.ok() ? ReadStatus::Ok : ReadStatus::Malformed;
    return s;
}

void HiveFile::reportProblems(const Snapshot& s, std::vector<std::string>& messages) const {
    for (const TextProblem& p : s.parsed.problems) {
        if (p.line > 0)
            messages.push_back(displayName() + ": line " + std::to_string(p.line) + ": " +
                               p.message);
        else
            messages.push_back(displayName() + ": " + p.message);
    }
    const std::size_t unlisted = s.parsed.problemCount - s.parsed.problems.size();
    if (unlisted > 0)
        messages.push_back(displayName() + ": " + std::to_string(unlisted) +
                           " more problems not listed");
}

std::string HiveFile::keepAside(const Snapshot& s, std::vector<std::string>& messages) const {
    const std::string base = path_ + ".bad-" + timestamp();
    for (int attempt = 1; attempt < 100; ++attempt) {
        const std::string name = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        // A hard link keeps the bad file without a moment in which the hive is missing.
        if (::link(path_.c_str(), name.c_str()) == 0)
            return name;
        if (errno == EEXIST)
            continue;
        // No hard links on this file system: copy what was read.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        const bool ok = writeAll(fd, s.text.data(), s.text.size()) && ::fsync(fd) == 0;
        ::close(fd);
        if (ok)
            return name;
        ::unlink(name.c_str());
        break;
    }
    messages.push_back(displayName() + ": could not keep a copy of the malformed file (" +
                       errorText(errno) + "); it is left as it is and not written");
    return {};
}

void HiveFile::removeStaleTemporaries() const {
    // Only called under the lock: no other process is writing a temporary file now, so any
    // that exists was left by a writer that died.
    const std::string folder = folderOf(path_);
    const std::string prefix = fileNameOf(path_) + ".tmp-";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) == 0)
            ::unlink((folder + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

LONG HiveFile::writeFile(const std::string& text) {
    const std::string folder = folderOf(path_);
    const std::string temporary =
        path_ + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++temporaryCounter_);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) {
        // Left by a killed writer that had our process id; we hold the lock, so it is stale.
        ::unlink(temporary.c_str());
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    }
    if (fd < 0)
        return resultFromErrno(errno);
    struct stat old {};
    if (::stat(path_.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    const std::size_t half = text.size() / 2;
    bool ok = writeAll(fd, text.data(), half);
    if (ok)
        writeStep("write");
    ok = ok && writeAll(fd, text.data() + half, text.size() - half);
    if (ok)
        writeStep("flush");
    ok = ok && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok)
        writeStep("rename");
    if (ok && ::rename(temporary.c_str(), path_.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return resultFromErrno(error);
    }
    writeStep("renamed");
    syncFolder(folder);
    return ERROR_SUCCESS;
}

bool HiveFile::load(std::vector<std::string>& messages) {
    if (path_.empty())
        return true;
    const Identity before = statFile();
    readOnly_ = ::access(folderOf(path_).c_str(), W_OK) != 0 ||
                (before.exists && ::access(path_.c_str(), W_OK) != 0);

    std::unique_ptr<FileLock> lock;
    if (!readOnly_) {
        lock = std::make_unique<FileLock>(lockPath_, lockPatience_);
        if (!lock->held()) {
            messages.push_back(displayName() + ": could not lock the hive (" +
                               (lock->timedOut() ? std::string("another process holds it")
                                                 : errorText(lock->error())) +
                               "); it is read but changes will wait for the lock");
            lock.reset();
        } else {
            removeStaleTemporaries();
        }
    }

    Snapshot s = readFile();
    bool clean = true;
    bool rewritten = false;
    if (s.status == ReadStatus::Failed) {
        messages.push_back(displayName() + ": cannot be read (" + errorText(s.error) +
                           "); the registry goes on without its keys and will not write it");
        clean = false;
    } else if (s.status == ReadStatus::Malformed) {
        clean = false;
        reportProblems(s, messages);
        if (!lock) {
            messages.push_back(displayName() +
                               ": the registry goes on with the keys and values that could be "
                               "read; the file is left as it is");
        } else if (const std::string repaired =
                       writeRegTextWithin(s.parsed.root, root_, ReadLimits{}.maxInputBytes);
                   repaired.empty()) {
            messages.push_back(displayName() +
                               ": the keys and values that could be read do not fit in a hive "
                               "that can be read back; the file is left as it is");
        } else if (const std::string aside = keepAside(s, messages); !aside.empty()) {
            const LONG written = writeFile(repaired);
            rewritten = true;
            messages.push_back(
                displayName() + ": the malformed file was kept as " + fileNameOf(aside) +
                "; the registry goes on with the keys and values that could be read" +
                (written == ERROR_SUCCESS ? "" : " (the repaired hive could not be written)"));
        }
    }
    cache_ = std::move(s.parsed.root);
    // After a failed read, read again (and report again) only when the file changes.
    cacheIdentity_ = rewritten || s.status == ReadStatus::Failed ? statFile() : s.identity;
    return clean;
}

const RegKey& HiveFile::current(std::vector<std::string>& messages) {
    if (path_.empty())
        return cache_;
    if (statFile() == cacheIdentity_)
        return cache_;
    Snapshot s = readFile();
    if (s.status == ReadStatus::Failed) {
        messages.push_back(displayName() + ": cannot be read (" + errorText(s.error) +
                           "); keeping the content read before");
        cacheIdentity_ = statFile();
        return cache_;
    }
    if (s.status == ReadStatus::Malformed)
        reportProblems(s, messages); // set aside by the next change, which holds the lock
    cache_ = std::move(s.parsed.root);
    cacheIdentity_ = s.identity;
    return cache_;
}

LONG HiveFile::update(const std::function<LONG(RegKey&)>& change,
                      std::vector<std::string>& messages) {
    if (path_.empty()) {
        RegKey work = cache_;
        const LONG result = change(work);
        if (result == ERROR_SUCCESS)
            cache_ = std::move(work);
        return result;
    }
    if (readOnly_)
        return ERROR_ACCESS_DENIED;

    const FileLock lock(lockPath_, lockPatience_);
    if (!lock.held())
        return lock.timedOut() ? ERROR_TIMEOUT : resultFromErrno(lock.error());
    removeStaleTemporaries();

    // Always read again under the lock: another process may have written since our last look,
    // and its values must survive this write.
    Snapshot s = readFile();
    if (s.status == ReadStatus::Failed)
        return resultFromErrno(s.error);
    bool repair = false;
    if (s.status == ReadStatus::Malformed) {
        reportProblems(s, messages);
        const std::string aside = keepAside(s, messages);
        if (aside.empty())
            return ERROR_REGISTRY_IO_FAILED;
        messages.push_back(displayName() + ": the malformed file was kept as " + fileNameOf(aside) +
                           "; the registry goes on with the keys and values that could be read");
        repair = true;
    }

    const std::size_t limit = ReadLimits{}.maxInputBytes;
    RegKey work = s.parsed.root;
    LONG result = change(work);
    std::string text = writeRegTextWithin(work, root_, limit);
    if (result == ERROR_SUCCESS && text.empty())
        result = ERROR_OUTOFMEMORY; // a hive too large to be read back is not written
    if (result != ERROR_SUCCESS) {
        work = std::move(s.parsed.root);
        if (repair)
            text = writeRegTextWithin(work, root_, limit);
    }
    repair = repair && !text.empty(); // a repair that cannot be read back leaves the file alone
    const bool write = repair || (result == ERROR_SUCCESS && text != s.text);
    if (write) {
        const LONG written = writeFile(text);
        if (written != ERROR_SUCCESS) {
            if (result == ERROR_SUCCESS)
                work = std::move(s.parsed.root);
            cache_ = std::move(work);
            cacheIdentity_ = s.identity;
            return written;
        }
    }
    cache_ = std::move(work);
    cacheIdentity_ = write ? statFile() : s.identity;
    return result;
}

} // namespace hostreg
