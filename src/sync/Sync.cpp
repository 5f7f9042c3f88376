#include "sync/Sync.h"

#include "profile/ApiINI.h"
#include "settings/Settings.h"
#include "sync/CalDavClient.h"
#include "sync/SyncText.h"

namespace {

const QString& kSection = Settings::kCalendarZoneSection; // the sync's own section
const QString kSubscriptionSection = QStringLiteral("Subscriptions");
const QString kRefreshKey = QStringLiteral("RefreshMinutes");

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
    for (const QString& note : notes)
        text += u'\n' + note;
    return text;
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
    const WriteOutcome outcome = ini.commit();
    if (!outcome.ok && error)
        *error = outcome.error;
    return outcome.ok;
}
