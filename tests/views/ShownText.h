#pragma once

#include <QTextDocument>

// What a widget shows of a text: Qt renders it as rich text when told to or when it looks like
// some.
inline QString shownText(const QString& text, Qt::TextFormat format = Qt::AutoText)
{
    if (format == Qt::PlainText || (format == Qt::AutoText && !Qt::mightBeRichText(text)))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}
