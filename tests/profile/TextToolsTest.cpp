#include "profile/TextTools.h"

#include <gtest/gtest.h>

namespace {

TEST(TextToolsTest, ReplaceNeverRescansWhatItInserted)
{
    EXPECT_EQ(ReplaceText("aaa", "a", "aa"), QStringLiteral("aaaaaa"));
    EXPECT_EQ(ReplaceText("abcabc", "b", "x", 1, 1), QStringLiteral("axcabc"));
    EXPECT_EQ(ReplaceText("abcabc", "b", "x", 3), QStringLiteral("abcaxc"));
    EXPECT_EQ(ReplaceText("abc", "", "x"), QStringLiteral("abc"));
    EXPECT_EQ(ReplaceText("aBc", "b", "x", 1, -1, Qt::CaseInsensitive), QStringLiteral("axc"));
}

TEST(TextToolsTest, SplitKeepsEmptyPieces)
{
    EXPECT_EQ(SplitText("a;b;", ";"), (QStringList{"a", "b", ""}));
    EXPECT_EQ(SplitText("", ";"), (QStringList{""}));
    EXPECT_EQ(SplitText("a;b", ""), (QStringList{"a;b"}));
    EXPECT_EQ(SplitText("a;b;c", ";", 1), (QStringList{"a", "b;c"}));
}

} // namespace
