#pragma once

#include "layout/MonthLayout.h"
#include "views/FolderMarks.h"

#include <QColor>
#include <QDate>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

// The month view of the main window: draws a MonthLayout::Month as a grid under a row of
// weekday names, the week numbers on the left, and tells what a click, a double click or a
// drag of an entry hit. What the cells hold is the model's; how many lines fit is this
// widget's, asked before the model is made.
class MonthView : public QWidget {
    Q_OBJECT

public:
    // The fill of an appointment's colour code.
    using Colors = std::function<QColor(int code)>;

    explicit MonthView(QWidget* parent = nullptr);

    void setColors(Colors colors) { m_colors = std::move(colors); }
    // The folders shown: another folder's entry carries its band and its tooltip names it.
    void setFolders(const QList<FolderMark>& folders) { m_folders = folders; }
    // The model to draw, its weekday names and "+N more" in the language of langCode.
    void setMonth(MonthLayout::Month month, const QString& langCode);
    const MonthLayout::Month& month() const { return m_month; }

    // Lines below the day number that a cell has room for on a sheet of weeks rows.
    int linesPerCell(int weeks) const;

    // What lies at a point: a cell's day, and there an entry's tag or its "+N more" line.
    struct Hit {
        QDate date;
        QString tag;
        bool more = false;
    };
    Hit hitAt(const QPoint& at) const;
    // Where the cell of row and column (of the columns shown) lies.
    QRect cellRect(int row, int column) const;

signals:
    void dayClicked(const QDate& date);
    void dayDoubleClicked(const QDate& date);
    void moreClicked(const QDate& date);
    void entryDoubleClicked(const MonthLayout::Entry& entry, const QDate& day);
    // An entry taken from one day and let go over another.
    // With copy (Ctrl held as it was let go) a copy goes there instead.
    void entryDropped(const MonthLayout::Entry& entry, const QDate& from, const QDate& to,
                      bool copy);
    // A left press on an entry selects it; a right one asks for its pop-up menu at at
    // (global).
    void entryPressed(const MonthLayout::Entry& entry, const QDate& day);
    void entryMenuAsked(const MonthLayout::Entry& entry, const QDate& day, const QPoint& at);
    void resized();

protected:
    // The tooltip of an entry: its line whole, which the cell may cut.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // Escape during a drag puts the entry back, whichever widget has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int lineHeight() const;
    int headerHeight() const;
    int weekColumnWidth() const;
    int rows() const;
    int columns() const;
    // The rectangle of line (0-based) of the entries of a cell.
    QRect lineRect(const QRect& cell, int line) const;
    void paintCell(QPainter& painter, const MonthLayout::Cell& cell, const QRect& rect);
    void paintEntry(QPainter& painter, const MonthLayout::Entry& entry, const QRect& box);
    // The bars of the week's spans of days, over the cells they cover.
    void paintSpans(QPainter& painter, const MonthLayout::Week& week, int row);
    void endDrag();

    MonthLayout::Month m_month;
    QString m_langCode;
    Colors m_colors;
    QList<FolderMark> m_folders;
    // The entry pressed, while the button is held, and whether it is being dragged.
    std::optional<MonthLayout::Entry> m_pressed;
    QDate m_pressedDay;
    QPoint m_pressedAt;
    bool m_dragging = false;
    QDate m_dropDay; // the cell under the pointer during a drag
};
