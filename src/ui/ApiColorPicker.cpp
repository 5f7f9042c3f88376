#include "ui/ApiColorPicker.h"

#include "ui/OpenDialog.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <QColorDialog>

namespace {

ColorDialogAnswer& colorDialogAnswer()
{
    static ColorDialogAnswer answer;
    return answer;
}

void emptyCustomColors()
{
    for (int slot = 0; slot < QColorDialog::customCount(); ++slot)
        QColorDialog::setCustomColor(slot, Qt::white);
}

} // namespace

qint64 RgbValue(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return qint64(rgb.red()) | (qint64(rgb.green()) << 8) | (qint64(rgb.blue()) << 16);
}

QColor ColorOfRgbValue(qint64 value)
{
    // The high bit marks a system colour; the settings use it for the window background.
    if (value & 0x80000000LL)
        return QGuiApplication::palette().color(QPalette::Base);
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

QIcon ColorSwatch(const QColor& color)
{
    QPixmap swatch(16, 16);
    swatch.fill(color);
    // An outline, so that a colour as light as the list's background still shows.
    QPainter painter(&swatch);
    painter.setPen(QColor(96, 96, 96));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    return QIcon(swatch);
}

void setColorDialogAnswer(ColorDialogAnswer answer)
{
    colorDialogAnswer() = std::move(answer);
}

void PickColor(QWidget* owner, const QColor& current, ColorChosen chosen)
{
    emptyCustomColors();
    auto* dialog = new QColorDialog(owner);
    dialog->setOption(QColorDialog::ShowAlphaChannel, false);
    if (current.isValid())
        dialog->setCurrentColor(current);
    openDialog<QColorDialog>(dialog, colorDialogAnswer(),
                             [chosen = std::move(chosen)](QColorDialog& answered, int result) {
                                 chosen(result == QDialog::Accepted
                                            ? RgbValue(answered.currentColor())
                                            : kNoColorChosen);
                             });
}
