#include "script/file_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <thread>

#include "common/text.h"
#include "platform/protected_files.h"

namespace vex {

namespace {

// Characters converted per piece: small enough to stay out of the peak memory of a run.
constexpr size_t kPieceChars = 32768;
// Bytes copied per read when the old text of an appended file is carried over.
constexpr size_t kCopyBytes = 65536;
// A symlink chain longer than the kernel follows is refused as the kernel does.
constexpr int kMaxLinkHops = 40;
// Names tried for the temporary file before giving up (each has 36^8 possibilities).
constexpr int kTempAttempts = 64;

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Close(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    // 0, or the errno value of a failed close (delayed write errors show here).
    int Close() {
        if (fd_ < 0) return 0;
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc == 0 || errno == EINTR ? 0 : errno;
    }

  private:
    int fd_;
};

int Fault(const FaultHooks* faults, std::string_view step) {
    return faults && faults->fileStep ? faults->fileStep(step) : 0;
}

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int WritePieces(int fd, std::initializer_list<std::u16string_view> pieces,
                const FaultHooks* faults) {
    int error = 0;
    for (std::u16string_view piece : pieces) {
        ForEachUtf8Piece(piece, [&](std::string_view bytes) {
            if (faults && faults->allocation) faults->allocation("output");
            error = Fault(faults, "write");
            if (error == 0) error = WriteAll(fd, bytes);
            return error == 0;
        });
        if (error != 0) return error;
    }
    return 0;
}

// Copies what is left to read of `from` to `to`.
int CopyRest(int from, int to) {
    std::string buffer(kCopyBytes, '\0');
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        if (const int error = WriteAll(to, std::string_view(buffer.data(), static_cast<size_t>(n))))
            return error;
    }
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The name that is finally written: symlinks followed to their last target (which may
// not exist yet). Sets `exists` and, when it does, `st`.
int FinalName(const std::string& path, std::string& name, struct stat& st, bool& exists) {
    name = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (::lstat(name.c_str(), &st) != 0) {
            if (errno != ENOENT) return errno;
            exists = false;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            return 0;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(name.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) >= target.size()) return ENAMETOOLONG;
        target.resize(static_cast<size_t>(n));
        if (target.empty()) return ENOENT;
        name = target.front() == '/' ? target : FolderOf(name) + "/" + target;
    }
    return ELOOP;
}

// A short random name: whatever the target is called, the temporary file's name fits.
std::string TempName() {
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        bits = static_cast<uint64_t>(now) * 0x9E3779B97F4A7C15ull ^
               (static_cast<uint64_t>(::getpid()) << 32) ^ counter.fetch_add(1);
    }
    constexpr std::string_view kDigits = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".vex";
    for (int k = 0; k < 8; ++k) {
        name.push_back(kDigits[bits % kDigits.size()]);
        bits /= kDigits.size();
    }
    return name + ".tmp";
}

// Removes the temporary file unless it was put in place, also when an exception leaves.
class TempFile {
  public:
    TempFile() = default;
    ~TempFile() {
        fd.Close();
        if (!path.empty()) ::unlink(path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    void Kept() { path.clear(); }

    Fd fd;
    std::string path;
};

// 0, or the errno value; on success `temp` holds the open file.
int CreateTemp(const std::string& folder, mode_t mode, TempFile& temp, const FaultHooks* faults) {
    if (const int error = Fault(faults, "temp")) return error;
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        const std::string path = folder + "/" + TempName();
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp.fd.Reset(fd);
            temp.path = path;
            return 0;
        }
        if (errno != EEXIST && errno != EINTR) return errno;
    }
    return EEXIST;
}

size_t PiecesLength(std::initializer_list<std::u16string_view> pieces) {
    size_t n = 0;
    for (std::u16string_view piece : pieces)
        n += Utf8Length(piece);
    return n;
}

constexpr int kFifoReaderTries = 100;

// Writes straight into what is there: a device, a FIFO, a terminal.
int WriteDirect(const std::string& name, std::initializer_list<std::u16string_view> pieces,
                WriteMode mode, const FaultHooks* faults) {
    const int flags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK |
                      (mode == WriteMode::Append ? O_APPEND : O_TRUNC);
    // A FIFO without a reader would hold the open for ever: it gets a second to find one.
    Fd fd(::open(name.c_str(), flags));
    for (int tries = 0; !fd.ok() && errno == ENXIO && tries < kFifoReaderTries; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        fd.Reset(::open(name.c_str(), flags));
    }
    if (!fd.ok()) return errno;
    // Once open, writes wait for the reader as usual.
    const int status = ::fcntl(fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) return errno;
    if (const int error = WritePieces(fd.get(), pieces, faults)) return error;
    return fd.Close();
}

// The folder refused a new file: the file is rewritten where it is. Its room is
// claimed first, so a full disk fails before the old text is touched.
int WriteInPlace(const std::string& name, const struct stat& st,
                 std::initializer_list<std::u16string_view> pieces, WriteMode mode,
                 const FaultHooks* faults) {
    Fd fd(::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.ok()) return errno;
    const off_t start = mode == WriteMode::Append ? st.st_size : 0;
    const off_t end = start + static_cast<off_t>(PiecesLength(pieces));
    if (end > st.st_size) {
        const int error = ::posix_fallocate(fd.get(), 0, end);
        if (error != 0 && error != EOPNOTSUPP && error != EINVAL) return error;
    }
    if (::lseek(fd.get(), start, SEEK_SET) < 0) return errno;
    int error = WritePieces(fd.get(), pieces, faults);
    if (error == 0 && ::ftruncate(fd.get(), end) != 0) error = errno;
    if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
    // An append that failed takes back what it added.
    if (error != 0 && mode == WriteMode::Append) (void)::ftruncate(fd.get(), st.st_size);
    const int closed = fd.Close();
    return error != 0 ? error : closed;
}

void SyncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.ok()) (void)::fsync(dir.get());
}

bool IsStreamName(const std::string& path) {
    return path.starts_with("/dev/") || path.starts_with("/proc/");
}

// 0 when the file at path (as asked, and the name finally written) may be replaced: it
// is none of the program's own files and, when it exists, the user may write the file
// itself. The rename would replace a file that only its folder lets us touch.
int MayWrite(const std::string& path, const std::string& name, bool exists,
             const FaultHooks* faults) {
    if (IsProtectedFile(path) || IsProtectedFile(name)) return EPERM;
    if (!exists) return 0;
    if (const int error = Fault(faults, "access")) return error;
    if (::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0) return errno;
    return 0;
}

} // namespace

std::string WriteErrorText(const std::string& path, int error) {
    if (error == EPERM && IsProtectedFile(path)) return "it is one of the program's own files";
    if (error == EISDIR) return "it is a folder";
    return std::strerror(error);
}

size_t Utf8Length(std::u16string_view text) {
    size_t n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0x80) {
            n += 1;
        } else if (c < 0x800) {
            n += 2;
        } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                   text[i + 1] <= 0xDFFF) {
            n += 4;
            ++i;
        } else {
            n += 3;
        }
    }
    return n;
}

bool ForEachUtf8Piece(std::u16string_view text, const std::function<bool(std::string_view)>& sink) {
    while (!text.empty()) {
        size_t n = std::min(text.size(), kPieceChars);
        const char16_t last = text[n - 1];
        if (n < text.size() && last >= 0xD800 && last <= 0xDBFF) --n;
        if (!sink(zorbit::Utf16ToUtf8(text.substr(0, n)))) return false;
        text.remove_prefix(n);
    }
    return true;
}

namespace {

// Puts new content in place of the regular file name (or creates it): fill writes it
// into a temporary file beside it, which is synced and renamed over the name. A new
// file gets the usual bits (the umask applies); a replaced one gets its old bits once
// the content is in, and is private to its writer until then. *createError tells
// whether the temporary file could not even be made.
int ReplaceThroughTemp(const std::string& name, const struct stat& st, bool exists,
                       const std::function<int(int fd)>& fill, const FaultHooks* faults,
                       int* createError) {
    const std::string folder = FolderOf(name);
    TempFile temp;
    if (const int error = CreateTemp(folder, exists ? 0600 : 0666, temp, faults)) {
        *createError = error;
        return error;
    }
    if (const int error = fill(temp.fd.get())) return error;
    if (exists) {
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)::fchown(temp.fd.get(), st.st_uid, st.st_gid);
        (void)::fchmod(temp.fd.get(), st.st_mode & 07777);
    }
    if (::fsync(temp.fd.get()) != 0) return errno;
    if (const int error = temp.fd.Close()) return error;
    if (const int error = Fault(faults, "rename")) return error;
    if (::rename(temp.path.c_str(), name.c_str()) != 0) return errno;
    temp.Kept();
    SyncFolder(folder);
    return 0;
}

} // namespace

int WriteTextFile(const std::string& path, std::initializer_list<std::u16string_view> pieces,
                  WriteMode mode, const FaultHooks* faults) {
    if (path.empty()) return ENOENT;
    // /proc/self/root/... reaches every file: such a name is checked like any other.
    const bool regularOnly = mode == WriteMode::ReplaceRegular;
    if (IsStreamName(path))
        return IsProtectedFile(path) ? EPERM
               : regularOnly         ? EINVAL
                                     : WriteDirect(path, pieces, mode, faults);
    std::string name;
    struct stat st {};
    bool exists = false;
    if (const int error = FinalName(path, name, st, exists)) return error;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    if (exists && !S_ISREG(st.st_mode))
        return regularOnly ? EINVAL : WriteDirect(name, pieces, mode, faults);
    if (const int error = MayWrite(path, name, exists, faults)) return error;

    int createError = 0;
    const int error = ReplaceThroughTemp(
        name, st, exists,
        [&](int fd) {
            if (exists && mode == WriteMode::Append) {
                Fd old(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
                if (!old.ok()) return errno;
                if (const int copied = CopyRest(old.get(), fd)) return copied;
            }
            return WritePieces(fd, pieces, faults);
        },
        faults, &createError);
    const bool folderRefuses =
        createError == EACCES || createError == EPERM || createError == EROFS;
    if (folderRefuses && exists) return WriteInPlace(name, st, pieces, mode, faults);
    return error;
}

int ReplaceFileBytes(const std::string& path, std::string_view bytes, const FaultHooks* faults) {
    if (path.empty()) return ENOENT;
    std::string name;
    struct stat st {};
    bool exists = false;
    if (const int error = FinalName(path, name, st, exists)) return error;
    if (exists && S_ISDIR(st.st_mode)) return EISDIR;
    if (exists && !S_ISREG(st.st_mode)) return EINVAL;
    if (const int error = MayWrite(path, name, exists, faults)) return error;
    int createError = 0;
    return ReplaceThroughTemp(
        name, st, exists,
        [&](int fd) {
            if (const int error = Fault(faults, "write")) return error;
            return WriteAll(fd, bytes);
        },
        faults, &createError);
}

} // namespace vex
