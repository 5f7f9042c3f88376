// Writing rules of profile files as Windows copies apply them; the reading rules are covered
// end to end by the golden data folders (tests/data/folders).
#include "profile/ProfileDocument.h"

#include <gtest/gtest.h>

namespace {

QString afterSet(const char* text, const char* section, const char* key, const char* value)
{
    ProfileDocument doc(QString::fromUtf8(text));
    doc.setValue(QString::fromUtf8(section), QString::fromUtf8(key), QString::fromUtf8(value));
    return doc.toText();
}

TEST(ProfileDocumentWrite, NewFileAndNewSection)
{
    EXPECT_EQ(afterSet("", "S", "k", "v"), QStringLiteral("[S]\r\nk=v\r\n"));
    // No blank line before the new header; a missing last line end is added first.
    EXPECT_EQ(afterSet("[A]\r\nx=1", "S", "k", "v"),
              QStringLiteral("[A]\r\nx=1\r\n[S]\r\nk=v\r\n"));
}

TEST(ProfileDocumentWrite, ExistingKeyChangesOnlyItsLine)
{
    EXPECT_EQ(afterSet("; note\r\n[Sec]\r\n  MyKey = old \r\nother=1\n\n[B]\r\nk=2\r\n", "SEC",
                       "mykey", "new"),
              QStringLiteral("; note\r\n[Sec]\r\nMyKey=new\r\nother=1\n\n[B]\r\nk=2\r\n"));
}

TEST(ProfileDocumentWrite, NewKeyFollowsTheSectionsLastKey)
{
    EXPECT_EQ(afterSet("[S]\r\na=1\r\n; trailing comment\r\n\r\n[T]\r\n", "S", "b", "2"),
              QStringLiteral("[S]\r\na=1\r\nb=2\r\n; trailing comment\r\n\r\n[T]\r\n"));
    EXPECT_EQ(afterSet("[S]\r\n\r\n[T]\r\n", "S", "b", "2"),
              QStringLiteral("[S]\r\nb=2\r\n\r\n[T]\r\n"));
    EXPECT_EQ(afterSet("[S]\r\na=1", "S", "b", "2"), QStringLiteral("[S]\r\na=1\r\nb=2\r\n"));
}

} // namespace
