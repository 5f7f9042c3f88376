#include "settings/Settings.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "profile/FileAccess.h"

#include <QAnyStringView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <algorithm>
#include <functional>
#include <type_traits>

namespace {

const QString kPointerFile = QStringLiteral("Settings.ini");
const QString kDefaultSettingsFile = QStringLiteral("Norvane4.ini");

const QString kSettings = QStringLiteral("Settings");
const QString kDataFolders = QStringLiteral("DataFolders");
const QString kWindow = QStringLiteral("Window");
const QString kAdmin = QStringLiteral("Admin");
const QString kInternational = QStringLiteral("International");
const QString kProgram = QStringLiteral("Program");
const QString kReminder = QStringLiteral("Reminder");
const QString kColors = QStringLiteral("Colors");
const QString kGrid = QStringLiteral("Grid");
const QString kApplication = QStringLiteral("Application");
const QString kLocked = QStringLiteral("Locked");
const QString kLangCode = QStringLiteral("LangCode");

// Red in the low byte.
constexpr qint64 rgb(int r, int g, int b)
{
    return r | (g << 8) | (b << 16);
}

constexpr std::array<qint64, Settings::kColorCount + 1> kDefaultColors = {0,
                                                                          rgb(255, 255, 223),
                                                                          rgb(255, 230, 230),
                                                                          rgb(207, 254, 253),
                                                                          rgb(198, 226, 255),
                                                                          rgb(217, 255, 217),
                                                                          rgb(239, 239, 239),
                                                                          Settings::kWindowColor,
                                                                          rgb(255, 255, 128),
                                                                          rgb(255, 145, 145),
                                                                          rgb(128, 255, 255),
                                                                          rgb(121, 188, 255),
                                                                          rgb(138, 255, 138),
                                                                          rgb(205, 205, 205),
                                                                          Settings::kWindowColor};

// Windows copies hold the window colour as a signed 32-bit number.
constexpr qint64 kWindowColorSigned = Settings::kWindowColor - (1LL << 32);
constexpr qint64 kLargestRgb = 0xFFFFFF;

// Hour and minute; either out of range gives the default.
TimeOfDay readGridTime(const IniFile& ini, const QString& section, const QString& prefix,
                       TimeOfDay fallback)
{
    const int hour = ini.ReadIniLong(section, prefix + QLatin1String("Hour"), fallback.hour());
    const int minute = ini.ReadIniLong(section, prefix + QLatin1String("Minute"), 0);
    if (hour < 0 || hour > 24 || minute < 0 || minute > 59 || (hour == 24 && minute > 0))
        return fallback;
    return TimeOfDay::fromHourMinute(hour, minute);
}

// A key written as its default whatever was read.
struct WrittenAsDefault {};
constexpr WrittenAsDefault kWrittenAsDefault;

} // namespace

// Every key of the settings file in the order written: its section, name, field, default and
// the rule of its value (the setter's). Reading and writing both walk this one list, so a key
// is spelled once.
template <typename Self, typename Visit> void Settings::eachKey(Self& s, Visit&& key)
{
    const QString none;
    // The administrator's: a save writes it cleared, only to a file it has just found so.
    key(kAdmin, kLocked, s.m_locked, false, kWrittenAsDefault);
    key(kInternational, kLangCode, s.m_langCode, none, &Settings::setLangCode);
    key(kInternational, "FirstWeekday", s.m_firstWeekday, 1, &Settings::setFirstWeekday);
    key(kInternational, "FirstCW", s.m_firstCW, 1, &Settings::setFirstCW);
    key(kInternational, "TimeFormat", s.m_timeFormat, none, &Settings::setTimeFormat);
    // After the language, whose pattern replaces one that cannot be filled in.
    key(kInternational, "DateFormat", s.m_dateFormat, none, &Settings::setDateFormat);
    key(kProgram, "MinimizeToTray", s.m_minimizeToTray, false);
    key(kProgram, "StartWithWeek", s.m_startWithWeek, false);
    key(kProgram, "DayInterval", s.m_dayInterval, 30, &Settings::setDayInterval);
    key(kProgram, "MonthInterval", s.m_monthInterval, 60, &Settings::setMonthInterval);
    key(kProgram, "ParallelRequests", s.m_parallelRequests, 32, &Settings::setParallelRequests);
    key(kReminder, "SendEmail", s.m_sendEmail, false);
    key(kReminder, "EmailSMTP", s.m_emailSmtp, none);
    key(kReminder, "EmailFrom", s.m_emailFrom, none);
    key(kReminder, "EmailTo", s.m_emailTo, none);
    key(kReminder, "EmailSubject", s.m_emailSubject, none);
    key(kReminder, "SoundFile", s.m_soundFile, none);
    key(kReminder, "PlaySound", s.m_playSound, false);
    key(kReminder, "ShowWindow", s.m_showWindow, true);
    key(kReminder, "DesktopNotification", s.m_desktopNotification, true);
    for (size_t n = 1; n <= kColorCount; ++n) {
        const auto setColor = [n](Settings& t, qint64 value) { t.setColor(int(n), value); };
        key(kColors, QStringLiteral("Color%1").arg(n), s.m_colors[n], kDefaultColors[n], setColor);
        key(kColors, QStringLiteral("Text%1").arg(n), s.m_colorTexts[n], none);
    }
    key(kGrid, "StartTime", s.m_gridStart, TimeOfDay::fromHourMinute(8, 0));
    key(kGrid, "EndTime", s.m_gridEnd, TimeOfDay::fromHourMinute(18, 0));
    for (size_t day = 1; day <= 7; ++day)
        key(kGrid, QStringLiteral("ShowWeek%1").arg(day), s.m_showWeek[day], day >= 2 && day <= 6);
    key(kGrid, "Grid15Minutes", s.m_grid15Minutes, false);
    key(kGrid, "RowPerColor", s.m_rowPerColor, false);
}

QString DefaultProgramDirectory()
{
    // Only a portable copy keeps its files beside the executable: one whose directory holds
    // the pointer file already, or a build tree. An installed program never writes into bin/.
    const QString own = QCoreApplication::applicationDirPath();
    const QDir ownDir(own);
    if (!own.isEmpty() && (ownDir.exists(QStringLiteral("Settings.ini")) ||
                           ownDir.exists(QString::fromLatin1(kPortableMark))))
        return WithTrailingSeparator(QDir::toNativeSeparators(own));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return WithTrailingSeparator(QDir::toNativeSeparators(data));
}

Settings::Settings(ProfileCache& profiles, const QString& programDirectory)
    : m_profiles(&profiles)
    , m_programDir(WithTrailingSeparator(programDirectory))
{
    m_colors = kDefaultColors;
    m_settingsPath = defaultSettingsPath();
    m_dataFolders = {m_programDir};
}

Settings::Settings(const Settings& values, ProfileCache& profiles)
    : Settings(values)
{
    m_profiles = &profiles;
}

void Settings::takeValues(const Settings& other)
{
    ProfileCache* const own = m_profiles;
    const QHash<QString, QString> standIns = m_standIns;
    *this = other;
    m_profiles = own;
    m_standIns = standIns;
}

QString Settings::pointerFilePath() const
{
    return m_programDir + kPointerFile;
}

QString Settings::defaultSettingsPath() const
{
    return m_programDir + kDefaultSettingsFile;
}

bool Settings::pathAccessible(const QString& path) const
{
    // The folder the file lies in must answer; the file itself may not exist yet.
    const QFileInfo info(path);
    return m_profiles->files().isListableDir(info.absolutePath());
}

QString Settings::LoadResult::message() const
{
    QStringList parts;
    if (pathInvalid)
        parts << tr("The path of the settings file is invalid.\n"
                    "Please change the path in the settings-menu.");
    for (const QString& path : unreadable)
        parts << tr("The settings file %1 could not be read.\n"
                    "Changes to the settings are not saved until the next start.")
                     .arg(path);
    // Messages break their lines as the profile files do.
    return parts.join(QStringLiteral("\n\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

Settings::LoadResult Settings::LoadSettings()
{
    LoadResult result;

    const IniFile pointer(*m_profiles, pointerFilePath());
    m_settingsPath = pointer.ReadIniString(kSettings, QStringLiteral("Path"));

    m_dataFolders.clear();
    // The list costs no more than the entries the file holds, whatever count it states.
    const QHash<QString, QString> folders = pointer.ReadIniSection(kDataFolders);
    const int stated = pointer.ReadIniLong(kDataFolders, QStringLiteral("FolderCount"), -1);
    const int count = std::min<qsizetype>(stated, folders.size());
    if (count < 1)
        m_dataFolders.append(m_programDir);
    m_shownFolders.clear();
    for (int n = 1; n <= count; ++n) {
        m_dataFolders.append(folders.value(QStringLiteral("folder%1").arg(n)));
        if (folders.value(QStringLiteral("shown%1").arg(n)) == QLatin1String("1"))
            m_shownFolders.append(m_dataFolders.last());
    }
    // A count beyond the entries present adds no blank entries to the list.
    while (stated > count && m_dataFolders.size() > 1 && m_dataFolders.back().isEmpty())
        m_dataFolders.removeLast();

    if (m_settingsPath.isEmpty())
        m_settingsPath = defaultSettingsPath();
    if (!pathAccessible(m_settingsPath)) {
        result.pathInvalid = true;
        m_settingsPath = defaultSettingsPath();
    }

    const IniFile settings(*m_profiles, m_settingsPath);
    readSettingsFile(settings);

    // A file that is there but could not be read (a moment's trouble on the share) must not
    // be written over with defaults: its settings count as locked for this run.
    for (const IniFile* file : {&pointer, &settings}) {
        if (file->unreadable())
            result.unreadable.append(file->path());
    }
    m_unreadable = !result.unreadable.isEmpty();
    if (m_unreadable) {
        m_locked = true;
        // Nothing is known of the user's language: the desktop's is the best guess.
        if (settings.unreadable())
            setLangCode(QLocale::system().name().startsWith(QLatin1String("de"))
                            ? QStringLiteral("de")
                            : QString());
    }
    return result;
}

void Settings::readSettingsFile(const IniFile& ini)
{
    eachKey(*this, [&](const QString& section, QAnyStringView name, auto& field, auto fallback,
                       auto... rule) {
        using T = decltype(fallback);
        const QString key = name.toString();
        T value;
        if constexpr (std::is_same_v<T, bool>)
            value = ini.ReadIniBool(section, key, fallback);
        else if constexpr (std::is_same_v<T, int>)
            value = ini.ReadIniLong(section, key, fallback);
        else if constexpr (std::is_same_v<T, qint64>)
            value = ini.ReadIniInt64(section, key, fallback);
        else if constexpr (std::is_same_v<T, TimeOfDay>)
            value = readGridTime(ini, section, key, fallback);
        else
            value = ini.ReadIniString(section, key);
        // The rule (a setter) takes the value; without one it is kept as read.
        if constexpr (std::is_invocable_v<decltype(rule)..., Settings&, T>)
            std::invoke(rule..., *this, value);
        else
            field = value;
    });
    m_team = Team::read(ini);
    m_calendarZone = ini.ReadIniString(kCalendarZoneSection, kCalendarZoneKey).trimmed();
    m_rooms = Team::readRooms(ini);
    m_categories = Team::readCategories(ini);
    // A file without a single day would show an empty week view: then every day is shown.
    if (std::none_of(m_showWeek.begin() + 1, m_showWeek.end(), [](bool shown) { return shown; }))
        std::fill(m_showWeek.begin() + 1, m_showWeek.end(), true);
}

WriteOutcome Settings::SavePointer()
{
    if (m_settingsPath.isEmpty())
        m_settingsPath = defaultSettingsPath();

    IniFile pointer(*m_profiles, pointerFilePath());
    pointer.WriteIniString(kSettings, QStringLiteral("Path"), m_settingsPath);
    const int before = pointer.ReadIniLong(kDataFolders, QStringLiteral("FolderCount"), 0);
    pointer.WriteIniLong(kDataFolders, QStringLiteral("FolderCount"), m_dataFolders.size());
    for (int n = 1; n <= std::max<qsizetype>(m_dataFolders.size(), before); ++n) {
        const QString shown = QStringLiteral("Shown%1").arg(n);
        if (n <= m_dataFolders.size()) {
            pointer.WriteIniString(kDataFolders, QStringLiteral("Folder%1").arg(n),
                                   m_dataFolders[n - 1]);
            if (m_shownFolders.contains(m_dataFolders[n - 1])) {
                pointer.WriteIniBool(kDataFolders, shown, true);
                continue;
            }
        }
        // A mark is kept only beside the folder it marks.
        pointer.DeleteIniKey(kDataFolders, shown);
    }
    return pointer.commit();
}

WriteOutcome Settings::SaveSettings()
{
    if (const WriteOutcome written = SavePointer(); !written.ok)
        return written;

    if (m_unreadable)
        return WriteOutcome::failed(WriteOutcome::Cause::Unreadable, m_settingsPath);
    IniFile settings(*m_profiles, m_settingsPath);
    // Another user may have locked the shared file since we read it.
    if (settings.ReadIniBool(kAdmin, kLocked, false))
        return WriteOutcome::failed(WriteOutcome::Cause::Locked, m_settingsPath);
    writeSettingsFile(settings);
    return settings.commit();
}

bool Settings::HoldsSettings(const QString& path) const
{
    if (path.isEmpty() || !pathAccessible(path))
        return false;
    const IniFile file(*m_profiles, path);
    if (file.unreadable())
        return false;
    // Any section of its own, whoever wrote it: a hand-made team file may hold only colours.
    bool holds = false;
    eachKey(*this, [&](const QString& section, auto&&...) {
        holds = holds || !file.ReadIniSection(section).isEmpty();
    });
    return holds;
}

void Settings::setFolderShown(const QString& listed, bool on)
{
    m_shownFolders.removeAll(listed);
    if (on)
        m_shownFolders.append(listed);
}

void Settings::writeSettingsFile(IniFile& ini)
{
    eachKey(*this, [&](const QString& section, QAnyStringView name, const auto& field,
                       auto fallback, auto... rule) {
        using T = decltype(fallback);
        const QString key = name.toString();
        const T& value =
            (std::is_same_v<decltype(rule), WrittenAsDefault> || ...) ? fallback : field;
        if constexpr (std::is_same_v<T, bool>)
            ini.WriteIniBool(section, key, value);
        else if constexpr (std::is_same_v<T, TimeOfDay>)
            ini.WriteIniTime(section, key, value);
        else if constexpr (std::is_same_v<T, QString>)
            ini.WriteIniString(section, key, value);
        else
            ini.WriteIniLong(section, key, value);
    });
    Team::write(ini, m_team);
    Team::writeRooms(ini, m_rooms);
    Team::writeCategories(ini, m_categories);
}

void Settings::LoadActiveFolder()
{
    m_activeFolder = IniFile(*m_profiles, pointerFilePath())
                         .ReadIniString(kDataFolders, QStringLiteral("ActiveFolder"));
}

WriteOutcome Settings::SaveActiveFolder()
{
    IniFile pointer(*m_profiles, pointerFilePath());
    pointer.WriteIniString(kDataFolders, QStringLiteral("ActiveFolder"), ChosenDataFolder());
    return pointer.commit();
}

Settings::WindowPlacement Settings::LoadWindowPlacement() const
{
    const IniFile pointer(*m_profiles, pointerFilePath());
    const auto read = [&](const char* key) {
        return int(pointer.ReadIniLong(kWindow, QLatin1String(key), 0));
    };
    WindowPlacement placement;
    placement.geometry = QRect(read("Left"), read("Top"), read("Width"), read("Height"));
    placement.maximized = pointer.ReadIniBool(kWindow, QStringLiteral("Maximized"), false);
    if (placement.geometry.width() <= 0 || placement.geometry.height() <= 0)
        placement.geometry = QRect();
    return placement;
}

WriteOutcome Settings::SaveWindowPlacement(const WindowPlacement& placement)
{
    IniFile pointer(*m_profiles, pointerFilePath());
    const QRect& g = placement.geometry;
    pointer.WriteIniLong(kWindow, QStringLiteral("Left"), g.x());
    pointer.WriteIniLong(kWindow, QStringLiteral("Top"), g.y());
    pointer.WriteIniLong(kWindow, QStringLiteral("Width"), g.width());
    pointer.WriteIniLong(kWindow, QStringLiteral("Height"), g.height());
    pointer.WriteIniBool(kWindow, QStringLiteral("Maximized"), placement.maximized);
    return pointer.commit();
}

bool Settings::IsFirstStart()
{
    if (m_unreadable)
        return false; // nothing is known of this file, and nothing may be written to it
    IniFile ini(*m_profiles, m_settingsPath);
    // A file that names a language has been set up: by a team, it is theirs to keep.
    if (!ini.ReadIniString(kInternational, kLangCode).isEmpty())
        return false;
    if (ini.ReadIniLong(kApplication, QStringLiteral("FirstStart"), 1) != 1)
        return false;
    ini.WriteIniLong(kApplication, QStringLiteral("FirstStart"), 0);
    // A file that cannot be written would ask for the language at every start.
    return ini.commit().ok;
}

QString Settings::GetDataFolder() const
{
    return standIn(ChosenDataFolder());
}

void Settings::setStandIn(const QString& folder, const QString& copy)
{
    if (copy.isEmpty())
        m_standIns.remove(WithTrailingSeparator(folder));
    else
        m_standIns.insert(WithTrailingSeparator(folder), WithTrailingSeparator(copy));
}

QString Settings::standIn(const QString& folder) const
{
    const QString path = WithTrailingSeparator(folder);
    return m_standIns.value(path, path);
}

QString Settings::ChosenDataFolder() const
{
    QString folder = m_activeFolder.isEmpty() ? m_dataFolders.value(0) : m_activeFolder;
    // An empty entry in the folder list must never make the file system root the data folder.
    if (folder.isEmpty())
        folder = m_programDir;
    return WithTrailingSeparator(folder);
}

void Settings::setLangCode(const QString& code)
{
    m_langCode = IsGerman(code) ? code : QStringLiteral("en");
}

void Settings::setFirstCW(int rule)
{
    m_firstCW = IsWeekRule(rule) ? rule : kFirstFourDayWeek;
}

void Settings::setTimeFormat(const QString& format)
{
    m_timeFormat = IsTwentyFourHours(format) ? format : QStringLiteral("12h");
}

void Settings::setDateFormat(const QString& pattern)
{
    if (pattern.isEmpty())
        m_dateFormat = QStringLiteral("yyyy-mm-dd");
    else if (IsDatePattern(pattern))
        m_dateFormat = pattern;
    else // garbage would be shown as it stands
        m_dateFormat = DefaultDateFormat(m_langCode);
}

qint64 Settings::Color(int n) const
{
    return n >= 1 && n <= kColorCount ? m_colors[size_t(n)] : DefaultColor(1);
}

void Settings::setColor(int n, qint64 value)
{
    if (n < 1 || n > kColorCount)
        return;
    if (value == kWindowColorSigned)
        value = kWindowColor;
    // -1 is "not set"; anything else outside RGB would draw black on black.
    const bool usable = (value >= 0 && value <= kLargestRgb) || value == kWindowColor;
    m_colors[size_t(n)] = usable ? value : kDefaultColors[size_t(n)];
}

qint64 Settings::DefaultColor(int n)
{
    return n >= 1 && n <= kColorCount ? kDefaultColors[size_t(n)] : kDefaultColors[1];
}

QString Settings::ColorText(int n) const
{
    return n >= 1 && n <= kColorCount ? m_colorTexts[size_t(n)] : QString();
}

void Settings::setColorText(int n, const QString& name)
{
    if (n >= 1 && n <= kColorCount)
        m_colorTexts[size_t(n)] = name;
}

bool Settings::ShowWeek(int weekday) const
{
    return weekday >= 1 && weekday <= 7 && m_showWeek[size_t(weekday)];
}

void Settings::setShowWeek(int weekday, bool on)
{
    if (weekday >= 1 && weekday <= 7)
        m_showWeek[size_t(weekday)] = on;
}
