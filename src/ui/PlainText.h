#pragma once

#include <QString>

#include <functional>

class QMessageBox;
class QWidget;

// Texts from the share (appointment texts, producer, file, colour and folder names) shown
// where a Qt widget would guess at them: a tooltip takes "<b>" for markup, a menu entry "&"
// for its access key, a window title "[*]" for the modified mark. Labels showing such a text
// get setTextFormat(Qt::PlainText) instead.

// A tooltip that shows exactly text, white space included; empty stays empty (no tooltip).
QString plainToolTip(const QString& text);
// Every "&" doubled: "R&D" shows as written and takes no access key.
QString menuText(const QString& text);
// Every "[*]" doubled, so the title shows it instead of the window's modified mark.
QString titleText(const QString& text);
// A warning with only OK that never reads its text as markup, window-modal over parent and
// returning at once; it deletes itself once closed, and closed, when given, runs then.
QMessageBox* showPlainWarning(QWidget* parent, const QString& title, const QString& text,
                              std::function<void()> closed = {});
