#include "service/ImportRun.h"

#include "service/CancellableFileAccess.h"

std::function<void(int, int)> ImportRun::progress(std::shared_ptr<ImportRun> run,
                                                  CancellableFileAccess& files,
                                                  WorkerThread::Reply reply, Show show)
{
    const auto stopIfCancelled = [run, &files](int done) {
        if (run->m_stoppedAt < 0 && run->cancel) {
            files.cancel();
            run->m_stoppedAt = done;
        }
    };
    stopIfCancelled(0); // cancelled before it began
    return [run, stopIfCancelled, reply = std::move(reply), show = std::move(show)](int done,
                                                                                    int total) {
        stopIfCancelled(done);
        run->m_done = done;
        run->m_total = total;
        if (!run->m_answerOnItsWay.exchange(true))
            reply([run, show] {
                run->m_answerOnItsWay = false;
                show(run->m_done, run->m_total);
            });
    };
}
