// Series of every rule as the folder keeps them: which days this program and a copy that knows
// only the original keys and directories show over the next two years, after any run of
// changes, and after the months pass.
#include "OlderCopy.h"
#include "TestDays.h"
#include "TestFiles.h"
#include "store/AppointmentCopy.h"
#include "store/RuleSeriesFiling.h"
#include "store/SeriesFiling.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Scope = SeriesEdit::Scope;

RepeatRule ruleOf(const char* rrule, const QDate& start)
{
    const auto rule = RepeatRule::fromRRule(QString::fromLatin1(rrule), start);
    EXPECT_TRUE(rule) << rrule;
    return rule.value_or(RepeatRule());
}

class RuleSeriesTest : public ::testing::Test {
protected:
    ClassTermin series(const RepeatRule& rule, const QString& text)
    {
        ClassTermin a;
        a.setDatum(rule.start);
        a.setStartTime(at(9));
        a.setEndTime(at(10));
        a.setText(text);
        a.setProducer("ann");
        RuleSeries::repeatBy(a, rule);
        return a;
    }
    // An empty data folder.
    void restart()
    {
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        store.clearCaches();
    }
    ClassTermin file(const RepeatRule& rule, const QString& text)
    {
        ClassTermin a = series(rule, text);
        EXPECT_TRUE(filing.File(a).ok);
        return a;
    }

    // Each day from..to that anyone shows something on: "date text,text"; a day where the
    // older copy shows other texts than this program is marked "older: ...".
    std::string shown(const QDate& from, const QDate& to) { return shownIn(folder, from, to); }
    std::string shownIn(const QString& folder, const QDate& from, const QDate& to)
    {
        const QMap<QDate, QStringList> theirs = OlderCopy::shown(folder, from, to);
        DataAccess reader(profiles, StoreSource::fixed(folder));
        QStringList days;
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            QStringList ours;
            for (const TerminPtr& a : reader.GetAppointmentsOfDay(d))
                ours << a->Text();
            ours.sort();
            if (!ours.isEmpty())
                days << d.toString(Qt::ISODate) + ' ' + ours.join(',');
            if (ours != theirs.value(d))
                days << "older: " + d.toString(Qt::ISODate) + ' ' + theirs.value(d).join(',');
        }
        // Older copies list only the directories of a day; the rules' directory is none.
        for (const QString& stray : theirs.value(QDate())) {
            if (!stray.contains("/recurring/rules/"))
                days << "older: " + stray;
        }
        return days.join('\n').toStdString();
    }
    static std::string expected(const QList<QDate>& days, const QString& text)
    {
        QStringList lines;
        for (const QDate& day : days)
            lines << day.toString(Qt::ISODate) + ' ' + text;
        return lines.join('\n').toStdString();
    }
    int fileCount() const
    {
        int n = 0;
        for (QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++n;
        return n;
    }

    QDate today = kTestToday;
    // Hundreds of files are written and read back: in memory where the machine offers it.
    QTemporaryDir data{QDir("/dev/shm").exists() ? "/dev/shm/rule-series-XXXXXX"
                                                 : QDir::tempPath() + "/rule-series-XXXXXX"};
    QString folder = data.path() + '/';
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store{profiles, StoreSource::fixed(folder),
                     [this] { return QDateTime(today, QTime(12, 0)); }};
    AppointmentFiling filing{store};
    SeriesFiling seriesFiling{store, filing};
};

TEST_F(RuleSeriesTest, EveryRuleShowsItsDaysForTwoYearsInThisProgramAndInAnOlderCopy)
{
    const QDate horizon = today.addMonths(RuleSeries::kMonthsAhead);
    const struct {
        const char* rrule;
        QDate start;
        int files; // the rule file and 27 months of occurrences, or a weekly file per weekday
    } cases[] = {
        {"FREQ=WEEKLY;COUNT=5", {2026, 1, 19}, 1},
        {"FREQ=MONTHLY", {2026, 1, 31}, 1},
        {"FREQ=YEARLY", {2024, 2, 29}, 1},
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", {2026, 1, 12}, 121},
        {"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR", {2026, 1, 14}, 6},
        {"FREQ=WEEKLY;BYDAY=MO,TH;COUNT=7", {2026, 2, 5}, 3},
        {"FREQ=MONTHLY;BYDAY=-1FR", {2026, 1, 1}, 29},
        {"FREQ=MONTHLY;INTERVAL=3;BYDAY=2TU;UNTIL=20270630", {2026, 2, 1}, 7},
        {"FREQ=MONTHLY;BYDAY=5MO", {2026, 1, 1}, 10},
        {"FREQ=YEARLY;BYMONTH=11;BYDAY=4TH", {2025, 11, 1}, 4},
        {"FREQ=DAILY;INTERVAL=3;COUNT=10", {2026, 3, 24}, 11}, // across the change to summer time
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rrule);
        restart();
        const RepeatRule rule = ruleOf(c.rrule, c.start);
        file(rule, "Meeting");
        EXPECT_EQ(shown(today, horizon), expected(rule.occurrences(today, horizon), "Meeting"));
        EXPECT_EQ(fileCount(), c.files);
        // Years on, after any copy has extended what it needs to.
        today = kTestToday.addYears(3);
        RuleSeriesFiling::extendAll(store, filing);
        const QDate later = today.addMonths(RuleSeries::kMonthsAhead);
        EXPECT_EQ(shown(today, later), expected(rule.occurrences(today, later), "Meeting"));
        today = kTestToday;
    }
}

TEST_F(RuleSeriesTest, AsTheMonthsPassAnyCopyWritesTheSeriesAheadAndTwoCopiesWriteTheSameFiles)
{
    const RepeatRule rule = ruleOf("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", {2026, 1, 12});
    file(rule, "Meeting");
    const int written = fileCount();
    // Three months on, nothing is due yet; six months on, two copies extend at once.
    today = today.addMonths(3);
    EXPECT_TRUE(RuleSeriesFiling::extendAll(store, filing).written.isEmpty());
    today = today.addMonths(3);
    DataAccess other(profiles, StoreSource::fixed(folder), [this] { return QDateTime(today, {}); });
    AppointmentFiling otherFiling(other);
    const auto first = RuleSeriesFiling::extendAll(store, filing);
    const auto second = RuleSeriesFiling::extendAll(other, otherFiling);
    EXPECT_TRUE(first.outcome.ok);
    EXPECT_EQ(first.written.size(), 27 + 1) << "six months of Mondays and Thursdays, and the rule";
    EXPECT_TRUE(second.written.isEmpty()) << "the other copy finds it written";
    EXPECT_EQ(fileCount(), written + 27);
    const QDate horizon = today.addMonths(RuleSeries::kMonthsAhead);
    EXPECT_EQ(shown(today, horizon), expected(rule.occurrences(today, horizon), "Meeting"));
}

TEST_F(RuleSeriesTest, ACopyOfAnOccurrenceIsAnAppointmentOfItsOwn)
{
    file(ruleOf("FREQ=MONTHLY;BYDAY=-1FR", {2026, 1, 1}), "Close");
    const TerminPtr occurrence = store.GetAppointmentsOfDay({2026, 1, 30}).value(0);
    ASSERT_TRUE(occurrence && occurrence->isOccurrence());
    ClassTermin copy = AppointmentCopy::of(*occurrence, {2026, 2, 2}, "bob");
    ASSERT_TRUE(filing.File(copy).ok);
    const QByteArray written = TestFiles::readBytes(copy.filename());
    EXPECT_FALSE(written.contains("Repeat") || written.contains("Series")) << written.toStdString();
    EXPECT_FALSE(store.LoadAppointment(copy.filename(), {})->repeats());
}

TEST_F(RuleSeriesTest, AnOccurrenceNamingItsSeriesAsAPathIsRefusedAndWritesNothing)
{
    // The id leads from the rules' directory to another appointment, which looks like a rule.
    const QByteArray trap = "[AppointmentSettings]\r\nText=Trap\r\n"
                            "SeriesId=../../y2026/m1/d21/victim\r\nRepeatRule=FREQ##eq##WEEKLY;"
                            "INTERVAL##eq##2\r\nRepeatStart=2026-01-20\r\n";
    const QString path = folder + "y2026/m1/d20/x-20260120.nv3";
    const QString victim = folder + "y2026/m1/d21/victim.nv3";
    ASSERT_TRUE(TestFiles::writeSettled(path, trap));
    ASSERT_TRUE(TestFiles::writeSettled(victim, trap + "Recurring=1\r\n"));
    const ClassTermin occurrence = *store.LoadAppointment(path, {2026, 1, 20});
    ASSERT_TRUE(occurrence.isOccurrence());
    EXPECT_FALSE(
        seriesFiling.apply({occurrence, {2026, 1, 20}, Scope::All, std::nullopt, {}}).ok());
    EXPECT_EQ(fileCount(), 2);
    EXPECT_EQ(TestFiles::readBytes(victim), trap + "Recurring=1\r\n");
}

// Every file below root and what it holds, by the path inside root.
std::string treeOf(const QString& root)
{
    QStringList files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        files << path.mid(root.size()) + ":\n" + QString::fromUtf8(TestFiles::readBytes(path));
    }
    files.sort();
    return files.join('\n').toStdString();
}

// What each kind of series is kept as, stored as a golden folder that norvane-cli reads beside
// the others: filing the series and changing two of its days writes exactly these files today,
// and an older copy shows from them what this program shows, day by day for two years.
TEST_F(RuleSeriesTest, EachKindIsWrittenAsItsStoredFolderAndAnOlderCopyShowsItsDays)
{
    const struct {
        const char* name;
        const char* rrule;
    } cases[] = {
        {"repeat-weekday-parts", "FREQ=WEEKLY;BYDAY=MO,TH"},
        {"repeat-occurrences", "FREQ=MONTHLY;BYDAY=-1FR;COUNT=12"},
    };
    const QDate horizon = today.addMonths(RuleSeries::kMonthsAhead);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        quint32 name = 70000000;
        AppointmentFiling named(store, [&name] { return name++; });
        SeriesFiling changes(store, named);
        ClassTermin a = series(ruleOf(c.rrule, kTestToday.addDays(5)), "Team");
        a.setSeriesId("team");
        ASSERT_TRUE(named.File(a).ok);
        // The second time is deleted, the third moves a day on.
        const QList<QDate> days = a.Rule()->occurrences(a.Rule()->start, horizon, 3);
        for (const QDate& day : {days[1], days[2]}) {
            ClassTermin occurrence;
            for (const TerminPtr& shownThere : store.GetAppointmentsOfDay(day))
                occurrence = *shownThere;
            std::optional<ClassTermin> changed;
            if (day == days[2]) {
                changed = SeriesEdit::recordFor(occurrence, day, Scope::This);
                changed->setDatum(day.addDays(1));
            }
            ASSERT_TRUE(changes.apply({occurrence, day, Scope::This, changed, {}}).ok());
        }
        const QString golden = QStringLiteral(NORVANE_GOLDEN_FOLDERS "/") + c.name + '/';
        // NORVANE_UPDATE_GOLDEN=1 stores what is written now, to be read before committing.
        if (qEnvironmentVariableIsSet("NORVANE_UPDATE_GOLDEN")) {
            QDir(golden).removeRecursively();
            for (QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
                 it.hasNext();) {
                const QString path = it.next();
                TestFiles::writeBytes(golden + path.mid(folder.size()), TestFiles::readBytes(path));
            }
        }
        EXPECT_EQ(treeOf(folder), treeOf(golden));
        QList<QDate> expectedDays = a.Rule()->occurrences(today, horizon);
        expectedDays.removeOne(days[1]);
        expectedDays.replace(expectedDays.indexOf(days[2]), days[2].addDays(1));
        EXPECT_EQ(shownIn(golden, today, horizon), expected(expectedDays, "Team"));
    }
}

// A model of what a run of changes leaves: the series' segments, each its rule less its skipped
// days, and the exceptions beside them.
struct Segment {
    RepeatRule rule;
    QSet<QDate> skipped;
    QString text;
    QMap<QDate, QString> exceptions;
};

TEST_F(RuleSeriesTest, AnyRunOfChangesShowsEachDayOnceAndAsTheOlderCopyDoes)
{
    const QStringList rules = {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", "FREQ=MONTHLY;BYDAY=-1FR",
                               "FREQ=DAILY;INTERVAL=3", "FREQ=WEEKLY;BYDAY=TU,FR",
                               "FREQ=WEEKLY;COUNT=8"};
    QRandomGenerator random(5151);
    const QDate to = today.addMonths(RuleSeries::kMonthsAhead);
    for (int run = 0; run < 20; ++run) {
        restart();
        // Every other run begins with a series on several weekdays of every week.
        const QByteArray first = rules[run % 2 * 3].toLatin1();
        QList<Segment> segments{{ruleOf(first, {2026, 1, 12}), {}, "S0", {}}};
        file(segments[0].rule, "S0");
        QString history;
        for (int step = 0; step < 6; ++step) {
            // An occurrence shown within the next months.
            QList<std::pair<QDate, int>> shownDays;
            for (int s = 0; s < segments.size(); ++s) {
                if (segments[s].rule.isPlainKind())
                    continue; // the recurring directories' own changes are tested beside
                for (const QDate& d : segments[s].rule.occurrences(today, today.addMonths(8))) {
                    if (!segments[s].skipped.contains(d))
                        shownDays.append({d, s});
                }
            }
            if (shownDays.isEmpty())
                break;
            const auto [day, s] = shownDays[random.bounded(int(shownDays.size()))];
            ClassTermin occurrence;
            for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
                if (a->Text() == segments[s].text && a->repeats())
                    occurrence = *a;
            }
            ASSERT_FALSE(occurrence.filename().isEmpty()) << day.toString().toStdString();
            const Scope scope = Scope(random.bounded(3));
            const bool remove = random.bounded(4) == 0;
            const QString text = QString("S%1-%2").arg(run).arg(step);
            std::optional<ClassTermin> changed;
            SCOPED_TRACE(QString("%1 on %2 scope %3%4")
                             .arg(segments[s].rule.rrule(), day.toString(Qt::ISODate))
                             .arg(int(scope))
                             .arg(remove ? " deleted" : "")
                             .toStdString());
            if (!remove) {
                ClassTermin record = SeriesEdit::recordFor(occurrence, day, scope);
                record.setText(text);
                if (scope == Scope::This) {
                    record.setDatum(day.addDays(1));
                } else {
                    const RepeatRule next =
                        ruleOf(rules[random.bounded(int(rules.size()))].toLatin1(),
                               scope == Scope::All ? segments[s].rule.start : day);
                    record = series(next, text);
                    record.setFilename(occurrence.filename());
                }
                changed = record;
            }
            const SeriesFiling::Outcome outcome =
                seriesFiling.apply({occurrence, day, scope, changed, {}});
            ASSERT_TRUE(outcome.ok()) << outcome.outcome.path.toStdString();
            // The model, changed alike.
            Segment& segment = segments[s];
            if (scope == Scope::This) {
                segment.skipped.insert(day);
                if (changed)
                    segment.exceptions.insert(day.addDays(1), text);
            } else if (scope == Scope::Following &&
                       !segment.rule.occurrences(segment.rule.start, day.addDays(-1), 1)
                            .isEmpty()) {
                segment.rule.end = RepeatRule::End::Until;
                segment.rule.until = day.addDays(-1);
                if (changed)
                    segments.append({*changed->Rule(), {}, text, {}});
            } else if (changed) {
                // A new rule leaves the old one's skipped days behind.
                if (segment.rule != *changed->Rule())
                    segment.skipped.clear();
                segment.rule = *changed->Rule();
                segment.text = text;
            } else {
                segments.removeAt(s); // with its exceptions
            }
            QMap<QDate, QStringList> model;
            for (const Segment& each : segments) {
                for (const QDate& d : each.rule.occurrences(today, to)) {
                    if (!each.skipped.contains(d))
                        model[d] << each.text;
                }
                for (auto e = each.exceptions.cbegin(); e != each.exceptions.cend(); ++e)
                    model[e.key()] << e.value();
            }
            QStringList lines;
            for (auto it = model.begin(); it != model.end(); ++it) {
                if (it.key() >= today && it.key() <= to) {
                    it->sort();
                    lines << it.key().toString(Qt::ISODate) + ' ' + it->join(',');
                }
            }
            history += QString("%1 %2 on %3 scope %4%5\n")
                           .arg(text, segments.value(s).rule.rrule(), day.toString(Qt::ISODate))
                           .arg(int(scope))
                           .arg(remove ? " deleted" : "");
            ASSERT_EQ(shown(today, to), lines.join('\n').toStdString()) << history.toStdString();
        }
    }
}

} // namespace
