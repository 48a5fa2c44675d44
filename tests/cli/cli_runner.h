// Runs the sundrel program in a scratch folder and captures what it says.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sundrel::test {

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs sundrel with args in folder, English texts, no terminal.
RunResult RunSundrel(const std::string& folder, const std::vector<std::string>& args);
// Starts it without waiting; the caller ends it with WaitSundrel.
pid_t StartSundrel(const std::string& folder, const std::vector<std::string>& args);
int WaitSundrel(pid_t pid);

// A fresh empty folder below the system's temporary folder, removed by the
// destructor.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// Bytes that differ in every block, from a seed.
std::string SampleBytes(size_t size, uint32_t seed);
// File names in folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder);

}  // namespace sundrel::test
