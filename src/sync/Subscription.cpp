#include "sync/Subscription.h"

#include "exchange/IcsImport.h"
#include "exchange/ImportRecord.h"
#include "profile/ApiINI.h"
#include "profile/ProfileCache.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "sync/HttpClient.h"
#include "sync/SyncRecord.h"

#include <QSet>
#include <QUrl>

#include <memory>

namespace Subscriptions {

namespace {

const QString kSection = QStringLiteral("Subscription");

QString directoryOf(const QString& folder)
{
    return WithTrailingSeparator(folder) + kDirectory;
}

QString fileOf(const QString& folder, const QString& id)
{
    return directoryOf(folder) + u'/' + id + QStringLiteral(".ini");
}

std::optional<Subscription> read(const QString& folder, const QString& path, ProfileCache& cache)
{
    const IniFile ini(cache, path, folder);
    Subscription s;
    s.id = path.section(u'/', -1).chopped(4);
    s.name = ini.ReadIniString(kSection, QStringLiteral("Name")).trimmed();
    s.url = feedUrl(ini.ReadIniString(kSection, QStringLiteral("Url")), nullptr);
    if (s.name.isEmpty() || s.url.isEmpty() || idOf(s.name) != s.id)
        return std::nullopt;
    s.colorCode = ini.ReadIniLong(kSection, QStringLiteral("Color"), 1);
    s.etag = ini.ReadIniString(kSection, QStringLiteral("ETag")).toUtf8();
    s.lastModified = ini.ReadIniString(kSection, QStringLiteral("LastModified")).toUtf8();
    s.files = ini.ReadIniString(kSection, QStringLiteral("Files")).split(u' ', Qt::SkipEmptyParts);
    s.imported =
        QDateTime::fromString(ini.ReadIniString(kSection, QStringLiteral("Imported")), Qt::ISODate);
    return s;
}

struct Answer {
    HttpClient::Response response;
    int requests = 0;
};

// The feed's answer to a request that names the version imported last, following its
// redirects: a feed needs no login, so another host may answer, but never over http after
// https.
Answer fetch(const Subscription& s, const RefreshOptions& options)
{
    SyncOptions http;
    http.connectTimeout = options.connectTimeout;
    http.stallTimeout = options.stallTimeout;
    // Each hop has a client of its own and its answer the deadline; the client's limit for a
    // whole sync stays beyond it, so that a feed too slow is told as the answer it is.
    http.requestDeadline = options.deadline;
    http.syncDeadline = options.deadline * 2;
    http.cancel = options.cancel;
    HttpClient::Headers headers{{"Accept", "text/calendar, */*;q=0.5"}};
    if (!s.etag.isEmpty())
        headers.append({"If-None-Match", s.etag});
    if (!s.lastModified.isEmpty())
        headers.append({"If-Modified-Since", s.lastModified});
    Answer answer;
    QUrl url(s.url);
    for (int hop = 0;; ++hop) {
        HttpClient client(SyncAccount{url.toString(), {}, {}}, http);
        answer.response = client.request("GET", url.toString(), headers);
        answer.requests += client.requests();
        const long status = answer.response.status;
        const bool redirect =
            status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
        if (!redirect || answer.response.location.isEmpty())
            return answer;
        const QUrl next = url.resolved(QUrl::fromEncoded(answer.response.location));
        QString why;
        if (hop + 1 >= kMaxRedirects)
            why = Texts::tr("The feed at %1 sends the request on more than %2 times.")
                      .arg(s.url)
                      .arg(kMaxRedirects);
        else if (url.scheme() == u"https" && next.scheme() != u"https")
            why = Texts::tr("The feed at %1 sends the request on without encryption (%2); it is "
                            "not followed.")
                      .arg(s.url, next.toDisplayString());
        else if (feedUrl(next.toString(), nullptr).isEmpty())
            why = Texts::tr("The feed at %1 sends the request on to %2, which is no web address.")
                      .arg(s.url, next.toDisplayString());
        if (!why.isEmpty()) {
            answer.response = {};
            answer.response.error = why;
            return answer;
        }
        url = next;
    }
}

// Removes what the last refresh brought and this one did not, where it is still the
// subscription's: an appointment someone made their own since stays.
int removeStale(DataAccess& store, const QString& folder, const Subscription& s,
                const QStringList& brought)
{
    int removed = 0;
    for (const QString& relative : stale(s.files, brought)) {
        const QString path = WithTrailingSeparator(folder) + relative;
        // The import itself removed what moved to another day.
        if (!store.FileExists(path))
            continue;
        const TerminPtr a = store.LoadAppointment(path, QDate());
        if (a && a->SubscriptionId() == s.id) {
            store.DeleteAppointmentFile(path);
            ++removed;
        }
    }
    return removed;
}

// Why the folder's lock was not had: another copy writes, or the lock cannot be made.
QString lockRefusal(const SyncRecord::Lock& lock)
{
    return lock.error().isEmpty()
               ? Texts::tr("Another copy is writing this data folder (%1).").arg(lock.holder())
               : lock.error();
}

RefreshResult ended(RefreshResult result, RefreshResult::Exit exit, const QString& message)
{
    result.exit = exit;
    result.message = message;
    return result;
}

} // namespace

QString feedUrl(const QString& text, QString* error)
{
    QUrl url(text.trimmed());
    if (url.scheme().compare(QLatin1String("webcal"), Qt::CaseInsensitive) == 0)
        url.setScheme(QStringLiteral("https"));
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty() ||
        !url.userInfo().isEmpty()) {
        if (error)
            *error = Texts::tr("%1 is no http, https or webcal address of a calendar.")
                         .arg(text.trimmed());
        return {};
    }
    return url.toString(QUrl::FullyEncoded);
}

QString idOf(const QString& name)
{
    QString id;
    for (const QChar c : name.trimmed().toLower()) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        if (plain)
            id += c;
        else if (!id.endsWith(u'-'))
            id += u'-';
    }
    while (id.startsWith(u'-'))
        id.remove(0, 1);
    while (id.endsWith(u'-'))
        id.chop(1);
    return id.left(64);
}

QList<Subscription> list(const QString& folder, FileAccess& files)
{
    QList<Subscription> found;
    const std::optional<DirectoryListing> listing =
        files.listFiles(directoryOf(folder), QStringLiteral(".ini"), folder);
    if (!listing)
        return found;
    ProfileCache cache(files);
    for (const QString& name : listing->names)
        if (std::optional<Subscription> s = read(folder, directoryOf(folder) + u'/' + name, cache))
            found.append(*s);
    std::sort(found.begin(), found.end(), [](const Subscription& a, const Subscription& b) {
        return a.name.localeAwareCompare(b.name) < 0;
    });
    return found;
}

std::optional<Subscription> find(const QString& folder, FileAccess& files, const QString& name)
{
    ProfileCache cache(files);
    const QString id = idOf(name);
    if (id.isEmpty() || !files.exists(fileOf(folder, id)))
        return std::nullopt;
    return read(folder, fileOf(folder, id), cache);
}

WriteOutcome save(const QString& folder, const Subscription& s, FileAccess& files)
{
    if (!files.isListableDir(directoryOf(folder)))
        files.makePath(directoryOf(folder));
    ProfileCache cache(files);
    IniFile ini(cache, fileOf(folder, s.id), folder);
    ini.WriteIniString(kSection, QStringLiteral("Name"), s.name);
    ini.WriteIniString(kSection, QStringLiteral("Url"), s.url);
    ini.WriteIniLong(kSection, QStringLiteral("Color"), s.colorCode);
    ini.WriteIniString(kSection, QStringLiteral("ETag"), QString::fromUtf8(s.etag));
    ini.WriteIniString(kSection, QStringLiteral("LastModified"), QString::fromUtf8(s.lastModified));
    ini.WriteIniString(kSection, QStringLiteral("Files"), s.files.join(u' '));
    ini.WriteIniString(kSection, QStringLiteral("Imported"),
                       s.imported.isValid() ? s.imported.toUTC().toString(Qt::ISODate) : QString());
    return ini.commit();
}

Decision decide(const Subscription& before, long status, const QString& httpError,
                const QString& parseError, int events)
{
    using Kind = Decision::Kind;
    if (status == 0)
        return {Kind::Refused, httpError};
    if (status == 304)
        return {Kind::Unchanged, {}};
    if (status != 200)
        return {Kind::Refused,
                Texts::tr("The feed at %1 answers with HTTP status %2; nothing was changed.")
                    .arg(before.url)
                    .arg(status)};
    if (!parseError.isEmpty())
        return {Kind::Refused, Texts::tr("The feed at %1 is no calendar now (%2); nothing was "
                                         "changed.")
                                   .arg(before.url, parseError)};
    // A feed that lost everything at once is far likelier broken than emptied on purpose.
    if (events == 0 && !before.files.isEmpty())
        return {Kind::Refused, Texts::tr("The feed at %1 holds no events now; what it brought "
                                         "before is kept.")
                                   .arg(before.url)};
    return {Kind::Import, {}};
}

QStringList stale(const QStringList& before, const QStringList& brought)
{
    const QSet<QString> again(brought.cbegin(), brought.cend());
    QStringList gone;
    for (const QString& file : before)
        if (!again.contains(file) && !gone.contains(file))
            gone.append(file);
    return gone;
}

RefreshResult refresh(const QString& folder, const Subscription& subscription,
                      const RefreshOptions& options)
{
    using Exit = RefreshResult::Exit;
    RefreshResult result;
    const Answer answer = fetch(subscription, options);
    result.requests = answer.requests;
    const HttpClient::Response& response = answer.response;
    QString parseError;
    int events = 0;
    if (response.status == 200) {
        const IcsCheck check =
            response.body.size() > kMaxFeedBytes
                ? IcsCheck{false, Texts::tr("larger than %1 MB").arg(kMaxFeedBytes >> 20)}
                : CheckIcs(response.body);
        parseError = check.ok ? QString() : check.error;
        events = check.events;
    }
    const Decision decision =
        decide(subscription, response.status, response.error, parseError, events);
    if (decision.kind == Decision::Kind::Unchanged)
        return ended(result, Exit::Unchanged, Texts::tr("%1 is unchanged.").arg(subscription.name));
    if (decision.kind == Decision::Kind::Refused)
        return ended(result, response.status == 0 ? Exit::Failed : Exit::Refused, decision.why);

    // One writer at a time, whether it syncs the folder or refreshes a subscription.
    const SyncRecord::Lock lock(folder, options.lockAge, std::chrono::seconds(0));
    if (!lock.held())
        return ended(result, lock.error().isEmpty() ? Exit::Busy : Exit::Failed, lockRefusal(lock));
    FileAccess& files = options.files ? *options.files : ThreadFileAccess();
    // Another copy may have brought this version while this one asked.
    Subscription current = find(folder, files, subscription.id).value_or(subscription);
    if (!response.etag.isEmpty() && current.etag == response.etag)
        return ended(result, Exit::Unchanged, Texts::tr("%1 is unchanged.").arg(current.name));

    ProfileCache profiles(files);
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions import;
    import.today = options.today;
    import.timeZoneId = options.timeZoneId;
    import.producer = current.name;
    import.subscription = current.id;
    import.recordSource = current.url;
    const IcsImportResult imported =
        ImportIcs(response.body, store, folder, current.colorCode, {}, import);
    if (!imported.ok || imported.tooLarge)
        return ended(result, Exit::Refused,
                     imported.tooLarge
                         ? Texts::tr("The feed at %1 makes %2 appointments, more than a "
                                     "subscription takes; nothing was changed.")
                               .arg(current.url)
                               .arg(imported.appointments)
                         : imported.error);
    const ImportRecordInfo record = ReadImportRecord(imported.record, files);
    QStringList brought;
    for (const ImportedFile& file : record.created)
        brought << file.relative;
    brought << record.updatedFiles;
    result.written = imported.appointments - imported.failed - imported.notTried;
    const bool whole = imported.failed == 0 && imported.notTried == 0 && record.ok;
    if (whole) {
        result.removed = removeStale(store, folder, current, brought);
        current.files = brought;
        current.etag = response.etag;
        current.lastModified = response.lastModified;
    } else {
        // What did land is the subscription's too; the next refresh tries the whole again.
        current.files = current.files + stale(brought, current.files);
        current.etag.clear();
        current.lastModified.clear();
    }
    current.imported = QDateTime::currentDateTimeUtc();
    const WriteOutcome saved = save(folder, current, files);
    if (saved.ok && record.ok)
        files.remove(imported.record, folder);
    if (!saved.ok)
        return ended(result, Exit::Failed,
                     Texts::tr("What %1 brought cannot be noted in %2: %3")
                         .arg(current.name, saved.path, saved.error));
    if (!whole)
        return ended(result, Exit::Failed,
                     Texts::tr("%1 was refreshed in part: %2 of %3 appointments could not be "
                               "written.")
                         .arg(current.name)
                         .arg(imported.failed + imported.notTried)
                         .arg(imported.appointments));
    return ended(result, Exit::Updated,
                 Texts::tr("%1 refreshed: %2 appointments, %3 no longer in the feed removed.")
                     .arg(current.name)
                     .arg(result.written)
                     .arg(result.removed));
}

Removed remove(const QString& folder, const QString& name, FileAccess& files,
               std::chrono::seconds lockAge)
{
    const std::optional<Subscription> s = find(folder, files, name);
    if (!s)
        return {{}, Texts::tr("%1 has no subscription named %2.").arg(folder, name)};
    const SyncRecord::Lock lock(folder, lockAge, std::chrono::seconds(0));
    if (!lock.held())
        return {{}, lockRefusal(lock)};
    ProfileCache profiles(files);
    DataAccess store(profiles, StoreSource::fixed(folder));
    const int removed = removeStale(store, folder, *s, {});
    if (!files.remove(fileOf(folder, s->id), folder))
        return {{}, Texts::tr("%1 cannot be removed.").arg(fileOf(folder, s->id))};
    return {Texts::tr("%1 ended: %2 appointments removed.").arg(s->name).arg(removed), {}};
}

} // namespace Subscriptions
