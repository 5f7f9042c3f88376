#pragma once

#include "profile/ApiINI.h"
#include "settings/Team.h"

#include <QCoreApplication>
#include <QHash>
#include <QRect>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>

// Every user preference, read from two profile files: the pointer file "Settings.ini" in the
// program directory (where the settings file is, the data folders, the active one) and the
// settings file it names (colours, grid, reminders), which a team may share and lock.
// Reading never fails: a missing or invalid key takes its default.
class Settings {
    Q_DECLARE_TR_FUNCTIONS(Settings)

public:
    static constexpr int kColorCount = 14;
    // The platform's code for the window background colour, as stored in the settings file.
    static constexpr qint64 kWindowColor = 2147483653LL;

    // programDirectory holds the pointer file and, by default, the settings file.
    Settings(ProfileCache& profiles, const QString& programDirectory);
    // The same values over another profile cache: a copy to load or save on another thread.
    Settings(const Settings& values, ProfileCache& profiles);
    // Every value of other, this object's profile cache kept: what a job on another thread
    // read comes back as values.
    void takeValues(const Settings& other);

    // What went wrong while loading, for the window that tells the user.
    struct LoadResult {
        bool pathInvalid = false; // the settings file's folder did not answer: the default is used
        QStringList unreadable;   // files that are there but could not be read
        // The text for the user in the language installed when it is asked for; empty when all
        // went well.
        QString message() const;
    };
    LoadResult LoadSettings();
    // Fails when a file could not be written or the settings file is locked (then the cause
    // says so).
    WriteOutcome SaveSettings();
    // Writes the pointer file alone (the settings file's path and the data folders), for a
    // copy that takes on the settings another file already holds.
    WriteOutcome SavePointer();
    // True when path names a file that is there, can be read and holds settings: writing this
    // copy's settings there would replace someone else's.
    bool HoldsSettings(const QString& path) const;
    void LoadActiveFolder();
    WriteOutcome SaveActiveFolder();

    // Where the main window was on this machine (kept in the pointer file, which is the
    // machine's own); an empty geometry when it never closed here.
    struct WindowPlacement {
        QRect geometry;
        bool maximized = false;
    };
    WindowPlacement LoadWindowPlacement() const;
    WriteOutcome SaveWindowPlacement(const WindowPlacement& placement);
    // True once, at the very first start with this settings file; never for a file that
    // cannot be written, nor for one that has a language already (a team's shared file is
    // never written at start-up).
    bool IsFirstStart();

    const QString& programDirectory() const { return m_programDir; }
    QString pointerFilePath() const;

    // The active data folder, always ending in a separator: the chosen one, else the first of
    // the list, else the program directory. Asking changes nothing.
    QString GetDataFolder() const;
    // The active data folder as chosen, whatever stands in for it.
    QString ChosenDataFolder() const;
    // While the window works offline the laptop's copy of a folder of the list is read and
    // written in its place (empty copy: none). Never saved: the list and the pointer file keep
    // the folder itself, and settings loaded again keep the stand-ins of these.
    void setStandIn(const QString& folder, const QString& copy);
    // What is read for folder: its stand-in, else folder itself (with a trailing separator).
    QString standIn(const QString& folder) const;
    const QStringList& dataFolders() const { return m_dataFolders; }
    void AddDataFolder(const QString& path) { m_dataFolders.append(path); }
    void ClearDataFolders() { m_dataFolders.clear(); }
    void setActiveFolder(const QString& path) { m_activeFolder = path; }
    // The folders of the list shown beside the active one ("Shown<n>" in the pointer file, a
    // check mark in the Datasource menu), as the list names them.
    const QStringList& ShownFolders() const { return m_shownFolders; }
    void setFolderShown(const QString& listed, bool on);

    // The team's people, in the order shown (section "Team" of the settings file).
    const QList<TeamMember>& TeamMembers() const { return m_team; }
    void setTeamMembers(const QList<TeamMember>& team) { m_team = team; }
    const QList<TeamRoom>& TeamRooms() const { return m_rooms; }
    void setTeamRooms(const QList<TeamRoom>& rooms) { m_rooms = rooms; }
    const QList<TeamCategory>& TeamCategories() const { return m_categories; }
    void setTeamCategories(const QList<TeamCategory>& list) { m_categories = list; }

    const QString& Path() const { return m_settingsPath; }
    void setPath(const QString& path) { m_settingsPath = path; }
    // Locked by the administrator, or a settings file that could not be read this run.
    bool Locked() const { return m_locked; }

    // The team's zone, in which the folder's wall clocks are (an IANA name; empty: the
    // system's). The sync's settings write it (kCalendarZoneSection, kCalendarZoneKey).
    const QString& CalendarZone() const { return m_calendarZone; }
    void setCalendarZone(const QString& zone) { m_calendarZone = zone; }
    static inline const QString kCalendarZoneSection = QStringLiteral("CalDAV");
    static inline const QString kCalendarZoneKey = QStringLiteral("TimeZone");

    const QString& LangCode() const { return m_langCode; }
    void setLangCode(const QString& code);
    int FirstWeekday() const { return m_firstWeekday; }
    void setFirstWeekday(int day) { m_firstWeekday = day == 2 ? 2 : 1; }
    int FirstCW() const { return m_firstCW; }
    // Anything but one of the three first-week rules becomes the four-day rule.
    void setFirstCW(int rule);
    const QString& TimeFormat() const { return m_timeFormat; }
    void setTimeFormat(const QString& format);
    QString DateFormat() const { return m_dateFormat.toLower(); }
    // Empty takes "yyyy-mm-dd"; a pattern FormatDate cannot fill in takes the language's default.
    void setDateFormat(const QString& pattern);

    bool MinimizeToTray() const { return m_minimizeToTray; }
    void setMinimizeToTray(bool on) { m_minimizeToTray = on; }
    bool StartWithWeek() const { return m_startWithWeek; }
    void setStartWithWeek(bool on) { m_startWithWeek = on; }
    // Seconds; below 1 reads as 30 and 60, so nothing ever divides by zero.
    int DayInterval() const { return m_dayInterval; }
    void setDayInterval(int seconds) { m_dayInterval = seconds < 1 ? 30 : seconds; }
    int MonthInterval() const { return m_monthInterval; }
    void setMonthInterval(int seconds) { m_monthInterval = seconds < 1 ? 60 : seconds; }
    // Requests asked of the data folder at once; 1 for a server that dislikes more.
    int ParallelRequests() const { return m_parallelRequests; }
    void setParallelRequests(int n) { m_parallelRequests = n < 1 ? 16 : std::min(n, 64); }

    bool SendEmail() const { return m_sendEmail; }
    void setSendEmail(bool on) { m_sendEmail = on; }
    const QString& EmailSMTP() const { return m_emailSmtp; }
    void setEmailSMTP(const QString& host) { m_emailSmtp = host; }
    const QString& EmailFrom() const { return m_emailFrom; }
    void setEmailFrom(const QString& address) { m_emailFrom = address; }
    const QString& EmailTo() const { return m_emailTo; }
    void setEmailTo(const QString& address) { m_emailTo = address; }
    const QString& EmailSubject() const { return m_emailSubject; }
    void setEmailSubject(const QString& subject) { m_emailSubject = subject; }
    const QString& SoundFile() const { return m_soundFile; }
    void setSoundFile(const QString& path) { m_soundFile = path; }
    bool PlaySound() const { return m_playSound; }
    void setPlaySound(bool on) { m_playSound = on; }
    bool ShowWindow() const { return m_showWindow; }
    void setShowWindow(bool on) { m_showWindow = on; }
    // Reminds through the desktop's notification service where there is one, in place of the
    // reminder window.
    bool DesktopNotification() const { return m_desktopNotification; }
    void setDesktopNotification(bool on) { m_desktopNotification = on; }

    // Colour n (1..14) as stored: RGB with red in the low byte, or kWindowColor; any other
    // value takes the slot's default.
    qint64 Color(int n) const;
    void setColor(int n, qint64 value);
    QString ColorText(int n) const;
    void setColorText(int n, const QString& name);
    static qint64 DefaultColor(int n);

    TimeOfDay GridStartTime() const { return m_gridStart; }
    void setGridStartTime(TimeOfDay time) { m_gridStart = time; }
    TimeOfDay GridEndTime() const { return m_gridEnd; }
    void setGridEndTime(TimeOfDay time) { m_gridEnd = time; }
    // Weekday 1 (Sunday) … 7 (Saturday) shown in the week view. A settings file that shows none
    // reads as showing all.
    bool ShowWeek(int weekday) const;
    void setShowWeek(int weekday, bool on);
    bool Grid15Minutes() const { return m_grid15Minutes; }
    // Minutes per row of the time grid.
    int GridMinutes() const { return m_grid15Minutes ? 15 : 30; }
    void setGrid15Minutes(bool on) { m_grid15Minutes = on; }
    bool RowPerColor() const { return m_rowPerColor; }
    void setRowPerColor(bool on) { m_rowPerColor = on; }

private:
    QString defaultSettingsPath() const;
    bool pathAccessible(const QString& path) const;
    // Calls key(section, name, field, default[, rule]) for each key of the settings file.
    template <typename Self, typename Visit> static void eachKey(Self& s, Visit&& key);
    void readSettingsFile(const IniFile& ini);
    void writeSettingsFile(IniFile& ini);

    ProfileCache* m_profiles; // never null
    QString m_programDir;

    QString m_settingsPath;
    QStringList m_dataFolders;
    QHash<QString, QString> m_standIns; // by folder with a trailing separator
    QString m_activeFolder;
    QStringList m_shownFolders;
    QList<TeamMember> m_team;
    QList<TeamRoom> m_rooms;
    QList<TeamCategory> m_categories;

    bool m_locked = false;
    bool m_unreadable = false; // a settings file that is there could not be read
    QString m_langCode = QStringLiteral("en");
    QString m_calendarZone;
    int m_firstWeekday = 1;
    int m_firstCW = 1;
    QString m_timeFormat = QStringLiteral("12h");
    QString m_dateFormat = QStringLiteral("yyyy-mm-dd");
    bool m_minimizeToTray = false;
    bool m_startWithWeek = false;
    int m_dayInterval = 30;
    int m_monthInterval = 60;
    int m_parallelRequests = 32;
    bool m_sendEmail = false;
    QString m_emailSmtp;
    QString m_emailFrom;
    QString m_emailTo;
    QString m_emailSubject;
    QString m_soundFile;
    bool m_playSound = false;
    bool m_showWindow = true;
    bool m_desktopNotification = true;
    std::array<qint64, kColorCount + 1> m_colors{};
    std::array<QString, kColorCount + 1> m_colorTexts;
    TimeOfDay m_gridStart = TimeOfDay::fromHourMinute(8, 0);
    TimeOfDay m_gridEnd = TimeOfDay::fromHourMinute(18, 0);
    std::array<bool, 8> m_showWeek{false, false, true, true, true, true, true, false};
    bool m_grid15Minutes = false;
    bool m_rowPerColor = false;
};

// Beside the executables of an unpacked copy (put there by hand): the copy is portable.
inline constexpr char kPortableMark[] = "norvane-portable";

// The program directory: the executable's own for a portable copy (its directory holds the
// pointer file "Settings.ini" or the portable mark), otherwise the per-user application data
// directory, so an installed program never writes beside itself. Always ends in a separator.
QString DefaultProgramDirectory();
