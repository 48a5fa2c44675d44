// SHA-256 over arbitrary bytes: every path, in runs whose lengths the bytes
// choose, alone or two messages at once, gives the digest of the whole; the
// hex form reads back; and the hex reader takes arbitrary text, giving back
// what it accepts.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sha256.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace sundrel;
    const Sha256Digest whole = Sha256Of(data, size);
    size_t count = 0;
    const Sha256Path* paths = AvailableSha256Paths(&count);
    for (size_t p = 0; p < count; ++p) {
        Sha256 hasher(paths[p]);
        for (size_t at = 0; at < size;) {
            const size_t run = size - at < 1u + data[at] ? size - at : 1u + data[at];
            hasher.Update(data + at, run);
            at += run;
        }
        if (hasher.Finish() != whole)
            std::abort();
        // The same bytes as two messages at once, each cut differently.
        Sha256 first(paths[p]), second(paths[p]);
        for (size_t atFirst = 0, atSecond = 0; atFirst < size || atSecond < size;) {
            const size_t wantFirst = 1u + 8u * data[atFirst % size];
            const size_t wantSecond = 1u + 3u * data[(size - 1 - atSecond % size)];
            const size_t runFirst = size - atFirst < wantFirst ? size - atFirst : wantFirst;
            const size_t runSecond = size - atSecond < wantSecond ? size - atSecond : wantSecond;
            UpdatePair(first, data + atFirst, runFirst, second, data + atSecond, runSecond);
            atFirst += runFirst;
            atSecond += runSecond;
        }
        if (first.Finish() != whole || second.Finish() != whole)
            std::abort();
    }

    Sha256Digest parsed;
    if (!ParseSha256Hex(Sha256Hex(whole), &parsed) || parsed != whole)
        std::abort();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (ParseSha256Hex(text, &parsed)) {
        std::string lower(text);
        for (char& c : lower)
            c = (char)std::tolower((unsigned char)c);
        if (Sha256Hex(parsed) != lower)
            std::abort();
    }
    return 0;
}
