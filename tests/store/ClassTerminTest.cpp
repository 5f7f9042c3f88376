// The appointment record's own behaviour.
#include "ClassTermin.h"

#include <gtest/gtest.h>

namespace {

TEST(ClassTerminTest, ANewRecordNeverReportsColourZero)
{
    ClassTermin a;
    EXPECT_EQ(a.ColorCode(), 1);
    a.setColorCode(7);
    EXPECT_EQ(a.ColorCode(), 7);
    EXPECT_EQ(a.datum(), QDate(1899, 12, 30));
    EXPECT_TRUE(a.isNew());
}

TEST(ClassTerminTest, FormattedTextCarriesStatusPrefixes)
{
    ClassTermin a;
    a.setText("Meeting");
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("Meeting"));
    a.setIsReminder(true);
    a.setIsRecurring(true);
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("[!] [>>] Meeting"));
    a.setIsReminder(false);
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("[>>] Meeting"));
}

TEST(ClassTerminTest, ARecurringPathTurnsRecurringOnAndNeverOff)
{
    ClassTermin a;
    a.setFilename("/data/y2003/m7/d4/1.nv3");
    EXPECT_FALSE(a.IsRecurring());
    a.setFilename("/data/recurring/every/1.nv3");
    EXPECT_TRUE(a.IsRecurring());
    a.setFilename("/data/y2003/m7/d4/1.nv3");
    EXPECT_TRUE(a.IsRecurring());

    ClassTermin windowsPath;
    windowsPath.setFilename("N:\\team\\recurring\\wd2\\5.nv3");
    EXPECT_TRUE(windowsPath.IsRecurring());
    // A folder merely named like the tree is no recurring directory.
    ClassTermin lookalike;
    lookalike.setFilename("/data/recurringstuff/y2003/m7/d4/1.nv3");
    EXPECT_FALSE(lookalike.IsRecurring());
}

} // namespace
