#include "results.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host.h"

namespace sundrel::web {

void Json::Separate()
{
    if (!first_)
        text_ += ',';
    first_ = false;
}

Json& Json::Open(char bracket)
{
    Separate();
    text_ += bracket;
    first_ = true;
    return *this;
}

Json& Json::Close(char bracket)
{
    text_ += bracket;
    first_ = false;
    return *this;
}

Json& Json::Key(const char* key)
{
    Separate();
    text_ += '"';
    text_ += key;
    text_ += "\":";
    first_ = true;   // the value follows without a comma
    return *this;
}

Json& Json::String(std::string_view text)
{
    Separate();
    text_ += '"';
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            text_ += '\\';
            text_ += char(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            text_ += escaped;
        } else {
            text_ += char(c);
        }
    }
    text_ += '"';
    return *this;
}

Json& Json::Number(uint64_t value)
{
    Separate();
    text_ += std::to_string(value);
    return *this;
}

Json& Json::Bool(bool value)
{
    Separate();
    text_ += value ? "true" : "false";
    return *this;
}

uint8_t* HandOver(const std::string& text)
{
    auto* block = static_cast<uint8_t*>(std::malloc(4 + text.size()));
    if (!block)
        return nullptr;
    const uint32_t length = uint32_t(text.size());
    std::memcpy(block, &length, 4);
    std::memcpy(block + 4, text.data(), text.size());
    return block;
}

}  // namespace sundrel::web

// Memory the page fills with names, and frees results with.
SUNDREL_EXPORT("sd_alloc") void* SdAlloc(int n)
{
    return std::malloc(n > 0 ? size_t(n) : 1);
}

SUNDREL_EXPORT("sd_free") void SdFree(void* block)
{
    std::free(block);
}
