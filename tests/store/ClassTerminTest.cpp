// The appointment record's own behaviour.
#include "store/ClassTermin.h"

#include <gtest/gtest.h>

namespace {

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
}

} // namespace
