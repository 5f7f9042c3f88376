// The appointment record's own behaviour.
#include "store/ClassTermin.h"

#include <gtest/gtest.h>

namespace {

TEST(ClassTerminTest, FormattedTextCarriesStatusPrefixesAndARecurringPathNeverTurnsOff)
{
    ClassTermin a;
    a.setText("Meeting");
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("Meeting"));
    a.setIsReminder(true);
    a.setIsRecurring(true);
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("[!] [>>] Meeting"));
    a.setIsReminder(false);
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("[>>] Meeting"));
    a.setLocation("Hall 2");
    EXPECT_EQ(a.GetFormatedText(), QStringLiteral("[>>] Meeting\r\nLocation: Hall 2"));

    ClassTermin b;
    b.setFilename("/data/y2003/m7/d4/1.nv3");
    EXPECT_FALSE(b.IsRecurring());
    b.setFilename("/data/recurring/every/1.nv3");
    EXPECT_TRUE(b.IsRecurring());
    b.setFilename("/data/y2003/m7/d4/1.nv3");
    EXPECT_TRUE(b.IsRecurring());
}

} // namespace
