#include "cli_runner.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace sundrel::test {

namespace {

pid_t Spawn(const std::string& folder, const std::vector<std::string>& args,
            const std::string& outPath, const std::string& errPath)
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

}  // namespace

RunResult RunSundrel(const std::string& folder, const std::vector<std::string>& args)
{
    std::string outPath = OutputPath(folder, ".out"), errPath = OutputPath(folder, ".err");
    int code = WaitSundrel(Spawn(folder, args, outPath, errPath));
    RunResult run = {code, ReadFile(outPath), ReadFile(errPath)};
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return run;
}

pid_t StartSundrel(const std::string& folder, const std::vector<std::string>& args)
{
    return Spawn(folder, args, "/dev/null", "/dev/null");
}

int WaitSundrel(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return -1;
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

}  // namespace sundrel::test
