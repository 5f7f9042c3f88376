// The store service's state: each event's transition from a state to the next, and what the
// service may do in it.
#include "service/ServiceState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Step = FolderCrawl::Step;

ServiceState busy()
{
    ServiceState s;
    s.generation = 3;
    s.unanswered = 2;
    s.viewReadsPending = 1;
    s.crawlPosted = true;
    s.directoryCheckPosted = true;
    s.answering = false;
    s.warmStartAsked = true;
    s.crawlStep = Step::Done;
    return s;
}

ServiceState with(ServiceState s, const std::function<void(ServiceState&)>& change)
{
    change(s);
    return s;
}

TEST(ServiceStateTest, EachEventLeadsToItsState)
{
    const struct {
        const char* event;
        ServiceState from;
        std::function<ServiceState(const ServiceState&)> transition;
        ServiceState to;
    } rows[] = {
        {"a folder chosen: a new generation, asked again", busy(), &ServiceState::folderChosen,
         with(busy(),
              [](auto& s) {
                  s.generation = 4;
                  s.warmStartAsked = false;
                  s.crawlStep = Step::More;
              })},
        {"a stuck worker left: nothing is awaited", busy(), &ServiceState::workerStuck,
         with(busy(),
              [](auto& s) {
                  s.unanswered = s.viewReadsPending = 0;
                  s.crawlPosted = s.directoryCheckPosted = false;
                  s.answering = true;
              })},
        {"a view read posted",
         {},
         &ServiceState::loadPosted,
         with({}, [](auto& s) { s.unanswered = s.viewReadsPending = 1; })},
        {"the view read", busy(), &ServiceState::viewRead,
         with(busy(), [](auto& s) { s.viewReadsPending = 0; })},
        {"asked, then answered", busy(),
         [](const ServiceState& s) { return s.asked().asked().answered(); },
         with(busy(), [](auto& s) { s.unanswered = 3; })},
        {"a crawl step of this folder answered", busy(),
         [](const ServiceState& s) { return s.crawlAnswered(3, Step::Unreachable); },
         with(busy(),
              [](auto& s) {
                  s.crawlPosted = false;
                  s.crawlStep = Step::Unreachable;
              })},
        {"one of an earlier folder keeps the step", busy(),
         [](const ServiceState& s) { return s.crawlAnswered(2, Step::More); },
         with(busy(), [](auto& s) { s.crawlPosted = false; })},
        {"a directory check started and answered",
         {},
         [](const ServiceState& s) { return s.directoryCheckStarted().directoryCheckAnswered(); },
         {}},
        {"the share answers again, but the folder does not list", busy(),
         [](const ServiceState& s) { return s.answeringSeen(true).reachableSeen(false); },
         with(busy(),
              [](auto& s) {
                  s.answering = true;
                  s.reachable = false;
              })},
        {"shut down",
         {},
         &ServiceState::shutDown,
         with({}, [](auto& s) { s.shuttingDown = true; })},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.transition(row.from), row.to) << row.event;
}

TEST(ServiceStateTest, WritesCrawlsAndChecksWaitForAnAnsweringIdleFolder)
{
    const struct {
        const char* state;
        ServiceState s;
        bool rested;
        bool write, crawl, check;
    } rows[] = {
        {"idle", {}, false, true, true, true},
        {"a request unanswered", ServiceState().asked(), true, true, false, false},
        {"not answering", ServiceState().answeringSeen(false), true, false, false, false},
        {"not listing", ServiceState().reachableSeen(false), true, true, false, false},
        {"shutting down", ServiceState().shutDown(), true, false, false, false},
        {"a crawl posted", ServiceState().crawlStarted(), true, true, false, true},
        {"a check posted", ServiceState().directoryCheckStarted(), true, true, true, false},
        {"a round done, not rested", ServiceState().crawlAnswered(0, Step::Done), false, true,
         false, true},
        {"a round done, rested", ServiceState().crawlAnswered(0, Step::Done), true, true, true,
         true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.s.mayWrite(), row.write) << row.state;
        EXPECT_EQ(row.s.mayCrawl(row.rested), row.crawl) << row.state;
        EXPECT_EQ(row.s.mayCheckDirectories(), row.check) << row.state;
    }
}

} // namespace
