#pragma once

#include "profile/AnswersAhead.h"
#include "profile/ApiINI.h"
#include "store/ClassTermin.h"
#include "store/DaySource.h"

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>

class Settings;

// What the store needs to know of the settings: which data folder it reads, and how long a
// day mark holds.
struct StoreSource {
    std::function<QString()> dataFolder; // ends in a separator
    std::function<int()> monthInterval;  // seconds, at least 1
    // Whose eyes read: another user's private appointment reads as "Busy" (see Privacy). Empty
    // reads everything as it is, for the sync and imports that write it back.
    QString viewer;
    // The name the team gives a login, for a message naming another user (the login itself
    // when unset or unlisted).
    std::function<QString(const QString& login)> shownName;
    // The team's zone (an IANA name), in which the folder's times are; empty: the system's. An
    // appointment of its own zone is read in it (see ZoneCorrection). Null: its times are read
    // as filed, for a reader that does not know the team's zone (a folder given by path).
    std::function<QString()> teamZone;

    // The active data folder of the settings, as it is at each call, read by the user running
    // the program.
    static StoreSource of(const Settings& settings);
    // One folder, whatever the settings say: for a folder given on the command line.
    static StoreSource fixed(const QString& folder, int monthInterval = 60, QString viewer = {});
};

// Appointments grouped by colour: groups in order of first appearance, each in the order its
// appointments were added. Linear however many there are.
class ColorGroups {
public:
    void add(TerminPtr appointment);
    QList<TerminPtr> list() const;

private:
    QList<QList<TerminPtr>> m_groups;
    QHash<qint16, qsizetype> m_groupOfColor;
};

// The appointment store of one data folder (see StoreSource). The directory tree is the index:
// one-time appointments lie in y<year>/m<month>/d<day>/, recurring ones in the recurring tree,
// one file per appointment. Loaded appointments are cached and revalidated against the files'
// modification times, which is how other users' changes become visible; both caches keep the
// number of round trips on a slow share low.
class DataAccess {
public:
    using Clock = std::function<QDateTime()>;

    static constexpr int kAppointmentCacheSize = 200;
    static constexpr qint64 kAppointmentCacheBytes = 16 * 1024 * 1024;
    static constexpr int kDayMarkCacheSize = 100;

    DataAccess(ProfileCache& profiles, StoreSource source, Clock clock = {});
    DataAccess(ProfileCache& profiles, const Settings& settings, Clock clock = {});

    // Never fails: an unreadable file gives an appointment of defaults on fallbackDate, which
    // is not cached, so the file's real text is read as soon as it can be.
    TerminPtr LoadAppointment(const QString& path, const QDate& fallbackDate);
    // Writes the whole file once, merged into what it holds now; a failed save leaves the
    // previous file as it was. Creates the directories inside the data folder, never the
    // data folder itself, and never writes through a link out of it.
    WriteOutcome SaveAppointment(ClassTermin& appointment);
    // A new file that starts from the keys of keysFrom (a part of the same series), so that
    // what other copies keep there comes along; its UID and SeriesId are the record's alone.
    WriteOutcome SaveAppointment(ClassTermin& appointment, const QString& keysFrom);
    // The same for a record moved from its earlier file, which then goes: the booking of its
    // rooms (see RoomClaims) does not count that file.
    WriteOutcome SaveAppointmentReplacing(ClassTermin& appointment, const QString& earlier);
    // All three refuse with Cause::Refused a masked record (another user's private appointment)
    // and a record booking a room another appointment holds at the time (see RoomBooking).

    // The viewer this store reads for (see StoreSource::viewer).
    const QString& viewer() const { return m_source.viewer; }
    // Errors are ignored: the file may already be gone.
    void DeleteAppointmentFile(const ClassTermin& appointment);

    // What happened to an appointment's file since it was loaded (its FileDate): for the
    // editor, which asks before writing over another user's change. None when it cannot tell
    // (the folder is not there, the file cannot be read): the save then refuses and says why.
    struct FileChange {
        enum class Kind { None, Changed, Deleted } kind = Kind::None;
        QString producer; // who saved the other version, when its file says so
    };
    FileChange ChangeSinceLoaded(const ClassTermin& appointment);
    void DeleteAppointmentFile(const QString& path);
    // The same for a file of another data folder, root, that the removal must not leave.
    void DeleteAppointmentFile(const QString& path, const QString& root);

    // Colour groups in order of first appearance, each in loading order.
    QList<TerminPtr> GetAppointmentsOfDay(const QDate& date);
    // Every readable appointment file of one directory of the tree (dir ends in a separator),
    // whatever days it applies to.
    QList<TerminPtr> AppointmentsIn(const QString& dir);
    // Answered from the day-mark cache within MonthInterval seconds.
    bool HasAppointments(const QDate& date);
    // Both ends inclusive; a file without range keys applies from 1990-01-01 to 2020-12-31.
    bool IsInRecurringRange(const QString& path, const QDate& date);

    // False when the active data folder is missing or cannot be listed (an unmounted share,
    // a renamed directory): the window says so instead of showing an empty calendar.
    bool IsDataFolderReachable();

    bool FileExists(const QString& path);
    // A base name "<number>.nv3" (1 to 9 digits, drawn from 0..99,999,999 by draw) for a new
    // appointment in dir, drawn without asking the folder: its save takes the name only if no
    // file has it by then, and says NameTaken otherwise (a chance of one in a hundred million
    // per file of the directory), so a new appointment never overwrites another one.
    QString UnusedFileName(const QString& dir, const std::function<quint32()>& draw);
    // The same where a listing of dir has just told its names (none for a missing one): a name
    // it lacks is taken, and saved to, without asking the folder again.
    QString UnusedFileName(const QString& dir, const std::function<quint32()>& draw,
                           const QSet<QString>& listed);
    // Within a pass, the directories the days' listings ask for (see GetAppointmentsOfDay)
    // that a listing of a directory above them lacks are missing for the rest of the pass: a
    // listing of each directory above them in place of a question for each of them. A link to
    // a directory counts as none, as in ListAppointmentFiles.
    void NoteMissingDirectoriesOf(const QList<QDate>& days);

    // An appointment file as a listing found it.
    struct ListedAppointment {
        QString path; // inside the data folder, '/' between the names
        FileMeta meta;
    };
    // The appointment files of the days from..to and of the whole recurring tree, each asked
    // for its metadata once: only directories the tree lays out, named as it names them
    // (see Recurrence::isAppointmentPath); links to directories are not followed, and names
    // that cannot be represented are skipped and told as by the day listings.
    QList<ListedAppointment> ListAppointmentFiles(const QDate& from, const QDate& to);

    static QString DayDirectory(const QString& dataFolder, const QDate& date);
    // The day a one-time appointment's path files it under; invalid for a recurring one.
    static QDate DayOfOneTimeFile(const QString& path);
    // The day of the store's clock: what a series is written ahead from.
    QDate today() const { return now().date(); }
    // The folder this store reads and writes, ending in a separator.
    QString DataFolder() const { return m_source.dataFolder(); }
    // What the store reads and writes through: for a file of the folder that is no
    // appointment (a claim).
    FileAccess& files() const { return m_profiles.files(); }

    // Files the listings passed over because their names cannot be represented, each named
    // once: for a caller that reports them.
    QStringList takeSkippedNames();
    // Files the views passed over because they could not be read whole (the share's error, a
    // file too large), each named once until it reads again.
    struct UnreadableFile {
        QString path;
        QString reason;
        friend bool operator==(const UnreadableFile&, const UnreadableFile&) = default;
    };
    QList<UnreadableFile> takeUnreadableFiles();
    // The files met unreadable that have not read again or gone since, by path: what a window
    // names while they stay so.
    QList<UnreadableFile> unreadableFiles() const;

    // One pass over the folder (a view build, a range, a sweep of the day marks): within it
    // each file's metadata is asked for at most once and each directory listed once, and a
    // file not cached yet is opened without asking first. Other users' changes show at the
    // next pass. Passes do not nest; the outermost one counts.
    class Pass {
    public:
        explicit Pass(DataAccess& store);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        DataAccess& m_store;
        bool m_outermost;
    };

    // The name the team gives login (see StoreSource::shownName).
    QString shownName(const QString& login) const;

    // What the pass now running has seen: each file looked at, by path, and each directory
    // listed (a missing one as empty). Null outside a pass. For a cache kept beside the store
    // from what it reads anyway (the local index).
    struct PassMemo {
        QHash<QString, ProfileCache::Lookup> files;
        QHash<QString, QStringList> listings;
    };
    const PassMemo* seenInPass() const { return m_pass ? &*m_pass : nullptr; }

    // A pass that sees the folder as it is now, whatever pass runs around it: for the check
    // right before a write, which must see what another copy wrote a moment ago.
    class FreshPass {
    public:
        explicit FreshPass(DataAccess& store);
        ~FreshPass();
        FreshPass(const FreshPass&) = delete;
        FreshPass& operator=(const FreshPass&) = delete;

    private:
        DataAccess& m_store;
        std::optional<PassMemo> m_outer;
    };

    // The requests a pass over days and marks would make next that neither the pass nor ahead
    // has an answer for: what a caller asks all at once and hands to ahead before the pass
    // reads, asking again until nothing is wanted. Exactly what the pass would ask, in
    // another order. A pass must be running.
    AheadRequests wantedAhead(const QList<QDate>& days, const QList<QDate>& marks,
                              const AnswersAhead& ahead);

    // Forget everything loaded: for tests and a change of the whole data source.
    void clearCaches();
    // Day marks are asked again at their next use: after the folder did not answer for a while.
    void forgetAllDayMarks() { m_dayMarks.clear(); }

private:
    class Lister;

    // The checks every save of a record passes before save writes it; ownFiles do not count
    // as another booking of its rooms.
    WriteOutcome checkedSave(const ClassTermin& appointment, const QStringList& ownFiles,
                             const std::function<WriteOutcome()>& save);
    WriteOutcome saveFresh(ClassTermin& appointment);
    WriteOutcome saveFrom(ClassTermin& appointment, const QString& keysFrom);

    TerminPtr loadAppointment(const QString& path, const QDate& fallbackDate,
                              const ProfileCache::Lookup& file);
    // The file's current content when path holds an appointment shown on date.
    std::optional<ProfileCache::Lookup> shownOn(const QString& path, bool inRecurringTree,
                                                const QDate& date);
    // The file's content as this pass sees it.
    ProfileCache::Lookup currentContent(const QString& path);
    // Our own change to a file: this pass must not answer from what it saw before.
    void forgetInPass(const QString& path);
    // Our own change shows in the day marks at once, not after MonthInterval.
    void forgetDayMarks(const QString& path);
    bool isInRecurringRange(const QString& path, const QDate& date,
                            const ProfileCache::Lookup& file);
    QStringList listAppointmentFiles(const QString& dir);
    // A file no longer listed is no longer unreadable.
    void forgetUnreadableGoneFrom(const QString& dir, const QStringList& names);
    QDateTime now() const;
    // Whether HasAppointments would answer date from the day-mark cache.
    bool holdsDayMark(const QDate& date) const;
    // Whether this pass can list dir, or look at the file at path, without a request; what a
    // file still needs is added to wanted.
    bool listingAnswerable(const QString& dir, const AnswersAhead& ahead) const;
    bool fileAnswerable(const QString& path, const AnswersAhead& ahead,
                        AheadRequests& wanted) const;

    QString dataFolder() const { return DataFolder(); }

    ProfileCache& m_profiles;
    StoreSource m_source;
    Clock m_clock;

    struct CachedAppointment {
        std::shared_ptr<const ProfileDocument> document; // the content it was read from
        TerminPtr appointment;
        qint64 cost = 0;
    };
    std::deque<CachedAppointment> m_appointments; // oldest first
    qint64 m_appointmentBytes = 0;

    struct DayMark {
        QDate date;
        bool answer = false;
        QString folder;
        QDateTime asked;
    };
    std::deque<DayMark> m_dayMarks; // oldest first

    std::optional<PassMemo> m_pass; // empty outside a pass

    QSet<QString> m_skippedNames;
    QStringList m_unreportedSkips;
    QHash<QString, QString> m_unreadable; // path -> the reason it could not be read
    QList<UnreadableFile> m_unreportedUnreadable;
};
