// The sync's decisions alone: the record and both sides in, the actions out.
#include "sync/SyncPlan.h"

#include <gtest/gtest.h>

namespace {

using namespace SyncPlan;
using SyncRecord::File;
using SyncRecord::Item;

const QString kPath = "y2026/m1/d5/a.nv3";
const QString kMoved = "y2026/m1/d6/a.nv3";
const QString kHref = "/cal/a.ics";
const QString kNewHref = "/cal/n.ics";
const QString kNewPath = "y2026/m2/d1/n.nv3";

QString kindName(Kind kind)
{
    static const char* const names[] = {"UploadNew",      "UploadChange", "DownloadNew",
                                        "DownloadChange", "DeleteHere",   "DeleteThere",
                                        "ConflictCopy",   "RecordOnly",   "Forget"};
    return QString::fromLatin1(names[int(kind)]);
}

// One line per action: kind, item, path, href, uid.
QStringList describe(const Plan& plan)
{
    QStringList lines;
    for (const Action& a : plan.actions)
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(kindName(a.kind))
                     .arg(a.item)
                     .arg(a.path, a.href, a.uid)
                     .trimmed();
    return lines;
}

enum class Here { Unchanged, Touched, Changed, Deleted, Moved };
enum class There { Unchanged, Changed, Deleted, Absent };

struct Row {
    Here here;
    There there;
    const char* expected;
};

// The item "u1" was a.nv3 on day 5 and a.ics with ETag e1 when both sides last agreed.
Plan planFor(Here here, There there)
{
    Item item{"u1", kHref, "e1", false, {File{kPath, 100, 10, "h1"}}};
    if (there == There::Absent)
        item.href.clear();
    Local local;
    if (here == Here::Unchanged)
        local.insert(kPath, {100, 10, {}, {}, true});
    else if (here == Here::Touched)
        local.insert(kPath, {200, 10, QByteArray("h1"), {}, true});
    else if (here == Here::Changed)
        local.insert(kPath, {200, 11, QByteArray("h2"), {}, true});
    else if (here == Here::Moved)
        local.insert(kMoved, {200, 10, QByteArray("h1"), "u1", true});
    Server server;
    QHash<QString, Fetched> fetched;
    if (there == There::Unchanged)
        server.insert(kHref, "e1");
    if (there == There::Changed) {
        server.insert(kHref, "e2");
        fetched.insert(kHref, {"u1", true});
    }
    return plan({item}, local, server, fetched);
}

TEST(SyncPlan, EachChangeOfAnItemOnEitherSide)
{
    const Row rows[] = {
        {Here::Unchanged, There::Unchanged, ""},
        {Here::Unchanged, There::Changed, "DownloadChange 0 y2026/m1/d5/a.nv3 /cal/a.ics"},
        {Here::Unchanged, There::Deleted, "DeleteHere 0"},
        {Here::Unchanged, There::Absent, "UploadNew 0 y2026/m1/d5/a.nv3"},
        {Here::Touched, There::Unchanged, "RecordOnly 0"},
        {Here::Touched, There::Changed, "DownloadChange 0 y2026/m1/d5/a.nv3 /cal/a.ics"},
        {Here::Touched, There::Deleted, "DeleteHere 0"},
        {Here::Changed, There::Unchanged, "UploadChange 0 y2026/m1/d5/a.nv3 /cal/a.ics"},
        {Here::Changed, There::Changed, "ConflictCopy 0 y2026/m1/d5/a.nv3 /cal/a.ics"},
        // The change wins over a deletion on the other side.
        {Here::Changed, There::Deleted, "UploadNew 0 y2026/m1/d5/a.nv3"},
        {Here::Changed, There::Absent, "UploadNew 0 y2026/m1/d5/a.nv3"},
        {Here::Deleted, There::Unchanged, "DeleteThere 0  /cal/a.ics"},
        {Here::Deleted, There::Changed, "DownloadChange 0 y2026/m1/d5/a.nv3 /cal/a.ics"},
        {Here::Deleted, There::Deleted, "Forget 0"},
        {Here::Deleted, There::Absent, "Forget 0"},
        // A move to another day is one change.
        {Here::Moved, There::Unchanged, "UploadChange 0 y2026/m1/d6/a.nv3 /cal/a.ics"},
        {Here::Moved, There::Changed, "ConflictCopy 0 y2026/m1/d6/a.nv3 /cal/a.ics"},
        {Here::Moved, There::Deleted, "UploadNew 0 y2026/m1/d6/a.nv3"},
        {Here::Moved, There::Absent, "UploadNew 0 y2026/m1/d6/a.nv3"},
    };
    for (const Row& row : rows) {
        const QStringList got = describe(planFor(row.here, row.there));
        const QString expected = QString::fromLatin1(row.expected);
        EXPECT_EQ(got.join(u'|').toStdString(), expected.toStdString())
            << "here " << int(row.here) << ", there " << int(row.there);
    }
    // A touched file is recorded with its new time, a changed one is not.
    EXPECT_EQ(planFor(Here::Touched, There::Unchanged).files.value(0),
              QList<File>{File(kPath, 200, 10, "h1")});
    // An upload that does not finish leaves the record as it was: the next sync sends again.
    EXPECT_EQ(planFor(Here::Changed, There::Unchanged).files.value(0),
              QList<File>{File(kPath, 100, 10, "h1")});
}

TEST(SyncPlan, AnEventSentWithoutAnAnswerIsComparedOrSentAgainToItsHref)
{
    // The answer to its creation was lost: the record has its href, no ETag.
    const Item sent{"u1", kHref, {}, false, {File{kPath, 100, 10, "h1"}}};
    const Local local{{kPath, {100, 10, {}, {}, true}}};
    EXPECT_EQ(describe(plan({sent}, local, {{kHref, "e1"}}, {{kHref, {"u1"}}})),
              QStringList{"ConflictCopy 0 y2026/m1/d5/a.nv3 /cal/a.ics"});
    EXPECT_EQ(describe(plan({sent}, local, {}, {})), QStringList{"UploadNew 0 y2026/m1/d5/a.nv3"});
    // Gone there and sent anew to an href of its own by a sync that stopped before noting it:
    // the event new there with its UID is compared, not downloaded as a second one.
    const Item gone{"u1", kHref, "e1", false, {File{kPath, 100, 10, "h1"}}};
    for (const LocalFile& file :
         {LocalFile{100, 10, {}, {}, true}, LocalFile{200, 11, QByteArray("h2"), {}, true}})
        EXPECT_EQ(describe(plan({gone}, {{kPath, file}}, {{kNewHref, "e9"}}, {{kNewHref, {"u1"}}})),
                  QStringList{"ConflictCopy 0 y2026/m1/d5/a.nv3 /cal/n.ics"});
}

struct NewRow {
    const char* name;
    QString fileUid; // empty: no new file here
    bool sendable;
    QString eventUid; // empty: no new event there
    bool exact;
    const char* expected;
};

TEST(SyncPlan, WhatIsNewOnEitherSide)
{
    const QString u1 = "u1", u2 = "u2";
    const NewRow rows[] = {
        {"file", u1, true, {}, true, "UploadNew -1 y2026/m2/d1/n.nv3  u1"},
        {"event", {}, true, u1, true, "DownloadNew -1  /cal/n.ics"},
        // What a sync stopped between the upload and the record left: compared, not doubled.
        {"same UID", u1, true, u1, true, "ConflictCopy -1 y2026/m2/d1/n.nv3 /cal/n.ics"},
        {"same UID, the folder mirrors the event", u1, true, u1, false,
         "DeleteHere -1 y2026/m2/d1/n.nv3|DownloadNew -1  /cal/n.ics"},
        {"other UIDs", u1, true, u2, true,
         "DownloadNew -1  /cal/n.ics|UploadNew -1 y2026/m2/d1/n.nv3  u1"},
        // A file with nothing to send is never paired; its UID is taken, so it gets another.
        {"unsendable", u1, false, u1, true,
         "DownloadNew -1  /cal/n.ics|UploadNew -1 y2026/m2/d1/n.nv3"},
    };
    for (const NewRow& row : rows) {
        Local local;
        Server server;
        QHash<QString, Fetched> fetched;
        if (!row.fileUid.isEmpty())
            local.insert(kNewPath, {1, 1, QByteArray("h"), row.fileUid, row.sendable});
        if (!row.eventUid.isEmpty()) {
            server.insert(kNewHref, "e");
            fetched.insert(kNewHref, {row.eventUid, row.exact});
        }
        EXPECT_EQ(describe(plan({}, local, server, fetched)).join(u'|').toStdString(), row.expected)
            << row.name;
    }
    // A UID of an item is not sent again for a copied file.
    const Item item{"u1", kHref, "e1", false, {File{kPath, 100, 10, "h1"}}};
    const Local local{{kPath, {100, 10, {}, {}, true}},
                      {kNewPath, {1, 1, QByteArray("h1"), "u1", true}}};
    EXPECT_EQ(describe(plan({item}, local, {{kHref, "e1"}}, {})),
              QStringList{"UploadNew -1 y2026/m2/d1/n.nv3"});
}

TEST(SyncPlan, AChangedFileOfAMirroredEventBecomesAnAppointmentOfItsOwn)
{
    const QString b = "y2026/m1/d6/b.nv3";
    const QList<File> both{File{kPath, 100, 10, "h1"}, File{b, 100, 10, "h2"}};
    const Item mirror{"u1", kHref, "e1", true, both};
    const Plan changed = plan(
        {mirror}, {{kPath, {200, 11, QByteArray("h3"), {}, true}}, {b, {100, 10, {}, {}, true}}},
        {{kHref, "e1"}}, {});
    EXPECT_EQ(describe(changed), (QStringList{"RecordOnly 0", "UploadNew -1 y2026/m1/d5/a.nv3"}));
    EXPECT_EQ(changed.files.value(0), QList<File>{mirror.files[1]});
    // All its files deleted: the event goes.
    EXPECT_EQ(describe(plan({mirror}, {}, {{kHref, "e1"}}, {})),
              QStringList{"DeleteThere 0  /cal/a.ics"});
}

// The actions of a plan as counts of their kinds, by name.
QString kindCounts(const Plan& plan)
{
    QMap<QString, int> counts;
    for (const Action& a : plan.actions)
        ++counts[kindName(a.kind) + (a.item < 0 ? "-" : QString())];
    QStringList out;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        out << QStringLiteral("%1x%2").arg(it.key()).arg(it.value());
    return out.join(u' ');
}

TEST(SyncPlan, MassDeletionStopsOnlyBeyondHalfAndFiveAndARestoreUndoesThatSideOnly)
{
    // The first goneHere items lost their files, the last goneThere their events; item 0 a
    // mirror of two files when asked. Kinds with "-" are of no item of the record.
    struct Case {
        int items, goneHere, goneThere;
        bool mirror, stops;
        const char* restored; // the restore's plan once it has the bodies it asked for
    };
    const Case cases[] = {
        {12, 6, 0, false, false, "DeleteTherex6"},
        {11, 6, 0, false, true, "DownloadNew-x6 Forgetx6"},
        {5, 5, 0, false, false, "DeleteTherex5"},
        {12, 0, 6, false, false, "DeleteHerex6"},
        {11, 0, 6, false, true, "UploadNewx6"},
        {5, 0, 5, false, false, "DeleteHerex5"},
        // Only the side with too many comes back; the few of the other go as usual.
        {11, 7, 2, false, true, "DeleteHerex2 DownloadNew-x7 Forgetx7"},
        {11, 2, 7, false, true, "DeleteTherex2 UploadNewx7"},
        // A mirror's files go back as appointments of their own.
        {11, 0, 11, true, true, "Forgetx1 UploadNewx10 UploadNew-x2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.items << " items, " << c.goneHere << " gone here, "
                                        << c.goneThere << " there, mirror " << c.mirror);
        QList<Item> items;
        Local local;
        Server server;
        QHash<QString, Fetched> fetched;
        QStringList goneHrefs, goneFiles;
        for (int i = 0; i < c.items; ++i) {
            const QString path = QStringLiteral("y2026/m1/d1/%1.nv3").arg(i);
            const QString href = QStringLiteral("/cal/%1.ics").arg(i);
            items << Item{QString::number(i), href, "e", false, {File{path, 1, 1, "h"}}};
            if (i == 0 && c.mirror) {
                items[0].mirror = true;
                items[0].files << File{"y2026/m1/d2/0.nv3", 1, 1, "h"};
            }
            for (const File& f : items[i].files)
                if (i >= c.goneHere)
                    local.insert(f.path, {1, 1, {}, {}, true});
            if (i < c.items - c.goneThere)
                server.insert(href, "e");
            if (i < c.goneHere && i < c.items - c.goneThere)
                goneHrefs << href;
            if (i >= c.goneHere && i >= c.items - c.goneThere)
                for (const File& f : items[i].files)
                    goneFiles << f.path;
            fetched.insert(href, {QString::number(i), true});
        }
        const Plan p = plan(items, local, server, {});
        EXPECT_EQ(std::pair(p.there.of, p.here.of), std::pair(int(server.size()), c.items));
        EXPECT_EQ(massDeletion(p), c.stops);
        // Without the bodies a restore names the events it needs.
        const bool downloads = c.stops && p.there.tooMany();
        EXPECT_EQ(plan(items, local, server, {}, {true}).fetch,
                  downloads ? goneHrefs : QStringList());
        const Plan restored = plan(items, local, server, fetched, {true});
        EXPECT_EQ(kindCounts(restored).toStdString(), c.restored);
        // What comes back is the items' own: the events of the files gone, the files of the
        // events gone.
        QStringList downloaded, sent;
        for (const Action& a : restored.actions) {
            if (a.kind == Kind::DownloadNew)
                downloaded << a.href;
            if (a.kind == Kind::UploadNew)
                sent << a.path;
        }
        EXPECT_EQ(downloaded, downloads ? goneHrefs : QStringList());
        EXPECT_EQ(sent, c.stops && p.here.tooMany() ? goneFiles : QStringList());
    }
}

// The files of a series with exceptions are one event: a part a split made, or one gone,
// changes it; the new parts of a series never sent go as one event.
TEST(SyncPlan, TheFilesOfOneSeriesAreOneEvent)
{
    const QString part = "recurring/wd2/p.nv3";
    const QString second = "recurring/wd2/q.nv3";
    const QString exception = "y2026/m1/d19/e.nv3";
    const Item single{"u1", kHref, "e1", false, {File{part, 100, 10, "h1"}}};
    Item series = single;
    series.series = "s1";
    series.files << File{second, 100, 10, "h2"};
    const Server server{{kHref, "e1"}};
    const LocalFile unchanged{100, 10, {}, {}, true};
    const LocalFile newPart{300, 10, {}, "n", true, "s1"};
    const struct {
        const char* what;
        Item item;
        Local local;
        const char* expected;
        qsizetype files; // of the item afterwards
    } rows[] = {
        {"split here: the part has the id now, the rest is a new file", single,
         Local{{part, {200, 10, QByteArray("h9"), {}, true, "s1"}}, {second, newPart}},
         "UploadChange 0 recurring/wd2/p.nv3 /cal/a.ics", 2},
        {"an exception added to a series", series,
         Local{{part, unchanged}, {second, {100, 10, {}, {}, true}}, {exception, newPart}},
         "UploadChange 0 recurring/wd2/p.nv3 /cal/a.ics", 3},
        {"one part gone", series, Local{{part, unchanged}},
         "UploadChange 0 recurring/wd2/p.nv3 /cal/a.ics", 1},
        {"both gone", series, Local{}, "DeleteThere 0  /cal/a.ics", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Plan p = plan({row.item}, row.local, server, {});
        EXPECT_EQ(describe(p).join(u'|').toStdString(), row.expected);
        EXPECT_EQ(p.files.value(0).size(), row.files);
    }
    const Plan fresh = plan({}, {{part, newPart}, {exception, newPart}}, {}, {});
    ASSERT_EQ(fresh.actions.size(), 1);
    EXPECT_EQ(fresh.actions[0].path, part) << "the first by path";
    EXPECT_EQ(fresh.actions[0].with, QStringList{exception});
}

} // namespace
