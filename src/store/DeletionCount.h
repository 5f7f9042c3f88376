#pragma once

// The deletions a reconcile of two sides would make on one of them, of how many that side
// holds: the guard against a side that came back empty (a share half mounted, a server that
// lost its calendar) taking the other side's appointments with it.
struct DeletionCount {
    int count = 0;
    int of = 0;
    // More than half of the side, and more than five: then nothing is done unless the user
    // allows it, or asks for them back.
    bool tooMany() const { return count > 5 && count * 2 > of; }
};
