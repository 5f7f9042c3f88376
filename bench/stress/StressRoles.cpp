#include "StressRoles.h"

#include "StressStamp.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/ClassTermin.h"
#include "store/Common.h"
#include "store/DataAccess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTextStream>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>

namespace Stress {

namespace {

// Live appointments a writer keeps around: enough that moves and deletes have a choice.
constexpr int kLivePerWriter = 12;
// Findings a process describes in full; the rest are only counted.
constexpr int kDescribedFindings = 20;

void waitUntil(const QDateTime& moment)
{
    const qint64 ms = QDateTime::currentDateTimeUtc().msecsTo(moment);
    if (ms > 0)
        QThread::msleep(ulong(ms));
}

bool before(const QDateTime& deadline)
{
    return QDateTime::currentDateTimeUtc() < deadline;
}

// Counts findings and describes the first few on stderr, marked with the process.
class Findings {
public:
    Findings(QString who, Figures& figures)
        : m_who(std::move(who))
        , m_figures(figures)
    {
    }
    void add(const char* kind, const QString& path, const QString& what)
    {
        ++m_figures[QLatin1String(kind)];
        if (m_described++ < kDescribedFindings)
            std::fprintf(stderr, "%s: %s: %s: %s\n", qPrintable(m_who), kind, qPrintable(path),
                         qPrintable(what));
    }

private:
    QString m_who;
    Figures& m_figures;
    int m_described = 0;
};

QString shortened(const QString& text)
{
    QString shown = text.left(120);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\\r\\n"));
    return text.size() > 120 ? shown + QLatin1String("...") : shown;
}

// Writes an appointment version on disk as a reader would see it, for a look afterwards.
void keepEvidence(const QString& results, const QString& who, int n, const QByteArray& bytes)
{
    if (n >= kDescribedFindings)
        return;
    QFile file(QStringLiteral("%1/%2-torn-%3.bin").arg(results, who).arg(n));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

bool writeFigures(const QString& path, const Figures& figures)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (auto it = figures.cbegin(); it != figures.cend(); ++it)
        out << it.key() << '=' << it.value() << '\n';
    out.flush();
    return file.commit();
}

Figures readFigures(const QString& path, bool* ok)
{
    Figures figures;
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly | QIODevice::Text);
    while (*ok && !file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        const qsizetype eq = line.lastIndexOf(QLatin1Char('='));
        if (eq > 0)
            figures[line.left(eq)] += line.mid(eq + 1).toLongLong();
    }
    return figures;
}

bool writeJournal(const QString& path, const Journal& journal)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (auto it = journal.cbegin(); it != journal.cend(); ++it)
        file.write(it.key().toUtf8().toPercentEncoding() + ' ' +
                   it.value().toUtf8().toPercentEncoding() + '\n');
    return file.commit();
}

Journal readJournal(const QString& path, bool* ok)
{
    Journal journal;
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    while (*ok && !file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        const qsizetype space = line.indexOf(' ');
        if (space < 0)
            continue;
        journal.insert(QString::fromUtf8(QByteArray::fromPercentEncoding(line.left(space))),
                       QString::fromUtf8(QByteArray::fromPercentEncoding(line.mid(space + 1))));
    }
    return journal;
}

int runWriter(const RoleOptions& o)
{
    QRandomGenerator random(o.seed);
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, o.folder);
    DataAccess store(profiles, settings);
    AppointmentFiling filing(store, [&random] { return random.generate(); });
    const QString who = QStringLiteral("writer %1").arg(o.index);
    Figures figures;
    Findings findings(who, figures);
    for (const char* name : {"creates", "changes", "moves", "deletes", "failed writes", "misfiled",
                             "stale read-backs", "leftover files"})
        figures[QLatin1String(name)] = 0;

    struct Owned {
        ClassTermin record;
        Stamp stamp;
    };
    QList<Owned> owned;
    Journal journal;
    int nextAppointment = 0;

    const auto randomKind = [&random] {
        const int r = random.bounded(100);
        // Daily ones show on every day: fewer of them.
        return r < 50   ? Recurrence::Kind::None
               : r < 56 ? Recurrence::Kind::Daily
               : r < 72 ? Recurrence::Kind::Weekly
               : r < 86 ? Recurrence::Kind::Monthly
                        : Recurrence::Kind::Yearly;
    };
    const auto setFields = [&](Stamp& s) {
        s.date = kFirstDay.addDays(random.bounded(kDays));
        const int start = random.bounded(22 * 60);
        s.start = TimeOfDay::fromMinutes(start);
        s.end = TimeOfDay::fromMinutes(std::min(start + 1 + random.bounded(120), 23 * 60 + 59));
        s.color = 1 + random.bounded(14);
    };
    const auto apply = [&](ClassTermin& a, const Stamp& s) {
        a.setDatum(s.date);
        a.setStartTime(s.start);
        a.setEndTime(s.end);
        a.setColorCode(qint16(s.color));
        a.setProducer(producerOf(s.writer));
        a.setIsReminder(false);
        a.setRemindMinutes(0);
        a.setReminderAll(true);
        a.setEmailEnable(false);
        a.setIsRecurring(s.kind != Recurrence::Kind::None);
        a.Recurring_code = Recurrence::code(s.kind);
        a.setRecurringStartDate(kFirstDay);
        a.setRecurringEndDate(kFirstDay.addDays(kDays - 1));
        a.setText(composeText(s, randomPayload(random)));
    };
    // Files the new version; false (and the old state kept by the caller) when it failed.
    const auto fileVersion = [&](ClassTermin& a, const Stamp& s) {
        const QString oldPath = a.filename();
        const WriteOutcome outcome = filing.File(a);
        if (!outcome.ok) {
            findings.add("failed writes", a.filename(), outcome.error);
            return false;
        }
        const QString path = a.filename();
        if (DirectoryOfPath(path) != Recurrence::directory(o.folder, s.kind, s.date))
            findings.add("misfiled", path, QStringLiteral("not the directory of its date"));
        if (!oldPath.isEmpty() && oldPath != path) {
            journal.remove(oldPath);
            if (QFileInfo::exists(oldPath))
                findings.add("leftover files", oldPath, QStringLiteral("still there after a move"));
        }
        journal.insert(path, a.Text());
        // Our own write must show at once, to us as to everyone else.
        const TerminPtr back = store.LoadAppointment(path, s.date);
        if (back->Text() != a.Text())
            findings.add("stale read-backs", path, shortened(back->Text()));
        return true;
    };

    waitUntil(o.start);
    while (before(o.deadline)) {
        const int r = random.bounded(100);
        const qsizetype live = owned.size();
        enum { Create, Change, Move, Delete } op;
        if (live == 0 || (live < kLivePerWriter / 2 && r < 50))
            op = Create;
        else if (live > 2 * kLivePerWriter)
            op = Delete;
        else
            op = r < 25 ? Create : r < 60 ? Change : r < 85 ? Move : Delete;

        if (op == Create) {
            Owned n;
            n.stamp.writer = o.index;
            n.stamp.appointment = nextAppointment++;
            n.stamp.version = 1;
            n.stamp.kind = randomKind();
            setFields(n.stamp);
            apply(n.record, n.stamp);
            if (fileVersion(n.record, n.stamp))
                owned.append(std::move(n));
            ++figures[QStringLiteral("creates")];
            continue;
        }
        const int index = random.bounded(int(live));
        Owned& pick = owned[index];
        if (op == Delete) {
            const QString path = pick.record.filename();
            store.DeleteAppointmentFile(pick.record);
            if (QFileInfo::exists(path))
                findings.add("leftover files", path, QStringLiteral("still there after delete"));
            journal.remove(path);
            owned.removeAt(index);
            ++figures[QStringLiteral("deletes")];
            continue;
        }
        const Owned previous = pick;
        ++pick.stamp.version;
        if (op == Change) {
            // Same day and kind, so the same file: only times, colour and text change.
            const QDate date = pick.stamp.date;
            setFields(pick.stamp);
            pick.stamp.date = date;
            ++figures[QStringLiteral("changes")];
        } else {
            setFields(pick.stamp);
            pick.stamp.kind = randomKind();
            ++figures[QStringLiteral("moves")];
        }
        apply(pick.record, pick.stamp);
        if (!fileVersion(pick.record, pick.stamp))
            pick = previous;
    }

    bool ok =
        writeJournal(QStringLiteral("%1/writer-%2.journal").arg(o.results).arg(o.index), journal);
    ok =
        writeFigures(QStringLiteral("%1/writer-%2.figures").arg(o.results).arg(o.index), figures) &&
        ok;
    return ok ? 0 : 2;
}

int runReader(const RoleOptions& o)
{
    QRandomGenerator random(o.seed);
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(o.folder));
    const QString who = QStringLiteral("reader %1").arg(o.index);
    Figures figures;
    Findings findings(who, figures);
    for (const char* name : {"day loads", "appointments checked", "raw reads", "day marks",
                             "vanished", "torn reads", "stale reads"})
        figures[QLatin1String(name)] = 0;
    const QList<QDate> allDays = days();
    int evidence = 0;

    // Per file and appointment, the newest version seen: a file never goes back in time.
    QHash<QString, int> newest;
    const auto noteVersion = [&](const QString& path, const Stamp& s) {
        int& seen = newest[path + QLatin1Char('|') + s.id()];
        if (s.version < seen)
            findings.add("stale reads", path,
                         QStringLiteral("version %1 after %2").arg(s.version).arg(seen));
        seen = std::max(seen, s.version);
    };
    const auto check = [&](const TerminPtr& a) {
        ++figures[QStringLiteral("appointments checked")];
        const QString why = checkRecord(*a, o.folder);
        if (!why.isEmpty()) {
            findings.add("torn reads", a->filename(),
                         why + QLatin1String(": ") + shortened(a->Text()));
            return;
        }
        noteVersion(a->filename(), *parseText(a->Text(), nullptr));
    };
    const auto loadDay = [&](const QDate& day) {
        ++figures[QStringLiteral("day loads")];
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day))
            check(a);
    };
    const auto readRaw = [&](const QString& path) {
        // The reason of the open itself: asking afterwards whether the file exists races with a
        // writer that moves it away and back under the same name.
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                ++figures[QStringLiteral("vanished")];
            else
                findings.add("torn reads", path, QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        QFile file;
        file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
        const QByteArray bytes = file.readAll();
        ++figures[QStringLiteral("raw reads")];
        QString text;
        const QString why = checkFileBytes(bytes, path, o.folder, &text);
        if (!why.isEmpty()) {
            findings.add("torn reads", path, why);
            keepEvidence(o.results, QStringLiteral("reader-%1").arg(o.index), evidence++, bytes);
            return;
        }
        noteVersion(path, *parseText(text, nullptr));
    };

    waitUntil(o.start);
    while (before(o.deadline)) {
        const int r = random.bounded(100);
        const QDate day = allDays[random.bounded(int(allDays.size()))];
        if (r < 45) {
            loadDay(day);
        } else if (r < 65) {
            // A week view: one pass over seven days.
            DataAccess::Pass pass(store);
            const QDate monday = day.addDays(1 - day.dayOfWeek());
            for (int i = 0; i < 7; ++i)
                loadDay(monday.addDays(i));
        } else if (r < 75) {
            // The month calendar's marks.
            DataAccess::Pass pass(store);
            for (const QDate& d : allDays)
                store.HasAppointments(d);
            figures[QStringLiteral("day marks")] += allDays.size();
        } else {
            for (const QString& dir : Recurrence::directoriesOfDay(o.folder, day)) {
                const QStringList names =
                    QDir(dir).entryList({QStringLiteral("*.nv3")}, QDir::Files | QDir::Hidden);
                for (const QString& name : names)
                    readRaw(dir + name);
            }
        }
    }
    return writeFigures(QStringLiteral("%1/reader-%2.figures").arg(o.results).arg(o.index), figures)
               ? 0
               : 2;
}

} // namespace Stress
