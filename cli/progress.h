// Progress on stderr, when it is a terminal: percent and MB/s on one line
// that keeps being rewritten. Also the observer that stops an operation at
// the next block after Ctrl-C. The tests make it send Ctrl-C to its own
// process after N bytes with SUNDREL_TEST_INTERRUPT_AFTER=N.
#pragma once

#include <chrono>
#include <cstdint>

#include "piece_io.h"

namespace sundrel::cli {

class Progress : public BlockObserver {
public:
    Progress(uint64_t total, bool quiet);
    ~Progress() override;
    bool BeforeBlock() override;
    void AfterBlock(size_t pieceBytes) override;

private:
    void Show();

    bool shown_;
    uint64_t total_;
    uint64_t interruptAfter_;   // a test's Ctrl-C after so many bytes; 0: none
    uint64_t done_ = 0;
    uint64_t sinceClock_ = 0;
    std::chrono::steady_clock::time_point start_, lastShown_;
    int lastPercent_ = -1;
};

}  // namespace sundrel::cli
