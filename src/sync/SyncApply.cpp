#include "SyncRun.h"

#include "Recurrence.h"

#include <QTranslator>

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

// The mark in the team's language whatever this process shows its messages in: the command
// line speaks English, yet the copy it writes reads as the desktop program would write it.
QString conflictMark(const QString& langCode)
{
    static const char* const kMark = QT_TRANSLATE_NOOP("Sync", "%1 (conflict copy)");
    if (langCode.isEmpty())
        return Sync::tr(kMark);
    if (langCode == QLatin1String("de")) {
        static QTranslator german;
        static const bool loaded = german.load(QStringLiteral(":/i18n/sync_de.qm"));
        if (const QString mark = german.translate("Sync", kMark); loaded && !mark.isEmpty())
            return mark;
    }
    return QString::fromLatin1(kMark);
}

QString conflictText(const QString& text, const QString& langCode)
{
    const qsizetype lineEnd = text.indexOf(QLatin1String("\r\n"));
    const QString first = lineEnd < 0 ? text : text.left(lineEnd);
    const QString rest = lineEnd < 0 ? QString() : text.mid(lineEnd);
    return ClassTermin::cappedText(conflictMark(langCode).arg(first) + rest);
}

} // namespace

namespace SyncInternal {

void Run::push(Item& item, const QString& rel, bool create)
{
    const TerminPtr a = load(rel);
    if (!sendable(rel, a))
        return;
    const bool fresh = item.href.isEmpty();
    if (fresh)
        item.href = newHref(m_collection);
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
    const bool existing = !keepRel.isEmpty() && m_store.FileExists(abs(keepRel));
    if (existing) {
        a = *load(keepRel);
        takeEvent(a, staged);
    }
    const QString name = keepRel.isEmpty() ? QString() : FileNameOfPath(keepRel);
    QString target = dir + name;
    if (name.isEmpty() || (target != keepRel && m_store.FileExists(abs(target))))
        target = dir + m_store.UnusedFileName(
                           abs(dir), [] { return QRandomGenerator::global()->generate(); });
    // Whatever the server sent, what lands in the folder is an appointment file of its tree.
    if (!Recurrence::isAppointmentPath(target))
        fail(Sync::tr("An event of the server would be written outside the appointment tree "
                      "(%1); nothing was written.")
                 .arg(target.left(200)));
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
    copy.setText(conflictText(copy.Text(), m_options.langCode));
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
    if (!sendable(file.path, file.appointment))
        return; // not even its UID is written: the file stays as it is
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
        // A change that holds no appointment goes nowhere, and nothing overwrites it either.
        if (l == Side::Changed && !sendable(rel, load(rel)))
            continue;
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
        for (qsizetype n = 0; n < m_newFiles.size(); ++n) {
            const NewFile& f = m_newFiles[n];
            if (!f.detached && !in->uid.isEmpty() && f.uid == in->uid &&
                sendable(f.path, f.appointment))
                pairs << n;
        }
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

} // namespace SyncInternal
