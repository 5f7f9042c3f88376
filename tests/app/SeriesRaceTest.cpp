// Several norvane-cli processes change single occurrences of one series at the same moment, on
// the local disk and on a slow share. A reader that knows only the folder's layout (y/m/d
// directories, recurring/wd<n> with their ranges) then finds every Monday of the series once,
// with the change last reported saved for it; a change not saved was refused as "changed
// meanwhile". NORVANE_SERIES_RACE_ROUNDS gives a longer run (scripts/stress-series).
#include "CliRun.h"
#include "OlderCopy.h"
#include "SlowShare.h"
#include "TestFiles.h"
#include "calendar/RepeatRule.h"
#include "store/RuleSeries.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <memory>
#include <vector>

namespace {

// Every Monday of ten years at 10:00: room for a long run to change a new one each time.
const QDate kFirst(2027, 1, 4);
const int kMondays = 520;
const QDate kLast = kFirst.addDays(7 * (kMondays - 1));
const QByteArray kSeries = "[AppointmentSettings]\r\nDateYear=2027\r\nDateMonth=1\r\nDateDay=4\r\n"
                           "StartTimeHour=10\r\nStartTimeMinute=0\r\nEndTimeHour=11\r\n"
                           "EndTimeMinute=0\r\nText=Meeting\r\nProducer=ann\r\n"
                           "RecurringFromYear=2027\r\nRecurringFromMonth=1\r\n"
                           "RecurringFromDay=4\r\nRecurringUntilYear=2036\r\n"
                           "RecurringUntilMonth=12\r\nRecurringUntilDay=15\r\n";

// Rounds of copies editing one Monday each (a different one per copy) at the same moment.
void raceOn(const QString& folder, int rounds, int copies)
{
    ASSERT_TRUE(TestFiles::writeSettled(folder + "recurring/wd2/1.nv3", kSeries));
    QMap<QDate, QString> expected;
    int saved = 0;
    int mondays = 0;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::unique_ptr<QProcess>> running;
        QList<std::pair<QDate, QString>> edits;
        for (int copy = 0; copy < copies; ++copy) {
            const QDate day = kFirst.addDays(7 * (mondays++ % kMondays));
            const QString text = QString("copy%1-round%2").arg(copy).arg(round);
            edits.append({day, text});
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral(NORVANE_CLI_PATH),
                                  {"edit", "recurring/wd2/1.nv3", "--on", day.toString(Qt::ISODate),
                                   "--scope", "this", "--text", text, "--folder", folder});
        }
        for (std::size_t i = 0; i < running.size(); ++i) {
            QProcess& copy = *running[i];
            ASSERT_TRUE(copy.waitForFinished(60000));
            const QString err = QString::fromUtf8(copy.readAllStandardError());
            if (copy.exitCode() == 0) {
                expected[edits[int(i)].first] = edits[int(i)].second;
                ++saved;
            } else {
                EXPECT_EQ(copy.exitCode(), 1);
                EXPECT_TRUE(err.contains("changed meanwhile")) << err.toStdString();
            }
        }
    }
    EXPECT_GT(saved, 0);
    const QMap<QDate, QStringList> shown = OlderCopy::shown(folder, {2000, 1, 1}, {2050, 12, 31});
    QStringList wrong;
    for (auto day = shown.cbegin(); day != shown.cend(); ++day) {
        if (!day.key().isValid() || day.key().dayOfWeek() != 1 || day.key() < kFirst ||
            day.key() > kLast)
            wrong << QString("%1: %2").arg(day.key().toString(Qt::ISODate), day->join(", "));
    }
    for (QDate d = kFirst; d <= kLast; d = d.addDays(7)) {
        const QStringList want{expected.value(d, "Meeting")};
        if (shown.value(d) != want)
            wrong << QString("%1: %2 instead of %3")
                         .arg(d.toString(Qt::ISODate), shown.value(d).join(", "), want.first());
    }
    EXPECT_EQ(wrong.join("\n").toStdString(), "");
    // Every claim went with the change that held it.
    EXPECT_EQ(QDir(folder + "recurring").entryList({"*.claim"}, QDir::Files | QDir::Hidden),
              QStringList());
}

// A series on Mondays and Thursdays, every week (kept as weekly files) or every second one
// (kept as one-time files): copies change one occurrence each while another writes the series
// ahead. Each of its days then shows once.
void raceOnRule(const QString& folder, int rounds, int copies, const QString& every)
{
    ASSERT_TRUE(QDir().mkpath(folder));
    const CliRun made = cli({"new", "2027-01-04", "10:00", "11:00", "Meeting", "--every", every,
                             "--weekdays", "mon,thu", "--folder", folder});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    const QString id = QDir(folder + "recurring/rules").entryList({"*.nv3"}).value(0).chopped(4);
    const QString rulePath = folder + "recurring/rules/" + id + ".nv3";
    QByteArray rule = TestFiles::readBytes(rulePath);
    const QDate today = QDate::currentDate();
    const QString rrule =
        every == "week" ? "FREQ=WEEKLY;BYDAY=MO,TH" : "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH";
    const QList<QDate> days =
        RepeatRule::fromRRule(rrule, kFirst)->occurrences(kFirst, today.addMonths(24));
    if (const qsizetype at = rule.indexOf("RepeatWritten="); at >= 0) {
        // As if written long ago: up to June only, so the next copy writes it ahead.
        rule =
            rule.left(at) + "RepeatWritten=2027-06-30\r\n" + rule.mid(rule.indexOf('\n', at) + 1);
        ASSERT_TRUE(TestFiles::writeSettled(rulePath, rule));
        for (const QDate& day : days) {
            if (day > QDate(2027, 6, 30))
                QFile::remove(RuleSeries::occurrencePath(folder, id, day));
        }
    }
    // The file that shows the series on day, as norvane-cli names it.
    const auto fileOn = [&folder](const QDate& day) {
        const CliRun shown = cli({"day", day.toString(Qt::ISODate), "--folder", folder});
        return QJsonDocument::fromJson(shown.out.toUtf8()).object().value("path").toString();
    };
    QMap<QDate, QString> expected;
    // Each change on a day of its own that is written now; a longer run has fewer rounds.
    QList<QDate> editable = days;
    editable.removeIf([&rule](const QDate& day) {
        return rule.contains("RepeatWritten=") && day > QDate(2027, 6, 30);
    });
    rounds = std::min(rounds, int(editable.size()) / (copies - 1));
    int next = 0;
    for (int round = 0; round < rounds; ++round) {
        // Each copy's file is named before any starts, as each user opened it before saving.
        QList<QStringList> commands{{"extend", "--folder", folder}};
        QList<std::pair<QDate, QString>> edits{{QDate(), QString()}};
        for (int copy = 1; copy < copies; ++copy) {
            const QDate day = editable[next++];
            const QString text = QString("copy%1-round%2").arg(copy).arg(round);
            edits.append({day, text});
            commands.append({"edit", fileOn(day), "--on", day.toString(Qt::ISODate), "--scope",
                             "this", "--text", text, "--folder", folder});
        }
        std::vector<std::unique_ptr<QProcess>> running;
        for (const QStringList& command : std::as_const(commands)) {
            running.push_back(std::make_unique<QProcess>());
            running.back()->start(QStringLiteral(NORVANE_CLI_PATH), command);
        }
        for (std::size_t i = 0; i < running.size(); ++i) {
            QProcess& copy = *running[i];
            ASSERT_TRUE(copy.waitForFinished(60000));
            const QString err = QString::fromUtf8(copy.readAllStandardError());
            if (copy.exitCode() != 0) {
                // A weekly file another copy split meanwhile may be gone altogether.
                EXPECT_TRUE(err.contains("changed meanwhile") ||
                            err.contains("no such appointment"))
                    << err.toStdString();
            } else if (edits[int(i)].first.isValid()) {
                expected[edits[int(i)].first] = edits[int(i)].second;
            }
        }
    }
    EXPECT_FALSE(expected.isEmpty()) << "some change was saved";
    // A copy writing ahead passes over a series another copy is changing; a later one writes it.
    EXPECT_EQ(cli({"extend", "--folder", folder}).code, 0);
    const QMap<QDate, QStringList> shown = OlderCopy::shown(folder, kFirst, days.last());
    QStringList wrong;
    for (auto day = shown.cbegin(); day != shown.cend(); ++day) {
        // The rule file lies where older copies never look.
        for (const QString& entry : *day) {
            if (day.key().isValid() ? !days.contains(day.key())
                                    : !entry.contains("/recurring/rules/"))
                wrong << QString("%1: %2").arg(day.key().toString(Qt::ISODate), entry);
        }
    }
    for (const QDate& d : days) {
        const QStringList want{expected.value(d, "Meeting")};
        if (shown.value(d) != want)
            wrong << QString("%1: %2 instead of %3")
                         .arg(d.toString(Qt::ISODate), shown.value(d).join(", "), want.first());
    }
    EXPECT_EQ(wrong.join("\n").toStdString(), "");
}

int rounds(int normally)
{
    const int asked = qEnvironmentVariableIntValue("NORVANE_SERIES_RACE_ROUNDS");
    return asked > 0 ? asked : normally;
}

TEST(SeriesRaceTest, CopiesChangingOneSeriesAtOnceNeverShowADayTwice)
{
    QTemporaryDir data;
    raceOn(data.path() + '/', rounds(8), 4);
}

TEST(SeriesRaceTest, CopiesChangingAndWritingAheadASeriesOfOneTimeFilesNeverShowADayTwice)
{
    QTemporaryDir data;
    raceOnRule(data.path() + '/', rounds(6), 4, "2weeks");
}

TEST(SeriesRaceTest, CopiesChangingASeriesOfWeeklyFilesOnTwoWeekdaysNeverShowADayTwice)
{
    QTemporaryDir data;
    raceOnRule(data.path() + '/', rounds(6), 4, "week");
}

TEST(SeriesRaceTest, CopiesChangingOneSeriesAtOnceOnASlowShareNeverShowADayTwice)
{
    if (const QString why = SlowShare::unavailable(); !why.isEmpty())
        GTEST_SKIP() << "no slow share on this machine: " << why.toStdString();
    SlowShare share(1);
    ASSERT_EQ(share.error(), "");
    raceOn(QDir(share.mountPath()).absolutePath() + '/', rounds(3), 3);
}

} // namespace
