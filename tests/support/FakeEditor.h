// Editors for the tests of windows that edit appointments: they act on the hand-over at once,
// as a user would who pressed OK or Cancel without a look.
#pragma once

#include "edit/AppointmentEditing.h"
#include "store/AppointmentFiling.h"

#include <functional>
#include <memory>
#include <utility>

namespace FakeEditor {

// Ends the edit once, as the real editor does when it closes.
inline void finish(EditHandOver& h, bool saved)
{
    if (const auto finished = std::exchange(h.finished, nullptr))
        finished(saved);
}

// Lets change alter the record, then presses OK; a failed save is given to failed (or
// dropped) and ends the edit as Cancel would.
inline AppointmentEditing::Editor pressingOk(std::function<void(ClassTermin&)> change = {},
                                             std::function<void(const WriteOutcome&)> failed = {})
{
    return [change, failed](std::shared_ptr<EditHandOver> h) {
        if (change)
            change(h->appointment);
        h->filer->file(h->appointment,
                       [h, failed](const WriteOutcome& outcome, const ClassTermin& filed) {
                           if (outcome.ok)
                               h->appointment = filed;
                           else if (failed)
                               failed(outcome);
                           finish(*h, outcome.ok);
                       });
    };
}

} // namespace FakeEditor
