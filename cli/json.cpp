#include "json.h"

#include <cstdio>

namespace sundrel::cli {

namespace {

// The length of the UTF-8 sequence at text[pos], or 0 when it is none.
size_t Utf8SequenceAt(std::string_view text, size_t pos)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;   // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;   // overlong
        if (lead == 0xED)
            high = 0x9F;   // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;   // overlong
        if (lead == 0xF4)
            high = 0x8F;   // above U+10FFFF
    } else {
        return 0;
    }
    if (pos + length > text.size() || byte(pos + 1) < low || byte(pos + 1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(pos + i) < 0x80 || byte(pos + i) > 0xBF)
            return 0;
    return length;
}

}  // namespace

bool IsUtf8(std::string_view bytes)
{
    for (size_t pos = 0; pos < bytes.size();) {
        size_t length = Utf8SequenceAt(bytes, pos);
        if (!length)
            return false;
        pos += length;
    }
    return true;
}

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (size_t pos = 0; pos < text.size();) {
        size_t length = Utf8SequenceAt(text, pos);
        unsigned char c = static_cast<unsigned char>(text[pos]);
        if (!length) {
            out += "\xEF\xBF\xBD";   // U+FFFD
            ++pos;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text.substr(pos, length));
        }
        pos += length;
    }
    return out + "\"";
}

std::string HexBytes(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

JsonObject& JsonObject::Set(const std::string& key, std::string raw)
{
    for (auto& member : members_)
        if (member.first == key) {
            member.second = std::move(raw);
            return *this;
        }
    members_.emplace_back(key, std::move(raw));
    return *this;
}

JsonObject& JsonObject::SetString(const std::string& key, std::string_view text)
{
    return Set(key, JsonString(text));
}

JsonObject& JsonObject::SetNumber(const std::string& key, uint64_t value)
{
    return Set(key, std::to_string(value));
}

JsonObject& JsonObject::SetBool(const std::string& key, bool value)
{
    return Set(key, value ? "true" : "false");
}

JsonObject& JsonObject::SetNull(const std::string& key)
{
    return Set(key, "null");
}

JsonObject& JsonObject::SetName(const std::string& key, std::string_view name)
{
    SetString(key, name);
    if (!IsUtf8(name))
        SetString(key + "Bytes", HexBytes(name));
    return *this;
}

JsonObject& JsonObject::Merge(const JsonObject& other)
{
    for (const auto& member : other.members_)
        Set(member.first, member.second);
    return *this;
}

std::string JsonObject::Dump() const
{
    std::string out = "{";
    for (const auto& member : members_) {
        if (out.size() > 1)
            out += ',';
        out += JsonString(member.first) + ":" + member.second;
    }
    return out + "}";
}

JsonArray& JsonArray::Add(std::string raw)
{
    items_.push_back(std::move(raw));
    return *this;
}

JsonArray& JsonArray::AddNumber(uint64_t value)
{
    return Add(std::to_string(value));
}

JsonArray& JsonArray::AddName(std::string_view name)
{
    return Add(JsonObject().SetName("name", name).Dump());
}

std::string JsonArray::Dump() const
{
    std::string out = "[";
    for (size_t i = 0; i < items_.size(); ++i)
        out += (i ? "," : "") + items_[i];
    return out + "]";
}

}  // namespace sundrel::cli
