#include "service/UndoHistory.h"

void UndoHistory::record(UndoStep step)
{
    m_redo.clear();
    m_bytes += step.bytes();
    m_undo.push_back(std::move(step));
    trim();
}

std::optional<UndoStep> UndoHistory::takeUndo()
{
    if (m_undo.empty())
        return std::nullopt;
    UndoStep step = std::move(m_undo.back());
    m_undo.pop_back();
    m_bytes -= step.bytes();
    return step;
}

std::optional<UndoStep> UndoHistory::takeRedo()
{
    if (m_redo.empty())
        return std::nullopt;
    UndoStep step = std::move(m_redo.back());
    m_redo.pop_back();
    return step;
}

void UndoHistory::redone(UndoStep step)
{
    m_bytes += step.bytes();
    m_undo.push_back(std::move(step));
    trim();
}

void UndoHistory::backToUndo(UndoStep step)
{
    redone(std::move(step));
}

void UndoHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
}

void UndoHistory::trim()
{
    // The newest step stays, however large.
    while (m_undo.size() > 1 && (m_undo.size() > size_t(kMaxSteps) || m_bytes > kMaxBytes)) {
        m_bytes -= m_undo.front().bytes();
        m_undo.pop_front();
    }
}
