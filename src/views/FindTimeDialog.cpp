#include "views/FindTimeDialog.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "service/FolderStores.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

// As many days as the command line looks at.
constexpr int kMaxDays = 366;

QTime timeOf(TimeOfDay t)
{
    return QTime(t.hour() % 24, t.minute());
}

TimeOfDay timeOfDay(const QTime& t)
{
    return TimeOfDay::fromMinutes(t.hour() * 60 + t.minute());
}

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A box to tick for key, shown as name (with the key when they differ), once (rooms letter case
// aside, logins not); ticked when chosen holds it.
void addChoice(QListWidget* list, const QString& name, const QString& key,
               const QStringList& chosen, Qt::CaseSensitivity sameKey = Qt::CaseSensitive)
{
    if (key.isEmpty())
        return;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(Qt::UserRole).toString().compare(key, sameKey) == 0)
            return;
    auto* item =
        new QListWidgetItem(name == key ? key : QStringLiteral("%1 (%2)").arg(name, key), list);
    item->setData(Qt::UserRole, key);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setCheckState(chosen.contains(key, sameKey) ? Qt::Checked : Qt::Unchecked);
}

QStringList ticked(const QListWidget* list)
{
    QStringList keys;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->checkState() == Qt::Checked)
            keys << list->item(row)->data(Qt::UserRole).toString();
    return keys;
}

} // namespace

FindTimeDialog::FindTimeDialog(FolderStores& stores, const Start& start, QWidget* parent)
    : QDialog(parent)
    , m_stores(stores)
    , m_start(start)
{
    setObjectName(QStringLiteral("form_find_time"));
    setWindowTitle(tr("Find a time"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_people = named(new QListWidget(this), "list_people");
    for (const TeamMember& member : start.team)
        addChoice(m_people, Team::shownName(start.team, member.login), member.login, start.chosen);
    for (const QString& login : start.others + start.chosen)
        addChoice(m_people, Team::shownName(start.team, login), login, start.chosen);
    m_rooms = named(new QListWidget(this), "list_rooms");
    for (const QString& room : start.rooms + start.chosenRooms)
        addChoice(m_rooms, room, room, start.chosenRooms, Qt::CaseInsensitive);
    m_length = named(new QSpinBox(this), "spin_length");
    m_length->setRange(FreeSlots::kShortest, FreeSlots::kLongest);
    m_length->setSingleStep(FreeSlots::kStep);
    m_length->setValue(start.minutes);
    m_length->setSuffix(tr(" minutes"));
    const QString dateFormat = DateEditFormat(start.datePattern);
    m_from = named(new QDateEdit(start.from, this), "date_from");
    m_to = named(new QDateEdit(start.to, this), "date_to");
    const QString timeFormat =
        IsTwentyFourHours(start.timeFormat) ? QStringLiteral("HH:mm") : QStringLiteral("hh:mm ap");
    m_hoursFrom = named(new QTimeEdit(timeOf(start.hours.start), this), "time_from");
    m_hoursTo = named(new QTimeEdit(timeOf(start.hours.end), this), "time_to");
    for (QDateEdit* date : {m_from, m_to}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(dateFormat);
    }
    for (QTimeEdit* time : {m_hoursFrom, m_hoursTo})
        time->setDisplayFormat(timeFormat);
    auto* days = new QHBoxLayout;
    days->addWidget(m_from);
    days->addWidget(new QLabel(tr("to"), this));
    days->addWidget(m_to);
    auto* hours = new QHBoxLayout;
    hours->addWidget(m_hoursFrom);
    hours->addWidget(new QLabel(tr("to"), this));
    hours->addWidget(m_hoursTo);

    auto* form = new QFormLayout;
    form->addRow(tr("&People:"), m_people);
    form->addRow(tr("&Rooms:"), m_rooms);
    form->setRowVisible(m_rooms, m_rooms->count() > 0); // a team without rooms
    form->addRow(tr("&Length:"), m_length);
    // A row of two fields is labelled for its first, so the label's key reaches it.
    const auto labelFor = [this](const QString& text, QWidget* first) {
        auto* label = new QLabel(text, this);
        label->setBuddy(first);
        return label;
    };
    form->addRow(labelFor(tr("&Days:"), m_from), days);
    form->addRow(labelFor(tr("&Hours:"), m_hoursFrom), hours);
    auto* findButton = named(new QPushButton(tr("&Find"), this), "button_find");
    m_status = named(new QLabel(this), "label_status");
    m_status->setTextFormat(Qt::PlainText); // it names folders
    m_status->setWordWrap(true);
    m_slots = named(new QListWidget(this), "list_slots");
    m_slots->setAccessibleName(tr("Free times"));
    m_to->setAccessibleName(tr("Last day"));
    m_hoursTo->setAccessibleName(tr("Hours until"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_take = named(buttons->addButton(tr("&New appointment"), QDialogButtonBox::AcceptRole),
                   "button_take");
    m_take->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(findButton, 0, Qt::AlignRight);
    layout->addWidget(m_status);
    layout->addWidget(m_slots, 1);
    layout->addWidget(buttons);

    connect(findButton, &QPushButton::clicked, this, &FindTimeDialog::find);
    connect(m_slots, &QListWidget::currentRowChanged, this,
            [this](int row) { m_take->setEnabled(row >= 0); });
    connect(m_slots, &QListWidget::itemActivated, this, &FindTimeDialog::take);
    // Taking a time leaves the dialog open: the editor opens over it.
    connect(buttons, &QDialogButtonBox::accepted, this, &FindTimeDialog::take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    find();
}

std::optional<FreeSlots::Request> FindTimeDialog::request()
{
    FreeSlots::Request asked;
    asked.persons = ticked(m_people);
    asked.rooms = ticked(m_rooms);
    asked.from = m_from->date();
    asked.to = m_to->date();
    asked.weekdays = m_start.weekdays;
    asked.notBefore = m_start.now;
    // An end of 00:00 is midnight: the hours end with the day.
    asked.hours = {timeOfDay(m_hoursFrom->time()), timeOfDay(m_hoursTo->time())};
    asked.minutes = m_length->value();
    QString problem;
    if (asked.persons.isEmpty() && asked.rooms.isEmpty())
        problem = tr("Tick a person or a room.");
    else if (asked.from > asked.to)
        problem = tr("The first day lies after the last.");
    else if (asked.from.daysTo(asked.to) >= kMaxDays)
        problem = tr("Look at %1 days at most.").arg(kMaxDays);
    if (problem.isEmpty())
        return asked;
    m_status->setText(problem);
    return std::nullopt;
}

void FindTimeDialog::find()
{
    const quint64 asked = ++m_asked;
    m_found.clear();
    m_shown.reset();
    m_slots->clear();
    const std::optional<FreeSlots::Request> wanted = request();
    if (!wanted)
        return;
    m_status->setText(tr("Looking at the days..."));
    m_stores.readDays(FreeSlots::daysToRead(*wanted), [self = QPointer(this), asked,
                                                       wanted](const FolderStores::DaysRead& read) {
        if (!self || asked != self->m_asked)
            return;
        if (!read.unreachable.isEmpty()) {
            // A folder unread would show its people free all along.
            self->m_status->setText(tr("Cannot read %1: no free time can be told.")
                                        .arg(read.unreachable.join(QStringLiteral(", "))));
        } else {
            self->list(*wanted, FreeSlots::find(*wanted, [&read](const QDate& day) {
                return read.days.value(day);
            }));
        }
        emit self->answered();
    });
}

void FindTimeDialog::list(const FreeSlots::Request& asked, const QList<FreeSlots::Slot>& found)
{
    m_shown = asked;
    m_found = found;
    const QStringList dayNames = ShortDayNames(m_start.langCode);
    for (const FreeSlots::Slot& slot : found)
        m_slots->addItem(QStringLiteral("%1 %2   %3 - %4")
                             .arg(dayNames.value(slot.day.dayOfWeek() % 7 + 1),
                                  FormatDate(slot.day, m_start.datePattern),
                                  FormatTime(slot.start, m_start.timeFormat),
                                  FormatTime(slot.end, m_start.timeFormat)));
    m_status->setText(found.isEmpty() ? tr("No free time found.") : tr("The first free times:"));
    if (!found.isEmpty())
        m_slots->setCurrentRow(0);
}

void FindTimeDialog::take()
{
    const int row = m_slots->currentRow();
    if (!m_shown || row < 0 || row >= m_found.size())
        return;
    emit slotTaken({m_found[row], m_shown->persons, m_shown->rooms});
}
