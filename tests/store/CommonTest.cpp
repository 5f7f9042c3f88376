// Paths of the data folder: a folder's name, the files of the tree.
#include "store/Common.h"
#include "store/Recurrence.h"

#include <gtest/gtest.h>

namespace {

// The one test for an appointment path that a record, a server or a command line names.
TEST(PathTest, AnAppointmentPathIsOneOfTheTreeAndAFolderIsNamedByItsLastPart)
{
    const struct {
        const char* path;
        bool appointment;
    } cases[] = {
        {"y2026/m3/d1/12345678.nv3", true}, {"y2024/m2/d29/a.NV3", true},
        {"y1/m1/d1/a.nv3", true},           {"recurring/every/a.nv3", true},
        {"recurring/wd7/a.nv3", true},      {"recurring/d31/a.nv3", true},
        {"recurring/m2/d29/a.nv3", true},   {"y2025/m2/d29/a.nv3", false}, // no such day
        {"y2026/m03/d1/a.nv3", false}, // never written with a leading zero
        {"y2026/m13/d1/a.nv3", false},      {"y0/m1/d1/a.nv3", false},
        {"y12345/m1/d1/a.nv3", false},      {"recurring/wd8/a.nv3", false},
        {"recurring/d32/a.nv3", false},     {"recurring/m4/d31/a.nv3", false},
        {"recurring/a.nv3", false},         {"y2026/m3/d1/.a.nv3.tmp1", false},
        {"y2026/m3/d1/.a.nv3", false},      {"y2026/m3/d1/a.txt", false},
        {"y2026/m3/d1/.nv3", false},        {"../outside/a.nv3", false},
        {"/etc/y2026/m3/d1/a.nv3", false},  {"y2026/m3/d1/../../../../outside/a.nv3", false},
        {"y2026/m3/d1/x/a.nv3", false},     {"y2026\\m3\\d1\\a.nv3", false},
        {"ImportRecords/a.nv3", false},     {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Recurrence::isAppointmentPath(QString::fromLatin1(c.path)), c.appointment)
            << c.path;
    EXPECT_FALSE(Recurrence::isAppointmentPath(QStringLiteral("y2026/m3/d1/a\nb.nv3")));

    // The day a file lies under, by the same names: either separator, anywhere on the disk.
    const struct {
        const char* path;
        QDate day;
    } days[] = {
        {"/srv/y2026/m3/d1/a.nv3", {2026, 3, 1}},
        {"C:\\data\\y2024\\m2\\d29\\a.nv3", {2024, 2, 29}},
        {"/srv/y2026/m03/d1/a.nv3", {}},
        {"/srv/y2026/m3/d01/a.nv3", {}},
        {"/srv/y2025/m2/d29/a.nv3", {}},
        {"/srv/recurring/m3/d1/a.nv3", {}},
        {"/srv/y2026/m3/d1/x/a.nv3", {}},
        {"/srv/y2026/m3/d1/.a.nv3", {}},
    };
    for (const auto& c : days)
        EXPECT_EQ(Recurrence::dayOf(QString::fromLatin1(c.path)), c.day) << c.path;

    EXPECT_EQ(Recurrence::folderOf("/srv/team/y2026/m3/d1/a.nv3"), QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/recurring/m2/d29/a.nv3"),
              QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/recurring/wd2/a.nv3"), QStringLiteral("/srv/team/"));
    EXPECT_EQ(Recurrence::folderOf("/srv/team/notes/a.nv3"), QString());
    EXPECT_EQ(Recurrence::folderOf("y2026/m3/d1/a.nv3"), QString());

    // A folder is named by the last part of its path, of 100 characters at most.
    EXPECT_EQ(LastPathPart("C:\\data\\team\\"), QStringLiteral("team"));
    EXPECT_EQ(LastPathPart("/srv/share/calendar/"), QStringLiteral("calendar"));
    EXPECT_EQ(LastPathPart("calendar"), QStringLiteral("calendar"));
    EXPECT_EQ(LastPathPart("/x/" + QString(150, 'a')).size(), 100);
}

} // namespace
