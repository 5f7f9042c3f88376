#include "LabelPool.h"

#include <QLabel>

LabelPool::LabelPool(QWidget* parent, QObject* mouseHandler)
    : m_parent(parent)
    , m_mouseHandler(mouseHandler)
{
}

QLabel* LabelPool::CreateLabelResource()
{
    auto* label = new QLabel(m_parent);
    label->setFont(QFont(QStringLiteral("Arial"), 8)); // the day column fits it to each label
    label->hide();
    label->installEventFilter(m_mouseHandler);
    // No scans: a crowded day takes and returns thousands of labels on every rebuild.
    int index = int(m_labels.size());
    if (!m_free.empty()) {
        index = *m_free.begin();
        m_free.erase(m_free.begin());
        m_labels[index] = label;
        m_inUse[index] = true;
    } else {
        m_labels.append(label);
        m_inUse.append(true);
    }
    m_index.insert(label, index);
    return label;
}

void LabelPool::ReleaseLabelResource(QLabel* label)
{
    const auto found = m_index.constFind(label);
    if (found == m_index.cend())
        return;
    const int i = *found;
    m_index.erase(found);
    if (!m_inUse[i] || m_labels[i] != label)
        return;
    // The label may be the one whose mouse event is running right now.
    label->hide();
    label->removeEventFilter(m_mouseHandler);
    label->deleteLater();
    m_labels[i] = nullptr;
    m_inUse[i] = false;
    m_free.insert(i);
}
