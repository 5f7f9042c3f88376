#pragma once

// Inside the sync library: one run of the sync, its reading of both sides (SyncRun.cpp) and
// what it does to them (SyncApply.cpp).

#include "exchange/IcsImport.h"
#include "exchange/OccurrenceSeries.h"
#include "store/AppointmentFile.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"
#include "store/RuleSeries.h"
#include "sync/CalDavClient.h"
#include "sync/Sync.h"
#include "sync/SyncMapping.h"
#include "sync/SyncPlan.h"
#include "sync/SyncRecord.h"
#include "sync/SyncText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QSet>
#include <QUuid>

#include <memory>
#include <optional>

namespace SyncInternal {

using SyncRecord::Item;

// An appointment file of the window that no item of the record claims.
struct NewFile {
    QString path; // relative
    TerminPtr appointment;
    bool detached = false; // a changed mirror: always an event of its own
    QString uid;           // its own UID, else one drawn from its file name (see fileUid)
};

// A file of the window as the listing found it.
struct Listed {
    qint64 modified = 0; // ms since the epoch
    qint64 size = 0;
};

// A sync failed half-way: the record is saved with what was done.
struct Stop {
    SyncResult::Exit exit;
    QString error;
};

class Run {
public:
    // server: the one to talk to; null for the account's over HTTP.
    Run(const QString& folder, const SyncAccount& account, const SyncOptions& options,
        SyncResult& result, CalendarServer* server)
        : m_folder(folder)
        , m_account(account)
        , m_options(options)
        , m_result(result)
        , m_files(options.files ? *options.files : ThreadFileAccess())
        , m_profiles(m_files)
        , m_store(m_profiles, StoreSource::fixed(folder))
        , m_http(server ? nullptr : std::make_unique<HttpClient>(account, options))
        , m_client(server ? nullptr : std::make_unique<CalDavClient>(*m_http))
        , m_dav(server ? *server : *m_client)
    {
        const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
        m_from = today.addDays(-options.pastDays);
        m_to = today.addDays(options.futureDays);
    }

    void go();
    // After a stop: what was done so far, so the next sync does not repeat it.
    void keepProgress();
    // Whether the server changed since the sync began only by the writes the record items
    // hold (href and ETag); then the server's state now is the one to trust next time.
    bool onlyOwnWrites(const QList<SyncRecord::Item>& items);
    int requests() const { return m_dav.requests(); }

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
    // The file as it is now, read inside the folder, with the hash of its bytes; nullopt when
    // it is no regular file there or larger than the store reads (a size known from the
    // listing spares the read).
    std::optional<SyncRecord::File> look(const QString& rel,
                                         std::optional<qint64> listedSize = {}) const;
    SyncRecord::File fileRecord(const QString& rel) const;
    // Whether the listing of the window takes in the path: the recurring tree, and the days
    // of the window.
    bool inWindow(const QString& rel) const
    {
        if (Recurrence::inTree(rel))
            return true;
        const QDate day = DataAccess::DayOfOneTimeFile(u'/' + rel);
        return day.isValid() && day >= m_from && day <= m_to;
    }
    // The names the listing passed over, told once each.
    void noteSkipped();
    // Whether the file holds an appointment to send: a text and a date. One that does not is
    // named in the notes once, and again only after it changed.
    bool sendable(const QString& rel, const TerminPtr& appointment);
    // A file whose change a read-only calendar does not take: named in the result, and told
    // in the notes once until it changes again.
    void withhold(const QString& rel);
    // What the record reader could not trust, told once.
    void noteRecordTrust(const QString& distrust);
    // The UID of the event of a file without one: the same for the file wherever it moves.
    QString fileUid(const QString& rel) const
    {
        const QByteArray key = (m_status.collection + u'|' + QFileInfo(rel).fileName()).toUtf8();
        return QString::fromLatin1(
                   QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(24)) +
               QStringLiteral("@norvane");
    }
    void changed(bool force = false);

    bool sameServer(const QUrl& found, const QUrl& recorded);
    void findCollection();
    void classify();
    // The series' rule files: each of them one event.
    void listRuleFiles();
    void listFile(const QString& rel, const Listed& seen, const SyncRecord::File* known);
    // Stopped before anything was deleted: the numbers for the user.
    [[noreturn]] void stopAtGuard();
    void fetchIncoming(const QStringList& restoring);
    void apply();
    void perform(const SyncPlan::Action& action);
    // Both sides changed: the same event on both is only recorded, else both are kept.
    void reconcile(Item& item, const QStringList& rels, const SyncMapping::Incoming& incoming);

    // Sends the files as the item's event: one file, or the parts of one series.
    void push(Item& item, const QStringList& rels, bool create);
    // The files an action sends: a series item's all, else the action's one.
    QStringList sentFiles(const SyncPlan::Action& action) const;
    // Whether the file holds what the record knows of it, or is gone.
    bool stillKnown(const Item& item, const QString& rel) const;
    void pull(Item& item, const SyncMapping::Incoming& incoming, const QString& localRel);
    // Writes an arrived appointment over keepRel (empty: a new file, which takes what the folder
    // alone keeps from templateRel when given).
    QString writeLocal(const ClassTermin& arrived, const QString& keepRel,
                       const QString& templateRel = {});
    // The parts of a series from the server over the item's files, each over the part of its
    // place: the folder's own fields stay on every part.
    QList<SyncRecord::File> writeSeries(const Item& item, const SyncMapping::Incoming& incoming);
    // The days of a span from the server over the item's files of the same days; a day the
    // span no longer has loses its file (by pull), a new day gets one. The span keeps the id it
    // has here.
    QList<SyncRecord::File> writeSpan(const Item& item, const SyncMapping::Incoming& incoming);
    // A series kept by its rule file from the server in place of the one of its SeriesId: its
    // rule file (returned) and occurrences, the folder's own fields kept.
    QString writeOccurrences(const ClassTermin& arrived);
    // Removes a file of an item; a rule file takes its occurrences along.
    void removeLocal(const QString& rel);
    void conflict(Item& item, const QStringList& rels, const SyncMapping::Incoming& incoming);
    void deleteLocal(const Item& item);
    // A new file (with the other new files of its series) as a new event.
    void addNew(const NewFile& file, const QString& uid, const QStringList& with = {});

    QString m_folder;
    SyncAccount m_account;
    SyncOptions m_options;
    SyncResult& m_result;
    FileAccess& m_files;
    ProfileCache m_profiles;
    DataAccess m_store;
    std::unique_ptr<HttpClient> m_http;
    std::unique_ptr<CalDavClient> m_client;
    CalendarServer& m_dav;
    QDate m_from;
    QDate m_to;
    IcsZoneCache m_zones; // of the events fetched

    SyncRecord::Status m_status;
    QUrl m_collection;
    CalendarServer::State m_state;
    QHash<QString, QByteArray> m_etags; // by href
    QHash<QString, Listed> m_scanned;   // the files of the window, by path
    SyncPlan::Local m_listing;
    QHash<QString, NewFile> m_newFiles;   // by path: the files no item claims
    QHash<QString, QString> m_formerUids; // by path: UIDs of a record for another calendar
    QHash<QString, SyncMapping::Incoming> m_incoming; // by href
    SyncPlan::Plan m_plan;
    QList<Item> m_added;
    QList<bool> m_drop;
    QHash<QString, SyncRecord::File> m_withheld; // by path: files not sent in this sync
    bool m_dirty = false;
    bool m_touched = false; // the record's times of files changed whose bytes did not
    int m_unsaved = 0;
    bool m_wroteServer = false;
    bool m_readOnly = false; // nothing goes to the server
};

} // namespace SyncInternal
