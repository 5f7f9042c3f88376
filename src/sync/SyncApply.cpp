#include "sync/SyncRun.h"

#include "exchange/OccurrenceSeries.h"
#include "settings/Language.h"
#include "store/AppointmentFiling.h"
#include "store/Common.h"
#include "store/FilingOrder.h"
#include "store/Recurrence.h"
#include "store/RuleSeriesFiling.h"

namespace {

QString newHref(const QUrl& collection)
{
    QString path = collection.path(QUrl::FullyEncoded); // hrefs are kept as sent, encoded
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
    a.setLocation(from.Location());
    a.setOrganizer(from.Organizer());
    a.setAttendees(from.Attendees());
    a.setCategories(from.Categories());
    a.setIsReminder(from.IsReminder());
    a.setRemindMinutes(from.RemindMinutes());
    a.setColorCode(from.ColorCode());
    a.setIsPrivate(from.IsPrivate());
    if (!from.Producer().isEmpty())
        a.setProducer(from.Producer());
    a.setIsRecurring(from.IsRecurring());
    a.Recurring_code = from.Recurring_code;
    a.setRecurringStartDate(from.RecurringStartDate());
    a.setRecurringEndDate(from.RecurringEndDate());
    a.setUid(from.Uid());
    a.setSeriesId(from.SeriesId());
    a.setSpan(from.SpanId(), from.SpanFrom(), from.SpanUntil());
}

// The mark in the team's language whatever this process shows its messages in: the command
// line speaks English, yet the copy it writes reads as the desktop program would write it.
QString conflictMark(const QString& langCode)
{
    static const char* const kMark = QT_TRANSLATE_NOOP("Sync", "%1 (conflict copy)");
    if (langCode.isEmpty())
        return Sync::tr(kMark);
    return Language::translate("Sync", kMark, langCode);
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

QStringList Run::sentFiles(const SyncPlan::Action& action) const
{
    const Item& item = m_status.items[action.item];
    const QList<SyncRecord::File> files = m_plan.files.value(action.item);
    if (item.mirror || (item.series.isEmpty() && files.size() < 2))
        return {action.path};
    QStringList rels;
    for (const SyncRecord::File& f : files)
        rels << f.path;
    return rels;
}

void Run::push(Item& item, const QStringList& rels, bool create)
{
    if (m_readOnly) { // a conflict's copy of a read-only calendar: kept here alone
        for (const QString& rel : rels)
            withhold(rel);
        return;
    }
    // The bytes sent are what the record keeps, so a save during the PUT goes out next time.
    QList<SyncRecord::File> before;
    QList<TerminPtr> appointments;
    for (const QString& rel : rels) {
        before << look(rel).value_or(SyncRecord::File{rel, 0, 0, {}});
        appointments << load(rel);
        if (!sendable(rel, appointments.last()))
            return;
    }
    const TerminPtr& a = appointments.first();
    const bool span = SyncMapping::oneSpan(appointments);
    const bool series = !span && (appointments.size() > 1 || !a->SeriesId().isEmpty());
    const QString earlier = item.href;
    if (create && (item.href.isEmpty() || !item.etag.isEmpty())) {
        // A new event, also for one deleted there. Its href stays the one sent until an answer
        // tells: a repeat after a lost answer finds its own event, never a second one.
        item.href = newHref(m_collection);
        item.etag.clear();
        m_dirty = true; // kept however the PUT ends, also when nothing else was done
    }
    QByteArray etag;
    const QByteArray body =
        span     ? SyncMapping::spanEventOf(appointments, item.uid, {}, m_options.timeZoneId)
        : series ? SyncMapping::seriesEventOf(appointments, item.uid, {}, m_options.timeZoneId)
                 : SyncMapping::eventOf(a, m_folder, item.uid, {}, m_options.timeZoneId);
    switch (m_dav.put(m_collection, item.href, body, create ? QByteArray() : item.etag, &etag)) {
    case CalendarServer::Write::Done:
        item.etag = etag;
        item.files = before;
        item.mirror = false;
        item.series = series || span ? SyncMapping::groupOf(*a) : QString();
        ++m_result.sent;
        m_wroteServer = true;
        changed();
        return;
    case CalendarServer::Write::Changed:
        // Changed on the server meanwhile, or the event is there already: the next sync
        // compares.
        ++m_result.retryLater;
        if (!create)
            item.href = earlier;
        changed(); // the href sent is kept
        return;
    case CalendarServer::Write::Failed:
        if (!create)
            item.href = earlier;
        fail(m_dav.error());
    }
}

QString Run::writeLocal(const ClassTermin& arrived, const QString& keepRel,
                        const QString& templateRel)
{
    const QString dir = DirectoryOfPath(arrived.filename().mid(m_folder.size()));
    ClassTermin a = arrived;
    const bool existing = !keepRel.isEmpty() && m_store.FileExists(abs(keepRel));
    if (existing || (!templateRel.isEmpty() && m_store.FileExists(abs(templateRel)))) {
        a = *load(existing ? keepRel : templateRel);
        takeEvent(a, arrived);
    }
    const QString target =
        dir + FilingName(m_store, abs(dir), keepRel.isEmpty() ? QString() : abs(keepRel),
                         [] { return QRandomGenerator::global()->generate(); });
    // Whatever the server sent, what lands in the folder is an appointment file of its tree.
    if (!Recurrence::isAppointmentPath(target))
        fail(Sync::tr("An event of the server would be written outside the appointment tree "
                      "(%1); nothing was written.")
                 .arg(target.left(200)));
    a.setFilename(abs(target));
    const WriteOutcome written = SaveInPlaceOf(m_store, a, existing ? abs(keepRel) : QString());
    if (!written.ok)
        fail(Sync::tr("Cannot write %1: %2")
                 .arg(QDir::toNativeSeparators(abs(target)), written.error));
    return target;
}

bool Run::stillKnown(const Item& item, const QString& rel) const
{
    const std::optional<SyncRecord::File> now = look(rel);
    if (!now)
        return !m_files.metadata(abs(rel)); // gone, or nothing to keep
    for (const SyncRecord::File& f : item.files)
        if (f.path == rel)
            return f.hash == now->hash;
    return false;
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
    const bool series = !in.mirror && !in.series.isEmpty();
    const bool span = !in.mirror && !series && !in.span.isEmpty();
    const bool exact = !in.mirror && (in.appointments.size() == 1 || series || span);
    if ((series || span) && !item.mirror) {
        for (const SyncRecord::File& f : item.files) {
            if (!stillKnown(item, f.path)) {
                // Saved here since the sync looked: the next sync compares both.
                ++m_result.retryLater;
                return;
            }
        }
    }
    if (exact && !series && !span && !item.mirror && !localRel.isEmpty() &&
        !stillKnown(item, localRel)) {
        // Saved here since the sync looked: written over it would be lost. One that cannot be
        // read now is not written over either; the next sync looks again.
        if (look(localRel))
            conflict(item, {localRel}, in);
        return;
    }
    if (series)
        files = writeSeries(item, in);
    else if (span)
        files = writeSpan(item, in);
    else if (exact)
        files << fileRecord(
            writeLocal(in.appointments.first(), item.mirror ? QString() : localRel));
    else
        for (const ClassTermin& arrived : in.appointments)
            files << fileRecord(writeLocal(arrived, {}));
    // The files of the event's earlier version that it no longer has.
    QSet<QString> now;
    for (const SyncRecord::File& f : files)
        now.insert(f.path);
    for (const SyncRecord::File& f : item.files)
        if (!now.contains(f.path))
            removeLocal(f.path);
    item.files = files;
    item.mirror = !exact;
    // The name the series keeps here, which writeSeries gave every part.
    item.series = !series ? QString() : item.series.isEmpty() ? in.series : item.series;
    if (span)
        item.series = SyncMapping::groupOf(*load(files.first().path));
    if (!in.uid.isEmpty())
        item.uid = in.uid;
    ++m_result.received;
    changed();
}

QList<SyncRecord::File> Run::writeSeries(const Item& item, const SyncMapping::Incoming& in)
{
    // The folder's files and the server's parts, each in the order of their days: the n-th
    // recurring part over the n-th recurring file, the one-time ones alike.
    const auto firstDay = [](const ClassTermin& a) {
        return a.IsRecurring() ? a.RecurringStartDate() : a.datum();
    };
    QList<std::pair<QDate, QString>> recurringHere;
    QList<std::pair<QDate, QString>> oneTimeHere;
    if (!item.mirror) {
        for (const SyncRecord::File& f : item.files) {
            const TerminPtr a = load(f.path);
            // A rule file's place is its SeriesId's.
            if (!RuleSeries::keptByRuleFile(*a))
                (a->IsRecurring() ? recurringHere : oneTimeHere).append({firstDay(*a), f.path});
        }
    }
    std::sort(recurringHere.begin(), recurringHere.end());
    std::sort(oneTimeHere.begin(), oneTimeHere.end());
    QList<ClassTermin> parts = in.appointments;
    std::stable_sort(parts.begin(), parts.end(), [&](const ClassTermin& a, const ClassTermin& b) {
        return firstDay(a) < firstDay(b);
    });
    // The series keeps the name it has here; new parts take what the folder alone keeps.
    const QString series = item.series.isEmpty() ? in.series : item.series;
    const QString templateRel = recurringHere.isEmpty() ? QString() : recurringHere.first().second;
    qsizetype recurring = 0;
    qsizetype oneTime = 0;
    QList<SyncRecord::File> files;
    for (ClassTermin part : parts) {
        part.setSeriesId(series);
        if (RuleSeries::keptByRuleFile(part)) {
            files << fileRecord(writeOccurrences(part));
            continue;
        }
        QList<std::pair<QDate, QString>>& here = part.IsRecurring() ? recurringHere : oneTimeHere;
        qsizetype& taken = part.IsRecurring() ? recurring : oneTime;
        const QString keep = taken < here.size() ? here[taken++].second : QString();
        files << fileRecord(writeLocal(part, keep, templateRel));
    }
    return files;
}

QString Run::writeOccurrences(const ClassTermin& arrived)
{
    // The SeriesId names the files: one the record gave must be a plain name.
    const QString rel = RuleSeries::rulePath({}, arrived.SeriesId());
    if (!OccurrenceSeries::isRulePath(rel))
        fail(Sync::tr("An event of the server would be written outside the appointment tree "
                      "(%1); nothing was written.")
                 .arg(rel.left(200)));
    const std::optional<ClassTermin> before = RuleSeriesFiling::ruleOf(m_store, arrived.SeriesId());
    ClassTermin series = arrived;
    if (before) {
        series = *before;
        takeEvent(series, arrived);
        series.setRule(arrived.Rule());
        series.setSkippedDays(arrived.SkippedDays());
        series.setSeriesDays(arrived.SeriesDays());
    }
    AppointmentFiling filing(m_store);
    const RuleSeriesFiling::Done done = RuleSeriesFiling::run(
        m_store, filing, RuleSeries::planReplace(before, series, m_folder, m_store.today()));
    if (!done.outcome.ok)
        fail(Sync::tr("Cannot write %1: %2")
                 .arg(QDir::toNativeSeparators(done.outcome.path), done.outcome.error));
    return rel;
}

void Run::removeLocal(const QString& rel)
{
    const TerminPtr rule = OccurrenceSeries::isRulePath(rel) ? load(rel) : nullptr;
    if (rule && RuleSeries::keptByRuleFile(*rule) &&
        abs(rel) == RuleSeries::rulePath(m_folder, rule->SeriesId())) {
        AppointmentFiling filing(m_store);
        RuleSeriesFiling::run(m_store, filing, RuleSeries::planRemove(*rule));
    }
    m_store.DeleteAppointmentFile(abs(rel));
}

void Run::conflict(Item& item, const QStringList& rels, const SyncMapping::Incoming& in)
{
    // The local version first becomes appointments of its own (the parts of a series a series
    // of its own), noted in the record before the server's version takes the files: a sync
    // killed in between loses neither.
    const QString uid = newUid();
    const QString copySpan = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString copySeries = (rels.size() > 1 && !load(rels.first())->isSpanDay()) ||
                                       !load(rels.first())->SeriesId().isEmpty()
                                   ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                                   : QString();
    QStringList copyRels;
    QList<SyncRecord::File> copies;
    for (const QString& rel : rels) {
        ClassTermin copy = *load(rel);
        copy.setText(conflictText(copy.Text(), m_options.langCode));
        copy.setUid(uid);
        copy.setSeriesId(copySeries);
        if (copy.isSpanDay())
            copy.setSpan(copySpan, copy.SpanFrom(), copy.SpanUntil());
        if (RuleSeries::keptByRuleFile(copy)) {
            // A series kept by its rule file is copied whole under the copy's SeriesId.
            AppointmentFiling filing(m_store);
            const RuleSeriesFiling::Done done = RuleSeriesFiling::run(
                m_store, filing, RuleSeries::planReplace({}, copy, m_folder, m_store.today()));
            if (!done.outcome.ok)
                fail(Sync::tr("Cannot write %1: %2")
                         .arg(QDir::toNativeSeparators(done.outcome.path), done.outcome.error));
            copyRels << RuleSeries::rulePath(m_folder, copySeries).mid(m_folder.size());
            copies << fileRecord(copyRels.last());
            continue;
        }
        const QString dir = DirectoryOfPath(rel);
        const QString copyRel = dir + m_store.UnusedFileName(abs(dir), [] {
            return QRandomGenerator::global()->generate();
        });
        copy.setFilename(abs(copyRel));
        const WriteOutcome written = m_store.SaveAppointment(copy);
        if (!written.ok)
            fail(Sync::tr("Cannot write %1: %2")
                     .arg(QDir::toNativeSeparators(abs(copyRel)), written.error));
        copyRels << copyRel;
        copies << fileRecord(copyRel);
    }
    m_added.append({uid, {}, {}, false, copies, copySeries});
    const qsizetype copyIndex = m_added.size() - 1;
    item.files.clear();
    for (const QString& rel : rels)
        item.files << fileRecord(rel);
    changed(true);
    pull(item, in, rels.first());
    ++m_result.conflicts;
    push(m_added[copyIndex], copyRels, true);
}

void Run::deleteLocal(const Item& item)
{
    for (const SyncRecord::File& f : item.files)
        removeLocal(f.path);
    ++m_result.deletedHere;
    changed();
}

void Run::addNew(const NewFile& file, const QString& uid, const QStringList& with)
{
    if (!sendable(file.path, file.appointment))
        return; // not even its UID is written: the file stays as it is
    // Changed or deleted since the listing: the next sync takes it as it is then; a write of
    // the UID would bring back a file deleted meanwhile.
    const std::optional<FileMeta> now = m_files.metadata(abs(file.path));
    const Listed listed = m_scanned.value(file.path);
    if (!file.detached &&
        (!now || now->modified.toMSecsSinceEpoch() != listed.modified || now->size != listed.size))
        return;
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
    push(m_added.last(), QStringList{file.path} + with, true);
    if (m_added.last().href.isEmpty())
        m_added.removeLast(); // not sent: still a new file at the next sync
}

void Run::reconcile(Item& item, const QStringList& rels, const SyncMapping::Incoming& in)
{
    // Gone or unreadable since the listing: nothing to compare, nothing to keep a copy of; the
    // next sync takes both sides as they are then.
    QList<TerminPtr> here;
    for (const QString& rel : rels) {
        if (!look(rel)) {
            ++m_result.retryLater;
            return;
        }
        here << load(rel);
    }
    const bool exact = in.error.isEmpty() && !in.mirror && in.appointments.size() == 1;
    const bool series = in.error.isEmpty() && !in.mirror && !in.series.isEmpty();
    const bool span = in.error.isEmpty() && !in.mirror && !in.span.isEmpty();
    bool same = false;
    if (exact && here.size() == 1) {
        same = SyncMapping::sameEvent(here.first(), m_folder,
                                      std::make_shared<ClassTermin>(in.appointments.first()),
                                      m_folder);
    } else if (span) {
        same = SyncMapping::sameSpan(here, in.appointments);
    } else if (series) {
        QList<TerminPtr> there;
        for (const ClassTermin& arrived : in.appointments)
            there << std::make_shared<ClassTermin>(arrived);
        const QDateTime stamp(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
        same = SyncMapping::seriesEventOf(here, QStringLiteral("same"), stamp) ==
               SyncMapping::seriesEventOf(there, QStringLiteral("same"), stamp);
    }
    if (same) {
        item.etag = m_etags.value(item.href);
        item.files.clear();
        for (const QString& rel : rels)
            item.files << fileRecord(rel);
        item.series = series || span ? SyncMapping::groupOf(*here.first()) : QString();
        changed();
    } else {
        conflict(item, rels, in);
    }
}

void Run::perform(const SyncPlan::Action& action)
{
    using Kind = SyncPlan::Kind;
    const auto in = m_incoming.constFind(action.href);
    if (action.item < 0) {
        switch (action.kind) {
        case Kind::UploadNew: {
            NewFile file = m_newFiles.value(action.path);
            if (!file.appointment) { // a changed file of a mirror
                file = {action.path, load(action.path), true, {}};
            }
            addNew(file, action.uid.isEmpty() ? newUid() : action.uid, action.with);
            return;
        }
        case Kind::DeleteHere:
            removeLocal(action.path);
            return;
        case Kind::DownloadNew:
        case Kind::ConflictCopy: {
            Item item{in->uid, action.href, {}, false, {}};
            if (action.kind == Kind::DownloadNew)
                pull(item, *in, {});
            else
                reconcile(item, {action.path}, *in);
            if (action.kind == Kind::DownloadNew || !item.files.isEmpty())
                m_added.append(item); // else the file went meanwhile: the next sync pairs
            return;
        }
        default:
            return;
        }
    }
    Item& item = m_status.items[action.item];
    if (!action.href.isEmpty())
        item.href = action.href; // also one it was sent to anew by a sync that stopped
    switch (action.kind) {
    case Kind::UploadNew:
        item.href.clear(); // gone there, or never sent: a new event
        push(item, sentFiles(action), true);
        return;
    case Kind::UploadChange:
        push(item, sentFiles(action), false);
        return;
    case Kind::DownloadChange:
        item.files = m_plan.files.value(action.item);
        pull(item, *in, action.path);
        return;
    case Kind::ConflictCopy:
        // A change that holds no appointment goes nowhere, and nothing overwrites it either.
        if (sendable(action.path, load(action.path)))
            reconcile(item, sentFiles(action), *in);
        return;
    case Kind::DeleteHere:
        item.files = m_plan.files.value(action.item);
        for (const SyncRecord::File& f : item.files) {
            if (!stillKnown(item, f.path)) {
                // Saved here since the listing: a change wins over a deletion there, next time.
                ++m_result.retryLater;
                return;
            }
        }
        deleteLocal(item);
        m_drop[action.item] = true;
        return;
    case Kind::DeleteThere:
        switch (m_dav.remove(m_collection, item.href, item.etag)) {
        case CalendarServer::Write::Done:
            ++m_result.deletedThere;
            m_wroteServer = true;
            m_drop[action.item] = true;
            changed();
            return;
        case CalendarServer::Write::Changed:
            ++m_result.retryLater;
            return;
        case CalendarServer::Write::Failed:
            fail(m_dav.error());
        }
        return;
    case Kind::RecordOnly:
        item.files = m_plan.files.value(action.item);
        m_touched = true;
        return;
    case Kind::Forget:
        m_drop[action.item] = true;
        changed();
        return;
    case Kind::DownloadNew:
        return;
    }
}

void Run::apply()
{
    m_drop = QList<bool>(m_status.items.size(), false);
    for (const SyncPlan::Action& action : m_plan.actions) {
        checkCancel();
        perform(action);
    }
    keepProgress();
}

} // namespace SyncInternal
