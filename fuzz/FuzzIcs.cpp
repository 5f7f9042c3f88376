// An iCalendar file from a download or a mail: checked and imported into a data folder in
// memory. What is not iCalendar writes nothing; every file written loads as a sane record.
#include "MemoryFileAccess.h"
#include "exchange/IcsImport.h"
#include "store/ClassTermin.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"
#include "store/RuleSeries.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kFolder = QStringLiteral("/data/");
const QDate kToday(2026, 3, 4);
// A few bytes of rules can ask for a hundred thousand appointments. Past this many files the
// folder stops answering, as an unmounted share would, so one input stays fast.
constexpr int kWriteBudget = 300;

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

class BudgetedFiles : public MemoryFileAccess {
public:
    int written = 0;

    bool isListableDir(const QString& dir) override
    {
        return written < kWriteBudget && MemoryFileAccess::isListableDir(dir);
    }
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        // A save finds out on its own that the folder is gone.
        if (written >= kWriteBudget)
            return WriteOutcome::failed(WriteOutcome::Cause::FolderUnreachable, root);
        const WriteOutcome outcome = MemoryFileAccess::writeFile(path, content, root, replace);
        written += outcome.ok ? 1 : 0;
        return outcome;
    }
};

void checkSane(const ClassTermin& a, const QString& path)
{
    // A series' rule file lies where no day's directory is: it holds a rule and its range.
    if (path.contains(QLatin1String("/recurring/rules/"))) {
        if (!a.IsRecurring() || !a.Rule() || !a.Rule()->isValid() ||
            a.RecurringStartDate() > a.RecurringEndDate())
            fail("a rule file without a rule", path);
        return;
    }
    if (!a.datum().isValid() || a.datum() < QDate(1900, 1, 1) || a.datum() > QDate(2200, 12, 31))
        fail("date outside the format", path + QLatin1Char(' ') + a.datum().toString());
    if (a.StartTime() > a.EndTime() || a.EndTime().minutes() > TimeOfDay::kEndOfDay)
        fail("times out of order", path);
    if (a.IsRecurring() != (Recurrence::ofPath(path) != Recurrence::Kind::None))
        fail("recurrence and directory disagree", path);
    // A date the file cannot hold would read back as another day than its directory's.
    if (DirectoryOfPath(path) !=
        Recurrence::directory(kFolder, Recurrence::ofPath(path), a.datum()))
        fail("date and directory disagree", path + QLatin1Char(' ') + a.datum().toString());
    if (a.IsRecurring() && a.RecurringStartDate() > a.RecurringEndDate())
        fail("recurring range ends before it starts", path);
    if (a.Producer() != QLatin1String("fuzz"))
        fail("owner not the one asked for", a.Producer());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const IcsCheck check = CheckIcs(bytes);

    BudgetedFiles files;
    files.addDirectory(kFolder);
    ProfileCache profiles(files);
    const QDateTime now(kToday, QTime(9, 41));
    DataAccess store(profiles, StoreSource::fixed(kFolder), [now] { return now; });
    IcsImportOptions options;
    options.today = kToday;
    options.producer = QStringLiteral("fuzz");
    quint32 seed = 1;
    options.random = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const IcsImportResult result = ImportIcs(bytes, store, kFolder, 4, {}, options);

    if (result.ok != check.ok || (result.ok && result.events != check.events))
        fail("check and import disagree", check.error + QLatin1String(" / ") + result.error);
    const QStringList paths = files.paths();
    if (!result.ok) {
        if (!paths.isEmpty())
            fail("not iCalendar, yet files were written", paths.first());
        return 0;
    }
    if (result.tooLarge) {
        if (!paths.isEmpty() || result.appointments <= kLargeImport)
            fail("a large import refused, yet files were written", QString::number(paths.size()));
        return 0;
    }
    // Every event landed, was skipped, replaced by a later version, or has an appointment that
    // was not saved.
    if (result.imported + result.expanded + result.skipped.size() + result.olderVersions.size() +
            result.eventsNotSaved !=
        result.events)
        fail("events neither landed, skipped, replaced nor left unsaved",
             QString::number(result.events));
    if (result.recurring > result.imported)
        fail("more recurring than imported", QString::number(result.recurring));
    if (result.appointments < result.imported + result.expandedInto)
        fail("more appointments landed than planned", QString::number(result.appointments));
    if (result.updated != 0 || result.removed != 0 || result.notTried != 0)
        fail("an empty folder had appointments to update", QString::number(result.updated));
    // A series kept as one-time files is one appointment saved: its rule file; each of its
    // occurrences is a file more.
    const qsizetype occurrences = std::count_if(paths.cbegin(), paths.cend(), [](const QString& p) {
        return RuleSeries::occurrenceDayOf(p).isValid() &&
               !p.contains(QLatin1String("/recurring/rules/"));
    });
    if (paths.size() - occurrences != result.appointments - result.failed)
        fail("files written differ from the appointments saved",
             QStringLiteral("%1 of %2").arg(paths.size() - occurrences).arg(result.appointments));
    if (result.failed > 0 && files.written < kWriteBudget)
        fail("a save failed", result.firstFailure.path);
    if ((result.failed > 0) != (result.eventsNotSaved > 0))
        fail("failed saves and unsaved events disagree", QString::number(result.failed));

    for (const QString& path : paths) {
        const QDate day = QDate(2000, 1, 1);
        checkSane(*store.LoadAppointment(path, day), path);
    }
    return 0;
}
