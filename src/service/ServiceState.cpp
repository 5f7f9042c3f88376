#include "service/ServiceState.h"

namespace {

template <typename Change> ServiceState changed(ServiceState state, Change change)
{
    change(state);
    return state;
}

} // namespace

ServiceState ServiceState::folderChosen() const
{
    return changed(*this, [](ServiceState& s) {
        ++s.generation;
        s.warmStartAsked = false;
        s.crawlStep = FolderCrawl::Step::More;
        s.crawlProgress = {};
    });
}

ServiceState ServiceState::workerStuck() const
{
    return changed(*this, [](ServiceState& s) {
        s.unanswered = 0;
        s.viewReadsPending = 0;
        s.crawlPosted = false;
        s.directoryCheckPosted = false;
        s.answering = true;
    });
}

ServiceState ServiceState::shutDown() const
{
    return changed(*this, [](ServiceState& s) { s.shuttingDown = true; });
}

ServiceState ServiceState::asked() const
{
    return changed(*this, [](ServiceState& s) { ++s.unanswered; });
}

ServiceState ServiceState::answered() const
{
    return changed(*this, [](ServiceState& s) { --s.unanswered; });
}

ServiceState ServiceState::loadPosted() const
{
    return changed(*this, [](ServiceState& s) {
        ++s.unanswered;
        ++s.viewReadsPending;
    });
}

ServiceState ServiceState::viewRead() const
{
    return changed(*this, [](ServiceState& s) { --s.viewReadsPending; });
}

ServiceState ServiceState::warmStartTaken() const
{
    return changed(*this, [](ServiceState& s) { s.warmStartAsked = true; });
}

ServiceState ServiceState::crawlStarted() const
{
    return changed(*this, [](ServiceState& s) { s.crawlPosted = true; });
}

ServiceState ServiceState::crawlAnswered(quint64 answerGeneration, FolderCrawl::Step step,
                                         FolderCrawl::Progress progress) const
{
    return changed(*this, [&](ServiceState& s) {
        s.crawlPosted = false;
        if (s.current(answerGeneration)) {
            s.crawlStep = step;
            s.crawlProgress = progress;
        }
    });
}

ServiceState ServiceState::directoryCheckStarted() const
{
    return changed(*this, [](ServiceState& s) { s.directoryCheckPosted = true; });
}

ServiceState ServiceState::directoryCheckAnswered() const
{
    return changed(*this, [](ServiceState& s) { s.directoryCheckPosted = false; });
}

ServiceState ServiceState::answeringSeen(bool now) const
{
    return changed(*this, [now](ServiceState& s) { s.answering = now; });
}

ServiceState ServiceState::reachableSeen(bool now) const
{
    return changed(*this, [now](ServiceState& s) { s.reachable = now; });
}

bool ServiceState::mayCrawl(bool rested) const
{
    return !shuttingDown && !crawlPosted && answering && reachable && idle() &&
           (crawlStep == FolderCrawl::Step::More || rested);
}

bool ServiceState::mayCheckDirectories() const
{
    return !shuttingDown && answering && reachable && idle() && !directoryCheckPosted;
}
