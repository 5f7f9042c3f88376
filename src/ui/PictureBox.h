#pragma once

#include "ui/AccessibleItem.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

// The one drawing surface of the program. It paints from its own image, so what was drawn
// survives repaints, and it speaks twips (15 twips are one device-independent pixel): the
// drawn components lay themselves out in twips, draw through these primitives and receive
// mouse positions in twips.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int toPixels(int twips) { return twips / kTwipsPerPixel; }
    static constexpr int toTwips(int pixels) { return pixels * kTwipsPerPixel; }

    explicit PictureBox(QWidget* parent = nullptr);

    // Inner size in twips.
    int ScaleWidth() const { return toTwips(width()); }
    int ScaleHeight() const { return toTwips(height()); }
    void resizeTwips(int widthTwips, int heightTwips);

    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& color);
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor& color) { m_foreColor = color; }
    const QFont& drawFont() const { return m_font; }
    void setDrawFont(const QFont& font) { m_font = font; }
    void setFontBold(bool bold) { m_font.setBold(bold); }
    bool FontBold() const { return m_font.bold(); }

    // Fills everything with the background colour.
    void Cls();
    // A line from (x1, y1) to (x2, y2), both ends included; width in pixels.
    void Line(int x1, int y1, int x2, int y2, const QColor& color, int widthPixels = 1,
              Qt::PenStyle style = Qt::SolidLine);
    // The outline of the box with corners (x1, y1) and (x2, y2).
    void Box(int x1, int y1, int x2, int y2, const QColor& color,
             Qt::PenStyle style = Qt::SolidLine);
    // The filled box with corners (x1, y1) and (x2, y2), both included.
    void FillBox(int x1, int y1, int x2, int y2, const QColor& color);
    void Circle(int cx, int cy, int radius, const QColor& color, int widthPixels = 1);
    // Text with its top left corner at (x, y), in the current font and fore colour.
    void Print(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text = QStringLiteral("Ag")) const;

    // What is drawn now, one pixel per device-independent pixel.
    const QImage& image() const { return m_image; }
    // Every later drawing goes to device too, in the same pixels: how a test reads which
    // colours were drawn where. nullptr ends it.
    void setWitness(QPaintDevice* device) { m_witness = device; }

    // What the drawing shows, for assistive technology: asked when a screen reader wants it and
    // kept until accessibleContentChanged.
    using AccessibleContent = std::function<AccessibleItem()>;
    void setAccessibleContent(AccessibleContent content);
    // A drawn component moving from one picture to another (either may be none): from no
    // longer signals owner nor describes it; to describes itself through content. Returns to.
    static PictureBox* handOver(PictureBox* from, PictureBox* to, const QObject* owner,
                                AccessibleContent content);
    bool hasAccessibleContent() const { return bool(m_accessibleContent); }
    const AccessibleItem& accessibleTree() const;
    // The component drew something else, moved its focus or changed its value.
    void accessibleContentChanged();

signals:
    // Positions in twips.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    // Every key press; KeyPress follows for keys that produce a character.
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void KeyPress(QChar character);
    void GotFocus();
    void LostFocus();
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ensureImageSize();
    // Draws on the image, and on the witness if there is one.
    template <typename Draw> void draw(Draw&& paint);

    QImage m_image;
    QPaintDevice* m_witness = nullptr;
    QColor m_backColor = Qt::white;
    QColor m_foreColor = Qt::black;
    QFont m_font;
    AccessibleContent m_accessibleContent;
    mutable std::optional<AccessibleItem> m_accessibleTree;
};
