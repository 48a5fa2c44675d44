#include "cli_runner.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace sundrel::test {

namespace {

pid_t Spawn(const std::string& folder, const std::vector<std::string>& args,
            const std::string& outPath, const std::string& errPath,
            const std::vector<std::string>& env)
{
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(err, 2);
        setenv("LC_ALL", "C", 1);
        for (const std::string& setting : env)
            putenv(const_cast<char*>(setting.c_str()));
        std::vector<char*> argv = {const_cast<char*>(SUNDREL_PROGRAM)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(SUNDREL_PROGRAM, argv.data());
        _exit(127);
    }
    return pid;
}

std::string FileNameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}

std::string OutputPath(const std::string& folder, const char* what)
{
    return folder + "/../" + FileNameOf(folder) + what;
}

// The JSON documents of this test program, each in a file of its own, all
// checked against the schema at the end.
class JsonDocuments : public ::testing::Environment {
public:
    static JsonDocuments* Get()
    {
        static JsonDocuments* documents = [] {
            auto* created = new JsonDocuments;
            ::testing::AddGlobalTestEnvironment(created);
            return created;
        }();
        return documents;
    }

    void Keep(const std::string& document, const std::vector<std::string>& args)
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = folder_.path() + "/" + (test ? test->name() : "outside") + "-" +
                           std::to_string(files_.size() + 1) + ".json";
        WriteFile(name, document);
        std::string line;
        for (const std::string& arg : args)
            line += " " + arg;
        files_.push_back(name);
        commands_.push_back(line);
    }

    void TearDown() override
    {
        if (files_.empty())
            return;
        std::string command = "/usr/bin/python3 " SUNDREL_JSON_VALIDATOR " " SUNDREL_JSON_SCHEMA;
        for (const std::string& file : files_)
            command += " '" + file + "'";
        std::string report = folder_.path() + "/report.txt";
        int status = std::system((command + " >'" + report + "' 2>&1").c_str());
        EXPECT_EQ(status, 0) << "documents against the schema:\n" << ReadFile(report);
        for (size_t i = 0; status != 0 && i < files_.size(); ++i)
            if (ReadFile(report).find(files_[i]) != std::string::npos)
                ADD_FAILURE() << "sundrel" << commands_[i] << "\n" << ReadFile(files_[i]);
    }

private:
    ScratchFolder folder_;
    std::vector<std::string> files_, commands_;
};

}  // namespace

RunResult RunSundrelWith(const std::string& folder, const std::vector<std::string>& args,
                         const RunSetting& setting)
{
    std::string outPath = setting.stdoutPath.empty() ? OutputPath(folder, ".out") : setting.stdoutPath;
    std::string errPath = OutputPath(folder, ".err");
    int code = WaitSundrel(Spawn(folder, args, outPath, errPath, setting.env));
    RunResult run = {code, setting.stdoutPath.empty() ? ReadFile(outPath) : "", ReadFile(errPath)};
    if (setting.stdoutPath.empty())
        unlink(outPath.c_str());
    unlink(errPath.c_str());
    if (std::find(args.begin(), args.end(), "--json") != args.end() && setting.stdoutPath.empty())
        JsonDocuments::Get()->Keep(run.out, args);
    return run;
}

RunResult RunSundrel(const std::string& folder, const std::vector<std::string>& args)
{
    return RunSundrelWith(folder, args, RunSetting());
}

pid_t StartSundrel(const std::string& folder, const std::vector<std::string>& args,
                   const std::vector<std::string>& env)
{
    return Spawn(folder, args, "/dev/null", "/dev/null", env);
}

int WaitSundrel(pid_t pid, int timeoutSeconds)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            break;
        if (done < 0)
            return -1;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ScratchFolder::ScratchFolder()
{
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/sundrel-cli-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    path_ = mkdtemp(buffer.data());
}

ScratchFolder::~ScratchFolder()
{
    nftw(path_.c_str(), [](const char* path, const struct stat*, int, struct FTW*) {
        return remove(path);
    }, 16, FTW_DEPTH | FTW_PHYS);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SampleBytes(size_t size, uint32_t seed)
{
    std::string bytes(size, '\0');
    uint32_t x = seed * 2654435761u + 1;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x);
    }
    return bytes;
}

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (struct dirent* entry = readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..")
                names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::pair<std::string, std::string>> Snapshot(const std::string& folder)
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string& name : FilesIn(folder))
        files.emplace_back(name, ReadFile(folder + "/" + name));
    return files;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t pos = 0, end; (end = text.find('\n', pos)) != std::string::npos; pos = end + 1)
        lines.push_back(text.substr(pos, end - pos));
    return lines;
}

}  // namespace sundrel::test
