// The companion's JSON writer over any bytes a file name can hold: the
// document stays valid UTF-8 without raw control characters, and a name
// that is no UTF-8 comes back whole from its hex.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace sundrel::cli;
    std::string name(reinterpret_cast<const char*>(data), size);
    std::string text = JsonString(name);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"' || !IsUtf8(text))
        std::abort();
    for (unsigned char c : text)
        if (c < 0x20)
            std::abort();
    bool utf8 = IsUtf8(name);
    std::string object = JsonObject().SetName("file", name).Dump();
    std::string hex = "\"fileBytes\":\"" + HexBytes(name) + "\"";
    if (utf8 != (object.find(hex) == std::string::npos))
        std::abort();
    // Valid UTF-8 passes unchanged but for the escapes.
    if (utf8 && name.find_first_of(std::string("\"\\\x7f", 3)) == std::string::npos) {
        bool control = false;
        for (unsigned char c : name)
            control = control || c < 0x20;
        if (!control && text != "\"" + name + "\"")
            std::abort();
    }
    return 0;
}
