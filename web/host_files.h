// The core's streams and folder over the page's files (host.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "merge_plan.h"
#include "piece_io.h"

namespace sundrel::web {

// The page's files as the folder of the pieces: every file is a candidate.
class HostFolder : public PieceFolder<char> {
public:
    HostFolder();
    bool ListCandidates(std::string_view dividedName, std::vector<std::string>* names) override;
    FileHead ReadHead(std::string_view name) override;
    std::unique_ptr<RandomSource> Open(std::string_view name) override;
    // The index of a file by name, or -1.
    int IndexOf(std::string_view name) const;
    const std::vector<std::string>& Names() const { return names_; }

private:
    std::vector<std::string> names_;
    std::map<std::string, int, std::less<>> indices_;
};

// Byte ranges of one file read in slices of several MiB; View points into the
// slice, so a block is copied only when it straddles two slices.
class HostFileSource : public ByteSource {
public:
    struct Range {
        uint64_t begin, end;
    };
    HostFileSource(int file, std::vector<Range> ranges);
    bool Read(void* buffer, size_t n, size_t* got) override;
    bool View(size_t n, uint8_t* scratch, const uint8_t** data, size_t* got) override;

private:
    bool Fill(size_t wanted);

    int file_;
    std::vector<Range> ranges_;
    size_t range_ = 0;
    uint64_t next_ = 0;   // file offset of the next read within ranges_[range_]
    std::vector<uint8_t> slice_;
    size_t head_ = 0, tail_ = 0;
};

// The size of each of windows windows that are held at once.
size_t WindowSize(size_t windows);

// One file read anywhere, for recovery pieces and what they rebuild. Reads
// go through windows of the file, refilled when a read falls outside them:
// the core reads runs of blocks in order, each far smaller than a round
// trip to the browser's blob store is worth. A source divided into pieces
// is read at one place per piece: a window for each.
class HostRandomSource : public RandomSource {
public:
    HostRandomSource(int file, size_t windowSize, size_t windows = 1);
    bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override;
    bool Size(uint64_t* size) override;

private:
    struct Window {
        uint64_t at = 0;
        std::vector<uint8_t> bytes;
        uint64_t lastUse = 0;
    };
    Window* Holding(uint64_t offset, size_t n);

    int file_;
    size_t windowSize_;
    std::vector<Window> windows_;
    uint64_t uses_ = 0;
};

// The page's current output, handed over in segments of several MiB: the
// page writes one while the core fills the next. ended() tells that the
// page ended the job, which then needs no message of its own.
class HostOutput : public RestartableSink {
public:
    HostOutput();
    bool Begin(std::string_view name);
    bool Write(const void* data, size_t n) override;
    bool Restart() override;
    // Hands over what is held and closes the output.
    bool End();
    bool Ended() const { return ended_; }

private:
    bool Flush();
    bool Answer(int goOn);

    std::vector<uint8_t> held_;
    bool ended_ = false;
};

// Collects what the core writes; the page takes it after each call.
class BufferSink : public ByteSink {
public:
    bool Write(const void* data, size_t n) override;
    std::vector<uint8_t> bytes;
};

}  // namespace sundrel::web
