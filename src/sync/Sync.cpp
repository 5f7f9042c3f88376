#include "sync/Sync.h"

#include "profile/ApiINI.h"
#include "settings/Settings.h"
#include "sync/CalDavClient.h"
#include "sync/SyncText.h"

namespace {

const QString& kSection = Settings::kCalendarZoneSection; // the sync's own section
const QString kSubscriptionSection = QStringLiteral("Subscriptions");
const QString kRefreshKey = QStringLiteral("RefreshMinutes");
const QString kPairCount = QStringLiteral("CalendarCount");

QString pairKey(int n, const char* what)
{
    return QStringLiteral("Calendar%1").arg(n) + QLatin1String(what);
}

// What the account's URL alone says: its calendar with the active folder.
bool onlyTheUrl(const SyncSettings& settings)
{
    return settings.pairs.isEmpty() ||
           (settings.pairs.size() == 1 && settings.pairs.first() == SyncPair::asEver(settings.url));
}

} // namespace

QString SyncResult::summary() const
{
    QString text = Sync::tr("Sent %1, received %2, deleted %3 here and %4 on the server; "
                            "%n conflicts kept as copies.",
                            nullptr, conflicts)
                       .arg(sent)
                       .arg(received)
                       .arg(deletedHere)
                       .arg(deletedThere);
    if (retryLater > 0)
        text += u' ' + Sync::tr("%n events changed on the server during the sync: they follow "
                                "at the next sync.",
                                nullptr, retryLater);
    if (!notSent.isEmpty())
        text += u' ' + Sync::tr("%n changes were not sent: the calendar is read-only.", nullptr,
                                int(notSent.size()));
    for (const QString& note : notes)
        text += u'\n' + note;
    return text;
}

SyncResult combinedResult(const QList<std::pair<QString, SyncResult>>& results)
{
    if (results.size() == 1)
        return results.first().second;
    SyncResult all;
    const auto named = [](const QString& label, const QString& text) {
        return Sync::tr("%1: %2").arg(label, text);
    };
    for (const auto& [label, r] : results) {
        if (!r.ok() && all.ok()) {
            all.exit = r.exit;
            all.massDeletion = r.massDeletion;
        }
        if (!r.ok())
            all.error +=
                (all.error.isEmpty() ? QString() : QStringLiteral("\n")) + named(label, r.error);
        all.sent += r.sent;
        all.received += r.received;
        all.deletedHere += r.deletedHere;
        all.deletedThere += r.deletedThere;
        all.conflicts += r.conflicts;
        all.retryLater += r.retryLater;
        all.requests += r.requests;
        all.candidates += r.candidates;
        all.notSent += r.notSent;
        for (const QString& note : r.notes)
            all.notes << named(label, note);
    }
    return all;
}

SyncResult testConnection(const SyncAccount& account, const SyncOptions& options)
{
    SyncResult result;
    HttpClient http(account, options);
    CalDavClient dav(http);
    const std::optional<QUrl> found = dav.discover(QUrl(account.url), &result.candidates);
    if (found && dav.state(*found)) {
        result.collection = found->toString();
    } else {
        result.exit = SyncResult::Exit::Failed;
        result.error = dav.error();
    }
    result.requests = http.requests();
    return result;
}

CalendarListing listCalendars(const SyncAccount& account, const SyncOptions& options)
{
    CalendarListing listing;
    HttpClient http(account, options);
    CalDavClient dav(http);
    const auto found = dav.calendars(QUrl(account.url));
    listing.ok = found.has_value();
    if (!found)
        listing.error = dav.error();
    for (const CalDavClient::Found& f : found.value_or(QList<CalDavClient::Found>()))
        listing.calendars << f.calendar;
    return listing;
}

SyncSettings readSyncSettings(ProfileCache& profiles, const QString& settingsFile)
{
    const IniFile ini(profiles, settingsFile);
    SyncSettings settings;
    settings.url = ini.ReadIniString(kSection, QStringLiteral("Url"));
    settings.user = ini.ReadIniString(kSection, QStringLiteral("User"));
    settings.pastDays = ini.ReadIniLong(kSection, QStringLiteral("PastDays"), settings.pastDays);
    settings.futureDays =
        ini.ReadIniLong(kSection, QStringLiteral("FutureDays"), settings.futureDays);
    settings.intervalMinutes =
        qMax(0, int(ini.ReadIniLong(kSection, QStringLiteral("Interval"), 0)));
    settings.timeZone = ini.ReadIniString(kSection, Settings::kCalendarZoneKey);
    settings.subscriptionMinutes = qMax(
        0, int(ini.ReadIniLong(kSubscriptionSection, kRefreshKey, settings.subscriptionMinutes)));
    const int count = qBound(0, int(ini.ReadIniLong(kSection, kPairCount, 0)), 100);
    for (int n = 1; n <= count; ++n) {
        const SyncPair pair{ini.ReadIniString(kSection, pairKey(n, "Url")),
                            ini.ReadIniString(kSection, pairKey(n, "Folder")),
                            ini.ReadIniBool(kSection, pairKey(n, "ReadOnly"), false),
                            ini.ReadIniString(kSection, pairKey(n, "Name"))};
        if (!pair.url.isEmpty())
            settings.pairs << pair;
    }
    if (settings.pairs.isEmpty() && !settings.url.isEmpty())
        settings.pairs << SyncPair::asEver(settings.url);
    return settings;
}

bool writeSyncSettings(ProfileCache& profiles, const QString& settingsFile,
                       const SyncSettings& settings, QString* error)
{
    IniFile ini(profiles, settingsFile);
    ini.WriteIniString(kSection, QStringLiteral("Url"), settings.url);
    ini.WriteIniString(kSection, QStringLiteral("User"), settings.user);
    ini.WriteIniLong(kSection, QStringLiteral("PastDays"), settings.pastDays);
    ini.WriteIniLong(kSection, QStringLiteral("FutureDays"), settings.futureDays);
    ini.WriteIniLong(kSection, QStringLiteral("Interval"), settings.intervalMinutes);
    ini.WriteIniString(kSection, Settings::kCalendarZoneKey, settings.timeZone);
    ini.WriteIniLong(kSubscriptionSection, kRefreshKey, settings.subscriptionMinutes);
    const int before = qBound(0, int(ini.ReadIniLong(kSection, kPairCount, 0)), 100);
    const qsizetype count = onlyTheUrl(settings) ? 0 : settings.pairs.size();
    if (count == 0)
        ini.DeleteIniKey(kSection, kPairCount);
    else
        ini.WriteIniLong(kSection, kPairCount, count);
    for (int n = 1; n <= qMax(before, int(count)); ++n) {
        for (const char* what : {"Url", "Folder", "ReadOnly", "Name"})
            ini.DeleteIniKey(kSection, pairKey(n, what));
        if (n > count)
            continue;
        const SyncPair& pair = settings.pairs[n - 1];
        ini.WriteIniString(kSection, pairKey(n, "Url"), pair.url);
        if (!pair.folder.isEmpty())
            ini.WriteIniString(kSection, pairKey(n, "Folder"), pair.folder);
        if (pair.readOnly)
            ini.WriteIniBool(kSection, pairKey(n, "ReadOnly"), true);
        if (!pair.name.isEmpty())
            ini.WriteIniString(kSection, pairKey(n, "Name"), pair.name);
    }
    const WriteOutcome outcome = ini.commit();
    if (!outcome.ok && error)
        *error = outcome.error;
    return outcome.ok;
}
