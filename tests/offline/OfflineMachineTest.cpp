// The reconcile over a real share folder and a real copy, driven by random steps on both
// sides: saves, deletions, reconciles killed between two actions, a share that fails half-way
// and saves made while a reconcile runs. After each clean reconcile no edit is lost, nothing
// doubles and both sides agree over the window. NORVANE_OFFLINE_SEED and NORVANE_OFFLINE_RUNS
// run it longer.
#include "TestDays.h"
#include "TestFiles.h"
#include "offline/Reconcile.h"
#include "profile/FileAccess.h"

#include <QDirIterator>
#include <QHashFunctions>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Killed {};

// Every call fails once the budget is spent, as a share that went away half-way.
class FailingShare : public ForwardingFileAccess {
public:
    FailingShare(FileAccess& inner, int budget)
        : ForwardingFileAccess(inner)
        , m_budget(budget)
    {
    }
    std::optional<DirectoryListing> listDirectory(const QString& d, const QString& s,
                                                  const QString& r, DirectoryTime t) override
    {
        return spent() ? std::nullopt : m_inner.listDirectory(d, s, r, t);
    }
    bool isListableDir(const QString& d) override { return !spent() && m_inner.isListableDir(d); }
    std::optional<FileMeta> metadata(const QString& p) override
    {
        return spent() ? std::nullopt : m_inner.metadata(p);
    }
    bool exists(const QString& p) override { return !spent() && m_inner.exists(p); }
    ReadOutcome read(const QString& p, qint64 max, const QString& r) override
    {
        return spent() ? ReadOutcome{ReadOutcome::Failed, {}, {}, QStringLiteral("gone")}
                       : m_inner.read(p, max, r);
    }
    WriteOutcome writeFile(const QString& p, const QByteArray& c, const QString& r,
                           Replace replace) override
    {
        return spent() ? WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, p)
                       : m_inner.writeFile(p, c, r, replace);
    }
    bool createExclusively(const QString& p, const QByteArray& c, const QString& r) override
    {
        return !spent() && m_inner.createExclusively(p, c, r);
    }
    bool remove(const QString& p, const QString& r) override
    {
        return !spent() && m_inner.remove(p, r);
    }

private:
    bool spent() { return m_budget-- <= 0; }
    int m_budget;
};

const QRegularExpression kToken(QStringLiteral("tok[0-9]+"));

class Machine {
public:
    explicit Machine(quint32 seed)
        : m_random(seed)
        , m_clock(kTestToday.addDays(-30).startOfDay())
    {
        m_folders[0] = m_dir.path() + QStringLiteral("/share/");
        m_folders[1] = m_dir.path() + QStringLiteral("/copy/");
        QDir().mkpath(m_folders[0]);
        m_options.today = kTestToday;
        m_options.daysBack = 3;
        m_options.daysAhead = 5;
        m_options.who = QStringLiteral("anna");
        m_options.allowMassDelete = true; // random deletions may well take half of all
    }

    QStringList script;

    void step()
    {
        switch (pick(10)) {
        case 0:
        case 1:
        case 2:
            return save(pick(2));
        case 3:
            return remove(pick(2));
        case 4:
            return reconcile();
        case 5: { // killed after some actions
            const int k = pick(4);
            script << QStringLiteral("killed after %1").arg(k);
            int done = 0;
            m_options.afterAction = [&] {
                if (done++ == k)
                    throw Killed{};
            };
            try {
                run(m_share);
            } catch (const Killed&) {
            }
            m_options.afterAction = {};
            return;
        }
        case 6: { // the share fails half-way
            FailingShare failing(m_share, pick(60));
            script << QStringLiteral("share fails");
            run(failing);
            return;
        }
        case 7: { // someone saves while it runs
            script << QStringLiteral("saves meanwhile");
            m_options.afterAction = [this] {
                if (pick(3) == 0)
                    pick(2) ? save(pick(2)) : remove(pick(2));
            };
            run(m_share);
            m_options.afterAction = {};
            return;
        }
        default:
            return save(pick(2));
        }
    }

    // A clean reconcile, then the checks.
    void settle()
    {
        Offline::Result result;
        for (int i = 0; i < 3 && (i == 0 || result.left); ++i)
            result = run(m_share);
        ASSERT_EQ(result.status, Offline::Result::Status::Done) << result.error.toStdString();
        ASSERT_EQ(result.left, 0);
        const QHash<QString, QByteArray> share = files(0);
        const QHash<QString, QByteArray> copy = files(1);
        QHash<QString, QString> holder;
        for (auto it = share.cbegin(); it != share.cend(); ++it) {
            const QString token = kToken.match(QString::fromLatin1(*it)).captured();
            EXPECT_FALSE(holder.contains(token)) << "doubled: " << token.toStdString();
            holder.insert(token, it.key());
            const QDate day = dayOf(it.key());
            if (!day.isValid() || (day >= kTestToday.addDays(-3) && day <= kTestToday.addDays(5))) {
                EXPECT_EQ(copy.value(it.key()), *it)
                    << "not in the copy: " << it.key().toStdString();
            }
        }
        for (auto it = copy.cbegin(); it != copy.cend(); ++it)
            EXPECT_EQ(share.value(it.key()), *it) << "only in the copy: " << it.key().toStdString();
        for (const QString& token : m_live)
            EXPECT_TRUE(holder.contains(token)) << "lost: " << token.toStdString();
    }

private:
    int pick(int n) { return int(m_random() % quint32(n)); }

    Offline::Result run(FileAccess& share)
    {
        script << QStringLiteral("reconcile");
        return Offline::reconcile(share, m_copy, m_folders[0], m_folders[1], m_options);
    }

    void reconcile() { run(m_share); }

    static QDate dayOf(const QString& path)
    {
        const QStringList parts = path.split(u'/');
        return parts.size() == 4 && parts[0] != QLatin1String("recurring")
                   ? QDate(parts[0].mid(1).toInt(), parts[1].mid(1).toInt(),
                           parts[2].mid(1).toInt())
                   : QDate();
    }

    QHash<QString, QByteArray> files(int side) const
    {
        QHash<QString, QByteArray> result;
        QDirIterator it(m_folders[side], {QStringLiteral("*.nv3")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(m_folders[side].size());
            if (!path.startsWith(u'.'))
                result.insert(path, TestFiles::readBytes(it.filePath()));
        }
        return result;
    }

    void forget(const QString& path)
    {
        if (QFile::exists(path))
            m_live.remove(kToken.match(QString::fromLatin1(TestFiles::readBytes(path))).captured());
    }

    void save(int side)
    {
        const QStringList existing = files(side).keys();
        QString rel;
        if (!existing.isEmpty() && pick(2)) {
            rel = existing[pick(int(existing.size()))];
        } else {
            const QDate day = kTestToday.addDays(pick(14) - 6);
            rel = pick(6) == 0 ? QStringLiteral("recurring/every/%1.nv3").arg(++m_names)
                               : QStringLiteral("y%1/m%2/d%3/%4.nv3")
                                     .arg(day.year())
                                     .arg(day.month())
                                     .arg(day.day())
                                     .arg(++m_names);
        }
        const QString path = m_folders[side] + rel;
        forget(path);
        const QString token = QStringLiteral("tok%1").arg(++m_tokens);
        m_live.insert(token);
        script << QStringLiteral("%1 saves %2 as %3").arg(side ? "copy" : "share", rel, token);
        ASSERT_TRUE(TestFiles::writeBytes(
            path, "[AppointmentSettings]\r\nText=" + token.toLatin1() + "\r\n"));
        // Each save its own time, as edits minutes apart would have.
        m_clock = m_clock.addSecs(1);
        TestFiles::setModified(path, m_clock);
    }

    void remove(int side)
    {
        const QStringList existing = files(side).keys();
        if (existing.isEmpty())
            return;
        const QString rel = existing[pick(int(existing.size()))];
        script << QStringLiteral("%1 deletes %2").arg(side ? "copy" : "share", rel);
        forget(m_folders[side] + rel);
        QFile::remove(m_folders[side] + rel);
    }

    std::mt19937 m_random;
    QDateTime m_clock;
    QTemporaryDir m_dir;
    QString m_folders[2];
    RealFileAccess m_share;
    RealFileAccess m_copy;
    Offline::Options m_options;
    QSet<QString> m_live;
    int m_tokens = 0;
    int m_names = 0;
};

// Once found by the runs: a conflict cut short by the share, the share's version then
// deleted, left the copy's version twice. Cut at every call in turn.
TEST(OfflineMachineTest, AConflictCutShortByTheShareLeavesOneVersionOfEach)
{
    for (int budget = 0; budget < 40; ++budget) {
        QTemporaryDir dir;
        const QString share = dir.filePath("share/"), copy = dir.filePath("copy/");
        const QString path = "y2026/m1/d14/1.nv3";
        const auto put = [](const QString& file, const char* text, int second) {
            TestFiles::writeBytes(file, QByteArray("[AppointmentSettings]\r\nText=") + text);
            TestFiles::setModified(file, kTestToday.startOfDay().addSecs(second));
        };
        put(share + path, "first", 1);
        RealFileAccess shareFiles, copyFiles;
        Offline::Options options;
        options.today = kTestToday;
        Offline::reconcile(shareFiles, copyFiles, share, copy, options);
        put(copy + path, "laptop", 2);
        put(share + path, "office", 3);
        FailingShare failing(shareFiles, budget);
        Offline::reconcile(failing, copyFiles, share, copy, options);
        QFile::remove(share + path);
        ASSERT_EQ(Offline::reconcile(shareFiles, copyFiles, share, copy, options).status,
                  Offline::Result::Status::Done);
        QStringList texts;
        for (QDirIterator it(share, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            texts << QString::fromLatin1(TestFiles::readBytes(it.next())).section("Text=", 1);
        EXPECT_EQ(texts.filter("laptop").size(), 1) << "cut after " << budget << " calls";
    }
}

// Another copy's save lands on the share right before the reconcile's first write there.
class OfficeSavesFirst : public ForwardingFileAccess {
public:
    OfficeSavesFirst(QString path, QByteArray content)
        : ForwardingFileAccess(ThreadFileAccess())
        , m_path(std::move(path))
        , m_content(std::move(content))
    {
    }
    WriteOutcome writeFile(const QString& p, const QByteArray& c, const QString& r,
                           Replace replace) override
    {
        if (!std::exchange(m_saved, true))
            TestFiles::writeBytes(m_path, m_content);
        return m_inner.writeFile(p, c, r, replace);
    }

private:
    QString m_path;
    QByteArray m_content;
    bool m_saved = false;
};

// Another copy saves under the name of a file new on the laptop between the listing and the
// reconcile's write: its file stays, and both versions are kept the next time.
TEST(OfflineMachineTest, AFileMadeOnTheShareUnderANewFilesNameMeanwhileIsNotWrittenOver)
{
    QTemporaryDir dir;
    const QString share = dir.filePath("share/"), copy = dir.filePath("copy/");
    const QString path = "y2026/m1/d14/7.nv3";
    QDir().mkpath(share + "y2026/m1/d14");
    RealFileAccess copyFiles;
    Offline::Options options;
    options.today = kTestToday;
    ASSERT_EQ(Offline::reconcile(ThreadFileAccess(), copyFiles, share, copy, options).status,
              Offline::Result::Status::Done);
    TestFiles::writeBytes(copy + path, "[AppointmentSettings]\r\nText=laptop");
    OfficeSavesFirst office(share + path, "[AppointmentSettings]\r\nText=office");
    const Offline::Result first = Offline::reconcile(office, copyFiles, share, copy, options);
    EXPECT_EQ(first.toShare, 0);
    EXPECT_EQ(first.left, 1);
    EXPECT_EQ(TestFiles::readBytes(share + path), "[AppointmentSettings]\r\nText=office");
    EXPECT_EQ(Offline::reconcile(ThreadFileAccess(), copyFiles, share, copy, options).conflicts, 1);
    QStringList texts;
    for (QDirIterator it(share, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        texts << QString::fromLatin1(TestFiles::readBytes(it.next())).section("Text=", 1);
    texts.sort();
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0].left(6), "laptop");
    EXPECT_EQ(texts[1], "office");
}

TEST(OfflineMachineTest, NoEditIsLostAndBothSidesAgree)
{
    // The order of a hash's keys orders the calls on the share: fixed, so a seed repeats.
    QHashSeed::setDeterministicGlobalSeed();
    const quint32 first = qEnvironmentVariableIntValue("NORVANE_OFFLINE_SEED");
    const int runs = qEnvironmentVariableIsSet("NORVANE_OFFLINE_RUNS")
                         ? qEnvironmentVariableIntValue("NORVANE_OFFLINE_RUNS")
                         : 60;
    for (int run = 0; run < runs; ++run) {
        Machine machine(first + quint32(run));
        for (int step = 0; step < 25; ++step)
            machine.step();
        machine.settle();
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "seed " << first + run << ":\n"
                          << machine.script.join(u'\n').toStdString();
            return;
        }
    }
}

} // namespace
