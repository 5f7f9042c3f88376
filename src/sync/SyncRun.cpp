#include "sync/SyncRun.h"

#include "profile/FileAccess.h"

#include <QTimeZone>

#include <algorithm>

namespace SyncInternal {

std::optional<SyncRecord::File> Run::look(const QString& rel,
                                          std::optional<qint64> listedSize) const
{
    constexpr qint64 kMax = ProfileCache::kMaxFileBytes;
    if (listedSize && *listedSize > kMax)
        return std::nullopt;
    const ReadOutcome read = m_files.read(abs(rel), kMax + 1, m_folder);
    if (read.status != ReadOutcome::Read || read.bytes.size() > kMax)
        return std::nullopt;
    return SyncRecord::File{rel, read.meta.modified.toMSecsSinceEpoch(), read.meta.size,
                            QCryptographicHash::hash(read.bytes, QCryptographicHash::Sha1).toHex()};
}

SyncRecord::File Run::fileRecord(const QString& rel) const
{
    // One that cannot be read now is looked at again next time.
    return look(rel).value_or(SyncRecord::File{rel, 0, 0, {}});
}

bool Run::sendable(const QString& rel, const TerminPtr& a)
{
    QString why;
    if (!a->Text().trimmed().isEmpty() && a->datum().isValid())
        return true;
    const bool readable = look(rel).has_value();
    if (!readable && !m_files.metadata(abs(rel)))
        return false; // gone since the listing: the next sync sees it so
    if (!readable)
        why = Sync::tr("%1 was not sent: it cannot be read whole inside the data folder.");
    else if (a->Text().trimmed().isEmpty())
        why = Sync::tr("%1 was not sent: it holds no text.");
    else
        why = Sync::tr("%1 was not sent: it has no valid date.");
    const Listed seen = m_scanned.value(rel);
    const SyncRecord::File mark{rel, seen.modified, seen.size, {}};
    if (!m_withheld.contains(rel) && !m_status.withheld.contains(mark))
        m_result.notes << why.arg(QDir::toNativeSeparators(abs(rel)));
    m_withheld.insert(rel, mark);
    return false;
}

void Run::withhold(const QString& rel)
{
    if (m_result.notSent.contains(rel))
        return;
    m_result.notSent << rel;
    // A conflict's new copy is not listed yet; a file deleted here has no time nor size.
    Listed seen = m_scanned.value(rel);
    if (const auto meta = m_scanned.contains(rel) ? std::nullopt : m_files.metadata(abs(rel)))
        seen = {meta->modified.toMSecsSinceEpoch(), meta->size};
    const SyncRecord::File mark{rel, seen.modified, seen.size, {}};
    if (!m_withheld.contains(rel) && !m_status.withheld.contains(mark))
        m_result.notes << Sync::tr("%1 was not sent: the calendar is read-only. "
                                   "The change stays here until the server changes its event.")
                              .arg(QDir::toNativeSeparators(abs(rel)));
    m_withheld.insert(rel, mark);
}

void Run::noteSkipped()
{
    for (const QString& path : m_store.takeSkippedNames())
        m_result.notes << Sync::tr("%1 was skipped: its name is not valid text.")
                              .arg(QDir::toNativeSeparators(path));
}

void Run::noteRecordTrust(const QString& distrust)
{
    if (!distrust.isEmpty()) {
        m_result.notes << Sync::tr("The sync record cannot be trusted (%1): this sync pairs the "
                                   "folder's files and the server's events afresh.")
                              .arg(distrust);
        m_touched = true;
    }
    const QStringList& ignored = m_status.ignored;
    if (!ignored.isEmpty()) {
        QString shown = ignored.mid(0, 3).join(QStringLiteral(", "));
        if (ignored.size() > 3)
            shown += QStringLiteral(", …");
        m_result.notes << Sync::tr("The sync record names entries outside the appointment tree "
                                   "or the calendar, or twice; they were ignored: %1")
                              .arg(shown);
        m_touched = true; // the record is written again without them
    }
}

// Saves the record now and then, so a killed sync repeats little.
void Run::changed(bool force)
{
    m_dirty = true;
    if (++m_unsaved < 50 && !force)
        return;
    SyncRecord::Status status = m_status;
    status.token.clear();
    status.ctag.clear();
    status.items.clear();
    for (qsizetype i = 0; i < m_status.items.size(); ++i)
        if (!m_drop.value(i))
            status.items << m_status.items[i];
    status.items.append(m_added);
    QString error;
    if (!SyncRecord::save(m_files, m_folder, status, &error))
        fail(Sync::tr("Cannot write the sync record: %1").arg(error));
    m_unsaved = 0;
}

namespace {

// The same collection however its address is spelled: scheme and host in any case, the default
// port written or not, with or without the trailing slash, characters encoded or not.
QString collectionPath(const QUrl& url)
{
    QString p = QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
    return p.endsWith(u'/') ? p : p + u'/';
}

bool sameCollection(const QUrl& a, const QUrl& b)
{
    const std::optional<HttpClient::Origin> origin = HttpClient::originOf(a.toString());
    return origin && origin == HttpClient::originOf(b.toString()) &&
           collectionPath(a) == collectionPath(b);
}

// Scheme, port and path alike: the host may be another name of the same server.
bool sameButHost(const QUrl& a, const QUrl& b)
{
    const auto port = [](const QUrl& url) {
        return url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) ? 80
                                                                                          : 443);
    };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 && port(a) == port(b) &&
           collectionPath(a) == collectionPath(b);
}

} // namespace

// The same calendar under another name of its host (localhost, 127.0.0.1, a second DNS
// name): the path and port are the same, and the server takes the record's sync token for it.
// Requests still go to the name the user gave.
bool Run::sameServer(const QUrl& found, const QUrl& recorded)
{
    if (m_status.token.isEmpty() || !sameButHost(found, recorded))
        return false;
    return m_dav.changesSince(found, m_status.token).has_value();
}

void Run::findCollection()
{
    if (m_status.account == m_account.url && !m_status.collection.isEmpty()) {
        m_collection = QUrl(m_status.collection);
    } else {
        const std::optional<QUrl> found = m_dav.discover(QUrl(m_account.url), &m_result.candidates);
        if (!found)
            fail(m_dav.error());
        m_collection = *found;
        if (sameCollection(m_collection, QUrl(m_status.collection))) {
            // Another spelling of the same calendar: the record's stays, and with it the UIDs
            // drawn from it.
            m_collection = QUrl(m_status.collection);
        } else if (!sameServer(m_collection, QUrl(m_status.collection))) {
            // Another calendar: what the record knew of the old one says nothing here, but the
            // UIDs its files were sent with pair them with the same events, should they be
            // there.
            for (const Item& item : std::as_const(m_status.items))
                for (const SyncRecord::File& f : item.files)
                    m_formerUids.insert(f.path, item.uid);
            m_status = {};
        }
        m_status.account = m_account.url;
        m_status.collection = m_collection.toString();
    }
    m_result.collection = m_collection.toString();
}

void Run::classify()
{
    const std::optional<CalendarServer::State> state = m_dav.state(m_collection);
    if (!state)
        fail(m_dav.error());
    m_state = *state;
    m_readOnly = m_options.readOnly || !state->writable;
    const bool same = !(state->token.isEmpty() && state->ctag.isEmpty()) &&
                      state->token == m_status.token && state->ctag == m_status.ctag;
    std::optional<CalendarServer::Changes> changes;
    if (!same && !m_status.token.isEmpty())
        changes = m_dav.changesSince(m_collection, m_status.token);
    if (same || changes) {
        for (const Item& item : m_status.items)
            if (!item.href.isEmpty())
                m_etags.insert(item.href, item.etag);
        if (changes) {
            m_etags.insert(changes->changed);
            for (const QString& href : changes->removed)
                m_etags.remove(href);
        }
    } else {
        // No token, or one the server no longer takes: every ETag of the collection.
        const auto etags = m_dav.etags(m_collection);
        if (!etags)
            fail(m_dav.error());
        m_etags = *etags;
    }
    {
        const DataAccess::Pass pass(m_store);
        for (const DataAccess::ListedAppointment& file :
             m_store.ListAppointmentFiles(m_from, m_to)) {
            // A series kept by its rule file goes as its rule file: its other files follow it.
            if (!RuleSeries::occurrenceDayOf(file.path).isValid())
                m_scanned.insert(file.path,
                                 {file.meta.modified.toMSecsSinceEpoch(), file.meta.size});
        }
        listRuleFiles();
        noteSkipped();
    }

    // The files the record knows, as they are now; outside the window only when the server
    // changed their event, else only whether they are still there.
    QHash<QString, const SyncRecord::File*> known;
    for (const Item& item : m_status.items) {
        const bool serverUnchanged = !item.href.isEmpty() && !item.etag.isEmpty() &&
                                     m_etags.contains(item.href) &&
                                     m_etags.value(item.href) == item.etag;
        for (const SyncRecord::File& f : item.files) {
            known.insert(f.path, &f);
            if (m_scanned.contains(f.path) || inWindow(f.path))
                continue;
            if (serverUnchanged) {
                if (m_files.metadata(abs(f.path)))
                    m_listing.insert(f.path, {f.modified, f.size, {}, {}, true});
            } else if (const auto now = look(f.path)) {
                m_listing.insert(f.path, {now->modified, now->size, now->hash, {}, true});
            }
        }
    }
    for (auto it = m_scanned.cbegin(); it != m_scanned.cend(); ++it)
        listFile(it.key(), it.value(), known.value(it.key()));
}

void Run::listRuleFiles()
{
    const QString dir = Recurrence::kTreeName + u'/' + RuleSeries::kRulesDirectory + u'/';
    const auto listed = m_files.listFiles(abs(dir), AppointmentFile::kExtension, m_folder);
    for (const QString& name : listed ? listed->names : QStringList()) {
        if (!OccurrenceSeries::isRulePath(dir + name))
            continue;
        if (const auto meta = m_files.metadata(abs(dir + name)))
            m_scanned.insert(dir + name, {meta->modified.toMSecsSinceEpoch(), meta->size});
    }
}

// A file of the window: the hash of its bytes when the record does not know it as it is, and
// for a file no item claims its UID and whether it holds anything to send.
void Run::listFile(const QString& rel, const Listed& seen, const SyncRecord::File* known)
{
    SyncPlan::LocalFile file{seen.modified, seen.size, {}, {}, true};
    if (known) {
        if (seen.modified != known->modified || seen.size != known->size) {
            const auto now = look(rel, seen.size);
            file.hash = now ? now->hash : QByteArray(); // unreadable: changed
            // A split gives the file of a series its SeriesId: the new parts belong to it.
            if (now && now->hash != known->hash)
                file.series = SyncMapping::groupOf(*load(rel));
        }
    } else {
        const TerminPtr a = load(rel);
        file.uid = !a->Uid().isEmpty() ? a->Uid() : m_formerUids.value(rel, fileUid(rel));
        file.sendable = !a->Text().trimmed().isEmpty() && a->datum().isValid();
        file.series = SyncMapping::groupOf(*a);
        m_newFiles.insert(rel, {rel, a, false, file.uid});
    }
    m_listing.insert(rel, file);
}

void Run::stopAtGuard()
{
    // The server's side first when both would lose most: what others see goes.
    const bool onServer = m_plan.there.tooMany();
    const SyncPlan::Deletions& side = onServer ? m_plan.there : m_plan.here;
    m_result.massDeletion = {side.count, side.of, onServer};
    throw Stop{SyncResult::Exit::MassDelete,
               (onServer ? Sync::tr("The sync would delete %1 of %2 appointments on the server; "
                                    "nothing was changed.")
                         : Sync::tr("The sync would delete %1 of %2 appointments in the data "
                                    "folder; nothing was changed."))
                   .arg(side.count)
                   .arg(side.of)};
}

void Run::fetchIncoming(const QStringList& restoring)
{
    const QStringList wanted = SyncPlan::toFetch(m_status.items, m_etags) + restoring;
    if (wanted.isEmpty())
        return;
    const auto fetched = m_dav.fetch(m_collection, wanted);
    if (!fetched)
        fail(m_dav.error());
    for (auto it = fetched->cbegin(); it != fetched->cend(); ++it) {
        checkCancel();
        SyncMapping::Incoming in =
            SyncMapping::incomingOf(it->body, m_folder, m_options.timeZoneId, &m_zones);
        m_etags[it.key()] = it->etag;
        m_incoming.insert(it.key(), std::move(in));
    }
}

void Run::go()
{
    if (!QFileInfo(m_folder).isDir())
        fail(Sync::tr("The data folder %1 cannot be reached.")
                 .arg(QDir::toNativeSeparators(m_folder)));
    QString error;
    const auto status = SyncRecord::load(m_files, m_folder, &error);
    if (!status)
        fail(Sync::tr("Cannot read the sync record: %1").arg(error));
    m_status = *status;
    noteRecordTrust(error);
    findCollection();
    checkCancel();
    classify();
    checkCancel();
    // The guard looks at deletions only, which need no event's body; a restore names the
    // bodies it needs.
    const SyncPlan::Options planned{m_options.restoreDeleted};
    m_plan = SyncPlan::plan(m_status.items, m_listing, m_etags, {}, planned);
    if (m_readOnly)
        SyncPlan::downOnly(m_plan);
    if (!m_options.allowMassDelete && !m_options.restoreDeleted && SyncPlan::massDeletion(m_plan))
        stopAtGuard();
    fetchIncoming(m_plan.fetch);
    QHash<QString, SyncPlan::Fetched> fetched;
    for (auto it = m_incoming.cbegin(); it != m_incoming.cend(); ++it)
        fetched.insert(it.key(), {it->uid, it->error.isEmpty() && !it->mirror &&
                                               (it->appointments.size() == 1 ||
                                                !it->series.isEmpty() || !it->span.isEmpty())});
    m_plan = SyncPlan::plan(m_status.items, m_listing, m_etags, fetched, planned);
    if (m_readOnly) {
        for (const SyncPlan::Action& left : SyncPlan::downOnly(m_plan)) {
            if (left.kind == SyncPlan::Kind::DeleteThere) {
                for (const SyncRecord::File& f : m_status.items[left.item].files)
                    withhold(f.path);
            } else {
                for (const QString& rel : QStringList{left.path} + left.with)
                    withhold(rel);
            }
        }
    }
    apply();
}

bool Run::onlyOwnWrites(const QList<Item>& items)
{
    if (m_state.token.isEmpty())
        return false;
    const std::optional<CalendarServer::State> now = m_dav.state(m_collection);
    if (!now || now->token.isEmpty())
        return false;
    const std::optional<CalendarServer::Changes> changes =
        m_dav.changesSince(m_collection, m_state.token);
    // The answer must reach the state just asked, or something came between the two.
    if (!changes || changes->token != now->token)
        return false;
    QHash<QString, QByteArray> recorded;
    for (const Item& item : items)
        if (!item.href.isEmpty())
            recorded.insert(item.href, item.etag);
    for (auto change = changes->changed.cbegin(); change != changes->changed.cend(); ++change)
        if (change.value().isEmpty() || recorded.value(change.key()) != change.value())
            return false;
    for (const QString& href : changes->removed)
        if (recorded.contains(href))
            return false;
    m_state = *now;
    return true;
}

void Run::keepProgress()
{
    if (!m_dirty && m_result.exit != SyncResult::Exit::Done)
        return;
    // The files not sent this time; after a stop also those the sync did not reach, so none is
    // told twice.
    QList<SyncRecord::File> withheld = m_withheld.values();
    if (m_result.exit != SyncResult::Exit::Done) {
        for (const SyncRecord::File& f : m_status.withheld)
            if (!m_withheld.contains(f.path))
                withheld << f;
    }
    std::sort(withheld.begin(), withheld.end(),
              [](const auto& a, const auto& b) { return a.path < b.path; });
    // Nothing new to note: an unchanged sync writes nothing.
    if (!m_dirty && !m_touched && withheld == m_status.withheld &&
        m_status.token == m_state.token && m_status.ctag == m_state.ctag &&
        !(m_state.token.isEmpty() && m_state.ctag.isEmpty()))
        return;
    SyncRecord::Status status = m_status;
    status.items.clear();
    for (qsizetype i = 0; i < m_status.items.size(); ++i)
        if (!m_drop.value(i))
            status.items << m_status.items[i];
    status.items.append(m_added);
    status.withheld = withheld;
    // The server's state is trusted next time only when this sync left it as it found it, or
    // when what changed there since is this sync's own writes alone: changes since a token
    // leave out events made and deleted after it, ours among them.
    const bool settled = m_result.exit == SyncResult::Exit::Done && m_result.retryLater == 0 &&
                         (!m_wroteServer || onlyOwnWrites(status.items));
    status.token = settled ? m_state.token : QString();
    status.ctag = settled ? m_state.ctag : QString();
    QString error;
    if (!SyncRecord::save(m_files, m_folder, status, &error) &&
        m_result.exit == SyncResult::Exit::Done) {
        m_result.exit = SyncResult::Exit::Failed;
        m_result.error = Sync::tr("Cannot write the sync record: %1").arg(error);
    }
}

} // namespace SyncInternal

using SyncInternal::Run;
using SyncInternal::Stop;

namespace {

SyncResult runWith(const QString& dataFolder, const SyncAccount& account,
                   const SyncOptions& options, CalendarServer* server)
{
    SyncResult result;
    const QString folder = WithTrailingSeparator(dataFolder);
    if (!QFileInfo(folder).isDir()) {
        result.exit = SyncResult::Exit::Failed;
        result.error =
            Sync::tr("The data folder %1 cannot be reached.").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    // Never a guess: times read in another zone would move every appointment.
    if (!options.timeZoneId.isEmpty() && !QTimeZone(options.timeZoneId.toUtf8()).isValid()) {
        result.exit = SyncResult::Exit::Failed;
        result.error =
            Sync::tr("The calendar's time zone %1 is not known.").arg(options.timeZoneId);
        return result;
    }
    // Released however the sync ends: every failure below is caught.
    SyncRecord::Lock lock(folder, options.lockAge, options.lockWait);
    if (!lock.held()) {
        result.exit = lock.error().isEmpty() ? SyncResult::Exit::Busy : SyncResult::Exit::Failed;
        result.error =
            lock.error().isEmpty()
                ? Sync::tr("Another sync of this data folder is running (%1).").arg(lock.holder())
                : lock.error();
        return result;
    }
    Run run(folder, account, options, result, server);
    const auto stopped = [&](SyncResult::Exit exit, const QString& error) {
        result.exit = exit;
        result.error = error;
        if (exit == SyncResult::Exit::MassDelete)
            return;
        try {
            run.keepProgress();
        } catch (const Stop&) {
        } catch (const std::exception&) {
        }
    };
    try {
        run.go();
    } catch (const Stop& stop) {
        stopped(stop.exit, stop.error);
    } catch (const std::exception& e) {
        stopped(SyncResult::Exit::Failed,
                Sync::tr("The sync stopped: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    result.requests = run.requests();
    return result;
}

} // namespace

SyncResult runSync(const QString& dataFolder, const SyncAccount& account,
                   const SyncOptions& options)
{
    return runWith(dataFolder, account, options, nullptr);
}

SyncResult runSyncWith(const QString& dataFolder, const SyncAccount& account,
                       const SyncOptions& options, CalendarServer& server)
{
    return runWith(dataFolder, account, options, &server);
}
