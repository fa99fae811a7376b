#include "FileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Reason(int err) { return std::strerror(err); }

}  // namespace

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
    std::string temp = path + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "Cannot create \"" + path + "\": " + Reason(errno);
        return false;
    }
    FILE* f = fdopen(fd, "wb");
    if (!f) {
        error = "Cannot write \"" + path + "\": " + Reason(errno);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    int err = written ? 0 : errno;
    if (std::fflush(f) != 0 && err == 0) {
        err = errno;
    }
    if (fsync(fileno(f)) != 0 && err == 0 && errno != EINVAL) {
        err = errno;
    }
    if (std::fclose(f) != 0 && err == 0) {
        err = errno;
    }
    if (!written || err != 0) {
        error = "Cannot write \"" + path + "\": " + Reason(err ? err : EIO);
        unlink(temp.c_str());
        return false;
    }
    // mkstemp creates 0600; give the file the permissions a plain create would.
    mode_t mask = umask(0);
    umask(mask);
    chmod(temp.c_str(), 0666 & ~mask);
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "Cannot create \"" + path + "\": " + Reason(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}
