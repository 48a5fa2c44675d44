// The input of the folder fuzz targets, and of the tests that read their
// seeds: per file one byte of name length, the name, two bytes
// (little-endian) of data length, the data. The first file is the one the
// user selected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "memory_streams.h"

namespace sundrel {

// At most maxFiles files into folder; false when there is none.
inline bool UnpackFolder(const uint8_t* data, size_t size, size_t maxFiles, MemoryFolder* folder,
                         std::string* selected)
{
    size_t pos = 0;
    while (folder->files.size() < maxFiles && pos < size) {
        size_t nameLength = data[pos++];
        if (size - pos < nameLength + 2)
            break;
        std::string name(reinterpret_cast<const char*>(data + pos), nameLength);
        pos += nameLength;
        size_t dataLength = data[pos] | data[pos + 1] << 8;
        pos += 2;
        if (dataLength > size - pos)
            dataLength = size - pos;
        if (selected->empty())
            *selected = name;
        folder->files[name].assign(reinterpret_cast<const char*>(data + pos), dataLength);
        pos += dataLength;
    }
    return !selected->empty();
}

}  // namespace sundrel
