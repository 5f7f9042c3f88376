// The store service's history of this session's changes, and their undo and redo.
#include "service/StoreService.h"

void StoreService::record(UndoStep step)
{
    if (step.files.isEmpty())
        return; // nothing written, or nothing that can be put back
    m_history.record(std::move(step));
    emit historyChanged();
}

void StoreService::undo(bool overwrite, UndoDone done)
{
    restore(true, overwrite, std::move(done));
}

void StoreService::redo(bool overwrite, UndoDone done)
{
    restore(false, overwrite, std::move(done));
}

void StoreService::restore(bool undo, bool overwrite, UndoDone done)
{
    if (!m_state.mayWrite()) {
        UndoOutcome refused;
        refused.outcome = WriteOutcome::failed(WriteOutcome::Cause::NotAnswering, m_folder);
        if (done)
            done(refused);
        return;
    }
    std::optional<UndoStep> taken = undo ? m_history.takeUndo() : m_history.takeRedo();
    if (!taken) {
        if (done)
            done(UndoOutcome{});
        return;
    }
    emit historyChanged();
    const auto step = std::make_shared<const UndoStep>(std::move(*taken));
    ask<StoreWorker::Restored>(
        [step, undo, overwrite](StoreWorker& store) {
            return store.restore(*step, undo, overwrite);
        },
        [this, step, undo, generation = m_state.generation,
         done = std::move(done)](const StoreWorker::Restored& restored) {
            UndoOutcome outcome{restored.outcome, restored.conflict, step->title};
            if (m_state.current(generation)) {
                QStringList paths;
                for (const FileVersions& file : step->files)
                    paths << file.path;
                markStale(paths);
                if (!outcome.ok())
                    undo ? m_history.backToUndo(*step) : m_history.backToRedo(*step);
                else
                    undo ? m_history.undone(*step) : m_history.redone(*step);
                emit historyChanged();
            }
            if (done)
                done(outcome);
        });
}

void StoreService::dropUndo()
{
    if (m_history.takeUndo())
        emit historyChanged();
}

void StoreService::dropRedo()
{
    if (m_history.takeRedo())
        emit historyChanged();
}
