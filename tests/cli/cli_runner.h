// Runs the sundrel program in a scratch folder and captures what it says.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace sundrel::test {

struct RunResult {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs sundrel with args in folder, English texts, no terminal. Every
// document it prints with --json is kept, and all of them are checked
// against docs/sundrel-json.schema.json when the test program ends.
RunResult RunSundrel(const std::string& folder, const std::vector<std::string>& args);

struct RunSetting {
    std::vector<std::string> env;   // "NAME=value", after LC_ALL=C
    std::string stdoutPath;         // empty: captured
};
RunResult RunSundrelWith(const std::string& folder, const std::vector<std::string>& args,
                         const RunSetting& setting);
// Starts it without waiting; the caller ends it with WaitSundrel.
pid_t StartSundrel(const std::string& folder, const std::vector<std::string>& args,
                   const std::vector<std::string>& env = {});
// Its exit code, or 128 + the signal that ended it; -1 (after killing it)
// when it has not ended within the timeout.
int WaitSundrel(pid_t pid, int timeoutSeconds = 120);

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
// Every file of folder with its bytes, sorted by name.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::string& folder);
// The lines of text, without their ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace sundrel::test
