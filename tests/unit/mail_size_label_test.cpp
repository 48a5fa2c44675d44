// The text beside the piece size: a full piece's mail size in MB of 1000,
// one decimal, in the texts of both languages.
#include <gtest/gtest.h>

#include "mail_size.h"
#include "mail_size_label.h"
#include "piece_layout.h"

namespace {

TEST(PieceMailSize, FigureFollowsTheEncodedPiece)
{
    const struct {
        unsigned miB;
        const wchar_t* en;
        const wchar_t* ja;
    } rows[] = {
        {1, L"≈ 1.4 MB as mail", L"メール添付で約 1.4 MB"},
        {16, L"≈ 23.0 MB as mail", L"メール添付で約 23.0 MB"},
        {50, L"≈ 71.8 MB as mail", L"メール添付で約 71.8 MB"},
    };
    for (const auto& row : rows) {
        // The figure is the encoded size of the piece file, rounded to 0.1 MB.
        uint64_t bytes = sundrel::Base64MailBytes(sundrel::PieceFileLength(row.miB * sundrel::kMiB));
        wchar_t figure[16];
        swprintf(figure, 16, L"%.1f", bytes / 1e6);
        wchar_t text[64];
        FormatPieceMailSize(text, 64, L"%s", row.miB);
        EXPECT_STREQ(figure, text) << row.miB;

        FormatPieceMailSize(text, 64, L"≈ %s MB as mail", row.miB);
        EXPECT_STREQ(row.en, text);
        FormatPieceMailSize(text, 64, L"メール添付で約 %s MB", row.miB);
        EXPECT_STREQ(row.ja, text);
    }
}

TEST(PieceMailSize, StaysInItsBuffer)
{
    wchar_t small[4];
    FormatPieceMailSize(small, 4, L"≈ %s MB", 16);
    EXPECT_STREQ(L"≈ 2", small);
}

}  // namespace
