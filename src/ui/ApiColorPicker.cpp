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
