#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <future>

#include "FileWriter.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    chmod(path.c_str(), mode);
}

struct stat Lstat(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st;
}

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        names.insert(e.path().lexically_relative(dir).string());
    }
    return names;
}

const std::string kOld = "old contents, longer than the new ones\r\n";
const std::string kNew = "new\r\n";
const std::string kSkip = "(not possible here)";

struct Case {
    const char* what;
    // Makes the files in `dir` and returns the path to write to, or kSkip.
    std::function<std::string(const std::string& dir)> prepare;
    const char* refusedWith;  // null: the write succeeds
    // What must hold afterwards (paths relative to `dir`).
    std::function<void(const std::string& dir)> check;
    std::string text = kNew;
    rlim_t sizeLimit = RLIM_INFINITY;
    std::set<std::string> created{};  // files the write may add
};

TEST(FileWriter, WritesWhatThePathNames) {
    const mode_t oldMask = umask(022);
    const std::string big(5000, 'x');
    std::future<std::string> fifoRead;
    const std::vector<Case> cases = {
        {"a new file, created as a plain create would",
         [](const std::string& d) { return d + "/new.bb"; }, nullptr,
         [](const std::string& d) {
             EXPECT_EQ(Read(d + "/new.bb"), kNew);
             EXPECT_EQ(Lstat(d + "/new.bb").st_mode & 07777, 0644u);
         },
         kNew, RLIM_INFINITY, {"new.bb"}},
        {"a file keeps its permissions",
         [](const std::string& d) {
             Write(d + "/p.bb", kOld, 0600);
             return d + "/p.bb";
         },
         nullptr,
         [](const std::string& d) {
             EXPECT_EQ(Read(d + "/p.bb"), kNew);
             EXPECT_EQ(Lstat(d + "/p.bb").st_mode & 07777, 0600u);
         }},
        {"links are followed, relative to their folder, and stay links",
         [](const std::string& d) {
             fs::create_directory(d + "/sub");
             Write(d + "/sub/t.bb", kOld);
             fs::create_symlink("t.bb", d + "/sub/l2");
             fs::create_symlink("sub/l2", d + "/l1");
             return d + "/l1";
         },
         nullptr,
         [](const std::string& d) {
             EXPECT_TRUE(S_ISLNK(Lstat(d + "/l1").st_mode));
             EXPECT_TRUE(S_ISLNK(Lstat(d + "/sub/l2").st_mode));
             EXPECT_EQ(Read(d + "/sub/t.bb"), kNew);
         }},
        {"a dangling link creates its target",
         [](const std::string& d) {
             fs::create_symlink(d + "/target.bb", d + "/l");
             return d + "/l";
         },
         nullptr,
         [](const std::string& d) {
             EXPECT_TRUE(S_ISLNK(Lstat(d + "/l").st_mode));
             EXPECT_EQ(Read(d + "/target.bb"), kNew);
         },
         kNew, RLIM_INFINITY, {"target.bb"}},
        {"a read-only file is refused, also for the superuser",
         [](const std::string& d) {
             Write(d + "/ro.bb", kOld, 0444);
             return d + "/ro.bb";
         },
         "Permission denied", [](const std::string& d) { EXPECT_EQ(Read(d + "/ro.bb"), kOld); }},
        {"hard links are written in place",
         [](const std::string& d) {
             Write(d + "/a.bb", kOld);
             fs::create_hard_link(d + "/a.bb", d + "/b.bb");
             return d + "/a.bb";
         },
         nullptr,
         [](const std::string& d) {
             EXPECT_EQ(Read(d + "/b.bb"), kNew);
             EXPECT_EQ(Lstat(d + "/a.bb").st_ino, Lstat(d + "/b.bb").st_ino);
         }},
        {"a writable file in a folder that is not is written in place",
         [](const std::string& d) {
             Write(d + "/w.bb", kOld, 0666);
             chmod(d.c_str(), 0555);
             return d + "/w.bb";
         },
         nullptr,
         [](const std::string& d) {
             chmod(d.c_str(), 0700);
             EXPECT_EQ(Read(d + "/w.bb"), kNew);
         }},
        {"a device is written into, not replaced",
         [](const std::string& d) {
             return mknod((d + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ? d + "/null" : kSkip;
         },
         nullptr,
         [](const std::string& d) {
             const struct stat st = Lstat(d + "/null");
             EXPECT_TRUE(S_ISCHR(st.st_mode));
             EXPECT_EQ(st.st_rdev, makedev(1, 3));
         }},
        {"a FIFO is written into, not replaced",
         [&fifoRead](const std::string& d) {
             const std::string fifo = d + "/pipe";
             mkfifo(fifo.c_str(), 0600);
             fifoRead = std::async(std::launch::async, [fifo] { return Read(fifo); });
             return fifo;
         },
         nullptr,
         [&fifoRead](const std::string& d) {
             EXPECT_EQ(fifoRead.get(), kNew);
             EXPECT_TRUE(S_ISFIFO(Lstat(d + "/pipe").st_mode));
         }},
        {"a folder is refused", [](const std::string& d) { return d; }, "Is a directory",
         [](const std::string&) {}},
        {"an empty path is refused", [](const std::string&) { return std::string(""); }, "No such file",
         [](const std::string&) {}},
        {"a missing folder is refused", [](const std::string& d) { return d + "/no/x.bb"; },
         "No such file or directory", [](const std::string&) {}},
        {"the file-size limit leaves the old contents",
         [](const std::string& d) {
             Write(d + "/f.bb", kOld);
             return d + "/f.bb";
         },
         "File too large", [](const std::string& d) { EXPECT_EQ(Read(d + "/f.bb"), kOld); }, big, 1000},
        {"the file-size limit leaves hard-linked contents too",
         [](const std::string& d) {
             Write(d + "/a.bb", kOld);
             fs::create_hard_link(d + "/a.bb", d + "/b.bb");
             return d + "/a.bb";
         },
         "File too large", [](const std::string& d) { EXPECT_EQ(Read(d + "/b.bb"), kOld); }, big, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char templ[] = "/tmp/tarnwick-writer-XXXXXX";
        ASSERT_NE(mkdtemp(templ), nullptr);
        const std::string dir = templ;
        const std::string path = c.prepare(dir);
        if (path != kSkip) {
            std::set<std::string> expected = Listing(dir);
            expected.insert(c.created.begin(), c.created.end());
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limited = saved;
            limited.rlim_cur = c.sizeLimit;
            setrlimit(RLIMIT_FSIZE, &limited);
            std::string error;
            const bool written = WriteTextFile(path, c.text, error);
            setrlimit(RLIMIT_FSIZE, &saved);
            if (c.refusedWith) {
                EXPECT_FALSE(written);
                EXPECT_NE(error.find("\"" + path + "\""), std::string::npos) << error;
                EXPECT_NE(error.find(c.refusedWith), std::string::npos) << error;
            } else {
                EXPECT_TRUE(written) << error;
            }
            c.check(dir);
            EXPECT_EQ(Listing(dir), expected) << "no temporary file is left";
        }
        fs::remove_all(dir);
    }
    umask(oldMask);
}

}  // namespace
