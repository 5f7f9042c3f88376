#pragma once

#include "print/PrintCanvas.h"

#include <QList>

// A canvas that keeps what was drawn, for tests and checks of a printout as data. It measures
// text by a fixed rule instead of a font: every character is pointSize / 5 mm wide (Arial 10:
// 2 mm) and every text pointSize × 0.4 mm high (Arial 10: 4 mm).
class RecordingCanvas : public PrintCanvas {
public:
    struct Font {
        QString name = QStringLiteral("Arial");
        double pointSize = 9;
        bool bold = false;
        bool italic = false;
    };
    struct Item {
        enum Kind { Line, Box, Fill, Text };
        Kind kind = Line;
        // Line: from (x, y) to (x + w, y + h); Box and Fill: the rectangle; Text: top left
        // corner and measured size.
        double x = 0;
        double y = 0;
        double w = 0;
        double h = 0;
        QColor color;
        bool dotted = false; // lines
        QString text;
        Font font;                  // text
        std::optional<QRectF> clip; // text: where it is cut
    };

    // A4 portrait unless given.
    explicit RecordingCanvas(QSizeF printableSize = {210, 297});

    const QList<Item>& items() const { return m_items; }
    QList<Item> itemsOf(Item::Kind kind) const;
    bool finished() const { return m_finished; }

    QSizeF printableSize() const override { return m_size; }
    void setFont(const QString& name, double pointSize, bool bold, bool italic) override;
    void setDotted(bool dotted) override { m_dotted = dotted; }
    void DrawLine(double x1, double y1, double x2, double y2, const QColor& color) override;
    void DrawBox(double x, double y, double w, double h, const QColor& color) override;
    void FillBox(double x, double y, double w, double h, const QColor& color) override;
    double textWidth(const QString& text) const override;
    double textHeight(const QString& text) const override;
    void drawText(double x, double y, const QString& text) override;
    void setTextClip(const std::optional<QRectF>& box) override { m_clip = box; }
    bool newPage() override;
    bool finish() override;
    // Pages begun, the first among them.
    int pages() const { return m_pages; }

private:
    QSizeF m_size;
    Font m_font;
    bool m_dotted = false;
    bool m_finished = false;
    int m_pages = 1;
    std::optional<QRectF> m_clip;
    QList<Item> m_items;
};
