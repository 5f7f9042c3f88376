// A pointer file and a shared settings file as a team member or an editor may leave them:
// loaded, saved and loaded again, every setting must come back as it was.
#include "MemoryFileAccess.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCodec.h"
#include "settings/Settings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const QString kProgram = QStringLiteral("/prog/");

[[noreturn]] void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "%s: %s\n", what, qPrintable(detail));
    std::abort();
}

QStringList textsOf(const Settings& s)
{
    QStringList texts = s.dataFolders();
    texts << s.Path() << s.LangCode() << s.TimeFormat() << s.DateFormat() << s.EmailSMTP()
          << s.EmailFrom() << s.EmailTo() << s.EmailSubject() << s.SoundFile();
    for (int n = 1; n <= Settings::kColorCount; ++n)
        texts << s.ColorText(n);
    return texts;
}

QList<qint64> numbersOf(const Settings& s)
{
    QList<qint64> numbers{s.FirstWeekday(),
                          s.FirstCW(),
                          s.MinimizeToTray(),
                          s.StartWithWeek(),
                          s.DayInterval(),
                          s.MonthInterval(),
                          s.SendEmail(),
                          s.PlaySound(),
                          s.ShowWindow(),
                          s.DesktopNotification(),
                          s.GridStartTime().minutes(),
                          s.GridEndTime().minutes(),
                          s.Grid15Minutes(),
                          s.RowPerColor()};
    for (int n = 1; n <= Settings::kColorCount; ++n)
        numbers << s.Color(n);
    for (int day = 1; day <= 7; ++day)
        numbers << s.ShowWeek(day);
    return numbers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    MemoryFileAccess files;
    files.addDirectory(kProgram);
    files.put(kProgram + QStringLiteral("Settings.ini"), bytes);
    files.put(kProgram + QStringLiteral("Norvane4.ini"), bytes);

    ProfileCache profiles(files);
    Settings first(profiles, kProgram);
    first.LoadSettings();
    first.LoadActiveFolder();
    first.LoadWindowPlacement();
    first.GetDataFolder();
    // A locked file is not written: nothing to compare.
    if (first.Locked() || !first.SaveSettings().ok)
        return 0;

    ProfileCache fresh(files);
    Settings second(fresh, kProgram);
    second.LoadSettings();
    if (numbersOf(second) != numbersOf(first))
        fail("a setting changed by a save and a load", {});
    // Texts the codec cannot give back as they were are not compared.
    const QString all = textsOf(first).join(QLatin1Char('\n'));
    if (ProfileCodec::decode(ProfileCodec::encode(all)) != all)
        return 0;
    const QStringList before = textsOf(first);
    const QStringList after = textsOf(second);
    if (before.size() != after.size())
        fail("data folders changed by a save and a load",
             QStringLiteral("%1 and %2").arg(before.size()).arg(after.size()));
    for (qsizetype i = 0; i < before.size(); ++i) {
        // A text holding something like an escape ("##eq#" before an "=") cannot survive the
        // escaping of the format; it is not compared.
        if (DecodeIniValue(EncodeIniValue(before[i])) != before[i])
            continue;
        if (before[i] != after[i])
            fail("a text setting changed by a save and a load",
                 before[i] + QLatin1String(" / ") + after[i]);
    }
    return 0;
}
