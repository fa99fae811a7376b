#include "GraphvizRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "DotExport.h"
#include "TarnwickDoc.h"

extern char** environ;

namespace {

// A file in the temporary folder, removed with this object.
class TempFile {
public:
    TempFile() {
        const char* dir = std::getenv("TMPDIR");
        std::string templ = std::string(dir && *dir ? dir : "/tmp") + "/tarnwick-layout-XXXXXX";
        const int fd = mkstemp(templ.data());
        if (fd >= 0) {
            close(fd);
            m_path = templ;
        }
    }
    ~TempFile() {
        if (!m_path.empty()) {
            unlink(m_path.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return m_path; }
    std::string Read() const {
        std::ifstream in(m_path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string m_path;
};

}  // namespace

bool RunGraphviz(const std::string& engine, const std::string& dot, std::string& plain, std::string& error) {
    TempFile in, out, err;
    if (in.Path().empty() || out.Path().empty() || err.Path().empty()) {
        error = std::string("cannot create a temporary file for Graphviz: ") + std::strerror(errno);
        return false;
    }
    if (!(std::ofstream(in.Path(), std::ios::binary) << dot)) {
        error = "cannot write the graph for Graphviz to " + in.Path();
        return false;
    }
    std::vector<std::string> args{kGraphvizProgram};
    for (const std::string& a : GraphvizArguments(engine)) {
        args.push_back(a);
    }
    args.insert(args.end(), {"-o", out.Path(), in.Path()});
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, err.Path().c_str(), O_WRONLY | O_TRUNC, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, kGraphvizProgram, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        error = GraphvizNotFound(std::strerror(spawned));
        return false;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFSIGNALED(status)) {
        error = GraphvizFailure(engine, "was killed by signal " + std::to_string(WTERMSIG(status)), err.Read());
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        error = GraphvizFailure(engine, "failed with exit status " + std::to_string(WEXITSTATUS(status)), err.Read());
        return false;
    }
    plain = out.Read();
    return true;
}

bool LayOutStartupPathway(CTarnwickDoc& doc, const std::string& engine, LayoutPlacement& placement,
                          std::string& error) {
    if (!doc.BuildStartupPathway()) {
        error = doc.GetDataError();
        return false;
    }
    const std::string chosen = engine == "auto" ? DefaultLayoutEngine(doc.m_pGraph->m_circle_count - 1) : engine;
    std::string plain;
    return RunGraphviz(chosen, FormatDotGraph(*doc.m_pGraph), plain, error) &&
           ApplyPlainLayout(*doc.m_pGraph, plain, placement, error);
}
