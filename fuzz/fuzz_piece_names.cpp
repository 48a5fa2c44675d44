// Names from anywhere: every name function on arbitrary text, in both kinds
// of characters, and the round trip of every name the writer makes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "piece_names.h"

namespace {

template <class C>
void Check(std::basic_string_view<C> text)
{
    using namespace sundrel;
    FindPieceMarker(text);
    IsPieceFileName(text);
    PieceCountOfName(text);
    std::basic_string_view<C> divided;
    if (DividedNameOf(text, &divided)) {
        PieceNumber piece;
        ParsePieceFileName(text, divided, &piece);
    }
    // Whatever the source's name, its pieces' names give back the name, the
    // number and the count.
    for (unsigned count : {1u, 7u, 99u}) {
        unsigned number = 1 + text.size() % count;
        std::basic_string<C> name = PieceFileName(text, number, count);
        PieceNumber piece = {};
        std::basic_string_view<C> back;
        if (!ParsePieceFileName<C>(name, text, &piece) || piece.number != number ||
            piece.count != count || !DividedNameOf<C>(name, &back) || back != text ||
            PieceCountOfName<C>(name) != int(count) || !IsPieceFileName<C>(name))
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string narrow(reinterpret_cast<const char*>(data), size);
    Check<char>(narrow);
    std::wstring wide;
    for (size_t i = 0; i + 1 < size; i += 2)
        wide += wchar_t(data[i] | data[i + 1] << 8);
    Check<wchar_t>(wide);
    return 0;
}
