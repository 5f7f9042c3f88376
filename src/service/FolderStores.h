#pragma once

#include "index/AppointmentIndex.h"
#include "service/StoreService.h"
#include "store/ClassTermin.h"
#include "store/DaySource.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// The store services of the data folders shown at once: the active folder's (the window's own)
// and one for each folder shown beside it, each with its own worker thread, so a share that
// stalls holds up only its own appointments. The views draw from all of them merged; a change
// goes to the service of the folder its file lies in.
class FolderStores : public QObject {
    Q_OBJECT

public:
    using Maker = std::function<std::unique_ptr<StoreService>()>;

    // active outlives this; the services beside it are made by make, alike active by default.
    explicit FolderStores(StoreService& active, Maker make = {}, QObject* parent = nullptr);
    ~FolderStores() override;

    // The folders shown beside the active one. A service starts for a folder new here; the one
    // of a folder no longer shown ends once no change under way holds it, leaving a request
    // stuck on its share to end on its own.
    void showBeside(const QStringList& folders, int monthIntervalSeconds, int parallelRequests);

    StoreService& active() const { return *m_services.first(); }
    // Every service, the active one first, then as showBeside named their folders.
    QList<StoreService*> all() const;
    // The service of the folder path lies in (the longest that it starts with); the active one
    // for a new appointment's empty path. Shared: a change under way keeps it.
    std::shared_ptr<StoreService> of(const QString& path) const;

    // Each service looks at its days of the request.
    void show(const StoreService::Request& request);
    // The day as all folders know it; nullopt while none does.
    std::optional<QList<TerminPtr>> knownDay(const QDate& date) const;
    bool knownMark(const QDate& date) const;
    DaySource knownDays() const;
    bool idle() const;
    bool provisional(const QString& path) const { return of(path)->provisional(path); }

    // The service whose newest step to undo (redo) is the one taken last of all folders;
    // null when none has one.
    std::shared_ptr<StoreService> historyFor(bool redo) const;

    // Every folder's index asked, the answers merged; done runs once, on this thread.
    void search(const QStringList& words, const QDate& from, const QDate& to,
                StoreService::Searched done);
    // The days as every folder's service reads them now (StoreService::readDays), merged as
    // mergedDay merges them; done runs once, on this thread, naming the folders that could not
    // be listed, whose days are missing.
    struct DaysRead {
        QHash<QDate, QList<TerminPtr>> days;
        QStringList unreachable;
    };
    void readDays(const QList<QDate>& days, std::function<void(const DaysRead& read)> done);
    // Each file looked at by the service of its folder; done once all were.
    void confirm(const QStringList& paths, std::function<void()> done);

    // One day of several folders: the appointments of each, the first folder's first, each
    // file once (two names of one folder show it once); nullopt when no folder knows the day.
    static std::optional<QList<TerminPtr>>
    mergedDay(const QList<std::optional<QList<TerminPtr>>>& folders);
    // Several folders' search answers as one: by day, then start; usable and complete when
    // every one is.
    static AppointmentIndex::Answer mergedAnswer(const QList<AppointmentIndex::Answer>& answers);
    // Of the services by their order of use (the last used last), the last for which has
    // holds; -1 for none.
    static int lastWith(const QList<int>& used, const std::function<bool(int)>& has);

signals:
    // As StoreService's, of any folder shown.
    void daysChanged();
    void marksChanged();
    void folderChanged();
    void historyChanged();
    // Whether a folder beside the active one answers, or can be reached, changed; again:
    // it answers again after it did not.
    void besideChanged(bool again);

private:
    void follow(StoreService& service);
    void dropUnused();
    static void stop(StoreService& service);

    Maker m_make;
    QList<std::shared_ptr<StoreService>> m_services; // the active one first
    QList<std::shared_ptr<StoreService>> m_leaving;  // no longer shown, held by a change
    // The services by the last change of their history, the last changed last.
    QList<const StoreService*> m_used;
};
