#include "settings_ui/TeamCategoriesBox.h"

#include "colors/StoredColor.h"
#include "settings/Language.h"
#include "ui/ApiColorPicker.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace {

const char* const kContext = "form_settings";
constexpr int kColorRole = Qt::UserRole; // the colour as stored, -1 for none

} // namespace

TeamCategoriesBox::TeamCategoriesBox(QWidget* parent)
    : QWidget(parent)
    , table_categories(new QTableWidget(0, 2, this))
    , command_category_add(new QPushButton(this))
    , command_category_remove(new QPushButton(this))
    , label_unlisted(new QLabel(this))
    , command_add_unlisted(new QPushButton(this))
{
    table_categories->setObjectName(QStringLiteral("table_categories"));
    table_categories->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table_categories->verticalHeader()->hide();
    table_categories->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_categories->setSelectionMode(QAbstractItemView::SingleSelection);
    command_category_add->setObjectName(QStringLiteral("command_category_add"));
    command_category_remove->setObjectName(QStringLiteral("command_category_remove"));
    label_unlisted->setObjectName(QStringLiteral("label_categories_unlisted"));
    label_unlisted->setWordWrap(true);
    command_add_unlisted->setObjectName(QStringLiteral("command_categories_unlisted"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(table_categories, 0, 0, 3, 1);
    grid->addWidget(command_category_add, 0, 1);
    grid->addWidget(command_category_remove, 1, 1);
    grid->setRowStretch(2, 1);
    grid->addWidget(label_unlisted, 3, 0);
    grid->addWidget(command_add_unlisted, 3, 1);
    connect(command_category_add, &QPushButton::clicked, this, [this] {
        addRow({});
        table_categories->setCurrentCell(table_categories->rowCount() - 1, 0);
        table_categories->editItem(table_categories->currentItem());
    });
    connect(command_category_remove, &QPushButton::clicked, this, [this] {
        if (table_categories->currentRow() >= 0)
            table_categories->removeRow(table_categories->currentRow());
        showUnlisted();
    });
    connect(command_add_unlisted, &QPushButton::clicked, this, [this] {
        for (const QString& name : Team::unlisted(chosen(), m_used))
            addRow({name, -1});
        showUnlisted();
    });
    connect(table_categories, &QTableWidget::itemChanged, this, [this] { showUnlisted(); });
    connect(table_categories, &QTableWidget::cellActivated, this, [this](int row, int column) {
        if (column != 1)
            return;
        const qint64 current = table_categories->item(row, 1)->data(kColorRole).toLongLong();
        PickColor(this, current >= 0 ? ColorOfRgbValue(current) : QColor(),
                  [this, row](qint64 rgb) {
                      if (rgb != kNoColorChosen && row < table_categories->rowCount())
                          showColor(row, rgb);
                  });
    });
    setLanguage(QStringLiteral("en"));
}

QString TeamCategoriesBox::text(const char* source) const
{
    return Language::translate(kContext, source, m_lang);
}

void TeamCategoriesBox::setLanguage(const QString& langCode)
{
    m_lang = langCode;
    table_categories->setHorizontalHeaderLabels(
        {text(QT_TRANSLATE_NOOP("form_settings", "Category")),
         text(QT_TRANSLATE_NOOP("form_settings", "Colour"))});
    table_categories->setAccessibleName(
        text(QT_TRANSLATE_NOOP("form_settings", "The team's categories")));
    command_category_add->setText(text(QT_TRANSLATE_NOOP("form_settings", "Add category")));
    command_category_remove->setText(text(QT_TRANSLATE_NOOP("form_settings", "Remove category")));
    command_add_unlisted->setText(text(QT_TRANSLATE_NOOP("form_settings", "Add them")));
    for (int row = 0; row < table_categories->rowCount(); ++row)
        showColor(row, table_categories->item(row, 1)->data(kColorRole).toLongLong());
    showUnlisted();
}

void TeamCategoriesBox::show(const QList<TeamCategory>& categories)
{
    table_categories->setRowCount(0);
    for (const TeamCategory& category : categories)
        addRow(category);
    showUnlisted();
}

void TeamCategoriesBox::setUsed(const QStringList& names)
{
    m_used = names;
    showUnlisted();
}

void TeamCategoriesBox::addRow(const TeamCategory& category)
{
    const QSignalBlocker quiet(table_categories);
    const int row = table_categories->rowCount();
    table_categories->insertRow(row);
    table_categories->setItem(row, 0, new QTableWidgetItem(category.name));
    auto* color = new QTableWidgetItem;
    color->setFlags(color->flags() & ~Qt::ItemIsEditable);
    table_categories->setItem(row, 1, color);
    showColor(row, category.color);
}

void TeamCategoriesBox::showColor(int row, qint64 color)
{
    QTableWidgetItem* item = table_categories->item(row, 1);
    const QSignalBlocker quiet(table_categories);
    item->setData(kColorRole, color);
    item->setIcon(color >= 0 ? ColorSwatch(ColorOfRgbValue(color)) : QIcon());
    item->setText(color >= 0 ? QString() : text(QT_TRANSLATE_NOOP("form_settings", "none")));
}

void TeamCategoriesBox::showUnlisted()
{
    const QStringList missing = Team::unlisted(chosen(), m_used);
    label_unlisted->setText(text(QT_TRANSLATE_NOOP("form_settings", "Used but not in the list: %1"))
                                .arg(missing.join(QStringLiteral(", "))));
    label_unlisted->setVisible(!missing.isEmpty());
    command_add_unlisted->setVisible(!missing.isEmpty());
}

QList<TeamCategory> TeamCategoriesBox::chosen() const
{
    QList<TeamCategory> categories;
    for (int row = 0; row < table_categories->rowCount(); ++row) {
        const QTableWidgetItem* item = table_categories->item(row, 0);
        const QString name =
            item ? QString(item->text()).replace(u';', u' ').replace(u',', u' ').simplified()
                 : QString();
        const bool listed =
            std::any_of(categories.begin(), categories.end(), [&](const TeamCategory& c) {
                return c.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        if (!name.isEmpty() && !listed)
            categories.append(
                {name, table_categories->item(row, 1)->data(kColorRole).toLongLong()});
    }
    return categories;
}
