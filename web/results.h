// Results handed to JavaScript: a JSON text in a block the page frees with
// sd_free, its length in the first 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sundrel::web {

// Builds one JSON value; the caller writes the structure, this the escaping.
class Json {
public:
    Json& Open(char bracket);
    Json& Close(char bracket);
    Json& Key(const char* key);
    Json& String(std::string_view text);
    Json& Number(uint64_t value);
    Json& Bool(bool value);
    // A key and a value in one step.
    Json& Field(const char* key, std::string_view text) { return Key(key).String(text); }
    Json& Field(const char* key, uint64_t value) { return Key(key).Number(value); }
    Json& Flag(const char* key, bool value) { return Key(key).Bool(value); }
    const std::string& Text() const { return text_; }

private:
    void Separate();
    std::string text_;
    bool first_ = true;
};

// The block for JavaScript: 4 bytes of length, then the text.
uint8_t* HandOver(const std::string& text);

// A UTF-8 string JavaScript wrote into memory it allocated.
inline std::string_view Utf8(const char* text, int length)
{
    return std::string_view(text, length > 0 ? size_t(length) : 0);
}

}  // namespace sundrel::web
