// Reading and writing rules of profile files as Windows copies apply them.
#include "ProfileDocument.h"

#include <gtest/gtest.h>

namespace {

std::optional<QString> read(const char* text, const char* section, const char* key)
{
    return ProfileDocument(QString::fromUtf8(text))
        .value(QString::fromUtf8(section), QString::fromUtf8(key));
}

TEST(ProfileDocumentRead, NamesIgnoreLetterCaseAndFirstOccurrenceWins)
{
    const char* file = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n";
    EXPECT_EQ(read(file, "SECTION1", "NaMe1"), QStringLiteral("val1"));
    EXPECT_EQ(read(file, "section1", "name2"), QStringLiteral("val2"));
    EXPECT_EQ(read(file, "section1", "name3"), std::nullopt);
    EXPECT_EQ(read("[S]\r\nk=1\r\nK=2\r\n", "s", "k"), QStringLiteral("1"));
    // Only the first section of a name is searched.
    EXPECT_EQ(read("[S]\r\n[S]\r\nTestKey=TestValue\r\n", "S", "TestKey"), std::nullopt);
}

TEST(ProfileDocumentRead, BlanksAndQuotesAroundValues)
{
    EXPECT_EQ(read("[s]\r\nk=  \"   TestValue   \"  \r\n", "s", "k"),
              QStringLiteral("   TestValue   "));
    EXPECT_EQ(read("[s]\r\nk=  '\"   v   \"'  \r\n", "s", "k"), QStringLiteral("\"   v   \""));
    EXPECT_EQ(read("[s]\r\nk=\"   v   '\r\n", "s", "k"), QStringLiteral("\"   v   '"));
    EXPECT_EQ(read("[s]\r\nk=\"\r\n", "s", "k"), QStringLiteral("\""));
    EXPECT_EQ(read("[s]\r\nk=\"\"\r\n", "s", "k"), QString());
    EXPECT_EQ(read("[s]\r\n  \t key  =v\r\n", "s", "key"), QStringLiteral("v"));
    EXPECT_EQ(read("[s]\r\nk=a;b#c\r\n", "s", "k"), QStringLiteral("a;b#c"));
    // An empty value is a value, not a missing key.
    EXPECT_EQ(read("[s]\r\nk=\r\n", "s", "k"), QString());
    EXPECT_EQ(read("[s]\r\n=val\r\n", "s", ""), QStringLiteral("val"));
}

TEST(ProfileDocumentRead, HeadersCommentsAndStrayLines)
{
    EXPECT_EQ(read("[ section1 ]\r\nk=1\r\n", "section1", "k"), QStringLiteral("1"));
    EXPECT_EQ(read("[S]key=v\r\n", "S", "key"), std::nullopt);
    EXPECT_EQ(read("[S\r\nk=1\r\n", "S", "k"), QStringLiteral("1"));
    EXPECT_EQ(read("[S]\r\n ;TestKey=x\r\n", "S", "TestKey"), std::nullopt);
    EXPECT_EQ(read("[S]\r\n ;TestKey=x\r\n", "S", ";TestKey"), std::nullopt);
    EXPECT_EQ(read("k=before\r\n[S]\r\n", "S", "k"), std::nullopt);
}

TEST(ProfileDocumentRead, AnyLineEnding)
{
    EXPECT_EQ(read("[S]\na=1\nb=2", "S", "b"), QStringLiteral("2"));
    EXPECT_EQ(read("[S]\ra=1\rb=2\r", "S", "a"), QStringLiteral("1"));
    EXPECT_EQ(read("[S]\r\na=1\nb=2\rc=3", "S", "c"), QStringLiteral("3"));
}

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
