// tavik-forecast run as a user runs it, in a scratch folder of its own, judged by its exit status, output and
// files. Shared by the command-line tests and the bad-input suite.
#pragma once

#include "../TestSupport.h" // by its own folder: the bad-input suite searches tests/cli only

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavik::program {

namespace fs = std::filesystem;

using test::Contains, test::ReadBytes;

inline void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Copies of the example's low satellite named "SAT 0", "SAT 1"...: a batch or a list long enough to stop or report.
inline std::string CopiesOfTheLowSatellite(int count)
{
    const std::string tle = ReadBytes(TAVIK_EXAMPLES "/example.tle");
    const std::string lines = tle.substr(tle.find('\n'), tle.find("TAVIK-SSO") - tle.find('\n'));
    std::string many;
    for (int i = 0; i < count; ++i) many += "SAT " + std::to_string(i) + lines;
    return many;
}

enum class Output { Pipe, FullDevice, ClosedPipe }; // standard output: read, /dev/full, or its reader gone ("| head")

struct Outcome { int Status = -1; std::string Out, Err; }; // Status: the exit status or 128 + the ending signal

// One run and what it must give. "{root}" anywhere stands for the scratch folder, whose "work" is the
// working folder and "home" the home folder.
struct Invocation {
    const char* Name;
    std::vector<std::string> Args;
    int Status = 0;
    std::vector<std::string> OutHas = {}, ErrHas = {}; // no ErrHas: standard error stays empty
    // After the run: a file under the root and a part of its bytes ("!x": it does not hold x; "^x": it begins so).
    std::vector<std::pair<std::string, std::string>> Files = {};
    // Made before, under the root: "<dir>" a folder, "<pipe>" a named pipe.
    std::map<std::string, std::string> Before = {};
    // The bad input changed nothing: no file changed, new (not even temporary) or announced; without OutHas no output.
    bool Unchanged = false;
    Output To = Output::Pipe;
    std::string Stdin = {}, Shell = {}; // Shell: run as bash -c Shell, $0 the program, "$@" the arguments
    std::vector<std::pair<std::string, std::string>> Env = {};
};

inline void PrintTo(const Invocation& c, std::ostream* os) { *os << c.Name; }

class Scene {
public:
    Scene()
    {
        std::string pattern = (fs::temp_directory_path() / "tavik-program-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data()) ? pattern : "/nonexistent";
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "home" / ".config");
    }
    ~Scene() { std::error_code ignored; fs::remove_all(root_, ignored); }
    const fs::path& Root() const { return root_; }
    std::string Expand(std::string text) const
    {
        for (std::size_t at = text.find("{root}"); at != std::string::npos; at = text.find("{root}", at))
            text.replace(at, 6, root_.string());
        return text;
    }

    // Runs the program in the working folder, in the C locale unless Env says otherwise; during(pid) meanwhile.
    Outcome Run(const Invocation& c, const std::function<void(pid_t)>& during = {}) const
    {
        std::string program = TAVIK_FORECAST_EXE;
        std::vector<std::string> args;
        for (const std::string& a : c.Args) args.push_back(Expand(a));
        if (!c.Shell.empty()) {
            args.insert(args.begin(), {"-c", Expand(c.Shell), program});
            program = "/bin/bash";
        }
        int out[2], in[2];
        if (::pipe(out) != 0 || ::pipe(in) != 0) ADD_FAILURE() << "no pipe";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("LC_ALL", "C", 1);
            ::setenv("HOME", (root_ / "home").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (root_ / "home" / ".config").c_str(), 1);
            for (const auto& [name, value] : c.Env) ::setenv(name.c_str(), Expand(value).c_str(), 1);
            const int o = c.To == Output::FullDevice ? ::open("/dev/full", O_WRONLY) : out[1];
            const int e = ::open((root_ / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::close(out[0]); // for a closed pipe, no reader is left at all
            ::close(in[1]);
            if (::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 || ::dup2(in[0], 0) < 0 || ::chdir((root_ / "work").c_str()) != 0)
                ::_exit(127);
            std::vector<char*> argv{program.data()};
            for (std::string& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        EXPECT_EQ(::write(in[1], c.Stdin.data(), c.Stdin.size()), static_cast<ssize_t>(c.Stdin.size())) << "stdin";
        ::close(in[1]);
        if (c.To == Output::ClosedPipe) ::close(out[0]);
        if (during) during(pid);
        Outcome r;
        char buffer[4096];
        for (ssize_t n; c.To != Output::ClosedPipe && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
            r.Out.append(buffer, static_cast<std::size_t>(n));
        if (c.To != Output::ClosedPipe) ::close(out[0]);
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid)
            r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.Err = ReadBytes(root_ / "stderr");
        return r;
    }

private:
    fs::path root_;
};

// Each file under the folder with its kind, device number and bytes.
inline std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        struct stat info {};
        if (::lstat(entry.path().c_str(), &info) != 0 || entry.path().filename() == "stderr") continue;
        files[entry.path().string()] = std::to_string(info.st_mode) + " " + std::to_string(info.st_rdev) + " "
                                       + (S_ISREG(info.st_mode) ? ReadBytes(entry.path()) : "");
    }
    return files;
}

// Makes what the case needs, runs it and checks all it expects.
inline void RunAndCheck(const Invocation& c)
{
    Scene scene;
    for (const auto& [name, bytes] : c.Before) {
        const fs::path path = scene.Root() / name;
        fs::create_directories(path.parent_path());
        if (bytes == "<dir>") fs::create_directory(path);
        else if (bytes == "<pipe>") ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        else WriteBytes(path, scene.Expand(bytes));
    }
    const std::map<std::string, std::string> before = Snapshot(scene.Root());
    const Outcome r = scene.Run(c);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    EXPECT_TRUE(!c.ErrHas.empty() || r.Err.empty()) << r.Err;
    for (const std::string& part : c.ErrHas)
        EXPECT_TRUE(Contains(r.Err, scene.Expand(part))) << part << " in: " << r.Err;
    for (const std::string& part : c.OutHas)
        EXPECT_TRUE(Contains(r.Out, scene.Expand(part))) << part << " in: " << r.Out.substr(0, 2000);
    for (const auto& [name, part] : c.Files) {
        const std::string bytes = ReadBytes(scene.Root() / name);
        EXPECT_FALSE(bytes.empty()) << name;
        if (part[0] == '!') EXPECT_FALSE(Contains(bytes, part.substr(1))) << name << " holds " << part.substr(1);
        else if (part[0] == '^') EXPECT_EQ(bytes.rfind(part.substr(1), 0), 0u) << name << " begins otherwise";
        else EXPECT_TRUE(Contains(bytes, scene.Expand(part))) << name << " lacks " << part;
    }
    // What the program has to say, it says once, each thing in one line after its name.
    std::set<std::string> said;
    for (std::size_t from = 0, to; from < r.Err.size(); from = to + 1) {
        to = std::min(r.Err.find('\n', from), r.Err.size());
        const std::string line = r.Err.substr(from, to - from);
        EXPECT_EQ(line.rfind("tavik-forecast: ", 0), 0u) << line;
        EXPECT_TRUE(said.insert(line).second) << "said twice: " << line;
    }
    if (!c.Unchanged) return;
    EXPECT_FALSE(Contains(r.Out, "has been written")) << r.Out;
    EXPECT_TRUE(!c.OutHas.empty() || r.Out.empty()) << "no run starts: " << r.Out.substr(0, 200);
    EXPECT_EQ(Snapshot(scene.Root()), before) << "a file is new, changed or gone";
}

} // namespace tavik::program

// A table of runs of the program, one test per row named after it.
#define TAVIK_PROGRAM_TABLE(Suite, Test, ...)                                                                          \
    class Suite : public ::testing::TestWithParam<::tavik::program::Invocation> {};                                   \
    TEST_P(Suite, Test) { ::tavik::program::RunAndCheck(GetParam()); }                                                \
    INSTANTIATE_TEST_SUITE_P(Table, Suite, ::testing::Values(__VA_ARGS__),                                            \
                             [](const auto& info) { return std::string(info.param.Name); })
