#include "progress.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "platform.h"

namespace sundrel::cli {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);
// Bytes between two readings of the clock.
constexpr uint64_t kClockEvery = 256 * 1024;

uint64_t TestInterruptAfter()
{
    const char* value = std::getenv("SUNDREL_TEST_INTERRUPT_AFTER");
    return value ? std::strtoull(value, nullptr, 10) : 0;
}

}  // namespace

Progress::Progress(uint64_t total, bool quiet)
    : shown_(!quiet && StderrIsTerminal()), total_(total), interruptAfter_(TestInterruptAfter()),
      start_(std::chrono::steady_clock::now()), lastShown_(start_)
{
}

Progress::~Progress()
{
    if (shown_ && lastPercent_ >= 0)
        WriteStderr("\r\033[K");
}

bool Progress::BeforeBlock()
{
    return !Interrupted();
}

void Progress::AfterBlock(size_t pieceBytes)
{
    done_ += pieceBytes;
    sinceClock_ += pieceBytes;
    if (interruptAfter_ && done_ >= interruptAfter_) {
        interruptAfter_ = 0;
        std::raise(SIGINT);
    }
    if (!shown_ || (sinceClock_ < kClockEvery && done_ < total_))
        return;
    sinceClock_ = 0;
    auto now = std::chrono::steady_clock::now();
    if (now - lastShown_ < kInterval && done_ < total_)
        return;
    lastShown_ = now;
    Show();
}

void Progress::Show()
{
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    int percent = total_ ? int(done_ * 100 / total_) : 100;
    if (percent > 100)
        percent = 100;
    double rate = seconds > 0 ? double(done_) / 1e6 / seconds : 0;
    char line[64];
    std::snprintf(line, sizeof line, "\r%3d%%  %8.1f MB/s", percent, rate);
    WriteStderr(line);
    lastPercent_ = percent;
}

}  // namespace sundrel::cli
