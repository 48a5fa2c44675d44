// JSON for scripts. Every string written is valid UTF-8: a name that is not
// keeps U+FFFD for each byte that is no UTF-8 in its key, and its exact bytes
// in hex beside it under the key with "Bytes" appended ("file" and
// "fileBytes"), so that no name is lost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sundrel::cli {

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view bytes);
// A JSON string literal of text; bytes that are no UTF-8 become U+FFFD.
std::string JsonString(std::string_view text);
// Lower-case hex of every byte.
std::string HexBytes(std::string_view bytes);

// An object whose members keep the order they were first set in; setting a
// key again replaces its value in place.
class JsonObject {
public:
    // raw: the value's JSON text.
    JsonObject& Set(const std::string& key, std::string raw);
    JsonObject& SetString(const std::string& key, std::string_view text);
    JsonObject& SetNumber(const std::string& key, uint64_t value);
    JsonObject& SetBool(const std::string& key, bool value);
    JsonObject& SetNull(const std::string& key);
    // A file or path name: the key, and key + "Bytes" when it is no UTF-8.
    JsonObject& SetName(const std::string& key, std::string_view name);
    // Every member of other, set here in its order.
    JsonObject& Merge(const JsonObject& other);
    std::string Dump() const;

private:
    std::vector<std::pair<std::string, std::string>> members_;
};

class JsonArray {
public:
    JsonArray& Add(std::string raw);
    JsonArray& AddNumber(uint64_t value);
    // {"name": ...} with "nameBytes" when needed.
    JsonArray& AddName(std::string_view name);
    bool Empty() const { return items_.empty(); }
    std::string Dump() const;

private:
    std::vector<std::string> items_;
};

}  // namespace sundrel::cli
