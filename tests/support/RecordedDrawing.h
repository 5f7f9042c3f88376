#pragma once

// What a component drew, as a list of coloured shapes instead of pixels: a paint device that
// keeps every fill, line and text with its colour and place. A PictureBox draws on it as its
// witness; a painted widget is rendered on it.
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"

#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>

#include <optional>

class RecordedDrawing : public QPaintDevice {
public:
    struct Shape {
        enum Kind { Fill, Line, Text } kind;
        QRectF rect;
        QColor color;
        QString text;
    };

    QList<Shape> shapes;

    QPaintEngine* paintEngine() const override { return &m_engine; }

    // The colour under the middle of shape: the last fill drawn before it that covers it.
    std::optional<QColor> under(qsizetype shape) const
    {
        for (qsizetype i = shape - 1; i >= 0; --i)
            if (shapes[i].kind == Shape::Fill &&
                shapes[i].rect.contains(shapes[shape].rect.center()))
                return shapes[i].color;
        return std::nullopt;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
        case PdmHeight:
            return 4000;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(QList<Shape>& shapes)
            : QPaintEngine(AllFeatures)
            , m_shapes(shapes)
        {
        }
        using QPaintEngine::drawLines;
        using QPaintEngine::drawPolygon;
        using QPaintEngine::drawRects;
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        Type type() const override { return User; }
        void updateState(const QPaintEngineState& state) override
        {
            if (state.state() & DirtyPen)
                m_pen = state.pen();
            if (state.state() & DirtyBrush)
                m_brush = state.brush();
            if (state.state() & DirtyTransform)
                m_transform = state.transform();
        }
        void drawRects(const QRectF* rects, int count) override
        {
            for (int i = 0; i < count; ++i) {
                QPainterPath path;
                path.addRect(rects[i]);
                drawPath(path);
            }
        }
        void drawPath(const QPainterPath& path) override
        {
            const QRectF box = m_transform.mapRect(path.boundingRect());
            if (m_brush.style() != Qt::NoBrush)
                m_shapes.append({Shape::Fill, box, m_brush.color(), {}});
            if (m_pen.style() != Qt::NoPen)
                m_shapes.append({Shape::Line, box, m_pen.color(), {}});
        }
        void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
        {
            const QRectF box = m_transform.mapRect(
                QPolygonF(QList<QPointF>(points, points + count)).boundingRect());
            if (mode != PolylineMode && m_brush.style() != Qt::NoBrush)
                m_shapes.append({Shape::Fill, box, m_brush.color(), {}});
            if (m_pen.style() != Qt::NoPen)
                m_shapes.append({Shape::Line, box, m_pen.color(), {}});
        }
        void drawLines(const QLineF* lines, int count) override
        {
            for (int i = 0; i < count; ++i)
                m_shapes.append(
                    {Shape::Line,
                     QRectF(m_transform.map(lines[i].p1()), m_transform.map(lines[i].p2()))
                         .normalized(),
                     m_pen.color(),
                     {}});
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawTextItem(const QPointF& at, const QTextItem& item) override
        {
            const QRectF box(at.x(), at.y() - item.ascent(), item.width(),
                             item.ascent() + item.descent());
            m_shapes.append({Shape::Text, m_transform.mapRect(box), m_pen.color(), item.text()});
        }

    private:
        QList<Shape>& m_shapes;
        QPen m_pen;
        QBrush m_brush;
        QTransform m_transform;
    };

    mutable Engine m_engine{shapes};
};
