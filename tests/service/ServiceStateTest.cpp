// The store service's state: each event's transition from a state to the next, and what the
// service may do in it.
#include "service/ServiceState.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Step = FolderCrawl::Step;
using S = ServiceState;

// Work of every kind posted and unanswered, the share not answering.
const ServiceState kBusy{.generation = 3,
                         .unanswered = 2,
                         .viewReadsPending = 1,
                         .crawlPosted = true,
                         .directoryCheckPosted = true,
                         .answering = false,
                         .warmStartAsked = true,
                         .crawlStep = Step::Done,
                         .crawlProgress = {.listed = 7, .left = 0, .roundEnded = true}};

TEST(ServiceStateTest, EachEventLeadsToItsState)
{
    const struct {
        const char* event;
        ServiceState from;
        std::function<ServiceState(const ServiceState&)> transition;
        std::function<void(ServiceState&)> change = {}; // from it to the state it leads to
    } rows[] = {
        {"a folder chosen: a new generation, asked again", kBusy, &S::folderChosen,
         [](auto& s) {
             s.generation = 4;
             s.warmStartAsked = false;
             s.crawlStep = Step::More;
             s.crawlProgress = {};
         }},
        {"a stuck worker left: nothing is awaited", kBusy, &S::workerStuck,
         [](auto& s) {
             s.unanswered = s.viewReadsPending = 0;
             s.crawlPosted = s.directoryCheckPosted = false;
             s.answering = true;
         }},
        {"a view read posted", S(), &S::loadPosted,
         [](auto& s) { s.unanswered = s.viewReadsPending = 1; }},
        {"the view read", kBusy, &S::viewRead, [](auto& s) { s.viewReadsPending = 0; }},
        {"asked, then answered", kBusy, [](const S& s) { return s.asked().asked().answered(); },
         [](auto& s) { s.unanswered = 3; }},
        {"a crawl step of this folder answered", kBusy,
         [](const S& s) {
             return s.crawlAnswered(3, Step::Unreachable,
                                    {.listed = 1, .left = 2, .roundEnded = false});
         },
         [](auto& s) {
             s.crawlPosted = false;
             s.crawlStep = Step::Unreachable;
             s.crawlProgress = {.listed = 1, .left = 2, .roundEnded = false};
         }},
        {"one of an earlier folder keeps the step", kBusy,
         [](const S& s) { return s.crawlAnswered(2, Step::More); },
         [](auto& s) { s.crawlPosted = false; }},
        {"a directory check started and answered", S(),
         [](const S& s) { return s.directoryCheckStarted().directoryCheckAnswered(); }},
        {"the share answers again, but the folder does not list", kBusy,
         [](const S& s) { return s.answeringSeen(true).reachableSeen(false); },
         [](auto& s) {
             s.answering = true;
             s.reachable = false;
         }},
        {"shut down", S(), &S::shutDown, [](auto& s) { s.shuttingDown = true; }},
    };
    for (const auto& row : rows) {
        ServiceState to = row.from;
        if (row.change)
            row.change(to);
        EXPECT_EQ(row.transition(row.from), to) << row.event;
    }
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
        {"a request unanswered", S().asked(), true, true, false, false},
        {"not answering", S().answeringSeen(false), true, false, false, false},
        {"not listing", S().reachableSeen(false), true, true, false, false},
        {"shutting down", S().shutDown(), true, false, false, false},
        {"a crawl posted", S().crawlStarted(), true, true, false, true},
        {"a check posted", S().directoryCheckStarted(), true, true, true, false},
        {"a round done, not rested", S().crawlAnswered(0, Step::Done), false, true, false, true},
        {"a round done, rested", S().crawlAnswered(0, Step::Done), true, true, true, true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(row.s.mayWrite(), row.write) << row.state;
        EXPECT_EQ(row.s.mayCrawl(row.rested), row.crawl) << row.state;
        EXPECT_EQ(row.s.mayCheckDirectories(), row.check) << row.state;
    }
}

} // namespace
