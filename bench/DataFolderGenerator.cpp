#include "DataFolderGenerator.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// A small generator whose sequence is the same on every platform and library (the standard
// distributions are not), so every machine benchmarks the same folder.
class Rng {
public:
    explicit Rng(quint64 seed)
        : m_state(seed)
    {
    }

    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    // 0 … n-1
    int below(int n) { return int(next() % quint64(n)); }
    // Both ends inclusive.
    int between(int low, int high) { return low + below(high - low + 1); }
    bool chance(int percent) { return below(100) < percent; }

private:
    quint64 m_state;
};

quint64 mix(quint64 seed, quint64 salt)
{
    return Rng(seed ^ (salt * 0xd6e8feb86659fd93ULL)).next();
}

// Subjects as an office types them; one is Windows-1252, as files from older copies are.
const std::array<const char*, 24> kSubjects{"Budget review",
                                            "Team meeting",
                                            "Call supplier",
                                            "Customer visit",
                                            "Project status",
                                            "Dentist",
                                            "Lunch with new colleague",
                                            "Quarterly report",
                                            "Interview applicant",
                                            "Code review",
                                            "Training session",
                                            "Order office supplies",
                                            "Inspect delivery",
                                            "Sales call",
                                            "Board meeting",
                                            "Fire drill",
                                            "Service technician",
                                            "Prepare presentation",
                                            "Invoice run",
                                            "Staff briefing",
                                            "R\xfc"
                                            "cksprache Vertrieb",
                                            "Car to the garage",
                                            "Trade fair planning",
                                            "Tax adviser"};

const std::array<const char*, 8> kDetails{"Room 1",
                                          "Room 2",
                                          "Room 4",
                                          "Bring the documents",
                                          "Phone 030 1234 567",
                                          "Meeting point: reception",
                                          "Agenda in the shared folder",
                                          "Book the projector"};

const std::array<const char*, 5> kProducers{"user1", "user2", "user3", "anna", "boss"};

const std::array<int, 5> kRemindMinutes{5, 10, 15, 30, 60};

struct Record {
    QDate date;
    int start = 0; // minutes after midnight
    int end = 0;
    int color = 1;
    QByteArray text;
    QByteArray producer;
    bool reminder = false;
    int remindMinutes = 0;
    bool remindMe = true;
    bool remindEmail = false;
    bool recurring = false;
    QDate from;
    QDate until;
};

Record randomRecord(Rng& rng, const QDate& date)
{
    Record r;
    r.date = date;
    // Office hours, on the quarter hour; an hour or less is the rule, a long session rare.
    r.start = rng.between(7 * 4, 17 * 4) * 15;
    const int quarters = rng.chance(80) ? rng.between(1, 4) : rng.between(5, 16);
    r.end = std::min(r.start + quarters * 15, 22 * 60);
    r.color = rng.between(1, 14);
    r.text = kSubjects[rng.below(int(kSubjects.size()))];
    if (rng.chance(35)) {
        r.text += "##br##";
        r.text += kDetails[rng.below(int(kDetails.size()))];
        if (rng.chance(20)) {
            r.text += "##br##";
            r.text += kDetails[rng.below(int(kDetails.size()))];
        }
    }
    r.producer = kProducers[rng.below(int(kProducers.size()))];
    r.reminder = rng.chance(60);
    r.remindMinutes = r.reminder ? kRemindMinutes[rng.below(int(kRemindMinutes.size()))] : 0;
    r.remindMe = rng.chance(75);
    r.remindEmail = r.reminder && rng.chance(10);
    r.from = date;
    r.until = date;
    return r;
}

void addKey(QByteArray& out, const char* key, const QByteArray& value)
{
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

void addKey(QByteArray& out, const char* key, int value)
{
    addKey(out, key, QByteArray::number(value));
}

void addDate(QByteArray& out, const char* prefix, const QDate& date)
{
    const QByteArray p(prefix);
    addKey(out, (p + "Year").constData(), date.year());
    addKey(out, (p + "Month").constData(), date.month());
    addKey(out, (p + "Day").constData(), date.day());
}

QByteArray render(const Record& r)
{
    QByteArray out;
    out.reserve(512);
    out += "[AppointmentSettings]\r\n";
    addDate(out, "Date", r.date);
    addKey(out, "StartTimeHour", r.start / 60);
    addKey(out, "StartTimeMinute", r.start % 60);
    addKey(out, "EndTimeHour", r.end / 60);
    addKey(out, "EndTimeMinute", r.end % 60);
    addKey(out, "Color", r.color);
    addKey(out, "Text", r.text);
    addKey(out, "Producer", r.producer);
    addKey(out, "IsReminder", r.reminder ? 1 : 0);
    addKey(out, "RemindTime", r.remindMinutes);
    addKey(out, "RemindMe", r.remindMe ? 1 : 0);
    addKey(out, "RemindEmail", r.remindEmail ? 1 : 0);
    addKey(out, "Recurring", r.recurring ? 1 : 0);
    addDate(out, "RecurringFrom", r.from);
    addDate(out, "RecurringUntil", r.until);
    return out;
}

// Writes appointment files; the names drawn since the last newNames() are all distinct.
class DirectoryWriter {
public:
    explicit DirectoryWriter(DataFolderGenerator::Summary& summary)
        : m_summary(summary)
    {
    }

    bool enter(const QString& dir)
    {
        m_dir = dir;
        if (QDir().mkpath(dir))
            return true;
        fail(QStringLiteral("cannot create %1").arg(dir));
        return false;
    }

    void newNames() { m_names.clear(); }

    bool add(Rng& rng, const QByteArray& content)
    {
        int number = 0;
        do
            number = rng.between(10000000, 99999999);
        while (std::find(m_names.begin(), m_names.end(), number) != m_names.end());
        m_names.push_back(number);

        const QString path = m_dir + QString::number(number) + QStringLiteral(".nv3");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(content) != content.size()) {
            fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
            return false;
        }
        // A folder in daily use holds files written long before they are read; a file read
        // while its time is young is read again at the next pass. Written out first, so closing
        // cannot move the time again.
        file.flush();
        file.setFileTime(QDateTime::currentDateTime().addDays(-1),
                         QFileDevice::FileModificationTime);
        return true;
    }

private:
    void fail(const QString& error)
    {
        m_summary.ok = false;
        m_summary.error = error;
    }

    DataFolderGenerator::Summary& m_summary;
    QString m_dir;
    std::vector<int> m_names;
};

} // namespace

bool DataFolderGenerator::isHoliday(const QDate& date)
{
    static constexpr std::array<std::pair<int, int>, 9> kFixed{
        {{1, 1}, {1, 6}, {5, 1}, {8, 15}, {10, 3}, {11, 1}, {12, 24}, {12, 25}, {12, 26}}};
    for (const auto& [month, day] : kFixed) {
        if (date.month() == month && date.day() == day)
            return true;
    }
    return false;
}

DataFolderGenerator::Summary DataFolderGenerator::write(const QString& folder) const
{
    Summary summary;
    QString base = QDir::fromNativeSeparators(folder);
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    DirectoryWriter writer(summary);

    // One-time appointments, working days only.
    const QDate first(m_options.lastYear - m_options.years + 1, 1, 1);
    const QDate last(m_options.lastYear, 12, 31);
    for (QDate date = first; date <= last; date = date.addDays(1)) {
        if (date.dayOfWeek() >= 6 || isHoliday(date))
            continue;
        Rng rng(mix(m_options.seed, quint64(date.toJulianDay())));
        writer.newNames();
        if (!writer.enter(
                base +
                QStringLiteral("y%1/m%2/d%3/").arg(date.year()).arg(date.month()).arg(date.day())))
            return summary;
        for (int i = 0; i < m_options.appointmentsPerDay; ++i) {
            if (!writer.add(rng, render(randomRecord(rng, date))))
                return summary;
        }
        if (!summary.firstDay.isValid())
            summary.firstDay = date;
        summary.lastDay = date;
        ++summary.workingDays;
        summary.oneTimeFiles += m_options.appointmentsPerDay;
    }

    // Recurring appointments: a few daily ones, the rest weekly, monthly and yearly. They do
    // not depend on the number of years, only on the year history ends.
    const int total = m_options.recurringFiles;
    const int daily = total * 5 / 100;
    const int weekly = total * 30 / 100;
    const int monthly = total * 30 / 100;
    Rng rng(mix(m_options.seed, 0x7265637572ULL));
    const QDate rangeStart(m_options.lastYear - 2, 1, 1);
    writer.newNames(); // distinct across the whole recurring tree
    for (int i = 0; i < total; ++i) {
        // Started some time in the first year and a half; most still run, a few have ended
        // before the last year's summer.
        Record r = randomRecord(rng, rangeStart.addDays(rng.below(540)));
        r.recurring = true;
        r.from = r.date;
        r.until = rng.chance(80) ? QDate(m_options.lastYear + rng.between(5, 25), 12, 31)
                                 : r.from.addDays(rng.between(30, 300));

        QString dir = base + QStringLiteral("recurring/");
        if (i < daily) {
            dir += QStringLiteral("every/");
        } else if (i < daily + weekly) {
            const int weekday = rng.chance(90) ? rng.between(2, 6) : (rng.chance(50) ? 1 : 7);
            dir += QStringLiteral("wd%1/").arg(weekday);
        } else if (i < daily + weekly + monthly) {
            dir += QStringLiteral("d%1/").arg(rng.between(1, 31));
        } else {
            const int month = rng.between(1, 12);
            const int day = rng.between(1, QDate(2023, month, 1).daysInMonth()); // no 29 Feb
            dir += QStringLiteral("m%1/d%2/").arg(month).arg(day);
        }
        if (!writer.enter(dir) || !writer.add(rng, render(r)))
            return summary;
        ++summary.recurringFiles;
    }
    return summary;
}
