#include "FileWriter.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

std::string Message(const char* what, const std::string& path, int err) {
    return std::string(what) + " \"" + path + "\": " + std::strerror(err);
}

// Past the file-size limit the kernel would kill the process; ignored, the
// write fails with EFBIG like any other full disk.
void IgnoreFileSizeSignal() {
    static const bool once = [] {
        struct sigaction current {};
        if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            std::signal(SIGXFSZ, SIG_IGN);
        }
        return true;
    }();
    (void)once;
}

// The file a chain of symbolic links ends at (which need not exist yet), so
// that the link stays and its target receives the contents.
bool FollowLinks(const std::string& path, std::string& target, int& err) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return true;
        }
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            err = errno;
            return false;
        }
        link.resize(static_cast<size_t>(n));
        const size_t slash = target.rfind('/');
        target = link[0] == '/' || slash == std::string::npos ? link : target.substr(0, slash + 1) + link;
    }
    err = ELOOP;
    return false;
}

bool WriteAll(int fd, const std::string& text, int& err) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

bool FitsFileSizeLimit(size_t size) {
    rlimit limit{};
    return getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
           static_cast<rlim_t>(size) <= limit.rlim_cur;
}

// Into a device or a FIFO: the node stays, whatever reads it gets the text.
bool WriteIntoNode(const std::string& path, const std::string& target, const std::string& text,
                   std::string& error) {
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    int err = 0;
    if (fd < 0 || !WriteAll(fd, text, err)) {
        error = Message("Cannot write", path, fd < 0 ? errno : err);
        if (fd >= 0) {
            close(fd);
        }
        return false;
    }
    if (close(fd) != 0) {
        error = Message("Cannot write", path, errno);
        return false;
    }
    return true;
}

// Overwrites an existing file where it is (hard links, a folder the program
// may not create files in). The room is claimed before the old contents are
// touched, so a full disk or the size limit still leaves them whole.
bool WriteInPlace(const std::string& path, const std::string& target, const std::string& text,
                  std::string& error) {
    if (!FitsFileSizeLimit(text.size())) {
        error = Message("Cannot write", path, EFBIG);
        return false;
    }
    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Message("Cannot write", path, errno);
        return false;
    }
    int err = 0;
    if (!text.empty() && fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(text.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        err = errno;
    }
    if (err == 0 && WriteAll(fd, text, err) &&
        (ftruncate(fd, static_cast<off_t>(text.size())) != 0 || fsync(fd) != 0)) {
        err = errno;
    }
    if (close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (err != 0) {
        error = Message("Cannot write", path, err);
        return false;
    }
    return true;
}

// A new file beside the target renamed over it: a failed write leaves the
// old file as it was. `old` (null for a new file) gives the mode and owner.
// `fallBack` tells the caller to write in place instead.
bool WriteByRename(const std::string& path, const std::string& target, const struct stat* old,
                   const std::string& text, std::string& error, bool& fallBack) {
    fallBack = false;
    std::string temp = target + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        // A writable file in a folder we may not add files to.
        fallBack = old && errno == EACCES;
        error = Message("Cannot create", path, errno);
        return false;
    }
    int err = 0;
    if (old) {
        if ((old->st_uid != geteuid() || old->st_gid != getegid()) && fchown(fd, old->st_uid, old->st_gid) != 0) {
            // The replacement would change hands: keep the file itself.
            fallBack = true;
        } else if (fchmod(fd, old->st_mode & 07777) != 0) {
            err = errno;
        }
    } else {
        // mkstemp creates 0600; give the file the permissions a plain create would.
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(fd, 0666 & ~mask) != 0) {
            err = errno;
        }
    }
    if (!fallBack && err == 0 && WriteAll(fd, text, err) && fsync(fd) != 0) {
        err = errno;
    }
    if (close(fd) != 0 && err == 0) {
        err = errno;
    }
    if (!fallBack && err == 0 && std::rename(temp.c_str(), target.c_str()) != 0) {
        err = errno;
    }
    if (fallBack || err != 0) {
        unlink(temp.c_str());
        if (err != 0) {
            error = Message("Cannot write", path, err);
        }
        return false;
    }
    return true;
}

}  // namespace

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    IgnoreFileSizeSignal();
    std::string target;
    int err = ENOENT;
    if (path.empty() || !FollowLinks(path, target, err)) {
        error = Message("Cannot write", path, err);
        return false;
    }
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            error = Message("Cannot write", path, errno);
            return false;
        }
        bool fallBack = false;
        return WriteByRename(path, target, nullptr, text, error, fallBack);
    }
    if (S_ISDIR(st.st_mode)) {
        error = Message("Cannot write", path, EISDIR);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        return WriteIntoNode(path, target, text, error);
    }
    // Refused like a plain open would; a file without any write permission
    // is read-only for the superuser too.
    const int denied = faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0 ? errno
                       : (st.st_mode & 0222) == 0                                 ? EACCES
                                                                                  : 0;
    if (denied != 0) {
        error = Message("Cannot write", path, denied);
        return false;
    }
    if (st.st_nlink > 1) {
        return WriteInPlace(path, target, text, error);
    }
    bool fallBack = false;
    if (WriteByRename(path, target, &st, text, error, fallBack)) {
        return true;
    }
    return fallBack && WriteInPlace(path, target, text, error);
}

bool ReadTextFile(const std::string& path, std::string& text, std::string& error) {
    text.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "Cannot open \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    // Sized at once: grown by doubling, a large file would be copied over
    // and over while it is read.
    struct stat st {};
    if (fstat(fileno(f), &st) == 0 && st.st_size > 0) {
        text.reserve(static_cast<size_t>(st.st_size));
    }
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        text.append(buffer, n);
    }
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) {
        error = "Cannot read \"" + path + "\": " + std::strerror(err);
        text.clear();
        return false;
    }
    return true;
}
