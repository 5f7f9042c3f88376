// What a hostile colleague can leave in the shared folder for the sync: files beside the data
// folder must survive unchanged and never reach the server.
#include "CalDavServer.h"
#include "TestDays.h"
#include "TestFiles.h"
#include "store/DataAccess.h"
#include "sync/Sync.h"
#include "sync/SyncRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QDate kDay = kTestToday.addDays(3);

QString dayDir(const QDate& day)
{
    return day.toString("'y'yyyy/'m'M/'d'd/");
}

QByteArray appointment(const QString& text, const QString& extra = {})
{
    return QString::asprintf(
               "[AppointmentSettings]\r\nDateYear=%d\r\nDateMonth=%d\r\nDateDay=%d\r\n"
               "StartTimeHour=9\r\nEndTimeHour=10\r\nText=%s\r\nIsReminder=0\r\n%s",
               kDay.year(), kDay.month(), kDay.day(), qUtf8Printable(text), qUtf8Printable(extra))
        .toUtf8();
}

SyncOptions quick()
{
    SyncOptions options;
    options.connectTimeout = std::chrono::seconds(5);
    options.stallTimeout = std::chrono::seconds(10);
    options.today = kTestToday;
    return options;
}

// The first line of the text of every appointment file of folder.
QStringList texts(const QString& folder)
{
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList found;
    QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << store.LoadAppointment(it.next(), kDay)->Text().section("\r\n", 0, 0);
    found.sort();
    return found;
}

// A data folder, a calendar of its own, and beside the folder the files no sync may reach.
class Confined {
public:
    Confined(CalDavServer& server, const QString& url)
        : m_server(server)
        , m_url(url)
        , m_folder(m_root.path() + "/data/")
    {
        QDir().mkpath(m_folder);
        TestFiles::writeBytes(outside("outside/report.odt"), "the quarterly figures");
        TestFiles::writeBytes(outside("outside.nv3"), appointment("Secret"));
        TestFiles::writeBytes(outside("outside/day/1.nv3"), appointment("Secret day"));
        TestFiles::writeBytes(outside("outside/recurring/every/1.nv3"),
                              appointment("Secret daily", "Recurring=1\r\n"));
        QDir().mkpath(outside("outside/sync"));
        before = beside();
    }

    QString outside(const QString& rel) const { return m_root.path() + u'/' + rel; }
    const QString& folder() const { return m_folder; }

    SyncResult sync() const { return runSync(m_folder, m_server.account(m_url), quick()); }
    // What another copy of the program finds on the server.
    QStringList serverTexts() const
    {
        QTemporaryDir other;
        const SyncResult r = runSync(other.path() + u'/', m_server.account(m_url), quick());
        EXPECT_TRUE(r.ok()) << qPrintable(r.error);
        return texts(other.path() + u'/');
    }
    void link(const QString& target, QString rel) const
    {
        if (rel.endsWith(u'/'))
            rel.chop(1);
        QDir().mkpath(QFileInfo(m_folder + rel).path());
        ASSERT_TRUE(QFile::link(outside(target), m_folder + rel));
    }
    // A record whose one item claims path, as the file at real is now, for an event that is
    // gone: the sync it fooled would delete the file.
    void forgeRecord(const QString& path, const QString& real) const
    {
        const QByteArray bytes = TestFiles::readBytes(real);
        const SyncRecord::File file{
            path, QFileInfo(real).lastModified().toMSecsSinceEpoch(), bytes.size(),
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()};
        SyncRecord::Status status;
        status.account = status.collection = m_url;
        status.items = {{"forged", QUrl(m_url).path() + "gone.ics", "\"1\"", false, {file}}};
        QString error;
        ASSERT_TRUE(SyncRecord::save(ThreadFileAccess(), m_folder, status, &error))
            << qPrintable(error);
    }
    // Every file beside the folder with its bytes: what must not change.
    QMap<QString, QByteArray> beside() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(m_root.path(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.startsWith(m_folder))
                files.insert(path, TestFiles::readBytes(path));
        }
        return files;
    }
    QMap<QString, QByteArray> before; // beside the folder at the start

private:
    CalDavServer& m_server;
    QString m_url;
    QTemporaryDir m_root;
    QString m_folder;
};

struct Row {
    const char* name;
    std::function<void(Confined&)> plant;
    enum { Silent, Warns, Refuses } sync = Silent;
};

const Row kRows[] = {
    {"RecordPathUpwards",
     [](Confined& c) { c.forgeRecord("../outside/report.odt", c.outside("outside/report.odt")); },
     Row::Warns},
    {"RecordPathAbsolute",
     [](Confined& c) {
         c.forgeRecord(c.outside("outside/report.odt"), c.outside("outside/report.odt"));
     },
     Row::Warns},
    {"RecordPathOutOfTheTree",
     [](Confined& c) {
         c.forgeRecord("y2026/m3/d1/../../../../outside.nv3", c.outside("outside.nv3"));
     },
     Row::Warns},
    {"LinkedDayDirectory",
     [](Confined& c) {
         c.link("outside/day", dayDir(kDay));
         c.forgeRecord(dayDir(kDay) + "1.nv3", c.outside("outside/day/1.nv3"));
     }},
    {"LinkedDayDirectoryBeforeTheWindow",
     [](Confined& c) {
         const QDate old = kTestToday.addYears(-3);
         c.link("outside/day", dayDir(old));
         c.forgeRecord(dayDir(old) + "1.nv3", c.outside("outside/day/1.nv3"));
     }},
    {"LinkedRecurringDirectory", [](Confined& c) { c.link("outside/recurring", "recurring"); }},
    {"LinkedRecurringKind",
     [](Confined& c) { c.link("outside/recurring/every", "recurring/every"); }},
    {"LinkedSyncDirectory", [](Confined& c) { c.link("outside/sync", ".sync"); }, Row::Refuses},
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

QString newCalendar(CalDavServer& server)
{
    static int number = 0;
    return server.newCalendar(QStringLiteral("confined%1").arg(++number));
}

class ConfinementTest : public ::testing::TestWithParam<Row> {};

TEST_P(ConfinementTest, FilesOutsideTheFolderSurviveUnsent)
{
    QString reason;
    CalDavServer* server = CalDavServer::shared(CalDavServer::Kind::Radicale, &reason);
    if (!server)
        GTEST_SKIP() << qPrintable(reason);
    const QString url = newCalendar(*server);
    ASSERT_FALSE(url.isEmpty());
    Confined c(*server, url);
    TestFiles::writeBytes(c.folder() + dayDir(kDay.addDays(1)) + "1.nv3", appointment("Here"));
    GetParam().plant(c);

    const SyncResult r = c.sync();
    const SyncResult again = c.sync();
    EXPECT_EQ(c.beside(), c.before);
    if (GetParam().sync != Row::Refuses) {
        EXPECT_TRUE(r.ok()) << qPrintable(r.error);
        EXPECT_EQ(r.deletedHere + again.deletedHere, 0);
        EXPECT_EQ(r.notes.size(), GetParam().sync == Row::Warns ? 1 : 0)
            << qPrintable(r.notes.join('\n'));
        EXPECT_TRUE(again.notes.isEmpty()) << "warned once: " << qPrintable(again.notes.join('\n'));
        EXPECT_EQ(c.serverTexts(), QStringList{"Here"});
    } else {
        EXPECT_EQ(r.exit, SyncResult::Exit::Failed);
        EXPECT_TRUE(r.error.contains(".sync")) << qPrintable(r.error);
        EXPECT_EQ(r.requests, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Hostile, ConfinementTest, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SyncOfEmptyFiles, AreNotSentAndToldOncePerVersion)
{
    QString reason;
    CalDavServer* server = CalDavServer::shared(CalDavServer::Kind::Radicale, &reason);
    if (!server)
        GTEST_SKIP() << qPrintable(reason);
    Confined c(*server, newCalendar(*server));
    const QString day = c.folder() + dayDir(kDay);
    TestFiles::writeBytes(day + "1.nv3", appointment("Sent"));
    TestFiles::writeBytes(day + "2.nv3", "");
    TestFiles::writeBytes(day + "3.nv3", "[AppointmentSettings]\r\n");

    const SyncResult first = c.sync();
    ASSERT_TRUE(first.ok()) << qPrintable(first.error);
    EXPECT_EQ(first.sent, 1);
    ASSERT_EQ(first.notes.size(), 2) << qPrintable(first.notes.join('\n'));
    EXPECT_TRUE(first.notes.join('\n').contains("2.nv3"));
    EXPECT_TRUE(first.notes.join('\n').contains("3.nv3"));
    EXPECT_TRUE(first.summary().contains(first.notes.first()));
    EXPECT_TRUE(c.sync().notes.isEmpty()) << "told once";

    TestFiles::writeBytes(day + "2.nv3", "\r\n");
    TestFiles::writeBytes(day + "1.nv3", "[AppointmentSettings]\r\nText=\r\n");
    const SyncResult changed = c.sync();
    EXPECT_EQ(changed.sent, 0);
    EXPECT_EQ(changed.notes.size(), 2) << "both changed: told again";
    EXPECT_EQ(c.serverTexts(), QStringList{"Sent"}) << "an emptied file leaves its event";

    TestFiles::writeBytes(day + "3.nv3", appointment("Filled in"));
    const SyncResult filled = c.sync();
    EXPECT_EQ(filled.sent, 1);
    EXPECT_TRUE(filled.notes.isEmpty()) << qPrintable(filled.notes.join('\n'));
    EXPECT_EQ(c.serverTexts(), QStringList({"Filled in", "Sent"}));
}

// The record as a hostile or broken copy may leave it.
struct RecordRow {
    const char* name;
    QByteArray bytes;
    bool trusted;
    int items, ignored;
};

const QByteArray kHead =
    R"({"account":"http://127.0.0.1:9/c/","collection":"http://127.0.0.1:9/c/",)";
const RecordRow kRecords[] = {
    {"Empty", "", false, 0, 0},
    {"CutShort", kHead + R"("items":[{"uid":"a","href":"/c/a.ics","fil)", false, 0, 0},
    {"NoObject", "[1,2]", false, 0, 0},
    {"AnotherVersion", R"({"version":2,"items":[]})", false, 0, 0},
    {"CalendarOnAnotherServer",
     R"({"account":"http://127.0.0.1:9/","collection":"http://127.0.0.1:8/c/"})", false, 0, 0},
    {"DuplicateKeysLastWins", kHead + R"("items":[{"uid":"a"}],"items":[{"uid":"b"},{"uid":"c"}]})",
     true, 2, 0},
    {"WrongKindsAndHugeNumbers",
     kHead + R"("items":[1,null,{"files":"x"},{"files":[{"path":"y2026/m3/d1/1.nv3",)"
             R"("modified":1e300,"size":-5,"hash":7}]}]})",
     true, 2, 2},
    {"EntriesOutsideTreeOrCalendar",
     kHead +
         R"("items":[{"href":"/other/a.ics"},{"href":"/c/../a.ics"},{"href":"/c/a.ics"},)"
         R"({"href":"/c/a.ics"},{"files":[{"path":"/etc/passwd"}]},)"
         R"({"files":[{"path":"y2026/m3/d1/1.nv3"}]},{"files":[{"path":"y2026/m3/d1/1.nv3"}]}]})",
     true, 2, 5},
};

void PrintTo(const RecordRow& row, std::ostream* out)
{
    *out << row.name;
}

class SyncRecordReader : public ::testing::TestWithParam<RecordRow> {};

TEST_P(SyncRecordReader, TrustsOnlyWhatItCan)
{
    const RecordRow& row = GetParam();
    QString error;
    const auto status = SyncRecord::fromJson(row.bytes, &error);
    ASSERT_EQ(status.has_value(), row.trusted) << qPrintable(error);
    if (!status) {
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    EXPECT_EQ(status->items.size(), row.items);
    EXPECT_EQ(status->ignored.size(), row.ignored) << qPrintable(status->ignored.join(' '));
}

INSTANTIATE_TEST_SUITE_P(Records, SyncRecordReader, ::testing::ValuesIn(kRecords),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SyncRecordFile, AnotherVersionsRecordStopsTheSyncAndIsKept)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    const QByteArray foreign = R"({"version":2,"items":[]})";
    const QString record = folder + SyncRecord::kDirectory + "/status.json";
    TestFiles::writeBytes(record, foreign);
    // A closed port of this machine: the sync must stop before it asks anything.
    const SyncResult r = runSync(folder, {"http://127.0.0.1:9/c/", "u", "p"}, quick());
    EXPECT_EQ(r.exit, SyncResult::Exit::Failed);
    EXPECT_TRUE(r.error.contains("another version")) << qPrintable(r.error);
    EXPECT_EQ(TestFiles::readBytes(record), foreign);
    EXPECT_FALSE(QFile::exists(folder + SyncRecord::kDirectory + "/lock")) << "lock released";

    TestFiles::writeBytes(record, R"({"items":[)");
    QString error;
    const auto status = SyncRecord::load(ThreadFileAccess(), folder, &error);
    ASSERT_TRUE(status) << "a record cut short: start afresh";
    EXPECT_TRUE(status->items.isEmpty());
    EXPECT_FALSE(error.isEmpty());
    const SyncResult failed = runSync(folder, {"http://127.0.0.1:9/c/", "u", "p"}, quick());
    EXPECT_EQ(failed.exit, SyncResult::Exit::Failed);
    EXPECT_FALSE(QFile::exists(folder + SyncRecord::kDirectory + "/lock")) << "lock released";
}

} // namespace
