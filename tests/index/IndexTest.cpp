// The local index: what it holds against a fresh read of the folder, folded search inside
// words, a damaged file or a name that is not its own made anew, and its crawl on a share that
// counts and stalls.
#include "StalledShare.h"
#include "TestFiles.h"
#include "index/AppointmentIndex.h"
#include "index/FolderCrawl.h"
#include "index/TextFolding.h"
#include "service/StoreService.h"
#include "store/AppointmentFile.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <unistd.h>

namespace {

const QDate kDay(2024, 5, 14); // a Tuesday

TEST(TextFoldingTest, CaseAccentsAndSharpSFoldAway)
{
    const QList<std::pair<QString, QString>> cases = {
        {"Müller", "muller"},     {"STRASSE", "strasse"},
        {"Straße", "strasse"},    {"Größe", "grosse"},
        {"Café Zoë", "cafe zoe"}, {"ﬁle", "file"},
        {"Meeting", "meeting"},   {"ẞ", "ss"}};
    for (const auto& [text, folded] : cases)
        EXPECT_EQ(TextFolding::fold(text), folded) << text.toStdString();
    EXPECT_EQ(TextFolding::queryWords({"Meier-Straße", " x "}),
              (QStringList{"meier", "strasse", "x"}));
}

class IndexTest : public ::testing::Test {
protected:
    QString folder() const { return data.path() + u'/'; }
    QString put(const QString& relative, const QString& text, const QString& more = {})
    {
        const QString path = folder() + relative;
        TestFiles::writeSettled(
            path,
            ("[AppointmentSettings]\r\nText=" + text + "\r\nProducer=Jürgen\r\n" + more).toUtf8());
        return path;
    }
    // Steps until the round has finished; the share's calls of the round.
    CountingFileAccess::Counts crawl()
    {
        counting.resetCounts();
        crawler.noteChange();
        for (int i = 0; i < 1000 && crawler.step() != FolderCrawl::Step::Done; ++i) {
        }
        return counting.counts();
    }
    // Path and text of every appointment, as the index holds them and as a fresh read finds them.
    QStringList held()
    {
        QStringList lines;
        for (const auto& hit : index.search({}, {}, {}, 1000).hits)
            lines << hit.path.mid(folder().size()) + ": " + hit.text;
        lines.sort();
        return lines;
    }
    QStringList fresh()
    {
        RealFileAccess files;
        ProfileCache profiles(files);
        DataAccess store(profiles, StoreSource::fixed(folder()));
        QStringList lines;
        for (const auto& file : store.ListAppointmentFiles({1900, 1, 1}, {2200, 1, 1})) {
            const ProfileCache::Lookup read = profiles.lookup(folder() + file.path, folder());
            if (read.state == ProfileCache::State::Read)
                lines << file.path + ": " +
                             FolderCrawl::recordOf(profiles, folder() + file.path, read)->Text();
        }
        lines.sort();
        return lines;
    }
    QStringList texts(const QStringList& words, const QDate& from = {}, const QDate& to = {})
    {
        QStringList found;
        for (const auto& hit : index.search(words, from, to).hits)
            found << hit.text + (hit.kind == Recurrence::Kind::None
                                     ? ""
                                     : " on " + hit.day.toString(Qt::ISODate));
        return found;
    }

    QTemporaryDir data;
    QTemporaryDir cache;
    RealFileAccess real;
    CountingFileAccess counting{real};
    ProfileCache profiles{counting};
    AppointmentIndex index{cache.path()};
    FolderCrawl crawler{
        counting, profiles, index, {std::chrono::milliseconds(0), std::chrono::hours(1)}};
};

TEST_F(IndexTest, ChangesOfTheFolderReachTheIndexAndEachRequestIsMadeOnce)
{
    ASSERT_TRUE(index.open(folder()));
    const QString inPlace = put("y2024/m5/d14/1.nv3", "Termin bei Müller");
    const QString moved = put("y2024/m5/d14/2.nv3", "Umzug");
    const QString removed = put("y2024/m5/d15/3.nv3", "Weg");
    const QString unreadable = put("y2024/m6/d1/4.nv3", "Zu groß");
    put("y2023/m1/d2/5.nv3", "Old year");
    put("recurring/wd3/6.nv3", "Weekly review",
        "RecurringFromYear=2024\r\nRecurringFromMonth=5\r\nRecurringFromDay=1\r\n"
        "RecurringUntilYear=2024\r\nRecurringUntilMonth=12\r\nRecurringUntilDay=31\r\n");
    // Each directory once: the top, recurring, recurring/wd3, two years, three months, four days;
    // and its time, and each file's.
    TestFiles::settleDirectories(data.path());
    const auto first = crawl();
    EXPECT_EQ(first.listings, 12);
    EXPECT_EQ(first.metadataQueries, 12 + 6);
    EXPECT_EQ(first.reads, 6);
    EXPECT_EQ(held(), fresh());
    EXPECT_TRUE(index.complete());
    const auto again = crawl();
    EXPECT_EQ(again.listings, 12);
    EXPECT_EQ(again.metadataQueries, 12 + 6);
    EXPECT_EQ(again.reads, 0) << "nothing changed";
    EXPECT_TRUE(FolderCrawl::vouchesForFolder(real, index));

    // Whether the directories' times tell of the change before the next crawl.
    const struct {
        const char* change;
        bool told;
        std::function<void()> apply;
    } changes[] = {
        {"added", true, [&] { put("y2024/m5/d16/7.nv3", "Neu"); }},
        {"changed in place, same size and time", true,
         [&] {
             const QDateTime time = QFileInfo(inPlace).lastModified();
             QFile::remove(inPlace);
             put("y2024/m5/d14/1.nv3", "Termin bei Mueller");
             TestFiles::setModified(inPlace, time);
         }},
        {"moved to another day", true,
         [&] {
             QDir().mkpath(folder() + "y2024/m5/d20");
             QFile::rename(moved, folder() + "y2024/m5/d20/2.nv3");
         }},
        {"removed with its directory", true,
         [&] { QDir(QFileInfo(removed).path()).removeRecursively(); }},
        {"written over in place", false,
         [&] { TestFiles::writeSettled(unreadable, QByteArray(1024 * 1024 + 1, 'x')); }},
        {"recurring", true,
         [&] { put("recurring/m12/d24/8.nv3", "Heiligabend", "RecurringUntilYear=2030\r\n"); }},
    };
    for (const auto& [change, told, apply] : changes) {
        apply();
        EXPECT_EQ(FolderCrawl::vouchesForFolder(real, index), !told) << change;
        TestFiles::settleDirectories(data.path());
        crawl();
        EXPECT_EQ(held(), fresh()) << change;
        EXPECT_TRUE(index.complete()) << change;
        EXPECT_TRUE(FolderCrawl::vouchesForFolder(real, index)) << change;
    }
    // A time too young to tell a change that follows within the share's granularity.
    put("y2024/m5/d16/9.nv3", "Jung");
    crawl();
    EXPECT_FALSE(FolderCrawl::vouchesForFolder(real, index));
    EXPECT_EQ(texts({"mueller"}), QStringList{"Termin bei Mueller"});
    EXPECT_EQ(texts({"weekly"}, kDay.addDays(1), {}), QStringList{"Weekly review on 2024-05-21"});
    EXPECT_EQ(texts({"weekly"}, kDay.addDays(1), kDay.addDays(6)), QStringList())
        << "on Tuesdays only";
    EXPECT_EQ(texts({"heilig"}, {2029, 1, 1}, {}), QStringList{"Heiligabend on 2029-12-24"});
}

TEST_F(IndexTest, WordsAreFoldedAndAndedInsideWordsOfTextAndOwnerShortOnesAtTheirStart)
{
    ASSERT_TRUE(index.open(folder()));
    put("y2024/m5/d14/1.nv3", "Termin bei Müller");
    put("y2024/m5/d14/2.nv3", "Straßenfest");
    put("y2024/m5/d14/3.nv3", "Teambesprechung Hauptstraße");
    put("y2024/m5/d15/4.nv3", "Quarterly review");
    // A series its rule file keeps: two occurrences and a moved one, found once and the moved.
    for (const char* file :
         {"y2024/m5/d16/ser-20240516.nv3", "y2024/m5/d23/ser-20240523.nv3", "y2024/m5/d31/5.nv3"})
        put(file, "Sync", "SeriesId=ser\r\n");
    crawl();
    const QList<std::pair<QStringList, QStringList>> cases = {
        {{"muller"}, {"Termin bei Müller"}},
        {{"MÜL"}, {"Termin bei Müller"}},
        {{"ller"}, {"Termin bei Müller"}},
        {{"strasse"}, {"Straßenfest", "Teambesprechung Hauptstraße"}},
        {{"STRAẞE"}, {"Straßenfest", "Teambesprechung Hauptstraße"}},
        {{"besprechung"}, {"Teambesprechung Hauptstraße"}},
        {{"view", "quart"}, {"Quarterly review"}},
        {{"review", "müller"}, {}},
        {{"rgen", "quarterly"}, {"Quarterly review"}}, // the owner, Jürgen
        {{"te"}, {"Termin bei Müller", "Teambesprechung Hauptstraße"}},
        {{"mü"}, {"Termin bei Müller"}},
        {{"am"}, {}}, // two letters: at a word's start only
        {{"bei ller"}, {"Termin bei Müller"}},
        {{"inbei"}, {}}, // not across words
        {{"sync"}, {"Sync", "Sync"}},
        {{"\"*"}, {}},
    };
    for (const auto& [words, found] : cases)
        EXPECT_EQ(texts(words), found) << words.join(' ').toStdString();
    EXPECT_EQ(texts({"termin"}, kDay.addDays(1), {}), QStringList()) << "a day before the search";
}

// Another program's file under the index's name, through a link or a second name, is never
// written: the index is made anew beside it, and a search alone does not open it.
TEST_F(IndexTest, ANameThatIsNotARegularFileOfItsOwnIsNeverWrittenThrough)
{
    const QString file = AppointmentIndex::fileOf(cache.path(), folder());
    QTemporaryDir elsewhere;
    const QString theirs = elsewhere.filePath("their.sqlite");
    {
        AppointmentIndex another(elsewhere.path());
        ASSERT_TRUE(another.open(data.path() + "/other"));
        another.close();
        ASSERT_TRUE(QFile::rename(
            AppointmentIndex::fileOf(elsewhere.path(), data.path() + "/other"), theirs));
    }
    const QByteArray database = TestFiles::readBytes(theirs);
    put("y2024/m5/d14/1.nv3", "Held");
    const struct {
        const char* what;
        const char* suffix;
        QByteArray bytes;
        bool (*make)(const QString& target, const QString& name);
    } names[] = {
        {"a link to an empty file", "", {}, [](auto& t, auto& n) { return QFile::link(t, n); }},
        {"a link to another database", "", database,
         [](auto& t, auto& n) { return QFile::link(t, n); }},
        {"a second name of another database", "", database,
         [](auto& t, auto& n) {
             return ::link(t.toUtf8().constData(), n.toUtf8().constData()) == 0;
         }},
        {"a link as its journal", "-wal", {}, [](auto& t, auto& n) { return QFile::link(t, n); }},
    };
    for (const auto& name : names) {
        SCOPED_TRACE(name.what);
        index.close();
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(file + suffix);
        TestFiles::writeBytes(theirs, name.bytes);
        ASSERT_TRUE(name.make(theirs, file + name.suffix));
        EXPECT_FALSE(AppointmentIndex::lookUp(cache.path(), folder(), {}, {}, {}).usable);
        ASSERT_TRUE(index.open(folder()));
        crawl();
        EXPECT_EQ(
            AppointmentIndex::lookUp(cache.path(), folder(), {"held"}, {}, {}).found.hits.size(),
            1);
        EXPECT_EQ(TestFiles::readBytes(theirs), name.bytes);
        EXPECT_FALSE(QFileInfo(file + name.suffix).isSymLink());
    }
}

TEST_F(IndexTest, AFileThatIsDamagedOfAnotherFolderOrVersionIsMadeAnew)
{
    const QString file = AppointmentIndex::fileOf(cache.path(), folder());
    const QString other = cache.path() + "/other.sqlite";
    {
        AppointmentIndex another(cache.path());
        ASSERT_TRUE(another.open(data.path() + "/elsewhere"));
        put("y2024/m5/d14/1.nv3", "Held");
        another.close();
        QFile::copy(AppointmentIndex::fileOf(cache.path(), data.path() + "/elsewhere"), other);
    }
    const QList<std::pair<const char*, QByteArray>> files = {
        {"not a database", QByteArray(4096, 'x')},
        {"cut short", TestFiles::readBytes(other).left(200)},
        {"another folder's", TestFiles::readBytes(other)},
    };
    for (const auto& [what, bytes] : files) {
        index.close();
        TestFiles::writeBytes(file, bytes);
        EXPECT_FALSE(AppointmentIndex::lookUp(cache.path(), folder(), {}, {}, {}).usable) << what;
        ASSERT_TRUE(index.open(folder())) << what;
        EXPECT_EQ(index.size(), 0) << what;
        crawl();
        EXPECT_EQ(
            AppointmentIndex::lookUp(cache.path(), folder(), {"held"}, {}, {}).found.hits.size(), 1)
            << what;
    }
    // Damaged after a clean close, at its old size and time, it is still read whole at opening.
    index.close();
    QByteArray bytes = TestFiles::readBytes(file);
    ASSERT_GT(bytes.size(), 3 * 4096);
    bytes.replace(bytes.size() - 2 * 4096, 2 * 4096, QByteArray(2 * 4096, 'x'));
    const QDateTime modified = QFileInfo(file).lastModified();
    TestFiles::writeBytes(file, bytes);
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.setFileTime(modified, QFileDevice::FileModificationTime);
    damaged.close();
    ASSERT_TRUE(index.open(folder()));
    EXPECT_EQ(index.size(), 0) << "made anew";
}

// The store service keeps the index from a crawl while nothing else waits and from its own
// writes, and searches it whatever the share does.
TEST(IndexServiceTest, SearchesAnswerWhileTheShareStallsAndTheViewGoesBeforeTheCrawl)
{
    QTemporaryDir data;
    QTemporaryDir cache;
    for (int day = 1; day <= 20; ++day)
        TestFiles::putAppointment(data.path(), kDay.addDays(day), 9, "Besprechung Müller");
    StalledShare share;
    StoreService::Options options;
    options.files = StalledFileAccess::maker(share);
    options.notAnsweringAfterMs = 200;
    options.watchFolders = false;
    options.indexDirectory = cache.path();
    StoreService service(options);
    std::optional<AppointmentIndex::Answer> answer;
    const auto search = [&](const QString& word) {
        answer.reset();
        service.search({word}, {}, {}, [&](const AppointmentIndex::Answer& a) { answer = a; });
        return eventually([&] { return answer.has_value(); });
    };

    share.stall(); // the crawl's first call
    service.setFolder(data.path(), 60);
    ASSERT_TRUE(eventually([&] { return share.held() == 1 && !service.answering(); }));
    ASSERT_TRUE(search("muller"));
    EXPECT_TRUE(answer->usable);
    EXPECT_FALSE(answer->complete);
    std::optional<bool> completeWhenShown;
    QObject::connect(&service, &StoreService::daysChanged, [&] {
        completeWhenShown =
            AppointmentIndex::lookUp(cache.path(), service.folder(), {}, {}, {}).complete;
    });
    service.show({.viewDays = {kDay}, .markDays = {}, .warmDays = {}});
    share.resume();
    ASSERT_TRUE(eventually([&] { return completeWhenShown.has_value(); }));
    EXPECT_FALSE(*completeWhenShown) << "the view waited for one step of the crawl at most";
    ASSERT_TRUE(eventually([&] { return search("muller") && answer->complete; }));
    EXPECT_EQ(answer->found.hits.size(), 20);

    ClassTermin own;
    own.setDatum(kDay);
    own.setText("Eigener Termin");
    bool filed = false;
    service.file(own, [&](const WriteOutcome& outcome, const ClassTermin&) { filed = outcome.ok; });
    ASSERT_TRUE(eventually([&] { return filed; }));
    ASSERT_TRUE(search("eigener"));
    EXPECT_EQ(answer->found.hits.size(), 1) << "our own write, at once";
    EXPECT_EQ(share.callsFromOwner(), 0);
}

} // namespace

TEST_F(IndexTest, TheCrawlTellsHowFarItIs)
{
    ASSERT_TRUE(index.open(folder()));
    put("y2024/m5/d14/1.nv3", "One");
    put("recurring/every/2.nv3", "Two");
    QStringList seen; // percent after each step
    for (int i = 0; i < 20 && crawler.step() == FolderCrawl::Step::More; ++i)
        seen << QString::number(crawler.progress().percent()) +
                    (crawler.progress().underWay() ? "" : " ended");
    seen << QString::number(crawler.progress().percent()) +
                (crawler.progress().underWay() ? "" : " ended");
    // The top, then recurring/ and every/, then the year's tree, each found as it is listed.
    EXPECT_EQ(seen.join(", ").toStdString(), "33, 50, 75, 80, 83, 100 ended");
}
