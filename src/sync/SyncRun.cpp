#include "CalDavClient.h"
#include "Common.h"
#include "DataAccess.h"
#include "LocalScan.h"
#include "Sync.h"
#include "SyncMapping.h"
#include "SyncRecord.h"
#include "SyncText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QUuid>

#include <optional>

namespace {

using SyncRecord::Item;

enum class Side { Unchanged, Changed, Deleted, Absent };

// An appointment file of the window that no item of the record claims.
struct NewFile {
    QString path; // relative
    TerminPtr appointment;
    bool detached = false; // a changed mirror: always an event of its own
    QString uid;           // its own UID, else one drawn from its file name (see fileUid)
};

// A sync failed half-way: the record is saved with what was done.
struct Stop {
    SyncResult::Exit exit;
    QString error;
};

class Run {
public:
    Run(const QString& folder, const SyncAccount& account, const SyncOptions& options,
        SyncResult& result)
        : m_folder(folder)
        , m_account(account)
        , m_options(options)
        , m_result(result)
        , m_store(m_profiles, StoreSource::fixed(folder))
        , m_http(account.user, account.password, options.connectTimeout, options.stallTimeout,
                 options.cancel)
        , m_dav(m_http)
    {
        const QDate today = QDate::currentDate();
        m_from = today.addDays(-options.pastDays);
        m_to = today.addDays(options.futureDays);
    }

    void go();
    // After a stop: what was done so far, so the next sync does not repeat it.
    void keepProgress();
    int requests() const { return m_http.requests(); }

private:
    [[noreturn]] void fail(const QString& error)
    {
        checkCancel(); // a request the user stopped fails too: that is no server trouble
        throw Stop{SyncResult::Exit::Failed, error};
    }
    void checkCancel()
    {
        if (m_options.cancel && m_options.cancel->load())
            throw Stop{SyncResult::Exit::Cancelled, Sync::tr("The sync was stopped.")};
    }
    QString abs(const QString& rel) const { return m_folder + rel; }
    TerminPtr load(const QString& rel)
    {
        return m_store.LoadAppointment(abs(rel), DataAccess::DayOfOneTimeFile(abs(rel)));
    }
    SyncRecord::File fileRecord(const QString& rel) const;
    // The UID of the event of a file without one: the same for the file wherever it moves.
    QString fileUid(const QString& rel) const
    {
        const QByteArray key = (m_status.collection + u'|' + QFileInfo(rel).fileName()).toUtf8();
        return QString::fromLatin1(
                   QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(24)) +
               QStringLiteral("@norvane");
    }
    void changed(bool force = false);

    void findCollection();
    void classify();
    void readNewFiles();
    void fetchIncoming();
    bool guardStops() const;
    void apply();

    void push(Item& item, const QString& rel, bool create);
    void pull(Item& item, const SyncMapping::Incoming& incoming, const QString& localRel);
    QString writeLocal(const ClassTermin& staged, const QString& keepRel);
    void conflict(Item& item, const QString& rel, const SyncMapping::Incoming& incoming);
    void deleteLocal(const Item& item);
    void addNew(const NewFile& file, const QString& uid);

    QString m_folder;
    SyncAccount m_account;
    SyncOptions m_options;
    SyncResult& m_result;
    ProfileCache m_profiles{RealFileAccess::instance()};
    DataAccess m_store;
    HttpClient m_http;
    CalDavClient m_dav;
    QDate m_from;
    QDate m_to;
    QTemporaryDir m_staging;

    SyncRecord::Status m_status;
    QUrl m_collection;
    CalDavClient::State m_state;
    QHash<QString, QByteArray> m_etags; // by href
    QHash<QString, LocalScan::Meta> m_scanned;
    QSet<QString> m_claimed;

    // Per item of the record, by index.
    QList<Side> m_local;
    QList<Side> m_server;
    QList<QString> m_localRel; // single items: where the file is now
    QList<NewFile> m_newFiles;
    QStringList m_serverNew;                          // hrefs
    QHash<QString, SyncMapping::Incoming> m_incoming; // by href
    QList<Item> m_added;
    QList<bool> m_drop;
    bool m_dirty = false;
    bool m_touched = false; // the record's times of files changed whose bytes did not
    int m_unsaved = 0;
    bool m_wroteServer = false;
};

SyncRecord::File Run::fileRecord(const QString& rel) const
{
    const QFileInfo info(abs(rel));
    return {rel, info.lastModified().toMSecsSinceEpoch(), info.size(), LocalScan::hashOf(abs(rel))};
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
    if (!SyncRecord::save(m_folder, status, &error))
        fail(Sync::tr("Cannot write the sync record: %1").arg(error));
    m_unsaved = 0;
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
        if (m_collection.toString() != m_status.collection) {
            // Another calendar: what the record knew of the old one says nothing here.
            m_status = {};
        }
        m_status.account = m_account.url;
        m_status.collection = m_collection.toString();
    }
    m_result.collection = m_collection.toString();
}

void Run::classify()
{
    const std::optional<CalDavClient::State> state = m_dav.state(m_collection);
    if (!state)
        fail(m_dav.error());
    m_state = *state;
    const bool same = !(state->token.isEmpty() && state->ctag.isEmpty()) &&
                      state->token == m_status.token && state->ctag == m_status.ctag;
    if (same) {
        for (const Item& item : m_status.items)
            if (!item.href.isEmpty())
                m_etags.insert(item.href, item.etag);
    } else {
        const auto etags = m_dav.etags(m_collection);
        if (!etags)
            fail(m_dav.error());
        m_etags = *etags;
    }
    m_scanned = LocalScan::scan(m_folder, m_from, m_to);

    QSet<QString> known;
    for (Item& item : m_status.items) {
        known.insert(item.href);
        Side server = Side::Absent;
        if (!item.href.isEmpty())
            server = !m_etags.contains(item.href) ? Side::Deleted
                     : m_etags.value(item.href) == item.etag && !item.etag.isEmpty()
                         ? Side::Unchanged
                         : Side::Changed;
        m_server << server;
        // Each file: still there unchanged, changed, or gone.
        QList<SyncRecord::File> kept;
        bool anyChanged = false;
        for (SyncRecord::File& f : item.files) {
            auto meta = m_scanned.constFind(f.path);
            if (meta == m_scanned.cend()) {
                // Outside the window a file is taken as unchanged, unless the server changed
                // its event: then it is looked at, so no local change is written over.
                if (LocalScan::inWindow(f.path, m_from, m_to))
                    continue;
                const QFileInfo info(abs(f.path));
                if (!info.isFile())
                    continue;
                if (server == Side::Unchanged) {
                    kept << f;
                    continue;
                }
                meta = m_scanned.insert(f.path,
                                        {info.lastModified().toMSecsSinceEpoch(), info.size()});
            }
            m_claimed.insert(f.path);
            if (meta->modified != f.modified || meta->size != f.size) {
                const QByteArray hash = LocalScan::hashOf(abs(f.path));
                if (hash != f.hash) {
                    anyChanged = true;
                    if (item.mirror) {
                        const TerminPtr a = load(f.path);
                        m_newFiles.append({f.path, a, true, a->Uid()});
                        continue;
                    }
                }
                f.modified = meta->modified;
                f.size = meta->size;
                m_touched = true;
            }
            kept << f;
        }
        Side local = Side::Unchanged;
        QString rel = item.files.isEmpty() ? QString() : item.files.first().path;
        if (!item.mirror) {
            local = kept.isEmpty() ? Side::Deleted : anyChanged ? Side::Changed : Side::Unchanged;
        } else if (kept.isEmpty() && !item.files.isEmpty() && !anyChanged) {
            local = Side::Deleted;
        }
        if (item.mirror && kept.size() != item.files.size()) {
            item.files = kept;
            m_touched = true;
        }
        m_local << local;
        m_localRel << rel;
    }
    for (auto it = m_etags.cbegin(); it != m_etags.cend(); ++it)
        if (!known.contains(it.key()))
            m_serverNew << it.key();
    readNewFiles();
}

void Run::readNewFiles()
{
    for (auto it = m_scanned.cbegin(); it != m_scanned.cend(); ++it) {
        if (!m_claimed.contains(it.key())) {
            const TerminPtr a = load(it.key());
            m_newFiles.append(
                {it.key(), a, false, a->Uid().isEmpty() ? fileUid(it.key()) : a->Uid()});
        }
    }
    // A single item whose file is gone may have moved: same file name or same UID elsewhere.
    for (qsizetype i = 0; i < m_status.items.size(); ++i) {
        if (m_status.items[i].mirror || m_local[i] != Side::Deleted)
            continue;
        const QString name = QFileInfo(m_localRel[i]).fileName();
        for (qsizetype n = 0; n < m_newFiles.size(); ++n) {
            const NewFile& f = m_newFiles[n];
            if (f.detached)
                continue;
            if (QFileInfo(f.path).fileName() == name || f.uid == m_status.items[i].uid) {
                m_local[i] = Side::Changed;
                m_localRel[i] = f.path;
                m_newFiles.removeAt(n);
                break;
            }
        }
    }
}

void Run::fetchIncoming()
{
    QStringList wanted = m_serverNew;
    for (qsizetype i = 0; i < m_status.items.size(); ++i)
        if (m_server[i] == Side::Changed)
            wanted << m_status.items[i].href;
    if (wanted.isEmpty())
        return;
    const auto fetched = m_dav.fetch(m_collection, wanted);
    if (!fetched)
        fail(m_dav.error());
    for (auto it = fetched->cbegin(); it != fetched->cend(); ++it) {
        checkCancel();
        SyncMapping::Incoming in = SyncMapping::incomingOf(it->body, m_staging.path() + u'/');
        m_etags[it.key()] = it->etag;
        m_incoming.insert(it.key(), std::move(in));
    }
}

bool Run::guardStops() const
{
    if (m_options.allowMassDelete)
        return false;
    int here = 0, deleteHere = 0, deleteThere = 0;
    for (qsizetype i = 0; i < m_status.items.size(); ++i) {
        if (!m_status.items[i].files.isEmpty())
            ++here;
        if (m_local[i] == Side::Unchanged && m_server[i] == Side::Deleted &&
            !m_status.items[i].files.isEmpty())
            ++deleteHere;
        if (m_local[i] == Side::Deleted && m_server[i] == Side::Unchanged)
            ++deleteThere;
    }
    const qsizetype there = m_etags.size();
    return (deleteHere > 5 && deleteHere * 2 > here) ||
           (deleteThere > 5 && deleteThere * 2 > there);
}

void Run::go()
{
    if (!QFileInfo(m_folder).isDir())
        fail(Sync::tr("The data folder %1 cannot be reached.")
                 .arg(QDir::toNativeSeparators(m_folder)));
    QString error;
    const auto status = SyncRecord::load(m_folder, &error);
    if (!status)
        fail(Sync::tr("Cannot read the sync record: %1").arg(error));
    m_status = *status;
    if (!m_staging.isValid())
        fail(Sync::tr("Cannot make a temporary directory: %1").arg(m_staging.errorString()));
    findCollection();
    checkCancel();
    classify();
    checkCancel();
    if (guardStops()) {
        throw Stop{SyncResult::Exit::MassDelete,
                   Sync::tr("The sync would delete more than half of the appointments or events; "
                            "nothing was changed. Check the server, or allow it once with "
                            "--allow-mass-delete.")};
    }
    fetchIncoming();
    apply();
}

} // namespace

namespace {

QString newHref(const QUrl& collection)
{
    QString path = collection.path();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path + QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".ics");
}

QString newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@norvane");
}

// The mapped fields of a server event over an appointment: what the folder keeps beyond them
// (the e-mail reminder, whom it reminds) stays.
void takeEvent(ClassTermin& a, const ClassTermin& from)
{
    a.setDatum(from.datum());
    a.setStartTime(from.StartTime());
    a.setEndTime(from.EndTime());
    a.setText(from.Text());
    a.setIsReminder(from.IsReminder());
    a.setRemindMinutes(from.RemindMinutes());
    a.setColorCode(from.ColorCode());
    if (!from.Producer().isEmpty())
        a.setProducer(from.Producer());
    a.setIsRecurring(from.IsRecurring());
    a.Recurring_code = from.Recurring_code;
    a.setRecurringStartDate(from.RecurringStartDate());
    a.setRecurringEndDate(from.RecurringEndDate());
    a.setUid(from.Uid());
}

QString conflictText(const QString& text)
{
    const qsizetype lineEnd = text.indexOf(QLatin1String("\r\n"));
    const QString first = lineEnd < 0 ? text : text.left(lineEnd);
    const QString rest = lineEnd < 0 ? QString() : text.mid(lineEnd);
    return ClassTermin::cappedText(Sync::tr("%1 (conflict copy)").arg(first) + rest);
}

} // namespace

void Run::push(Item& item, const QString& rel, bool create)
{
    const bool fresh = item.href.isEmpty();
    if (fresh)
        item.href = newHref(m_collection);
    const TerminPtr a = load(rel);
    QByteArray etag;
    switch (m_dav.put(m_collection, item.href, SyncMapping::eventOf(a, m_folder, item.uid),
                      create ? QByteArray() : item.etag, &etag)) {
    case CalDavClient::Write::Done:
        item.etag = etag;
        item.files = {fileRecord(rel)};
        item.mirror = false;
        ++m_result.sent;
        m_wroteServer = true;
        changed();
        return;
    case CalDavClient::Write::Changed:
        // Changed on the server meanwhile: both sides look changed at the next sync.
        ++m_result.retryLater;
        break;
    case CalDavClient::Write::Failed:
        if (fresh)
            item.href.clear();
        fail(m_dav.error());
    }
    if (fresh)
        item.href.clear();
}

QString Run::writeLocal(const ClassTermin& staged, const QString& keepRel)
{
    const QString stagingRoot = m_staging.path() + u'/';
    const QString dir = DirectoryOfPath(staged.filename().mid(stagingRoot.size()));
    ClassTermin a = staged;
    const bool existing = !keepRel.isEmpty() && QFile::exists(abs(keepRel));
    if (existing) {
        a = *load(keepRel);
        takeEvent(a, staged);
    }
    const QString name = keepRel.isEmpty() ? QString() : FileNameOfPath(keepRel);
    QString target = dir + name;
    if (name.isEmpty() || (target != keepRel && QFile::exists(abs(target))))
        target = dir + m_store.UnusedFileName(
                           abs(dir), [] { return QRandomGenerator::global()->generate(); });
    a.setFilename(abs(target));
    const WriteOutcome written = m_store.SaveAppointment(a);
    if (!written.ok)
        fail(Sync::tr("Cannot write %1: %2")
                 .arg(QDir::toNativeSeparators(abs(target)), written.error));
    if (existing && keepRel != target)
        m_store.DeleteAppointmentFile(abs(keepRel));
    return target;
}

void Run::pull(Item& item, const SyncMapping::Incoming& in, const QString& localRel)
{
    item.etag = m_etags.value(item.href);
    if (!in.error.isEmpty()) {
        // Nothing the folder can hold: noted, so it is not fetched again while unchanged.
        item.mirror = true;
        changed();
        return;
    }
    QList<SyncRecord::File> files;
    const bool exact = !in.mirror && in.appointments.size() == 1;
    if (exact)
        files << fileRecord(
            writeLocal(in.appointments.first(), item.mirror ? QString() : localRel));
    else
        for (const ClassTermin& staged : in.appointments)
            files << fileRecord(writeLocal(staged, {}));
    // The files of the event's earlier version that it no longer has.
    QSet<QString> now;
    for (const SyncRecord::File& f : files)
        now.insert(f.path);
    for (const SyncRecord::File& f : item.files)
        if (!now.contains(f.path))
            m_store.DeleteAppointmentFile(abs(f.path));
    item.files = files;
    item.mirror = !exact;
    if (!in.uid.isEmpty())
        item.uid = in.uid;
    ++m_result.received;
    changed();
}

void Run::conflict(Item& item, const QString& rel, const SyncMapping::Incoming& in)
{
    // The local version first becomes an appointment of its own, noted in the record before
    // the server's version takes the file: a sync killed in between loses neither.
    ClassTermin copy = *load(rel);
    copy.setText(conflictText(copy.Text()));
    copy.setUid(newUid());
    const QString dir = DirectoryOfPath(rel);
    const QString copyRel = dir + m_store.UnusedFileName(abs(dir), [] {
        return QRandomGenerator::global()->generate();
    });
    copy.setFilename(abs(copyRel));
    const WriteOutcome written = m_store.SaveAppointment(copy);
    if (!written.ok)
        fail(Sync::tr("Cannot write %1: %2")
                 .arg(QDir::toNativeSeparators(abs(copyRel)), written.error));
    m_added.append({copy.Uid(), {}, {}, false, {fileRecord(copyRel)}});
    const qsizetype copyIndex = m_added.size() - 1;
    item.files = {fileRecord(rel)};
    changed(true);
    pull(item, in, rel);
    ++m_result.conflicts;
    push(m_added[copyIndex], copyRel, true);
}

void Run::deleteLocal(const Item& item)
{
    for (const SyncRecord::File& f : item.files)
        m_store.DeleteAppointmentFile(abs(f.path));
    ++m_result.deletedHere;
    changed();
}

void Run::addNew(const NewFile& file, const QString& uid)
{
    // A UID that is not the file's own is written into it, so a sync killed after sending the
    // event finds the pair again; the file's name tells the others without a write.
    if (file.uid != uid) {
        ClassTermin a = *file.appointment;
        a.setUid(uid);
        const WriteOutcome written = m_store.SaveAppointment(a);
        if (!written.ok)
            fail(Sync::tr("Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(abs(file.path)), written.error));
    }
    m_added.append({uid, {}, {}, false, {fileRecord(file.path)}});
    push(m_added.last(), file.path, true);
    if (m_added.last().href.isEmpty())
        m_added.removeLast(); // not sent: still a new file at the next sync
}

void Run::apply()
{
    QList<Item>& items = m_status.items;
    m_drop = QList<bool>(items.size(), false);
    QSet<QString> uids;
    for (qsizetype i = 0; i < items.size(); ++i) {
        checkCancel();
        Item& item = items[i];
        uids.insert(item.uid);
        const Side l = m_local[i];
        const Side s = m_server[i];
        const QString rel = m_localRel[i];
        const auto in = m_incoming.constFind(item.href);
        const bool have = in != m_incoming.cend();
        if (l == Side::Deleted && (s == Side::Deleted || s == Side::Absent)) {
            m_drop[i] = true;
        } else if (s == Side::Absent) {
            push(item, rel, true);
        } else if (l == Side::Changed && s == Side::Unchanged) {
            push(item, rel, false);
        } else if (l == Side::Changed && s == Side::Deleted) {
            // The change wins and comes back.
            item.href.clear();
            push(item, rel, true);
        } else if (s == Side::Changed && have && l != Side::Changed) {
            pull(item, *in, rel);
        } else if (l == Side::Changed && s == Side::Changed && have) {
            const bool exact = !in->mirror && in->appointments.size() == 1;
            if (exact &&
                SyncMapping::sameEvent(load(rel), m_folder,
                                       std::make_shared<ClassTermin>(in->appointments.first()),
                                       m_staging.path() + u'/')) {
                item.etag = m_etags.value(item.href);
                item.files = {fileRecord(rel)};
                changed();
            } else {
                conflict(item, rel, *in);
            }
        } else if (l == Side::Deleted && s == Side::Unchanged) {
            switch (m_dav.remove(m_collection, item.href, item.etag)) {
            case CalDavClient::Write::Done:
                ++m_result.deletedThere;
                m_wroteServer = true;
                m_drop[i] = true;
                changed();
                break;
            case CalDavClient::Write::Changed:
                ++m_result.retryLater;
                break;
            case CalDavClient::Write::Failed:
                fail(m_dav.error());
            }
        } else if (l == Side::Unchanged && s == Side::Deleted) {
            deleteLocal(item);
            m_drop[i] = true;
        }
    }

    // Events new on the server; a new file of the folder with the same UID is what a sync
    // killed half-way left of it.
    QSet<qsizetype> consumed;
    for (const QString& href : m_serverNew) {
        checkCancel();
        const auto in = m_incoming.constFind(href);
        if (in == m_incoming.cend())
            continue;
        QList<qsizetype> pairs;
        for (qsizetype n = 0; n < m_newFiles.size(); ++n)
            if (!m_newFiles[n].detached && !in->uid.isEmpty() && m_newFiles[n].uid == in->uid)
                pairs << n;
        Item item{in->uid, href, {}, false, {}};
        uids.insert(in->uid);
        const bool exact = !in->mirror && in->appointments.size() == 1;
        if (exact && pairs.size() == 1) {
            const NewFile& f = m_newFiles[pairs.first()];
            consumed.insert(pairs.first());
            if (SyncMapping::sameEvent(f.appointment, m_folder,
                                       std::make_shared<ClassTermin>(in->appointments.first()),
                                       m_staging.path() + u'/')) {
                item.etag = m_etags.value(href);
                item.files = {fileRecord(f.path)};
                changed();
            } else {
                conflict(item, f.path, *in);
            }
        } else {
            if (!exact) {
                for (qsizetype n : pairs) {
                    m_store.DeleteAppointmentFile(abs(m_newFiles[n].path));
                    consumed.insert(n);
                }
            }
            pull(item, *in, {});
        }
        m_added.append(item);
    }

    for (qsizetype n = 0; n < m_newFiles.size(); ++n) {
        checkCancel();
        if (consumed.contains(n))
            continue;
        const NewFile& f = m_newFiles[n];
        QString uid = f.uid;
        if (f.detached || uids.contains(uid))
            uid = newUid();
        uids.insert(uid);
        addNew(f, uid);
    }
    keepProgress();
}

void Run::keepProgress()
{
    if (!m_dirty && m_result.exit != SyncResult::Exit::Done)
        return;
    // Nothing new to note: an unchanged sync writes nothing.
    if (!m_dirty && !m_touched && m_status.token == m_state.token &&
        m_status.ctag == m_state.ctag && !(m_state.token.isEmpty() && m_state.ctag.isEmpty()))
        return;
    SyncRecord::Status status = m_status;
    status.items.clear();
    for (qsizetype i = 0; i < m_status.items.size(); ++i)
        if (!m_drop.value(i))
            status.items << m_status.items[i];
    status.items.append(m_added);
    // The server's state is trusted next time only when this sync left it as it found it.
    const bool settled =
        m_result.exit == SyncResult::Exit::Done && !m_wroteServer && m_result.retryLater == 0;
    status.token = settled ? m_state.token : QString();
    status.ctag = settled ? m_state.ctag : QString();
    QString error;
    if (!SyncRecord::save(m_folder, status, &error) && m_result.exit == SyncResult::Exit::Done) {
        m_result.exit = SyncResult::Exit::Failed;
        m_result.error = Sync::tr("Cannot write the sync record: %1").arg(error);
    }
}

SyncResult runSync(const QString& dataFolder, const SyncAccount& account,
                   const SyncOptions& options)
{
    SyncResult result;
    const QString folder = dataFolder.endsWith(u'/') ? dataFolder : dataFolder + u'/';
    if (!QFileInfo(folder).isDir()) {
        result.exit = SyncResult::Exit::Failed;
        result.error =
            Sync::tr("The data folder %1 cannot be reached.").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    SyncRecord::Lock lock(folder, options.lockAge, options.lockWait);
    if (!lock.held()) {
        result.exit = SyncResult::Exit::Busy;
        result.error = Sync::tr("Another sync of this data folder is running (%1).")
                           .arg(lock.holder().trimmed());
        return result;
    }
    Run run(folder, account, options, result);
    try {
        run.go();
    } catch (const Stop& stop) {
        result.exit = stop.exit;
        result.error = stop.error;
        if (stop.exit != SyncResult::Exit::MassDelete) {
            try {
                run.keepProgress();
            } catch (const Stop&) {
            }
        }
    }
    result.requests = run.requests();
    return result;
}
