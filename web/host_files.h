// The core's streams and folder over the page's files (host.h).
#pragma once

#include <cstdint>
#include <map>
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

// Collects what the core writes; the page takes it after each call.
class BufferSink : public ByteSink {
public:
    bool Write(const void* data, size_t n) override;
    std::vector<uint8_t> bytes;
};

}  // namespace sundrel::web
