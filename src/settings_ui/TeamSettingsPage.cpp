#include "settings_ui/TeamSettingsPage.h"

#include "colors/StoredColor.h"
#include "settings/Language.h"
#include "settings_ui/TeamCategoriesBox.h"
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
const char* const kRoomHeaders[] = {QT_TRANSLATE_NOOP("form_settings", "Room or equipment"),
                                    QT_TRANSLATE_NOOP("form_settings", "Note (capacity)")};

} // namespace

TeamSettingsPage::TeamSettingsPage(QWidget* parent)
    : QWidget(parent)
    , table_team(new QTableWidget(0, kColumns, this))
    , command_add(new QPushButton(this))
    , command_remove(new QPushButton(this))
    , command_up(new QPushButton(this))
    , command_down(new QPushButton(this))
    , table_rooms(new QTableWidget(0, 2, this))
    , command_room_add(new QPushButton(this))
    , command_room_remove(new QPushButton(this))
    , m_categories(new TeamCategoriesBox(this))
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
    table_rooms->setObjectName(QStringLiteral("table_rooms"));
    table_rooms->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    table_rooms->verticalHeader()->hide();
    table_rooms->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_rooms->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(table_rooms, 5, 0, 3, 1);
    command_room_add->setObjectName(QStringLiteral("command_room_add"));
    command_room_remove->setObjectName(QStringLiteral("command_room_remove"));
    grid->addWidget(command_room_add, 5, 1);
    grid->addWidget(command_room_remove, 6, 1);
    grid->setRowStretch(7, 1);
    grid->addWidget(m_categories, 8, 0, 1, 2);
    connect(command_room_add, &QPushButton::clicked, this, [this] {
        addRooms({QString()});
        table_rooms->setCurrentCell(table_rooms->rowCount() - 1, 0);
        table_rooms->editItem(table_rooms->currentItem());
    });
    connect(command_room_remove, &QPushButton::clicked, this, [this] {
        if (table_rooms->currentRow() >= 0)
            table_rooms->removeRow(table_rooms->currentRow());
    });
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
    QStringList roomHeaders;
    for (const char* header : kRoomHeaders)
        roomHeaders << text(header);
    table_rooms->setHorizontalHeaderLabels(roomHeaders);
    table_rooms->setAccessibleName(
        text(QT_TRANSLATE_NOOP("form_settings", "The team's rooms and equipment")));
    command_room_add->setText(text(QT_TRANSLATE_NOOP("form_settings", "Add room")));
    command_room_remove->setText(text(QT_TRANSLATE_NOOP("form_settings", "Remove room")));
    m_categories->setLanguage(langCode);
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

void TeamSettingsPage::showRooms(const QList<TeamRoom>& rooms)
{
    table_rooms->setRowCount(0);
    for (const TeamRoom& room : rooms) {
        const int row = table_rooms->rowCount();
        table_rooms->insertRow(row);
        table_rooms->setItem(row, 0, new QTableWidgetItem(room.name));
        table_rooms->setItem(row, 1, new QTableWidgetItem(room.note));
    }
}

void TeamSettingsPage::addRooms(const QStringList& names)
{
    QList<TeamRoom> rooms = chosenRooms();
    const qsizetype listed = table_rooms->rowCount();
    for (const QString& name : names) {
        const bool known = std::any_of(rooms.begin(), rooms.end(), [&](const TeamRoom& room) {
            return room.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (name.isEmpty() || !known) {
            table_rooms->insertRow(table_rooms->rowCount());
            table_rooms->setItem(table_rooms->rowCount() - 1, 0, new QTableWidgetItem(name));
            table_rooms->setItem(table_rooms->rowCount() - 1, 1, new QTableWidgetItem);
            rooms.append({name, {}});
        }
    }
    if (table_rooms->rowCount() > listed)
        table_rooms->setCurrentCell(int(listed), 1);
}

QList<TeamRoom> TeamSettingsPage::chosenRooms() const
{
    QList<TeamRoom> rooms;
    for (int row = 0; row < table_rooms->rowCount(); ++row) {
        const auto cell = [&](int column) {
            const QTableWidgetItem* item = table_rooms->item(row, column);
            return item ? item->text().simplified() : QString();
        };
        const QString name = cell(0);
        const bool listed = std::any_of(rooms.begin(), rooms.end(), [&](const TeamRoom& room) {
            return room.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (!name.isEmpty() && !listed)
            rooms.append({name, cell(1)});
    }
    return rooms;
}
