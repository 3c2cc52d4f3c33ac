#include "plot/file_replace.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

namespace vex {
namespace {

// A symlink chain longer than this is a loop, as the kernel counts it.
constexpr int kMaxLinks = 40;
// Unique names collide only when something else keeps creating them.
constexpr int kTempAttempts = 100;

std::string Reason(int error) {
    return std::strerror(error);
}

int Fault(const ReplaceFault* fault, std::string_view step) {
    return fault != nullptr && fault->step == step ? fault->error : 0;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symlinks to the name that is really written. exists tells whether a file is
// there; st describes it then.
int FinalName(const std::string& path, std::string& name, struct stat& st, bool& exists) {
    name = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
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

std::string TempName() {
    static std::atomic<uint64_t> counter{0};
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        bits = static_cast<uint64_t>(now) * 0x9E3779B97F4A7C15ull ^
               (static_cast<uint64_t>(::getpid()) << 32) ^ counter.fetch_add(1);
    }
    constexpr std::string_view kDigits = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".tmp-";
    for (int k = 0; k < 6; ++k) {
        name.push_back(kDigits[bits % kDigits.size()]);
        bits /= kDigits.size();
    }
    return name;
}

// The temporary file is removed unless it was put in place, also when an exception
// leaves.
class TempFile {
  public:
    TempFile() = default;
    ~TempFile() {
        Close();
        if (!path.empty()) ::unlink(path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int Close() {
        if (fd < 0) return 0;
        const int result = ::close(fd) == 0 ? 0 : errno;
        fd = -1;
        return result;
    }
    void Kept() { path.clear(); }

    int fd = -1;
    std::string path;
};

int CreateTemp(const std::string& folder, mode_t mode, TempFile& temp, const ReplaceFault* fault) {
    if (const int error = Fault(fault, "temp")) return error;
    for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
        std::string path = folder + "/" + TempName();
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp.fd = fd;
            temp.path = std::move(path);
            return 0;
        }
        if (errno != EEXIST && errno != EINTR) return errno;
    }
    return EEXIST;
}

int WriteAll(int fd, std::string_view bytes, const ReplaceFault* fault) {
    if (const int error = Fault(fault, "write")) return error;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         const ReplaceFault* fault) {
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    std::string name;
    struct stat st {};
    bool exists = false;
    if (const int e = FinalName(path, name, st, exists)) {
        error = "cannot write " + path + ": " + Reason(e);
        return false;
    }
    if (exists && S_ISDIR(st.st_mode)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        error = "cannot write " + path + ": not a regular file";
        return false;
    }

    const std::string folder = FolderOf(name);
    TempFile temp;
    // A new file gets the usual bits (the umask applies); a replaced one gets its old
    // bits once complete, and is private to its writer until then.
    if (const int e = CreateTemp(folder, exists ? 0600 : 0666, temp, fault)) {
        error = "cannot create a file in " + folder + ": " + Reason(e);
        return false;
    }
    int e = WriteAll(temp.fd, bytes, fault);
    if (e == 0 && exists) {
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid())
            (void)::fchown(temp.fd, st.st_uid, st.st_gid);
        (void)::fchmod(temp.fd, st.st_mode & 07777);
    }
    if (e == 0 && ::fsync(temp.fd) != 0) e = errno;
    if (const int closed = temp.Close(); e == 0) e = closed;
    if (e != 0) {
        error = "cannot write " + path + ": " + Reason(e);
        return false;
    }
    e = Fault(fault, "rename");
    if (e == 0 && ::rename(temp.path.c_str(), name.c_str()) != 0) e = errno;
    if (e != 0) {
        error = "cannot replace " + path + ": " + Reason(e);
        return false;
    }
    temp.Kept();
    return true;
}

} // namespace vex
