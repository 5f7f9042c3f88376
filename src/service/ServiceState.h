#pragma once

#include "index/FolderCrawl.h"

#include <QtGlobal>

// What the store service knows of its worker and its folder, as one value: each event is a
// named transition that returns the state after it, and each decision reads it. No I/O: the
// service acts on what the state says.
struct ServiceState {
    quint64 generation = 0;   // answers for an earlier folder are dropped
    int unanswered = 0;       // jobs posted and not answered yet
    int viewReadsPending = 0; // view reads posted and not read yet
    bool crawlPosted = false; // a step of the index's crawl is on the worker
    bool directoryCheckPosted = false;
    bool answering = true;       // no file request has been running too long
    bool reachable = true;       // the data folder's view listed
    bool warmStartAsked = false; // the index was asked for this folder's first view
    bool shuttingDown = false;
    FolderCrawl::Step crawlStep = FolderCrawl::Step::More;
    FolderCrawl::Progress crawlProgress; // as the last step of this folder's crawl left it

    bool operator==(const ServiceState&) const = default;

    [[nodiscard]] ServiceState folderChosen() const;
    // The worker held up by the share is left behind: nothing it was asked is answered.
    [[nodiscard]] ServiceState workerStuck() const;
    [[nodiscard]] ServiceState shutDown() const;
    [[nodiscard]] ServiceState asked() const;
    [[nodiscard]] ServiceState answered() const;
    // A view read counts as asked until its last part answered.
    [[nodiscard]] ServiceState loadPosted() const;
    [[nodiscard]] ServiceState viewRead() const;
    [[nodiscard]] ServiceState warmStartTaken() const;
    [[nodiscard]] ServiceState crawlStarted() const;
    [[nodiscard]] ServiceState crawlAnswered(quint64 answerGeneration, FolderCrawl::Step step,
                                             FolderCrawl::Progress progress = {}) const;
    [[nodiscard]] ServiceState directoryCheckStarted() const;
    [[nodiscard]] ServiceState directoryCheckAnswered() const;
    [[nodiscard]] ServiceState answeringSeen(bool now) const;
    [[nodiscard]] ServiceState reachableSeen(bool now) const;

    bool current(quint64 answerGeneration) const { return answerGeneration == generation; }
    bool idle() const { return unanswered == 0; }
    // Nothing is written behind a request stuck on the share.
    bool mayWrite() const { return answering && !shuttingDown; }
    // A crawl step only while nothing else is asked of a folder that answers; after a round,
    // or while the folder does not list, only once rested.
    bool mayCrawl(bool rested) const;
    // Directories are looked at only between requests, never behind one stuck on the share.
    bool mayCheckDirectories() const;
    // The folder watch gets the calendars' directories once no view read is under way.
    bool viewsRead() const { return viewReadsPending == 0; }
};
