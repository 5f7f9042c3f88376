#include "views/FolderLegend.h"

#include "colors/Palette.h"
#include "ui/ScreenColors.h"

#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QIcon swatch(const QColor& color)
{
    QPixmap square(12, 12);
    square.fill(color);
    QPainter(&square).drawRect(0, 0, 11, 11);
    return QIcon(square);
}

} // namespace

FolderLegend::FolderLegend(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("folder_legend"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    hide();
}

void FolderLegend::setEntries(const QList<Entry>& entries)
{
    if (entries.size() == m_entries.size() &&
        std::equal(entries.cbegin(), entries.cend(), m_entries.cbegin(),
                   [](const Entry& a, const Entry& b) {
                       return a.mark == b.mark && a.answering == b.answering &&
                              a.reachable == b.reachable;
                   }))
        return;
    m_entries = entries;
    qDeleteAll(findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly));
    for (int i = 0; i < entries.size(); ++i) {
        const Entry& entry = entries[i];
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("legend_folder_%1").arg(i + 1));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setIcon(swatch(entry.mark.color));
        QString text = entry.mark.name;
        if (!entry.answering)
            text = tr("%1 (not answering)").arg(entry.mark.name);
        else if (!entry.reachable)
            text = tr("%1 (unreachable)").arg(entry.mark.name);
        button->setText(text);
        if (!entry.answering || !entry.reachable) {
            QPalette palette = button->palette();
            palette.setColor(
                QPalette::ButtonText,
                ScreenColors(palette).legible(Palette::kAlertRed, palette.color(QPalette::Window)));
            button->setPalette(palette);
        }
        if (entry.mark.active) {
            button->setToolTip(tr("The active data folder"));
        } else {
            button->setToolTip(tr("Hide the data folder \"%1\"").arg(entry.mark.name));
            connect(button, &QToolButton::clicked, this,
                    [this, listed = entry.mark.listed] { emit hideAsked(listed); });
        }
        button->setAccessibleDescription(button->toolTip());
        layout()->addWidget(button);
    }
    setVisible(entries.size() > 1);
}
