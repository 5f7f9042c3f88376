#include "service/StoreWorker.h"

#include "profile/FileAccess.h"
#include "profile/ProfileCodec.h"
#include "settings/Settings.h"
#include "settings/Team.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentFile.h"
#include "store/Privacy.h"
#include "store/RoomClaims.h"

StoreWorker::StoreWorker(std::unique_ptr<FileAccess> files, std::shared_ptr<ShareClock> clock,
                         DataAccess::Clock now, const QString& indexDirectory,
                         ParallelFetch::Factory moreFiles)
    : m_files(std::make_unique<IndexedWrites>(std::move(files), m_index), clock)
    , m_profiles(m_ahead)
    , m_store(m_profiles,
              StoreSource{[this] { return m_folder; }, [this] { return m_monthInterval; },
                          GetLoginName(),
                          [this](const QString& login) { return Team::shownName(m_team, login); },
                          [this] { return m_teamZone; }},
              std::move(now))
    , m_filing(m_store)
    , m_index(m_files, m_profiles, indexDirectory)
    , m_clock(std::move(clock))
    , m_moreFiles(std::move(moreFiles))
{
}

StoreWorker::~StoreWorker() = default;

void StoreWorker::useTeamZone(const QString& zone)
{
    if (zone == m_teamZone)
        return;
    m_teamZone = zone;
    m_store.clearCaches(); // records read in the zone before
}

void StoreWorker::useParallelRequests(int width)
{
    width = std::max(1, width);
    if (width == (m_fetch ? m_fetch->width() : 1))
        return;
    m_fetch = width > 1 ? std::make_unique<ParallelFetch>(m_moreFiles, m_clock, width) : nullptr;
}

StoreWorker::ReadPass::ReadPass(StoreWorker& worker)
    : m_worker(worker)
    , m_outermost(!worker.m_store.seenInPass())
    , m_pass(worker.m_store)
{
    // One look at the parents' times for all the reads of the pass.
    if (m_outermost)
        m_worker.m_missing.newLook();
}

StoreWorker::ReadPass::~ReadPass()
{
    if (!m_outermost)
        return;
    m_worker.m_index.takeSeen(*m_worker.m_store.seenInPass());
    // What the pass did not take is not to answer a later one.
    m_worker.m_ahead.clear();
}

void StoreWorker::useFolder(const QString& folder, int monthIntervalSeconds)
{
    m_monthInterval = std::max(1, monthIntervalSeconds);
    const QString withSeparator = WithTrailingSeparator(folder);
    m_index.useFolder(withSeparator);
    if (withSeparator == m_folder)
        return;
    m_folder = withSeparator;
    m_store.clearCaches();
    m_directories.clear();
    m_missing.useFolder(withSeparator);
}

StoreWorker::Days StoreWorker::read(const QList<QDate>& days, const QList<QDate>& marks,
                                    bool freshMarks, std::optional<bool> reachable)
{
    Days result;
    const ReadPass pass(*this);
    result.reachable = reachable ? *reachable : m_store.IsDataFolderReachable();
    if (!result.reachable) {
        // An unmounted share shows no appointments rather than a calendar that looks fine.
        for (const QDate& day : days)
            result.days.insert(day, {});
        for (const QDate& day : marks)
            result.marks.insert(day, false);
        return result;
    }
    if (freshMarks)
        m_store.forgetAllDayMarks();
    askAhead(days, marks);
    for (const QDate& day : days) {
        QList<TerminPtr> copies;
        for (const TerminPtr& appointment : m_store.GetAppointmentsOfDay(day))
            copies << std::make_shared<ClassTermin>(*appointment);
        result.days.insert(day, copies);
    }
    for (const QDate& day : marks)
        result.marks.insert(day, m_store.HasAppointments(day));
    result.unreadable = m_store.unreadableFiles();
    return result;
}

QList<std::optional<FileMeta>> StoreWorker::fetchAhead(const AheadRequests& wanted,
                                                       const QStringList& directories)
{
    if (m_fetch)
        return m_fetch->fetch(wanted, AppointmentFile::kExtension, m_folder, m_ahead, directories);
    // One after another, on the worker's own file access.
    for (const QString& dir : wanted.listings)
        m_ahead.addListing(dir, m_files.listFiles(dir, AppointmentFile::kExtension, m_folder));
    for (const QString& dir : wanted.timedListings)
        m_ahead.addListing(dir,
                           m_files.listFilesWithTime(dir, AppointmentFile::kExtension, m_folder));
    for (const QString& path : wanted.metadata)
        m_ahead.addMetadata(path, m_files.metadata(path));
    for (const QString& path : wanted.reads)
        m_ahead.addRead(path, ProfileCache::kReadLimit,
                        m_files.read(path, ProfileCache::kReadLimit, m_folder));
    QList<std::optional<FileMeta>> times;
    for (const QString& dir : directories)
        times << m_files.directoryMetadata(dir);
    return times;
}

void StoreWorker::askAhead(const QList<QDate>& days, const QList<QDate>& marks)
{
    // Each round asks what the one before made known: the directories, then their files,
    // then the files whose metadata changed; a day mark goes on from where its answers
    // ended. What is left after the last round the pass asks itself.
    // A directory is asked only where its parent's listing names it; a parent is listed once
    // and then only after its time changed.
    constexpr int kMostRounds = 32;
    for (int round = 0; round < kMostRounds; ++round) {
        AheadRequests wanted = m_store.wantedAhead(days, marks, m_ahead);
        if (wanted.empty())
            return;
        const MissingDirectories::Plan plan = m_missing.plan(wanted.listings);
        for (const QString& dir : plan.missing)
            m_ahead.addListing(dir, std::nullopt);
        wanted.listings = plan.ask;
        (void)askParents(plan, wanted);
    }
}

QList<std::optional<FileMeta>> StoreWorker::askParents(const MissingDirectories::Plan& plan,
                                                       AheadRequests wanted,
                                                       const QStringList& times)
{
    wanted.timedListings << plan.listings;
    const QList<std::optional<FileMeta>> found = fetchAhead(wanted, times + plan.times);
    // A parent's listing is taken out of the answers: no pass asks for it.
    for (const QString& parent : plan.listings)
        m_missing.parentListed(parent,
                               m_ahead.listFiles(parent, AppointmentFile::kExtension, m_folder));
    for (qsizetype i = 0; i < plan.times.size(); ++i)
        m_missing.parentTime(plan.times[i], found[times.size() + i]);
    return found.mid(0, times.size());
}

QList<std::optional<FileMeta>> StoreWorker::directoryTimes(const QStringList& dirs)
{
    QHash<QString, std::optional<FileMeta>> found;
    // Inside a pass, which lists them next, they are listed now with their times: the pass
    // takes those listings, and one path walk per directory is saved.
    const bool inPass = m_store.seenInPass() != nullptr;
    if (!inPass)
        m_missing.newLook();
    for (QStringList left = dirs; !left.isEmpty();) {
        const MissingDirectories::Plan plan = m_missing.plan(left);
        for (const QString& dir : plan.missing)
            found.insert(dir, std::nullopt);
        if (inPass) {
            AheadRequests listings;
            listings.timedListings = plan.ask;
            (void)askParents(plan, listings);
            for (const QString& dir : plan.ask) {
                const std::optional<DirectoryListing>* listing = m_ahead.listing(dir);
                found.insert(dir, listing && *listing ? (*listing)->time : std::nullopt);
            }
        } else {
            const QList<std::optional<FileMeta>> times = askParents(plan, {}, plan.ask);
            for (qsizetype i = 0; i < plan.ask.size(); ++i)
                found.insert(plan.ask[i], times[i]);
        }
        left.removeIf([&](const QString& dir) { return found.contains(dir); });
    }
    QList<std::optional<FileMeta>> inOrder;
    for (const QString& dir : dirs)
        inOrder << found.value(dir);
    return inOrder;
}

QStringList StoreWorker::changedDirectories(const QStringList& dirs)
{
    const QList<std::optional<FileMeta>> found = directoryTimes(dirs);
    // Kept for the days shown lately; forgotten now and then rather than growing without end.
    if (m_directories.size() > 4096)
        m_directories.clear();
    QStringList changed;
    for (qsizetype i = 0; i < dirs.size(); ++i) {
        const auto seen = m_directories.constFind(dirs[i]);
        if (seen != m_directories.cend() && *seen != found[i])
            changed << dirs[i];
        m_directories.insert(dirs[i], found[i]);
    }
    return changed;
}

void StoreWorker::rememberDirectories(const QStringList& dirs)
{
    QStringList unseen = dirs;
    unseen.removeIf([this](const QString& dir) { return m_directories.contains(dir); });
    if (!unseen.isEmpty())
        (void)changedDirectories(unseen);
}

bool StoreWorker::remove(const QString& path)
{
    m_store.DeleteAppointmentFile(path);
    return !m_store.FileExists(path);
}

TerminPtr StoreWorker::appointmentIn(const QString& path, const QByteArray& bytes)
{
    ProfileCache::Lookup content;
    content.document = std::make_shared<const ProfileDocument>(ProfileCodec::decode(bytes));
    content.state = ProfileCache::State::Read;
    QDate day = DataAccess::DayOfOneTimeFile(path);
    if (!day.isValid())
        day = QDate::currentDate();
    return Privacy::seenBy(
        AppointmentFile::read(IniFile(m_profiles, path, content), day, {}, QTime(0, 0)),
        m_store.viewer());
}

UndoStep StoreWorker::stepOf(UndoStep::Act act, QList<FileVersions> files)
{
    UndoStep step;
    step.act = act;
    step.files = std::move(files);
    TerminPtr before;
    TerminPtr after;
    for (const FileVersions& file : std::as_const(step.files)) {
        if (file.before && !before)
            before = appointmentIn(file.path, *file.before);
        if (file.after && !after)
            after = appointmentIn(file.path, *file.after);
    }
    const bool single = step.files.size() <= 2 && act == UndoStep::Act::Change;
    if (single)
        step.act = UndoStep::actOf(before.get(), after.get());
    if (after || before)
        step.title = UndoStep::titleOf(after ? *after : *before);
    return step;
}

StoreWorker::Restored StoreWorker::restore(const UndoStep& step, bool undo, bool overwrite)
{
    Restored restored;
    if (!m_store.IsDataFolderReachable()) {
        restored.outcome = WriteOutcome::failed(WriteOutcome::Cause::FolderUnreachable, m_folder);
        return restored;
    }
    QHash<QString, UndoPlan::Found> now;
    for (const FileVersions& file : step.files) {
        const ReadOutcome read = m_files.read(file.path, ProfileCache::kMaxFileBytes, m_folder);
        UndoPlan::Found found;
        if (read.status == ReadOutcome::Read) {
            found.state = UndoPlan::Found::State::Present;
            found.bytes = read.bytes;
        } else if (read.status != ReadOutcome::Missing) {
            found.state = UndoPlan::Found::State::Unreadable;
        }
        now.insert(file.path, found);
    }
    const UndoPlan::Plan plan = UndoPlan::plan(step, undo, now, overwrite);
    if (!plan.unreadable.isEmpty()) {
        restored.outcome = WriteOutcome::failed(WriteOutcome::Cause::Unreadable, plan.unreadable);
        return restored;
    }
    if (plan.conflict != DataAccess::FileChange::Kind::None) {
        restored.conflict.kind = plan.conflict;
        if (!plan.conflictBytes.isEmpty())
            restored.conflict.producer =
                appointmentIn(plan.conflictPath, plan.conflictBytes)->Producer();
        return restored;
    }
    // A booking brought back is checked as any other: the step's own files do not count.
    QList<ClassTermin> booking;
    QStringList own;
    for (const FileVersions& file : step.files)
        own.append(file.path);
    for (const UndoPlan::Action& action : plan.actions) {
        if (action.content)
            booking.append(*appointmentIn(action.path, *action.content));
    }
    const RoomClaims rooms(m_store, booking, own);
    if (!rooms.outcome().ok) {
        restored.outcome = rooms.outcome();
        return restored;
    }
    QList<UndoPlan::Action> done;
    for (const UndoPlan::Action& action : plan.actions) {
        bool ok = true;
        if (action.content) {
            const WriteOutcome written =
                m_files.writeAtomically(action.path, *action.content, m_folder);
            ok = written.ok;
            if (!ok)
                restored.outcome = written;
        } else {
            ok = m_files.remove(action.path, m_folder);
            if (!ok)
                restored.outcome = WriteOutcome::failed(WriteOutcome::Cause::System, action.path);
        }
        m_profiles.forget(action.path);
        if (!ok) {
            rollBack(done, now);
            break;
        }
        done.append(action);
    }
    m_store.forgetAllDayMarks();
    return restored;
}

void StoreWorker::rollBack(const QList<UndoPlan::Action>& done,
                           const QHash<QString, UndoPlan::Found>& was)
{
    for (const UndoPlan::Action& action : done) {
        const UndoPlan::Found old = was.value(action.path);
        if (old.state == UndoPlan::Found::State::Present)
            (void)m_files.writeAtomically(action.path, old.bytes, m_folder);
        else
            m_files.remove(action.path, m_folder);
        m_profiles.forget(action.path);
    }
}
