#include "settings_ui/TeamSettingsPage.h"

#include "colors/StoredColor.h"
#include "settings/Language.h"
#include "ui/ApiColorPicker.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>

namespace {

const char* const kContext = "form_settings";
// The colour a row holds, as stored: -1 for the colour of its place.
constexpr int kColorRole = Qt::UserRole;

const char* const kHeaders[] = {QT_TRANSLATE_NOOP("form_settings", "Login name"),
                                QT_TRANSLATE_NOOP("form_settings", "Name"),
                                QT_TRANSLATE_NOOP("form_settings", "Colour")};

} // namespace

TeamSettingsPage::TeamSettingsPage(QWidget* parent)
    : QWidget(parent)
    , table_team(new QTableWidget(0, kColumns, this))
    , command_add(new QPushButton(this))
    , command_remove(new QPushButton(this))
    , command_up(new QPushButton(this))
    , command_down(new QPushButton(this))
{
    setObjectName(QStringLiteral("team_page"));
    table_team->setObjectName(QStringLiteral("table_team"));
    table_team->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::Stretch);
    table_team->verticalHeader()->hide();
    table_team->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_team->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* grid = new QGridLayout(this);
    grid->addWidget(table_team, 0, 0, 5, 1);
    const std::pair<QPushButton*, const char*> buttons[] = {{command_add, "command_team_add"},
                                                            {command_remove, "command_team_remove"},
                                                            {command_up, "command_team_up"},
                                                            {command_down, "command_team_down"}};
    int place = 0;
    for (const auto& [button, name] : buttons) {
        button->setObjectName(QLatin1String(name));
        grid->addWidget(button, place++, 1);
    }
    grid->setRowStretch(4, 1);
    connect(command_add, &QPushButton::clicked, this, [this] {
        addRow({});
        table_team->setCurrentCell(table_team->rowCount() - 1, kLogin);
        table_team->editItem(table_team->currentItem());
    });
    connect(command_remove, &QPushButton::clicked, this, [this] {
        if (table_team->currentRow() >= 0)
            table_team->removeRow(table_team->currentRow());
    });
    connect(command_up, &QPushButton::clicked, this, [this] { moveRow(-1); });
    connect(command_down, &QPushButton::clicked, this, [this] { moveRow(1); });
    connect(table_team, &QTableWidget::cellActivated, this, [this](int row, int column) {
        if (column == kColor)
            pickColor(row);
    });
    setLanguage(QStringLiteral("en"));
}

QString TeamSettingsPage::text(const char* source) const
{
    return Language::translate(kContext, source, m_lang);
}

void TeamSettingsPage::setLanguage(const QString& langCode)
{
    m_lang = langCode;
    QStringList headers;
    for (const char* header : kHeaders)
        headers << text(header);
    table_team->setHorizontalHeaderLabels(headers);
    table_team->setAccessibleName(text(QT_TRANSLATE_NOOP("form_settings", "The team")));
    command_add->setText(text(QT_TRANSLATE_NOOP("form_settings", "Add")));
    command_remove->setText(text(QT_TRANSLATE_NOOP("form_settings", "Remove")));
    command_up->setText(text(QT_TRANSLATE_NOOP("form_settings", "Up")));
    command_down->setText(text(QT_TRANSLATE_NOOP("form_settings", "Down")));
}

void TeamSettingsPage::show(const QList<TeamMember>& team)
{
    table_team->setRowCount(0);
    for (const TeamMember& member : team)
        addRow(member);
}

void TeamSettingsPage::addRow(const TeamMember& member)
{
    const int row = table_team->rowCount();
    table_team->insertRow(row);
    table_team->setItem(row, kLogin, new QTableWidgetItem(member.login));
    table_team->setItem(row, kName, new QTableWidgetItem(member.name));
    auto* color = new QTableWidgetItem;
    color->setFlags(color->flags() & ~Qt::ItemIsEditable);
    table_team->setItem(row, kColor, color);
    showColor(row, member.color);
}

void TeamSettingsPage::showColor(int row, qint64 color)
{
    QTableWidgetItem* item = table_team->item(row, kColor);
    item->setData(kColorRole, color);
    // A row without a colour of its own shows the one its place gives it.
    item->setIcon(ColorSwatch(ColorOfRgbValue(color >= 0 ? color : Team::placeColor(row))));
    item->setText(color >= 0 ? QString() : text(QT_TRANSLATE_NOOP("form_settings", "by place")));
}

void TeamSettingsPage::pickColor(int row)
{
    const qint64 current = table_team->item(row, kColor)->data(kColorRole).toLongLong();
    PickColor(this, current >= 0 ? ColorOfRgbValue(current) : QColor(), [this, row](qint64 rgb) {
        if (rgb != kNoColorChosen && row < table_team->rowCount())
            showColor(row, rgb);
    });
}

void TeamSettingsPage::moveRow(int by)
{
    const int row = table_team->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= table_team->rowCount())
        return;
    for (int column = 0; column < kColumns; ++column) {
        QTableWidgetItem* item = table_team->takeItem(row, column);
        table_team->setItem(row, column, table_team->takeItem(to, column));
        table_team->setItem(to, column, item);
    }
    table_team->setCurrentCell(to, table_team->currentColumn());
}

QList<TeamMember> TeamSettingsPage::chosen() const
{
    QList<TeamMember> team;
    for (int row = 0; row < table_team->rowCount(); ++row) {
        const auto cell = [&](int column) {
            const QTableWidgetItem* item = table_team->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        const QString login = cell(kLogin);
        const bool listed = std::any_of(team.begin(), team.end(),
                                        [&](const TeamMember& m) { return m.login == login; });
        if (login.isEmpty() || listed)
            continue;
        const QTableWidgetItem* color = table_team->item(row, kColor);
        team.append({login, cell(kName), color ? color->data(kColorRole).toLongLong() : -1});
    }
    return team;
}
