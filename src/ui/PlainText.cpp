#include "ui/PlainText.h"

#include "ui/OpenDialog.h"

#include <QMessageBox>

QString plainToolTip(const QString& text)
{
    if (text.isEmpty())
        return text;
    // A tooltip decides by Qt::mightBeRichText; escaped text inside a paragraph is always
    // rich and shows every character as it is.
    return QStringLiteral("<p style='white-space:pre-wrap'>") + text.toHtmlEscaped() +
           QStringLiteral("</p>");
}

QString menuText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString titleText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(QLatin1String("[*]"), QLatin1String("[*][*]"));
}

QMessageBox* showPlainWarning(QWidget* parent, const QString& title, const QString& text,
                              std::function<void()> closed)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    openDialog(box, std::move(closed));
    return box;
}
