// The merge of the real Sundrel.exe refuses a set whose lengths the layout
// does not allow, even where every block passes its FCS, and keeps every
// piece although fMrgRmv asks to delete them.
#include "merge_support.h"

namespace {

TEST_F(MergeTest, RefusesPiecesOfTheWrongLength)
{
    const size_t chunk = kBlock + 2;
    // Whole blocks that pass their FCS, to make a piece grow.
    const std::string twoBlocks = PieceBytes(Source(2 * kBlock, 99), 0).substr(4);
    struct Case {
        const char* what;
        size_t size;      // of the source, divided into 1 MiB pieces
        size_t damaged;   // index of the piece changed and named
        std::function<void(std::string&)> change;
    };
    const Case cases[] = {
        {"first of two cut at a block boundary", kMiB + kMiB / 2 + 100, 0,
         [&](std::string& b) { b.resize(4 + 200 * chunk); }},
        {"first of two one block short", kMiB + kMiB / 2 + 100, 0,
         [&](std::string& b) { b.resize(b.size() - chunk); }},
        {"second of three cut to half a MiB", 2 * kMiB + 5000, 1,
         [&](std::string& b) { b.resize(4 + 128 * chunk); }},
        {"last longer than the others", kMiB + 100, 1,
         [&](std::string& b) { b = b.substr(0, 4) + PieceBytes(Source(kMiB, 98), 0).substr(4) + twoBlocks; }},
        {"only piece cut inside a block", 10000, 0,
         [&](std::string& b) { b.resize(b.size() - 100); }},
        {"middle piece grown by whole blocks", 2 * kMiB + 5000, 1,
         [&](std::string& b) { b += twoBlocks; }},
    };
    Settings(0, L"", 0, 1);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::wstring dir = Subfolder(L"lengths" + std::to_wstring(++n));
        std::vector<std::wstring> pieces =
            WritePieces(dir, L"report.pdf", Source(c.size, 40 + n), kMiB, 0x5100 + n);
        Rewrite(pieces[c.damaged], c.change);
        // ExpectFailure also holds the folder to what it was: every piece kept.
        ExpectFailure(pieces[0], Message(L"Divide data is corrupted\n(%s)",
                                         L"分割データが破損しています\n(%s)", pieces[c.damaged]));
    }
}

}  // namespace
