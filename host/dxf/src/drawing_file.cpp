#include "drawing_file.h"

#include "acdxf/dxf.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace acdxf {

namespace {

// Files larger than this are not drawings this host can hold in memory.
constexpr off_t kMaxDrawingSize = off_t(1) << 31;
// How long a reader waits for a save in progress to finish.
constexpr auto kLockWait = std::chrono::milliseconds(2500);
constexpr auto kLockPoll = std::chrono::milliseconds(20);

// Holds alive in this process, so that a database's opaque hold pointer is
// recognised before it is used.
std::mutex& registryMutex() {
    static std::mutex m;
    return m;
}
std::unordered_set<const FileHold*>& registry() {
    static std::unordered_set<const FileHold*> holds;
    return holds;
}

std::atomic<acdxf::SaveStepHook> g_saveStepHook{nullptr};

enum class LockResult { kLocked, kBusy, kFailed };

// An open-file-description lock over the whole file, without waiting.
LockResult lockFile(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EACCES ? LockResult::kBusy : LockResult::kFailed;
    }
    return LockResult::kLocked;
}

std::string systemError(int err) {
    return std::strerror(err);
}

FileResult failure(Acad::ErrorStatus status, std::string message) {
    return {status, std::move(message)};
}

FileResult openFailure(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return failure(Acad::eFileNotFound, "the file does not exist");
    case EACCES:
    case EPERM:
        return failure(Acad::eFileAccessErr, "you are not allowed to open the file");
    case EISDIR:
        return failure(Acad::eFileAccessErr, "this is a folder, not a drawing file");
    default:
        return failure(Acad::eFileAccessErr, "the file cannot be opened: " + systemError(err));
    }
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether path still names the file open as fd (a save may have renamed a
// new file over it between the open and the lock).
bool stillNames(const std::string& path, int fd) {
    struct stat byPath {
    }, byFd{};
    return stat(path.c_str(), &byPath) == 0 && fstat(fd, &byFd) == 0 && sameFile(byPath, byFd);
}

bool readAll(int fd, std::string& bytes, off_t size) {
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return done == static_cast<std::size_t>(size);
}

bool writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

mode_t processUmask() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "Umask:") {
            std::string value;
            status >> value;
            return static_cast<mode_t>(std::strtoul(value.c_str(), nullptr, 8));
        }
    }
    return 022;
}

// The file a save must replace: the target of a symbolic link, not the link.
std::string resolvedTarget(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (realpath(path.c_str(), buf))
            return buf;
    }
    return path;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The exclusive lock a save needs on the file it replaces, for as long as
// the save runs. Restores a database's own hold to shared on failure.
class TargetGuard {
public:
    ~TargetGuard() {
        if (m_fd >= 0)
            close(m_fd);
        if (m_own)
            lockFile(m_own->fd(), F_RDLCK);
    }

    FileResult acquire(const std::string& path, FileHold* ownHold) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            struct stat st {};
            if (stat(path.c_str(), &st) != 0)
                return {}; // a new file: nothing to exclude
            if (S_ISDIR(st.st_mode))
                return failure(Acad::eFileAccessErr, "this is a folder, not a drawing file");
            m_mode = st.st_mode & 07777;
            m_exists = true;
            if (ownHold && ownHold->holds(st.st_dev, st.st_ino))
                return upgradeOwn(ownHold);
            int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (fd < 0) {
                if (errno == ENOENT)
                    continue;
                if (errno == EACCES || errno == EROFS || errno == EPERM)
                    return failure(Acad::eFileAccessErr, "the file is read-only");
                return failure(Acad::eFileAccessErr,
                               "the file cannot be opened for writing: " + systemError(errno));
            }
            LockResult lock = lockFile(fd, F_WRLCK);
            if (lock != LockResult::kLocked) {
                close(fd);
                if (lock == LockResult::kBusy)
                    return lockedByOther();
                return failure(Acad::eFileAccessErr, "the file cannot be locked for writing");
            }
            if (stillNames(path, fd)) {
                m_fd = fd;
                return {};
            }
            close(fd); // replaced meanwhile; look again
        }
        return lockedByOther();
    }

    bool exists() const { return m_exists; }
    mode_t mode() const { return m_mode; }
    FileHold* own() const { return m_own; }
    // The save went through: the own hold now lives on the new file.
    void release() { m_own = nullptr; }

private:
    FileResult upgradeOwn(FileHold* hold) {
        if (!hold->writable())
            return failure(Acad::eFileAccessErr, "the file is read-only");
        LockResult lock = lockFile(hold->fd(), F_WRLCK);
        if (lock == LockResult::kBusy)
            return lockedByOther();
        if (lock != LockResult::kLocked)
            return failure(Acad::eFileAccessErr, "the file cannot be locked for writing");
        m_own = hold;
        return {};
    }

    static FileResult lockedByOther() {
        return failure(Acad::eFileLockedByOther,
                       "the file is open in another drawing or program, which keeps others "
                       "from writing it");
    }

    int m_fd = -1;
    FileHold* m_own = nullptr;
    bool m_exists = false;
    mode_t m_mode = 0;
};

// Temporaries of a save are ".NAME.XXXXXX" beside the drawing.
constexpr std::size_t kTempSuffixLength = 6;

std::string temporaryPrefix(const std::string& path) {
    return "." + baseOf(path) + ".";
}

std::string randomSuffix() {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 rng(std::random_device{}() ^ static_cast<std::uint64_t>(getpid()) << 32);
    static std::mutex rngMutex;
    std::lock_guard lock(rngMutex);
    std::string out;
    for (std::size_t i = 0; i < kTempSuffixLength; ++i)
        out += alphabet[rng() % (sizeof alphabet - 1)];
    return out;
}

// The file a save writes before it replaces the drawing. Where the file
// system allows, it has no name until the data is on disk, so a save killed
// while writing leaves nothing behind; it is named only for the rename.
// Either way it is locked from the start, which tells a sweep that its
// writer is alive.
class UnnamedTemporary {
public:
    ~UnnamedTemporary() { discard(); }

    bool create(const std::string& target) {
        // Naming an unnamed file goes through /proc; without it, a named one.
        if (access("/proc/self/fd", X_OK) != 0)
            return createNamed(target);
        m_fd = open(folderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            if (lockFile(m_fd, F_WRLCK) == LockResult::kLocked)
                return true;
            close(m_fd);
            m_fd = -1;
        }
        return createNamed(target);
    }

    // Gives the file its temporary name beside target, for the rename.
    bool name(const std::string& target) {
        if (m_named)
            return true;
        std::string prefix = folderOf(target) + "/" + temporaryPrefix(target);
        std::string procPath = "/proc/self/fd/" + std::to_string(m_fd);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = prefix + randomSuffix();
            if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, candidate.c_str(),
                       AT_SYMLINK_FOLLOW) == 0) {
                m_path = candidate;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        errno = EEXIST;
        return false;
    }

    bool createNamed(const std::string& target) {
        std::string prefix = folderOf(target) + "/" + temporaryPrefix(target);
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string candidate = prefix + randomSuffix();
            int fd = open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0) {
                if (errno == EEXIST)
                    continue;
                return false;
            }
            // A sweep may have taken the fresh file for a dead writer's
            // before the lock: then it goes (the sweep removes it), and
            // another is made. Where files cannot be locked, sweeps leave
            // every temporary alone, so the file is used unlocked.
            if (lockFile(fd, F_WRLCK) != LockResult::kBusy && stillNames(candidate, fd)) {
                m_fd = fd;
                m_path = candidate;
                m_named = true;
                return true;
            }
            close(fd);
        }
        errno = EEXIST;
        return false;
    }

    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    void renamed() { m_path.clear(); }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    void discard() {
        if (!m_path.empty())
            unlink(m_path.c_str());
        m_path.clear();
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }

private:
    std::string m_path;
    int m_fd = -1;
    bool m_named = false;
};

} // namespace

FileHold::FileHold(int fd, dev_t dev, ino_t ino, bool writable)
    : m_fd(fd), m_dev(dev), m_ino(ino), m_writable(writable) {
    std::lock_guard lock(registryMutex());
    registry().insert(this);
}

FileHold::~FileHold() {
    {
        std::lock_guard lock(registryMutex());
        registry().erase(this);
    }
    close(m_fd);
}

FileHold* FileHold::fromDatabaseHold(const std::shared_ptr<void>& hold) {
    auto* candidate = static_cast<FileHold*>(hold.get());
    std::lock_guard lock(registryMutex());
    return candidate && registry().count(candidate) ? candidate : nullptr;
}

void FileHold::moveTo(int fd, dev_t dev, ino_t ino) {
    close(m_fd);
    m_fd = fd;
    m_dev = dev;
    m_ino = ino;
    m_writable = true;
}

FileResult readDrawingFile(const std::string& path, bool hold, std::string& bytes,
                           std::shared_ptr<FileHold>& holdOut) {
    sweepStaleTemporaries(path);
    auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        bool writable = hold;
        int fd = hold ? open(path.c_str(), O_RDWR | O_CLOEXEC) : -1;
        if (fd < 0) {
            writable = false;
            fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        }
        if (fd < 0)
            return openFailure(errno);
        struct stat st {};
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            close(fd);
            return failure(Acad::eFileAccessErr, S_ISDIR(st.st_mode)
                                                     ? "this is a folder, not a drawing file"
                                                     : "this is not a regular file");
        }
        if (hold) {
            LockResult lock = lockFile(fd, F_RDLCK);
            if (lock == LockResult::kFailed) {
                close(fd);
                return failure(Acad::eFileAccessErr, "the file cannot be locked");
            }
            if (lock == LockResult::kBusy || !stillNames(path, fd)) {
                // A save is replacing the file right now: wait for it.
                close(fd);
                if (std::chrono::steady_clock::now() > deadline)
                    return failure(Acad::eFileLockedByOther,
                                   "another drawing or program is writing the file");
                std::this_thread::sleep_for(kLockPoll);
                continue;
            }
        }
        if (st.st_size > kMaxDrawingSize) {
            close(fd);
            return failure(Acad::eFileAccessErr, "the file is too large to be a drawing");
        }
        if (!readAll(fd, bytes, st.st_size)) {
            int err = errno;
            close(fd);
            return failure(Acad::eFileAccessErr, "the file cannot be read: " + systemError(err));
        }
        if (hold)
            holdOut = std::make_shared<FileHold>(fd, st.st_dev, st.st_ino, writable);
        else
            close(fd);
        return {};
    }
}

void saveStep(const char* step) {
    if (SaveStepHook hook = g_saveStepHook.load())
        hook(step);
}

bool writeAllTo(int fd, std::string_view bytes) {
    return writeAll(fd, bytes);
}

FileResult replaceFileAtomically(const std::string& path, std::string_view bytes,
                                 FileHold* ownHold) {
    return replaceFileAtomically(
        path,
        [bytes](int fd, const std::string&) -> FileResult {
            std::size_t half = bytes.size() / 2;
            if (!writeAll(fd, bytes.substr(0, half)))
                return failure(Acad::eFileAccessErr,
                               "the drawing cannot be written: " + systemError(errno));
            saveStep("write");
            if (!writeAll(fd, bytes.substr(half)))
                return failure(Acad::eFileAccessErr,
                               "the drawing cannot be written: " + systemError(errno));
            return {};
        },
        ownHold);
}

FileResult replaceFileAtomically(const std::string& requested, const ContentWriter& write,
                                 FileHold* ownHold) {
    if (requested.empty())
        return failure(Acad::eInvalidInput, "no file name was given");
    std::string path = resolvedTarget(requested);
    TargetGuard guard;
    if (FileResult r = guard.acquire(path, ownHold); !r.ok())
        return r;

    std::string folder = folderOf(path);
    sweepStaleTemporaries(path);
    // Locked before anyone can see it, so the lock comes along with the rename
    // and a sweep never takes it for a dead writer's.
    UnnamedTemporary temp;
    if (!temp.create(path))
        return failure(Acad::eFileAccessErr,
                       "no file can be made in the folder " + folder + ": " + systemError(errno));
    int fd = temp.fd();
    auto abandon = [&](const std::string& why) {
        int err = errno;
        temp.discard();
        return failure(Acad::eFileAccessErr, why + ": " + systemError(err));
    };
    mode_t mode = guard.exists() ? guard.mode() : (0666 & ~processUmask());
    if (fchmod(fd, mode) != 0)
        return abandon("the file's permissions cannot be set");
    if (FileResult written = write(fd, folder); !written.ok()) {
        temp.discard();
        return written;
    }
    saveStep("flush");
    if (fsync(fd) != 0)
        return abandon("the drawing cannot be flushed to disk");
    if (!temp.name(path))
        return abandon("the drawing cannot be given a name in its folder");
    saveStep("rename");
    if (rename(temp.path().c_str(), path.c_str()) != 0)
        return abandon("the drawing cannot replace the file");
    temp.renamed();
    saveStep("renamed");
    if (int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        fsync(dir); // the rename itself reaches the disk
        close(dir);
    }
    fd = temp.release();
    if (ownHold) {
        // The saving database holds what it saved: its own file again, or
        // the new file of a save under another name (the old one is let go).
        struct stat st {};
        fstat(fd, &st);
        lockFile(fd, F_RDLCK);
        ownHold->moveTo(fd, st.st_dev, st.st_ino);
        guard.release();
    } else {
        close(fd);
    }
    return {};
}

void setSaveStepHook(SaveStepHook hook) {
    g_saveStepHook.store(hook);
}

void sweepStaleTemporaries(const std::string& drawingPath) {
    std::string path = resolvedTarget(drawingPath);
    std::string folder = folderOf(path);
    std::string prefix = temporaryPrefix(path);
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (const dirent* entry = readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTempSuffixLength && name.starts_with(prefix))
            stale.emplace_back(name);
    }
    closedir(dir);
    for (const std::string& name : stale) {
        std::string full = folder + "/" + name;
        int fd = open(full.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // A live writer keeps its temporary locked until the rename; only a
        // file nobody locks was left by a writer that is gone.
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            lockFile(fd, F_WRLCK) == LockResult::kLocked && stillNames(full, fd))
            unlink(full.c_str());
        close(fd);
    }
}

} // namespace acdxf
