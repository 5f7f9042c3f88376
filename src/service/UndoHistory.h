#pragma once

#include "store/UndoStep.h"

#include <deque>
#include <optional>

// The steps of this session that can be undone and redone, newest last, bounded by count and
// by the bytes they keep (a deleted appointment's file lives here, never in the data folder).
class UndoHistory {
public:
    static constexpr int kMaxSteps = 100;
    static constexpr qint64 kMaxBytes = 10 * 1024 * 1024;

    // A new change: what was undone can no longer be redone.
    void record(UndoStep step);
    const UndoStep* nextUndo() const { return m_undo.empty() ? nullptr : &m_undo.back(); }
    const UndoStep* nextRedo() const { return m_redo.empty() ? nullptr : &m_redo.back(); }
    // Takes the step off its list while it is being undone or redone; put it back with
    // undone/redone once it went, or with back when it did not.
    std::optional<UndoStep> takeUndo();
    std::optional<UndoStep> takeRedo();
    void undone(UndoStep step) { m_redo.push_back(std::move(step)); }
    void redone(UndoStep step);
    void backToUndo(UndoStep step);
    void backToRedo(UndoStep step) { m_redo.push_back(std::move(step)); }
    void clear();

    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_redo.size()); }

private:
    void trim();

    std::deque<UndoStep> m_undo; // oldest first
    std::deque<UndoStep> m_redo;
    qint64 m_bytes = 0; // of the undo list
};
