#pragma once

#include "ui/AccessibleItem.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class PictureBox;
class QWidget;

// A row of tab headers drawn on a picture box. The user switches between them with the mouse
// or the Left and Right keys; the owning window shows the matching page in its handlers. A
// screen reader sees a list of page tabs, the selected one selected.
class ClassTabs : public QObject {
    Q_OBJECT

public:
    // Twips, left edge inclusive and right edge exclusive, so neighbours do not overlap.
    struct HeaderSpan {
        int left = 0;
        int right = 0;
        bool contains(int x) const { return x >= left && x < right; }
    };

    explicit ClassTabs(QObject* parent = nullptr);
    ~ClassTabs() override;

    void Bind(PictureBox* picture);

    // Appends a header; the first one becomes the selected header.
    void AddHeader(const QString& caption, bool bold, const QColor& colour);
    int GetHeadercount() const { return int(m_headers.size()); }
    // An empty caption keeps the old one; colour and bold change only when given.
    void Rename(int index, const QString& caption, std::optional<QColor> colour = std::nullopt,
                std::optional<bool> bold = std::nullopt);
    void paintme();

    // -1 while there are no headers.
    int SelectedIndex() const { return m_selectedIndex; }
    // Values outside 0 .. count - 1 are ignored; raises no event.
    void setSelectedIndex(int index);

    QString Caption(int index) const;
    QColor Colour(int index) const;
    // Horizontal extent of a header: the one rectangle both drawing and mouse use.
    HeaderSpan Span(int index) const;

    AccessibleItem describe() const;

    // Ctrl+Tab and Ctrl+Page Down choose the next header from anywhere in window, Ctrl+Shift+Tab
    // and Ctrl+Page Up the one before, round at the ends; each as a key on the strip would.
    void bindPageKeys(QWidget* window);

signals:
    // Both carry the newly chosen header. On a mouse press they come before the selection
    // moves, so handlers must use the index given, not SelectedIndex.
    void Change(const QString& caption, int index);
    void Click(const QString& caption, int index);

private:
    struct Header {
        QString caption;
        bool bold = false;
        QColor colour;
        int width = 0;
    };

    static QString Padded(const QString& caption);
    int measure(const Header& header) const;
    int headerAt(int x) const;
    void moveByKey(int index);

    void drawTab(int index, int bottom);
    void drawCaption(int index, int tabTop, int bottom);

    void b_pic_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void b_pic_KeyDown(int key, Qt::KeyboardModifiers modifiers);

    QPointer<PictureBox> b_pic;
    QList<Header> m_headers;
    int m_selectedIndex = -1;
};
