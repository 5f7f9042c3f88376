// The appointment labels a window shows in its grid, and texts of menus and buttons, as a user
// sees them: for the window tests.
#pragma once

#include <QLabel>
#include <QList>
#include <QStringList>
#include <QWidget>

namespace ShownLabels {

// The visible appointment labels of window's grid (pooled labels put away are hidden).
inline QList<QLabel*> of(const QWidget& window)
{
    QList<QLabel*> labels;
    if (const auto* grid = window.findChild<QWidget*>(QStringLiteral("pic_view")))
        for (QLabel* label : grid->findChildren<QLabel*>())
            if (label->property("tag").isValid() && label->isVisibleTo(label->parentWidget()))
                labels << label;
    return labels;
}

// Their texts, sorted.
inline QStringList textsOf(const QWidget& window)
{
    QStringList texts;
    for (const QLabel* label : of(window))
        texts << label->text();
    texts.sort();
    return texts;
}

// A menu entry's or button's text as shown: "&&" is one "&", a single "&" marks the access key.
inline QString withoutAccessKey(const QString& text)
{
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] != QLatin1Char('&') || ++i < text.size())
            shown += text[i];
    return shown;
}

} // namespace ShownLabels
