#include "service/ServiceFiler.h"

#include "service/StoreService.h"

#include <QEventLoop>
#include <QPointer>

#include <memory>
#include <optional>

namespace {

// Runs the event loop until answered; nullopt when the program began to close first.
template <typename Result>
std::optional<Result> waitFor(StoreService& service,
                              const std::function<void(std::function<void(const Result&)>)>& ask)
{
    if (service.shuttingDown())
        return std::nullopt;
    // Shared with the answer, which may come after this wait was given up.
    auto answer = std::make_shared<std::optional<Result>>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    ask([answer, waiting](const Result& result) {
        *answer = result;
        if (waiting)
            waiting->quit();
    });
    const QMetaObject::Connection closing =
        QObject::connect(&service, &StoreService::closing, &loop, &QEventLoop::quit);
    if (!*answer)
        loop.exec();
    QObject::disconnect(closing);
    return *answer;
}

} // namespace

WriteOutcome ServiceFiler::File(ClassTermin& appointment)
{
    if (!m_service.answering())
        return WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_service.folder());
    using Filed = std::pair<WriteOutcome, ClassTermin>;
    const std::optional<Filed> filed =
        waitFor<Filed>(m_service, [&](std::function<void(const Filed&)> done) {
            m_service.file(appointment,
                           [done](const WriteOutcome& outcome, const ClassTermin& result) {
                               done({outcome, result});
                           });
        });
    if (!filed)
        return WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_service.folder());
    appointment = filed->second;
    return filed->first;
}

DataAccess::FileChange ServiceFiler::ChangeSinceLoaded(const ClassTermin& appointment)
{
    if (!m_service.answering())
        return {}; // the save that follows is refused anyway
    return waitFor<DataAccess::FileChange>(
               m_service,
               [&](std::function<void(const DataAccess::FileChange&)> done) {
                   m_service.changeSinceLoaded(appointment, std::move(done));
               })
        .value_or(DataAccess::FileChange());
}
