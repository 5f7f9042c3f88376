// Writing rules of profile files as Windows copies apply them; the reading rules are covered
// end to end by the golden data folders (tests/data/folders).
#include "profile/ProfileDocument.h"

#include <gtest/gtest.h>

namespace {

TEST(ProfileDocumentWrite, ANewKeyFollowsItsSectionsLastKeyAndAnExistingOneChangesOnlyItsLine)
{
    const struct {
        QString text, section, key, value, after;
    } rows[] = {{"", "S", "k", "v", "[S]\r\nk=v\r\n"},
                // No blank line before the new header; a missing last line end is added first.
                {"[A]\r\nx=1", "S", "k", "v", "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
                {"; note\r\n[Sec]\r\n  MyKey = old \r\nother=1\n\n[B]\r\nk=2\r\n", "SEC", "mykey",
                 "new", "; note\r\n[Sec]\r\nMyKey=new\r\nother=1\n\n[B]\r\nk=2\r\n"},
                {"[S]\r\na=1\r\n; trailing comment\r\n\r\n[T]\r\n", "S", "b", "2",
                 "[S]\r\na=1\r\nb=2\r\n; trailing comment\r\n\r\n[T]\r\n"},
                {"[S]\r\n\r\n[T]\r\n", "S", "b", "2", "[S]\r\nb=2\r\n\r\n[T]\r\n"},
                {"[S]\r\na=1", "S", "b", "2", "[S]\r\na=1\r\nb=2\r\n"}};
    for (const auto& row : rows) {
        ProfileDocument doc(row.text);
        doc.setValue(row.section, row.key, row.value);
        EXPECT_EQ(doc.toText(), row.after) << row.text.toStdString();
    }
}

} // namespace
