#include "common/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/translation.h"

namespace merlop {

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> tempCounter{0};

int writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

// A rename is only durable once the folder itself is on the disk.
void syncFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Writes a complete temporary file in `dir`; returns its path, or empty with *error set.
fs::path writeTemp(const fs::path& target, std::string_view bytes, const struct stat* keepMode,
                   int* error) {
    fs::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path temp = dir / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                               "." + std::to_string(tempCounter.fetch_add(1)) + ".tmp");
        // 0666 lets the umask decide, as for any file the user makes.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            *error = errno;
            return {};
        }
        int err = writeAll(fd, bytes);
        if (err == 0 && keepMode != nullptr && ::fchmod(fd, keepMode->st_mode & 07777) != 0) {
            err = errno;
        }
        if (err == 0 && ::fsync(fd) != 0) err = errno;
        if (::close(fd) != 0 && err == 0) err = errno;
        if (err != 0) {
            ::unlink(temp.c_str());
            *error = err;
            return {};
        }
        return temp;
    }
    *error = EEXIST;
    return {};
}

}  // namespace

fs::path linkTarget(const fs::path& path) {
    fs::path p = path;
    // More links than this is a loop; the kernel gives up at 40 too.
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
        const fs::path next = fs::read_symlink(p, ec);
        if (ec) return p;
        p = next.is_absolute() ? next : p.parent_path() / next;
    }
    return p;
}

int replaceFile(const fs::path& path, std::string_view bytes) {
    const fs::path target = linkTarget(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) return S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    // The rename would succeed on a file the user made read-only; honour what the mode says.
    if (exists && ::access(target.c_str(), W_OK) != 0) return errno;
    int error = 0;
    const fs::path temp = writeTemp(target, bytes, exists ? &st : nullptr, &error);
    if (temp.empty()) return error;
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        error = errno;
        ::unlink(temp.c_str());
        return error;
    }
    syncFolder(temp.parent_path());
    return 0;
}

int createFile(const fs::path& path, std::string_view bytes) {
    const fs::path target = linkTarget(path);
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) return EEXIST;
    int error = 0;
    const fs::path temp = writeTemp(target, bytes, nullptr, &error);
    if (temp.empty()) return error;
    // link() refuses to replace anything, which makes the creation one step.
    int result = ::link(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
    if (result == EPERM || result == ENOTSUP) {
        // A file system without hard links: the check above has to do.
        result = ::lstat(target.c_str(), &st) == 0             ? EEXIST
                 : ::rename(temp.c_str(), target.c_str()) == 0 ? 0
                                                               : errno;
    }
    ::unlink(temp.c_str());
    if (result == 0) syncFolder(temp.parent_path());
    return result;
}

std::string writeFailure(const fs::path& path, int error, bool translated) {
    static constexpr char kPattern[] = MERLOP_TR_NOOP("AtomicFile", "Cannot write %1: %2");
    return fill(translated ? translate("AtomicFile", kPattern) : std::string(kPattern),
                {path.string(), std::strerror(error != 0 ? error : EIO)});
}

}  // namespace merlop
