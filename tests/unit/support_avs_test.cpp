#include <gtest/gtest.h>

#include "qoc.h"

namespace {

TEST(SupportAvs, KeepsTextsOnceInOrdinalOrder)
{
    HQOCAVS set = QocAvsCreateW(1, 0, 0);
    ASSERT_NE(set, nullptr);
    EXPECT_NE(QocAvsInsNodeW(set, L"b(02_of_03)", 2, 20), 0);
    EXPECT_NE(QocAvsInsNodeW(set, L"b(01_of_03)", 1, 10), 0);
    EXPECT_NE(QocAvsInsNodeW(set, L"B(03_of_03)", 3, 30), 0);   // upper case sorts first
    EXPECT_NE(QocAvsInsNodeW(set, L"\x65E5", 4, 40), 0);       // above ASCII sorts last
    EXPECT_NE(QocAvsInsNodeW(set, L"b(01_of_03)", 9, 90), 0);   // already held
    EXPECT_EQ(QocAvsGetCount(set), 4);

    QOC_AVS_ENTRY* entries = QocAvsCreatePtrArrW(set, 0, 0);
    ASSERT_NE(entries, nullptr);
    EXPECT_STREQ(entries[0].text, L"B(03_of_03)");
    EXPECT_STREQ(entries[1].text, L"b(01_of_03)");
    EXPECT_EQ(entries[1].data1, 1u);
    EXPECT_EQ(entries[1].data2, 10u);
    EXPECT_STREQ(entries[2].text, L"b(02_of_03)");
    EXPECT_STREQ(entries[3].text, L"\x65E5");
    QocAvsReleasePtrArrW(entries);
    QocAvsDelete(set);
}

TEST(SupportAvs, EmptySetGivesAnArray)
{
    HQOCAVS set = QocAvsCreateW(1, 0, 0);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(QocAvsGetCount(set), 0);
    QOC_AVS_ENTRY* entries = QocAvsCreatePtrArrW(set, 0, 0);
    EXPECT_NE(entries, nullptr);
    QocAvsReleasePtrArrW(entries);
    EXPECT_EQ(QocAvsInsNodeW(set, nullptr, 0, 0), 0);
    QocAvsDelete(set);
}

}  // namespace
