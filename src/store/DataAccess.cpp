#include "store/DataAccess.h"

#include "profile/FileAccess.h"
#include "settings/Settings.h"
#include "settings/Team.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentFile.h"
#include "store/Common.h"
#include "store/Privacy.h"
#include "store/Recurrence.h"
#include "store/RoomClaims.h"
#include "store/ZoneCorrection.h"

#include <QDir>
#include <QFileInfo>

StoreSource StoreSource::of(const Settings& settings)
{
    return {[&settings] { return settings.GetDataFolder(); },
            [&settings] { return settings.MonthInterval(); }, GetLoginName(),
            [&settings](const QString& login) {
                return Team::shownName(settings.TeamMembers(), login);
            },
            [&settings] { return settings.CalendarZone(); }};
}

StoreSource StoreSource::fixed(const QString& folder, int monthInterval, QString viewer)
{
    const QString withSeparator = WithTrailingSeparator(folder);
    return {[withSeparator] { return withSeparator; },
            [monthInterval] { return monthInterval; },
            std::move(viewer),
            {},
            {}};
}

DataAccess::DataAccess(ProfileCache& profiles, StoreSource source, Clock clock)
    : m_profiles(profiles)
    , m_source(std::move(source))
    , m_clock(std::move(clock))
{
}

DataAccess::DataAccess(ProfileCache& profiles, const Settings& settings, Clock clock)
    : DataAccess(profiles, StoreSource::of(settings), std::move(clock))
{
}

QDateTime DataAccess::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

QString DataAccess::DayDirectory(const QString& dataFolder, const QDate& date)
{
    return Recurrence::directory(dataFolder, Recurrence::Kind::None, date);
}

QStringList DataAccess::listAppointmentFiles(const QString& dir)
{
    if (m_pass) {
        if (const auto seen = m_pass->listings.constFind(dir); seen != m_pass->listings.cend())
            return *seen;
    }
    // A missing directory is an empty day. The listing decides what an appointment file is
    // (a regular file, or a link to one inside the data folder), for every caller alike.
    const std::optional<DirectoryListing> listing =
        m_profiles.files().listFiles(dir, AppointmentFile::kExtension, dataFolder());
    if (!listing) {
        // Missing for the rest of the pass too: a week asks for recurring/every five times.
        if (m_pass)
            m_pass->listings.insert(dir, {});
        forgetUnreadableGoneFrom(dir, {});
        return {};
    }
    forgetUnreadableGoneFrom(dir, listing->names);
    for (const QString& name : listing->unrepresentable) {
        const QString path = dir + name;
        if (!m_skippedNames.contains(path)) {
            m_skippedNames.insert(path);
            m_unreportedSkips.append(path);
        }
    }
    if (m_pass)
        m_pass->listings.insert(dir, listing->names);
    return listing->names;
}

QStringList DataAccess::takeSkippedNames()
{
    return std::exchange(m_unreportedSkips, QStringList());
}

QList<DataAccess::UnreadableFile> DataAccess::takeUnreadableFiles()
{
    return std::exchange(m_unreportedUnreadable, {});
}

QList<DataAccess::UnreadableFile> DataAccess::unreadableFiles() const
{
    QList<UnreadableFile> files;
    for (auto file = m_unreadable.cbegin(); file != m_unreadable.cend(); ++file)
        files.append({file.key(), file.value()});
    std::sort(files.begin(), files.end(),
              [](const UnreadableFile& a, const UnreadableFile& b) { return a.path < b.path; });
    return files;
}

void DataAccess::forgetUnreadableGoneFrom(const QString& dir, const QStringList& names)
{
    for (auto file = m_unreadable.begin(); file != m_unreadable.end();) {
        if (DirectoryOfPath(file.key()) == dir && !names.contains(file.key().mid(dir.size())))
            file = m_unreadable.erase(file);
        else
            ++file;
    }
}

TerminPtr DataAccess::LoadAppointment(const QString& path, const QDate& fallbackDate)
{
    return loadAppointment(path, fallbackDate, m_profiles.lookup(path, dataFolder()));
}

TerminPtr DataAccess::loadAppointment(const QString& path, const QDate& fallbackDate,
                                      const ProfileCache::Lookup& file)
{
    const bool cacheable = file.state == ProfileCache::State::Read;
    for (auto it = m_appointments.begin(); it != m_appointments.end(); ++it) {
        if (it->appointment->filename() != path)
            continue;
        if (cacheable && it->document == file.document)
            return it->appointment;
        m_appointmentBytes -= it->cost;
        m_appointments.erase(it); // changed on disk: read it again
        break;
    }
    const IniFile ini(m_profiles, path, file);
    TerminPtr filed = AppointmentFile::read(ini, fallbackDate, file.meta.modified, now().time());
    if (m_source.teamZone) // another zone's reader would move every appointment of its own zone
        filed = ZoneCorrection::withTeamTimesOnItsDay(filed, m_source.teamZone());
    TerminPtr appointment = Privacy::seenBy(filed, m_source.viewer);
    if (cacheable) {
        // A failed read is never cached: the next access tries again.
        const qint64 cost = (appointment->Text().size() + path.size()) * 2 + 256;
        m_appointments.push_back({file.document, appointment, cost});
        m_appointmentBytes += cost;
        while (m_appointments.size() > 1 && (m_appointments.size() > kAppointmentCacheSize ||
                                             m_appointmentBytes > kAppointmentCacheBytes)) {
            m_appointmentBytes -= m_appointments.front().cost;
            m_appointments.pop_front();
        }
    }
    return appointment;
}

QString DataAccess::shownName(const QString& login) const
{
    return m_source.shownName ? m_source.shownName(login) : login;
}

WriteOutcome DataAccess::SaveAppointment(ClassTermin& appointment, const QString& keysFrom)
{
    return checkedSave(appointment, {appointment.filename()},
                       [&] { return saveFrom(appointment, keysFrom); });
}

WriteOutcome DataAccess::SaveAppointment(ClassTermin& appointment)
{
    return checkedSave(appointment, {appointment.filename()},
                       [&] { return saveFresh(appointment); });
}

WriteOutcome DataAccess::SaveAppointmentReplacing(ClassTermin& appointment, const QString& earlier)
{
    return checkedSave(appointment, {appointment.filename(), earlier},
                       [&] { return saveFresh(appointment); });
}

WriteOutcome DataAccess::checkedSave(const ClassTermin& appointment, const QStringList& ownFiles,
                                     const std::function<WriteOutcome()>& save)
{
    if (appointment.isMasked())
        return WriteOutcome::failed(WriteOutcome::Cause::Refused, appointment.filename(),
                                    Privacy::refusal(appointment));
    // Held from the check of what else books the rooms to the write.
    const RoomClaims rooms(*this, {appointment}, ownFiles);
    if (!rooms.outcome().ok)
        return rooms.outcome();
    return save();
}

WriteOutcome DataAccess::saveFrom(ClassTermin& appointment, const QString& keysFrom)
{
    const ProfileCache::Lookup base = m_profiles.lookup(keysFrom, dataFolder());
    if (base.state != ProfileCache::State::Read)
        return saveFresh(appointment);
    const QString path = appointment.filename();
    forgetInPass(path);
    forgetDayMarks(path);
    IniFile ini(m_profiles, path, dataFolder());
    ini.startFrom(base);
    AppointmentFile::write(ini, appointment);
    // What names one event or one series, and where a series' files lie, is the record's
    // alone: a key the record has no value for goes.
    for (const auto& [key, empty] :
         {std::pair{QStringLiteral("UID"), appointment.Uid().isEmpty()},
          std::pair{QStringLiteral("SeriesId"), appointment.SeriesId().isEmpty()},
          std::pair{AppointmentFile::kSeriesDays, appointment.SeriesDays().isEmpty()},
          std::pair{AppointmentFile::kRepeatRule, !appointment.Rule()},
          std::pair{AppointmentFile::kRepeatStart, !appointment.Rule()},
          std::pair{AppointmentFile::kRepeatSkipped, appointment.SkippedDays().isEmpty()},
          std::pair{AppointmentFile::kRepeatWritten, !appointment.WrittenUntil().isValid()}}) {
        if (empty)
            ini.DeleteIniKey(AppointmentFile::kSection, key);
    }
    const WriteOutcome outcome = ini.commit();
    if (outcome.ok && outcome.written)
        appointment.setFileDate(outcome.written->modified);
    return outcome;
}

WriteOutcome DataAccess::saveFresh(ClassTermin& appointment)
{
    // On a share every call is a round trip, so a save asks one question before it writes
    // (none for a name FileExists has just found free; none more for a record booking no
    // room), and the write itself makes the directories inside the data folder and refuses a
    // data folder that is missing: an unmounted share or a renamed folder made again would
    // split the team's data into a local copy.
    const QString path = appointment.filename();
    forgetInPass(path);
    forgetDayMarks(path);
    IniFile ini(m_profiles, path, dataFolder());
    AppointmentFile::write(ini, appointment);
    const WriteOutcome outcome = ini.commit();
    // The record now stands for what is on disk: a later edit of it is no conflict.
    if (outcome.ok)
        if (const auto meta = outcome.written ? outcome.written : m_profiles.files().metadata(path))
            appointment.setFileDate(meta->modified);
    return outcome;
}

DataAccess::FileChange DataAccess::ChangeSinceLoaded(const ClassTermin& appointment)
{
    FileChange change;
    if (appointment.isNew() || !appointment.FileDate().isValid())
        return change;
    const ProfileCache::Lookup file = m_profiles.lookup(appointment.filename(), dataFolder());
    if (file.state == ProfileCache::State::Missing) {
        // An unmounted share shows every file as gone: that is not another user's deletion,
        // and the save that follows says why it is refused.
        if (IsDataFolderReachable())
            change.kind = FileChange::Kind::Deleted;
    } else if (file.state == ProfileCache::State::Read &&
               file.meta.modified > appointment.FileDate()) {
        change.kind = FileChange::Kind::Changed;
        change.producer =
            AppointmentFile::read(IniFile(m_profiles, appointment.filename(), file),
                                  appointment.datum(), file.meta.modified, now().time())
                ->Producer();
    }
    return change;
}

void DataAccess::DeleteAppointmentFile(const ClassTermin& appointment)
{
    DeleteAppointmentFile(appointment.filename());
}

void DataAccess::DeleteAppointmentFile(const QString& path)
{
    DeleteAppointmentFile(path, dataFolder());
}

void DataAccess::DeleteAppointmentFile(const QString& path, const QString& root)
{
    if (path.isEmpty() || root.isEmpty())
        return;
    forgetInPass(path);
    forgetDayMarks(path);
    m_profiles.files().remove(path, root);
    m_profiles.forget(path);
}

ProfileCache::Lookup DataAccess::currentContent(const QString& path)
{
    if (m_pass) {
        if (const auto seen = m_pass->files.constFind(path); seen != m_pass->files.cend())
            return *seen;
    }
    const QString root = dataFolder();
    // A file held already is checked by its metadata; one that is not is simply opened, and
    // its metadata taken from the open file.
    ProfileCache::Lookup file =
        m_profiles.holds(path) ? m_profiles.lookup(path, root) : m_profiles.read(path, root);
    if (m_pass)
        m_pass->files.insert(path, file);
    return file;
}

void DataAccess::forgetDayMarks(const QString& path)
{
    // A one-time file touches the day its directory names; a recurring one may touch any day.
    const QDate day = DayOfOneTimeFile(path);
    std::erase_if(m_dayMarks,
                  [&](const DayMark& mark) { return !day.isValid() || mark.date == day; });
}

void DataAccess::forgetInPass(const QString& path)
{
    if (!m_pass)
        return;
    m_pass->files.remove(path);
    m_pass->listings.remove(DirectoryOfPath(path));
}

DataAccess::FreshPass::FreshPass(DataAccess& store)
    : m_store(store)
    , m_outer(std::exchange(store.m_pass, PassMemo()))
{
}

DataAccess::FreshPass::~FreshPass()
{
    m_store.m_pass = std::move(m_outer);
}

DataAccess::Pass::Pass(DataAccess& store)
    : m_store(store)
    , m_outermost(!store.m_pass)
{
    if (m_outermost)
        m_store.m_pass.emplace();
}

DataAccess::Pass::~Pass()
{
    if (m_outermost)
        m_store.m_pass.reset();
}

std::optional<ProfileCache::Lookup> DataAccess::shownOn(const QString& path, bool inRecurringTree,
                                                        const QDate& date)
{
    const ProfileCache::Lookup file = currentContent(path);
    // Gone, or no regular file any more (a FIFO swapped in): skipped like a missing file.
    if (file.state == ProfileCache::State::Missing ||
        file.state == ProfileCache::State::NotRegular) {
        m_unreadable.remove(path);
        return std::nullopt;
    }
    // Shown with defaults, it would be an empty appointment reminding everyone: skipped, and
    // named once to whoever reports it, until it reads again.
    if (file.state == ProfileCache::State::Unreadable) {
        if (!m_unreadable.contains(path))
            m_unreportedUnreadable.append({path, file.error});
        m_unreadable.insert(path, file.error);
        return std::nullopt;
    }
    m_unreadable.remove(path);
    if (inRecurringTree && !isInRecurringRange(path, date, file))
        return std::nullopt;
    return file;
}

QList<TerminPtr> DataAccess::GetAppointmentsOfDay(const QDate& date)
{
    ColorGroups groups;
    const QStringList dirs = Recurrence::directoriesOfDay(dataFolder(), date);
    for (int i = 0; i < dirs.size(); ++i) {
        const bool recurringDir = i > 0;
        for (const QString& name : listAppointmentFiles(dirs[i])) {
            const QString path = dirs[i] + name;
            if (const auto file = shownOn(path, recurringDir, date))
                groups.add(loadAppointment(path, date, *file));
        }
    }
    return groups.list();
}

QList<TerminPtr> DataAccess::AppointmentsIn(const QString& dir)
{
    QList<TerminPtr> found;
    const QDate today = now().date();
    for (const QString& name : listAppointmentFiles(dir)) {
        const QString path = dir + name;
        if (const auto file = shownOn(path, false, today))
            found.append(loadAppointment(path, today, *file));
    }
    return found;
}

void ColorGroups::add(TerminPtr appointment)
{
    const auto group = m_groupOfColor.constFind(appointment->ColorCode());
    if (group != m_groupOfColor.cend()) {
        m_groups[*group].append(std::move(appointment));
        return;
    }
    m_groupOfColor.insert(appointment->ColorCode(), m_groups.size());
    m_groups.append({std::move(appointment)});
}

QList<TerminPtr> ColorGroups::list() const
{
    QList<TerminPtr> all;
    for (const QList<TerminPtr>& group : m_groups)
        all.append(group);
    return all;
}

bool DataAccess::IsInRecurringRange(const QString& path, const QDate& date)
{
    return isInRecurringRange(path, date, m_profiles.lookup(path, dataFolder()));
}

bool DataAccess::isInRecurringRange(const QString& path, const QDate& date,
                                    const ProfileCache::Lookup& file)
{
    const AppointmentFile::RecurringRange range =
        AppointmentFile::readRecurringRange(IniFile(m_profiles, path, file));
    return range.from <= date && date <= range.until;
}

bool DataAccess::holdsDayMark(const QDate& date) const
{
    const QString folder = dataFolder();
    const QDateTime expired = now().addSecs(-std::max(1, m_source.monthInterval()));
    return std::any_of(m_dayMarks.cbegin(), m_dayMarks.cend(), [&](const DayMark& mark) {
        return mark.asked >= expired && mark.date == date && mark.folder == folder;
    });
}

bool DataAccess::listingAnswerable(const QString& dir, const AnswersAhead& ahead) const
{
    return (m_pass && m_pass->listings.contains(dir)) || ahead.listing(dir);
}

bool DataAccess::fileAnswerable(const QString& path, const AnswersAhead& ahead,
                                AheadRequests& wanted) const
{
    // As currentContent looks at a file: a file held by its metadata, then read if it changed;
    // any other simply read.
    if ((m_pass && m_pass->files.contains(path)) || ahead.hasRead(path))
        return true;
    if (!m_profiles.holds(path)) {
        wanted.reads.append(path);
        return false;
    }
    const std::optional<FileMeta>* meta = ahead.metadataOf(path);
    if (!meta) {
        wanted.metadata.append(path);
        return false;
    }
    if (*meta && m_profiles.wouldRead(path, **meta)) {
        wanted.reads.append(path);
        return false;
    }
    return true;
}

AheadRequests DataAccess::wantedAhead(const QList<QDate>& days, const QList<QDate>& marks,
                                      const AnswersAhead& ahead)
{
    AheadRequests wanted;
    // The names a listing gave, nullopt while it is not known.
    const auto namesIn = [&](const QString& dir) -> std::optional<QStringList> {
        if (m_pass) {
            if (const auto seen = m_pass->listings.constFind(dir); seen != m_pass->listings.cend())
                return *seen;
        }
        if (const std::optional<DirectoryListing>* listing = ahead.listing(dir))
            return *listing ? (*listing)->names : QStringList();
        wanted.listings.append(dir);
        return std::nullopt;
    };
    const QString folder = dataFolder();
    // A day looks at every file of its directories, whatever each one holds.
    for (const QDate& day : days) {
        for (const QString& dir : Recurrence::directoriesOfDay(folder, day))
            if (const std::optional<QStringList> names = namesIn(dir))
                for (const QString& name : *names)
                    fileAnswerable(dir + name, ahead, wanted);
    }
    // A day mark stops at the first file that answers it, so it is followed here as far as
    // the answers go, taking them as HasAppointments would; what it needs next is wanted.
    for (const QDate& day : marks) {
        if (holdsDayMark(day))
            continue;
        const QStringList dirs = Recurrence::directoriesOfDay(folder, day);
        const auto answered = [&] {
            for (qsizetype i = 0; i < dirs.size(); ++i) {
                if (!listingAnswerable(dirs[i], ahead)) {
                    wanted.listings.append(dirs[i]);
                    return;
                }
                const QStringList names = listAppointmentFiles(dirs[i]);
                if (i == 0) {
                    if (!names.isEmpty())
                        return; // a one-time file answers by being there
                    continue;
                }
                for (const QString& name : names) {
                    if (!fileAnswerable(dirs[i] + name, ahead, wanted))
                        return;
                    if (shownOn(dirs[i] + name, true, day))
                        return;
                }
            }
        };
        answered();
    }
    wanted.removeDuplicates();
    return wanted;
}

bool DataAccess::HasAppointments(const QDate& date)
{
    const QString folder = dataFolder();
    const QDateTime current = now();
    const QDateTime expired = current.addSecs(-std::max(1, m_source.monthInterval()));
    for (auto it = m_dayMarks.rbegin(); it != m_dayMarks.rend();) {
        if (it->asked < expired) {
            it = decltype(it)(m_dayMarks.erase(std::next(it).base()));
            continue;
        }
        if (it->date == date && it->folder == folder)
            return it->answer;
        ++it;
    }

    bool answer = false;
    const QStringList dirs = Recurrence::directoriesOfDay(folder, date);
    // A one-time file is never read: its presence is the answer.
    answer = !listAppointmentFiles(dirs[0]).isEmpty();
    for (int i = 1; i < dirs.size() && !answer; ++i) {
        for (const QString& name : listAppointmentFiles(dirs[i])) {
            if (shownOn(dirs[i] + name, true, date)) {
                answer = true;
                break;
            }
        }
    }

    m_dayMarks.push_back({date, answer, folder, current});
    if (m_dayMarks.size() > kDayMarkCacheSize)
        m_dayMarks.pop_front();
    return answer;
}

bool DataAccess::IsDataFolderReachable()
{
    return m_profiles.files().isListableDir(dataFolder());
}

bool DataAccess::FileExists(const QString& path)
{
    // Anything under the name counts: a new appointment must not land on a FIFO either. A
    // save of the name right after asks no more.
    const bool there = m_profiles.files().exists(path);
    if (!there)
        m_profiles.noteFree(path);
    return there;
}

QString DataAccess::UnusedFileName(const QString& dir, const std::function<quint32()>& draw)
{
    return UnusedFileName(dir, draw, {});
}

QString DataAccess::UnusedFileName(const QString& dir, const std::function<quint32()>& draw,
                                   const QSet<QString>& listed)
{
    constexpr quint32 kNameRange = 100000000;
    QString name;
    do
        name = QString::number(draw() % kNameRange) + AppointmentFile::kExtension;
    while (listed.contains(name));
    m_profiles.noteFree(dir + name);
    return name;
}

void DataAccess::NoteMissingDirectoriesOf(const QList<QDate>& days)
{
    if (!m_pass)
        return;
    const QString folder = dataFolder();
    QHash<QString, std::optional<QStringList>> below; // real subdirectories; none: missing
    const auto present = [&](const QString& dir) {
        QString at = folder;
        for (const QString& name : dir.mid(folder.size()).split(u'/', Qt::SkipEmptyParts)) {
            auto found = below.find(at);
            if (found == below.end()) {
                const auto listing =
                    m_profiles.files().listFiles(at, AppointmentFile::kExtension, folder);
                found =
                    below.insert(at, listing ? std::optional(listing->directories) : std::nullopt);
            }
            if (!*found || !(*found)->contains(name))
                return false;
            at += name + u'/';
        }
        return true;
    };
    for (const QDate& day : days) {
        for (const QString& dir : Recurrence::directoriesOfDay(folder, day)) {
            if (dir.startsWith(folder) && !m_pass->listings.contains(dir) && !present(dir))
                m_pass->listings.insert(dir, {});
        }
    }
}

void DataAccess::clearCaches()
{
    m_appointments.clear();
    m_appointmentBytes = 0;
    m_dayMarks.clear();
    m_profiles.clear();
    m_unreadable.clear();
}

QDate DataAccess::DayOfOneTimeFile(const QString& path)
{
    return Recurrence::dayOf(path);
}

DaySource DaysOf(DataAccess& store)
{
    return [&store](const QDate& date) { return store.GetAppointmentsOfDay(date); };
}
