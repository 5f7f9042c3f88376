#include "service/FolderStores.h"

#include "profile/FileAccess.h"

#include <QSet>

#include <algorithm>

FolderStores::FolderStores(StoreService& active, Maker make, QObject* parent)
    : QObject(parent)
    , m_make(std::move(make))
{
    if (!m_make)
        m_make = [options = active.options()] { return std::make_unique<StoreService>(options); };
    // Not owned: the window's service outlives the window.
    m_services.append(std::shared_ptr<StoreService>(&active, [](StoreService*) {}));
    follow(active);
}

FolderStores::~FolderStores()
{
    for (const std::shared_ptr<StoreService>& service : std::as_const(m_services))
        disconnect(service.get(), nullptr, this, nullptr);
    m_leaving << m_services.mid(1);
    m_services.clear();
    for (const std::shared_ptr<StoreService>& service : std::as_const(m_leaving))
        stop(*service);
}

void FolderStores::stop(StoreService& service)
{
    // Nothing is waited for: a change under way holds its service, and a read left running,
    // on a share that stalls say, ends on its own thread unanswered.
    service.shutDown(std::chrono::milliseconds(0));
}

void FolderStores::follow(StoreService& service)
{
    connect(&service, &StoreService::daysChanged, this, &FolderStores::daysChanged);
    connect(&service, &StoreService::marksChanged, this, &FolderStores::marksChanged);
    connect(&service, &StoreService::folderChanged, this, &FolderStores::folderChanged);
    connect(&service, &StoreService::historyChanged, this, [this, s = &service] {
        m_used.removeAll(s);
        m_used.append(s);
        emit historyChanged();
    });
    if (&service == &active())
        return;
    connect(&service, &StoreService::answeringChanged, this,
            [this](bool answering) { emit besideChanged(answering); });
    connect(&service, &StoreService::reachableChanged, this, [this] { emit besideChanged(false); });
}

void FolderStores::showBeside(const QStringList& folders, int monthIntervalSeconds,
                              int parallelRequests)
{
    QStringList wanted;
    for (const QString& folder : folders) {
        const QString withSeparator = WithTrailingSeparator(folder);
        if (withSeparator != active().folder() && !wanted.contains(withSeparator))
            wanted << withSeparator;
    }
    QList<std::shared_ptr<StoreService>> kept{m_services.first()};
    for (const QString& folder : std::as_const(wanted)) {
        const auto found = std::find_if(m_services.cbegin() + 1, m_services.cend(),
                                        [&](const auto& s) { return s->folder() == folder; });
        if (found != m_services.cend()) {
            kept << *found;
            continue;
        }
        std::shared_ptr<StoreService> made(m_make());
        made->setFolder(folder, monthIntervalSeconds);
        follow(*made);
        kept << made;
    }
    for (const std::shared_ptr<StoreService>& service : std::as_const(m_services))
        if (!kept.contains(service)) {
            disconnect(service.get(), nullptr, this, nullptr);
            m_used.removeAll(service.get());
            m_leaving << service;
        }
    m_services = kept;
    for (const std::shared_ptr<StoreService>& service : std::as_const(m_services)) {
        service->setParallelRequests(parallelRequests);
        if (service != m_services.first())
            service->setFolder(service->folder(), monthIntervalSeconds);
    }
    dropUnused();
    emit historyChanged();
    emit daysChanged();
}

void FolderStores::dropUnused()
{
    // Here, never inside a service's own answer: a change under way holds its service.
    m_leaving.removeIf([](const std::shared_ptr<StoreService>& service) {
        if (service.use_count() > 1)
            return false;
        stop(*service);
        return true;
    });
}

QList<StoreService*> FolderStores::all() const
{
    QList<StoreService*> services;
    for (const std::shared_ptr<StoreService>& service : m_services)
        services << service.get();
    return services;
}

std::shared_ptr<StoreService> FolderStores::of(const QString& path) const
{
    std::shared_ptr<StoreService> best = m_services.first();
    qsizetype longest = -1;
    for (const std::shared_ptr<StoreService>& service : m_services) {
        const QString& folder = service->folder();
        if (!folder.isEmpty() && path.startsWith(folder) && folder.size() > longest) {
            best = service;
            longest = folder.size();
        }
    }
    return best;
}

void FolderStores::show(const StoreService::Request& request)
{
    dropUnused();
    for (const std::shared_ptr<StoreService>& service : std::as_const(m_services))
        service->show(request);
}

std::optional<QList<TerminPtr>> FolderStores::knownDay(const QDate& date) const
{
    if (m_services.size() == 1)
        return active().knownDay(date);
    QList<std::optional<QList<TerminPtr>>> days;
    for (const std::shared_ptr<StoreService>& service : m_services)
        days << service->knownDay(date);
    return mergedDay(days);
}

bool FolderStores::knownMark(const QDate& date) const
{
    return std::any_of(m_services.cbegin(), m_services.cend(), [&](const auto& service) {
        return service->knownMark(date).value_or(false);
    });
}

DaySource FolderStores::knownDays() const
{
    return [this](const QDate& date) { return knownDay(date).value_or(QList<TerminPtr>()); };
}

bool FolderStores::idle() const
{
    return std::all_of(m_services.cbegin(), m_services.cend(),
                       [](const auto& service) { return service->idle(); });
}

std::shared_ptr<StoreService> FolderStores::historyFor(bool redo) const
{
    // The services never changed first, as the oldest.
    QList<int> order;
    for (int i = 0; i < m_services.size(); ++i)
        if (!m_used.contains(m_services[i].get()))
            order << i;
    for (const StoreService* used : m_used)
        for (int i = 0; i < m_services.size(); ++i)
            if (m_services[i].get() == used)
                order << i;
    const int last = lastWith(order, [&](int i) {
        const UndoHistory& history = m_services[i]->history();
        return (redo ? history.nextRedo() : history.nextUndo()) != nullptr;
    });
    return last < 0 ? nullptr : m_services[last];
}

int FolderStores::lastWith(const QList<int>& used, const std::function<bool(int)>& has)
{
    for (auto i = used.crbegin(); i != used.crend(); ++i)
        if (has(*i))
            return *i;
    return -1;
}

std::optional<QList<TerminPtr>>
FolderStores::mergedDay(const QList<std::optional<QList<TerminPtr>>>& folders)
{
    std::optional<QList<TerminPtr>> merged;
    QSet<QString> files;
    for (const std::optional<QList<TerminPtr>>& day : folders) {
        if (!day)
            continue;
        if (!merged)
            merged.emplace();
        for (const TerminPtr& appointment : *day) {
            if (files.contains(appointment->filename()))
                continue;
            files.insert(appointment->filename());
            merged->append(appointment);
        }
    }
    return merged;
}

AppointmentIndex::Answer FolderStores::mergedAnswer(const QList<AppointmentIndex::Answer>& answers)
{
    AppointmentIndex::Answer merged;
    merged.usable = merged.complete = !answers.isEmpty();
    for (const AppointmentIndex::Answer& answer : answers) {
        merged.usable = merged.usable && answer.usable;
        merged.complete = merged.complete && answer.complete;
        if (!merged.completedAt.isValid() || answer.completedAt < merged.completedAt)
            merged.completedAt = answer.completedAt;
        merged.found.hits << answer.found.hits;
        merged.found.truncated = merged.found.truncated || answer.found.truncated;
    }
    std::stable_sort(merged.found.hits.begin(), merged.found.hits.end(),
                     [](const AppointmentIndex::Hit& a, const AppointmentIndex::Hit& b) {
                         return a.day != b.day ? a.day < b.day : a.start < b.start;
                     });
    return merged;
}

void FolderStores::search(const QStringList& words, const QDate& from, const QDate& to,
                          StoreService::Searched done)
{
    if (m_services.size() == 1) {
        active().search(words, from, to, std::move(done));
        return;
    }
    struct Gathered {
        QList<AppointmentIndex::Answer> answers;
        qsizetype waiting = 0;
    };
    auto gathered = std::make_shared<Gathered>();
    gathered->waiting = m_services.size();
    gathered->answers.resize(m_services.size());
    for (qsizetype i = 0; i < m_services.size(); ++i)
        m_services[i]->search(words, from, to,
                              [gathered, i, done](const AppointmentIndex::Answer& answer) {
                                  gathered->answers[i] = answer;
                                  if (--gathered->waiting == 0 && done)
                                      done(mergedAnswer(gathered->answers));
                              });
}

void FolderStores::readDays(const QList<QDate>& days, std::function<void(const DaysRead&)> done)
{
    struct Gathered {
        QList<StoreService::DaysRead> folders;
        QStringList names;
        qsizetype waiting = 0;
    };
    auto gathered = std::make_shared<Gathered>();
    gathered->waiting = m_services.size();
    gathered->folders.resize(m_services.size());
    for (const auto& service : std::as_const(m_services))
        gathered->names << service->folder();
    for (qsizetype i = 0; i < m_services.size(); ++i)
        m_services[i]->readDays(
            days, [gathered, i, days, done](const StoreService::DaysRead& read) {
                gathered->folders[i] = read;
                if (--gathered->waiting > 0 || !done)
                    return;
                DaysRead merged;
                for (const QDate& day : days) {
                    QList<std::optional<QList<TerminPtr>>> each;
                    for (const StoreService::DaysRead& folder : std::as_const(gathered->folders))
                        each << (folder.days.contains(day) ? std::optional(folder.days.value(day))
                                                           : std::nullopt);
                    merged.days.insert(day, mergedDay(each).value_or(QList<TerminPtr>()));
                }
                for (qsizetype n = 0; n < gathered->folders.size(); ++n)
                    if (!gathered->folders[n].reachable)
                        merged.unreachable << gathered->names[n];
                done(merged);
            });
}

void FolderStores::confirm(const QStringList& paths, std::function<void()> done)
{
    QHash<StoreService*, QStringList> byFolder;
    QList<StoreService*> asked;
    for (const QString& path : paths) {
        StoreService* service = of(path).get();
        if (!byFolder.contains(service))
            asked << service;
        byFolder[service] << path;
    }
    auto waiting = std::make_shared<qsizetype>(asked.size());
    for (StoreService* service : std::as_const(asked))
        service->confirm(byFolder.value(service), [waiting, done] {
            if (--*waiting == 0 && done)
                done();
        });
}
