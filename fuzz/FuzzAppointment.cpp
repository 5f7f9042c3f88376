// An appointment file as another user's copy may leave it, loaded through the store from a
// day directory and from the recurring tree. What loads must be a sane record, and saving it
// and loading it again must give the same record.
#include "MemoryFileAccess.h"
#include "profile/ProfileCodec.h"
#include "store/AppointmentFile.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kFolder = QStringLiteral("/data/");
const QDate kDay(2030, 3, 4);
const QString kOnce = QStringLiteral("/data/y2030/m3/d4/1.nv3");
const QString kDaily = QStringLiteral("/data/recurring/every/2.nv3");
const QString kCopy = QStringLiteral("/data/y2030/m3/d5/3.nv3");

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

void checkSane(const ClassTermin& a)
{
    if (!a.datum().isValid() || a.datum() < QDate(1900, 1, 1))
        fail("date outside the format", a.datum().toString(Qt::ISODate));
    for (const TimeOfDay t : {a.StartTime(), a.EndTime()}) {
        if (t.minutes() < 0 || t.minutes() > TimeOfDay::kEndOfDay)
            fail("time outside the day", QString::number(t.minutes()));
    }
    if (a.ColorCode() == 0)
        fail("colour 0 reported", a.filename());
    if (a.IsReminder() != (a.RemindMinutes() != 0))
        fail("reminder flag and minutes disagree", QString::number(a.RemindMinutes()));
    if (!a.RecurringStartDate().isValid() || !a.RecurringEndDate().isValid())
        fail("invalid recurring range", a.filename());
    if (IsRecurringPath(a.filename()) && !a.IsRecurring())
        fail("a file of the recurring tree is not recurring", a.filename());
}

// The fields a save writes and a load reads back.
void checkSame(const ClassTermin& saved, const ClassTermin& loaded)
{
    const auto differs = [](const char* field) { fail("changed by a save and a load", field); };
    if (loaded.datum() != saved.datum())
        differs("date");
    if (loaded.StartTime() != saved.StartTime() || loaded.EndTime() != saved.EndTime())
        differs("times");
    if (loaded.ColorCode() != saved.ColorCode())
        differs("colour");
    if (loaded.IsReminder() != saved.IsReminder() ||
        loaded.RemindMinutes() != saved.RemindMinutes() ||
        loaded.ReminderAll() != saved.ReminderAll() || loaded.EmailEnable() != saved.EmailEnable())
        differs("reminder");
    if (loaded.IsRecurring() != saved.IsRecurring())
        differs("recurring");
    if (loaded.RecurringStartDate() != saved.RecurringStartDate() ||
        loaded.RecurringEndDate() != saved.RecurringEndDate())
        differs("recurring range");
    // Texts the codec cannot give back as they were are not compared.
    const QString both = saved.Text() + QLatin1Char('\n') + saved.Producer();
    if (ProfileCodec::decode(ProfileCodec::encode(both)) != both)
        return;
    if (loaded.Text() != DecodeIniValue(EncodeIniValue(saved.Text())))
        differs("text");
    if (loaded.Producer() != DecodeIniValue(EncodeIniValue(saved.Producer())))
        differs("owner");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    MemoryFileAccess files;
    files.addDirectory(QStringLiteral("/data/y2030/m3/d4/"));
    files.addDirectory(QStringLiteral("/data/recurring/every/"));
    files.put(kOnce, bytes);
    files.put(kDaily, bytes);

    const QDateTime now(kDay, QTime(9, 41));
    ProfileCache profiles(files, ProfileCache::kDefaultCapacity, ProfileCache::kDefaultByteCapacity,
                          [now] { return now; });
    DataAccess store(profiles, StoreSource::fixed(kFolder), [now] { return now; });

    store.HasAppointments(kDay);
    const QList<TerminPtr> day = store.GetAppointmentsOfDay(kDay);
    bool sawOnce = false;
    for (const TerminPtr& a : day) {
        checkSane(*a);
        a->GetFormatedText();
        a->CheckReminder(QStringLiteral("user"), kDay, now);
        a->CheckReminder(QStringLiteral("user"), kDay, QDateTime(kDay.addDays(-1), QTime(23, 0)));
        sawOnce = sawOnce || a->filename() == kOnce;
    }
    // A one-time file is shown on its day whatever it holds.
    if (!sawOnce)
        fail("the day's file is not shown", kOnce);

    // The same file loaded again is the same object; saved elsewhere it reads back the same.
    const TerminPtr once = store.LoadAppointment(kOnce, kDay);
    if (store.LoadAppointment(kOnce, kDay) != once)
        fail("an unchanged file was read again", kOnce);
    ClassTermin copy = *once;
    copy.setFilename(kCopy);
    if (!store.SaveAppointment(copy).ok)
        fail("save failed", kCopy);
    const TerminPtr loaded = store.LoadAppointment(kCopy, kDay.addDays(1));
    checkSane(*loaded);
    checkSame(copy, *loaded);

    // Saved over itself, the file keeps what it held and takes the record's values.
    ClassTermin again = *once;
    if (!store.SaveAppointment(again).ok)
        fail("save over the file failed", kOnce);
    checkSame(*once, *store.LoadAppointment(kOnce, kDay));
    return 0;
}
