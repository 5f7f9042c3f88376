#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <set>

class QObject;
class QTimer;
class QWidget;

// A label of the day view that paints itself: a filled box, a thin border if wanted, and its
// lines of text, each on its own and cut at the box inside border and padding. It needs no
// style sheet, which a crowded week would parse and polish once per label on every rebuild.
class ViewLabel : public QLabel {
    Q_OBJECT
    // "column|position" of the appointment shown, invalid for none. Declared, so setting and
    // reading it on thousands of labels finds it at once instead of among dynamic properties.
    Q_PROPERTY(QVariant tag READ tag WRITE setTag)

public:
    explicit ViewLabel(QWidget* parent);

    // The box's colours; padding lies inside the border.
    void setLook(const QColor& back, const QColor& fore, bool border, const QMargins& padding);
    // A band of color at the left edge inside the border (the mark of another folder's
    // appointment); an invalid color for none.
    void setBand(const QColor& color);
    static constexpr int kBandWidth = 4;
    // The lines shown, in font; text() gives them joined by line breaks.
    void setLines(const QStringList& lines, const QFont& font);
    // The text of a selection label, one line in the label's own font.
    void setLine(const QString& line);
    // Back to a plain, empty label of the pool.
    void reset();

    QVariant tag() const { return m_tag; }
    void setTag(const QVariant& tag) { m_tag = tag; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_back = Qt::white;
    QColor m_fore = Qt::black;
    bool m_border = false;
    QColor m_band;
    QStringList m_lines;
    std::optional<QFont> m_font; // the label's own font unless set
    QVariant m_tag;
};

// The labels (label_appointment) that the day columns borrow while they show. A label given
// back is kept, hidden, for the next column that asks: a crowded week takes and returns
// thousands on a step to another week. Spare labels beyond a few hundred go a while after
// the last return.
class LabelPool {
public:
    // Labels are children of parent; mouseHandler filters their mouse presses, moves,
    // releases and double clicks.
    LabelPool(QWidget* parent, QObject* mouseHandler);
    ~LabelPool();

    LabelPool(const LabelPool&) = delete;
    LabelPool& operator=(const LabelPool&) = delete;

    // A label of the pool: a ViewLabel, hidden, untagged, empty.
    QLabel* CreateLabelResource();
    // Gives a label back; labels the pool did not hand out are ignored.
    void ReleaseLabelResource(QLabel* label);

    // Labels handed out, and labels kept for reuse.
    int inUse() const { return int(m_index.size()); }
    int spare() const { return int(m_free.size()); }
    // Deletes the spare labels beyond keep (run by the pool a while after a return).
    void dropSpares(int keep);

    static constexpr int kSparesKept = 256;
    static constexpr int kSpareLifeMs = 10000;

private:
    QWidget* m_parent;
    std::unique_ptr<QObject> m_mouseFilter;
    QList<QPointer<ViewLabel>> m_labels; // index + 1 is the element number
    std::set<int> m_free;                // indices of spare labels, lowest first
    std::set<int> m_empty;               // indices whose label was dropped
    QHash<const QLabel*, int> m_index;   // the element of each label handed out
    QTimer* m_spareTimer = nullptr;
};
