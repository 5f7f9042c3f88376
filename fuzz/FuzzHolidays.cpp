// A holiday list from anywhere: refused exactly when it holds control characters, else parsed
// and every section imported into a data folder in memory. Each day shown by the views must
// then hold the last holiday imported for it.
#include "MemoryFileAccess.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "store/DataAccess.h"
#include "tools/HolidayFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kFolder = QStringLiteral("/data/");
const QString kPath = QStringLiteral("/lists/holidays.txt");

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    MemoryFileAccess files;
    files.addDirectory(QStringLiteral("/lists/"));
    files.addDirectory(kFolder);
    files.put(kPath, bytes);

    HolidayFile::Problem problem;
    const std::optional<HolidayFile> list = HolidayFile::read(files, kPath, &problem);
    const QString text = ProfileCodec::decode(bytes);
    const bool control = std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_Control && c != u'\t' && c != u'\r' && c != u'\n';
    });
    if (!list) {
        if (!control || !problem.notText || problem.line < 1)
            fail("a small text list could not be read", problem.reason);
        return 0;
    }
    if (control)
        fail("a list with control characters was read", kPath);
    const QStringList sections = list->sections();
    QHash<QDate, QString> lastOfDay;
    int total = 0;
    int outOfRange = 0;
    for (const QString& section : sections) {
        if (!list->hasSection(section))
            fail("a listed section is not there", section);
        for (const HolidayFile::Entry& entry : list->entries(section)) {
            if (!entry.date.isValid())
                fail("entry without a date", entry.name);
            if (entry.date < HolidayFile::kFirstDay || entry.date > HolidayFile::kLastDay) {
                ++outOfRange;
                continue;
            }
            lastOfDay.insert(entry.date, entry.name);
            ++total;
        }
    }
    for (const QString& name : list->repeated()) {
        if (!sections.contains(name))
            fail("a repeated section is not listed", name);
    }
    if (!list->entries(QStringLiteral("\x01no such section")).isEmpty())
        fail("entries of a missing section", {});

    ProfileCache profiles(files);
    const QDateTime now(QDate(2026, 1, 1), QTime(12, 0));
    DataAccess store(profiles, StoreSource::fixed(kFolder), [now] { return now; });
    const HolidayImportResult result = ImportHolidays(*list, sections, 3, store, kFolder);
    if (result.count != total || result.failed != 0 || result.outOfRange != outOfRange)
        fail("import failed", QStringLiteral("%1 of %2").arg(result.failed).arg(result.count));

    for (auto it = lastOfDay.cbegin(); it != lastOfDay.cend(); ++it) {
        const QString name = it.value();
        // Texts the codec cannot give back as they were are not checked.
        if (ProfileCodec::decode(ProfileCodec::encode(name)) != name)
            continue;
        const QString expected = DecodeIniValue(EncodeIniValue(name));
        bool found = false;
        for (const TerminPtr& a : store.GetAppointmentsOfDay(it.key())) {
            if (!a->filename().endsWith(QLatin1String("/holiday.nv3")))
                continue;
            if (found || a->Text() != expected || a->Producer() != QLatin1String("Import"))
                fail("the day does not hold its holiday", it.key().toString(Qt::ISODate));
            found = true;
        }
        if (!found)
            fail("holiday lost", it.key().toString(Qt::ISODate));
    }
    return 0;
}
