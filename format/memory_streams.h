// Byte streams and a folder over memory: for tests, fuzz targets and
// anything that holds pieces in memory.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "merge_plan.h"
#include "piece_io.h"

namespace sundrel {

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    bool Read(void* buffer, size_t n, size_t* got) override
    {
        *got = n < bytes_.size() - pos_ ? n : bytes_.size() - pos_;
        std::memcpy(buffer, bytes_.data() + pos_, *got);
        pos_ += *got;
        return true;
    }
    bool View(size_t n, uint8_t*, const uint8_t** data, size_t* got) override
    {
        *data = reinterpret_cast<const uint8_t*>(bytes_.data()) + pos_;
        *got = n < bytes_.size() - pos_ ? n : bytes_.size() - pos_;
        pos_ += *got;
        return true;
    }

private:
    std::string bytes_;
    size_t pos_ = 0;
};

class MemoryRandomSource : public RandomSource {
public:
    explicit MemoryRandomSource(const std::string& bytes) : bytes_(bytes) {}
    bool ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override
    {
        size_t start = offset < bytes_.size() ? size_t(offset) : bytes_.size();
        *got = n < bytes_.size() - start ? n : bytes_.size() - start;
        std::memcpy(buffer, bytes_.data() + start, *got);
        return true;
    }
    bool Size(uint64_t* size) override
    {
        *size = bytes_.size();
        return true;
    }

private:
    const std::string& bytes_;
};

class MemorySink : public RestartableSink {
public:
    explicit MemorySink(size_t limit = std::string::npos) : limit_(limit) {}
    bool Write(const void* data, size_t n) override
    {
        if (bytes.size() + n > limit_)
            return false;
        bytes.append(static_cast<const char*>(data), n);
        return true;
    }
    bool Restart() override
    {
        bytes.clear();
        return true;
    }
    std::string bytes;

private:
    size_t limit_;
};

// Files by name, each its bytes; every name is a candidate.
class MemoryFolder : public PieceFolder<char> {
public:
    std::map<std::string, std::string, std::less<>> files;

    bool ListCandidates(std::string_view, std::vector<std::string>* names) override
    {
        for (const auto& file : files)
            names->push_back(file.first);
        return true;
    }
    FileHead ReadHead(std::string_view name) override
    {
        FileHead head;
        auto file = files.find(name);
        if (file == files.end())
            return head;
        const std::string& bytes = file->second;
        head.readable = true;
        head.length = bytes.size();
        head.idBytes = bytes.size() < kPieceIdSize ? int(bytes.size()) : int(kPieceIdSize);
        if (head.idBytes == int(kPieceIdSize))
            head.id = DecodePieceId(reinterpret_cast<const uint8_t*>(bytes.data()));
        return head;
    }
    std::unique_ptr<RandomSource> Open(std::string_view name) override
    {
        auto file = files.find(name);
        if (file == files.end())
            return nullptr;
        return std::make_unique<MemoryRandomSource>(file->second);
    }
};

}  // namespace sundrel
