#include "edit/form_edit.h"
#include "edit/form_edit_layout.h"

#include "calendar/Formats.h"
#include "edit/ColorNames.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/AppointmentFile.h"
#include "store/AppointmentFiling.h"
#include "ui/ApiColorPicker.h"
#include "ui/ClassMonthDD.h"
#include "ui/ClassTabs.h"
#include "ui/ClassTimeDD.h"
#include "ui/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

#include <algorithm>
#include <array>
#include <utility>

using namespace FormEditLayout;

namespace {

const char* const kTabCaptions[kPageCount] = {
    QT_TRANSLATE_NOOP("form_edit", "Appointment"),   QT_TRANSLATE_NOOP("form_edit", "[!] Reminder"),
    QT_TRANSLATE_NOOP("form_edit", "[»] Recurring"), QT_TRANSLATE_NOOP("form_edit", "Info"),
    QT_TRANSLATE_NOOP("form_edit", "Categories"),
};

// combo_remind: list index -> minutes before the start.
struct RemindChoice {
    int minutes;
    const char* text;
};
constexpr std::array<RemindChoice, 7> kRemindChoices{{
    {5, QT_TRANSLATE_NOOP("form_edit", "05 minutes before start")},
    {10, QT_TRANSLATE_NOOP("form_edit", "10 minutes before start")},
    {15, QT_TRANSLATE_NOOP("form_edit", "15 minutes before start")},
    {20, QT_TRANSLATE_NOOP("form_edit", "20 minutes before start")},
    {25, QT_TRANSLATE_NOOP("form_edit", "25 minutes before start")},
    {30, QT_TRANSLATE_NOOP("form_edit", "30 minutes before start")},
    {60, QT_TRANSLATE_NOOP("form_edit", "60 minutes before start")},
}};

const QColor kHeaderRed(255, 0, 0);
const QColor kHeaderBlack(0, 0, 0);

// A lead time the list has no entry for, such as an imported day, as its entry says it.
QString leadTimeText(int minutes)
{
    constexpr int kDay = 24 * 60;
    if (minutes % kDay == 0)
        return minutes == kDay ? form_edit::tr("1 day before start")
                               : form_edit::tr("%1 days before start").arg(minutes / kDay);
    if (minutes % 60 == 0) // an hour has its entry
        return form_edit::tr("%1 hours before start").arg(minutes / 60);
    return minutes == 1 ? form_edit::tr("1 minute before start")
                        : form_edit::tr("%1 minutes before start").arg(minutes);
}

// Selects the entry of the lead time; one the list lacks gets an entry of its own, so an edit
// of something else saves it unchanged. None set selects the first.
void showRemindMinutes(QComboBox& combo, int minutes)
{
    int index = combo.findData(minutes);
    if (index < 0 && minutes > 0) {
        combo.addItem(leadTimeText(minutes), minutes);
        index = combo.count() - 1;
    }
    combo.setCurrentIndex(std::max(index, 0));
}

// The record keeps CR LF; the text field edits with the platform's "\n".
QString withPlatformBreaks(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString withRecordBreaks(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QColor readableOn(const QColor& background)
{
    return background.lightness() < 110 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace

form_edit::form_edit(std::shared_ptr<EditHandOver> handOver, Settings& settings,
                     const QString& loginName, QWidget* parent)
    : QDialog(parent)
    , m_handOver(std::move(handOver))
    , m_settings(settings)
    , m_loginName(loginName)
    , m_showMessage(&form_edit::openMessage)
    , m_askConflict(&form_edit::openQuestion)
{
    Q_ASSERT(m_handOver);
    setObjectName(QStringLiteral("form_edit"));
    createTabs();
    createAppointmentPage();
    createReminderPage();
    createRecurrencePage();
    createInfoPage();
    createCategoriesPage();
    createCalendarChoice();
    createFindTimeButton();
    createButtons();
    // Created last, so they lie above every other control when they drop down.
    createDropDownFrame();
    createColorPanel();
    createPickers();
    createTimers();
    orderTabs();
    Form_Load();
}

form_edit::~form_edit()
{
    // Deleting the fields takes their focus, and a field's last editingFinished must not
    // reach an editor that is half gone.
    for (QLineEdit* field :
         {static_cast<QLineEdit*>(text_zeit_von), static_cast<QLineEdit*>(text_zeit_bis),
          static_cast<QLineEdit*>(text_am), static_cast<QLineEdit*>(text_recur_von),
          static_cast<QLineEdit*>(text_recur_bis)})
        disconnect(field, nullptr, this, nullptr);
}

AppointmentEditing::Editor form_edit::editorFor(Settings& settings, const QString& loginName,
                                                RoomOffer offerRooms)
{
    return [&settings, loginName, offerRooms](std::shared_ptr<EditHandOver> handOver) {
        auto* dialog =
            new form_edit(std::move(handOver), settings, loginName, QApplication::activeWindow());
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setRoomOffer(offerRooms);
        dialog->open();
    };
}

// ---- loading ----

void form_edit::Form_Load()
{
    setFixedSize(PictureBox::toPixels(kWidthTwips), PictureBox::toPixels(kHeightTwips));

    tabs = new ClassTabs(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->Bind(pic_tabs);
    tabs->AddHeader(tr(kTabCaptions[kAppointmentPage]), false, kHeaderBlack);
    tabs->AddHeader(tr(kTabCaptions[kReminderPage]), false, kHeaderRed);
    tabs->AddHeader(tr(kTabCaptions[kRecurrencePage]), false, kHeaderBlack);
    tabs->AddHeader(tr(kTabCaptions[kInfoPage]), false, kHeaderBlack);
    tabs->AddHeader(tr(kTabCaptions[kCategoriesPage]), false, kHeaderBlack);
    connect(tabs, &ClassTabs::Change, this, &form_edit::tabs_Change);
    tabs->bindPageKeys(this);
    // Ctrl+Enter saves from anywhere, the text field included, where Enter starts a line.
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(key), this), &QShortcut::activated, command_ok,
                &QPushButton::click);

    for (ClassMonthDD* picker : {datumswahl, enddaywahl, recur_von, recur_bis}) {
        picker->setFirstday(m_settings.FirstWeekday());
        picker->setLangcode(m_settings.LangCode());
    }
    datumswahl->Bind(pic_datum);
    enddaywahl->Bind(pic_endday);
    recur_von->Bind(pic_recur_von);
    recur_bis->Bind(pic_recur_bis);

    for (ClassTimeDD* picker : {zeit_von, zeit_bis}) {
        picker->setInterval(m_settings.GridMinutes());
        picker->setTimeFormat(m_settings.TimeFormat());
    }
    zeit_von->Bind(pic_zeit_von);
    zeit_bis->Bind(pic_zeit_bis);

    SetLanguageTexts();
    ShowAppointment();
    tabs_Change(tabs->Caption(kAppointmentPage), kAppointmentPage);
    UpdateControlStates();
    timer_check->start();
    timer_focus->start();
}

void form_edit::SetLanguageTexts()
{
    for (int i = 0; i < kPageCount; ++i)
        tabs->Rename(i, tr(kTabCaptions[i]));
    setWindowTitle(m_handOver->EditIsNew ? tr("Add appointment") : tr("Edit appointment"));

    label_header_am->setText(tr("At:"));
    label_header_von->setText(tr("From:"));
    label_header_bis->setText(tr("until:"));
    label_header_endday->setText(tr("Ends:"));
    label_header_color->setText(tr("Color:"));
    label_header_text->setText(tr("Text:"));
    m_okText = tr("OK");
    command_ok->setText(m_okText);
    command_cancel->setText(tr("Cancel"));

    label_header_remind->setText(tr("Reminder:"));
    check_remind->setText(tr("remind on this appointment"));
    check_email->setText(tr("send email"));
    fillRemindList();
    fillUsersList();

    label_header_recur->setText(tr("Recurring:"));
    check_recur->setText(tr("recurring appointment"));
    setRepeatTexts();

    label_info_file->setText(tr("Appointment-file:"));
    label_info_producer->setText(tr("Owner:"));
    label_info_change->setText(tr("Last change:"));
    check_owner->setText(tr("I am new owner"));
    check_private->setText(tr("Private"));
    check_private->setToolTip(
        tr("Everyone but its owner sees it as \"Busy\" with its times.\n"
           "Discretion, not protection: its file in the data folder stays readable to anyone who "
           "opens it."));
    label_info_for->setText(tr("For:"));
    label_info_rooms->setText(tr("Rooms:"));
    label_info_people->setText(tr("People:"));
    label_categories->setText(tr("Categories:"));
    label_header_location->setText(tr("Location:"));
    setZoneTexts();
    if (label_calendar) {
        label_calendar->setText(tr("Calendar:"));
        combo_calendar->setAccessibleName(tr("Calendar"));
    }
    nameControls();
}

void form_edit::fillRemindList()
{
    combo_remind->clear();
    for (const RemindChoice& choice : kRemindChoices)
        combo_remind->addItem(tr(choice.text), choice.minutes);
}

void form_edit::fillUsersList()
{
    combo_users->clear();
    combo_users->addItem(tr("remind only the owner of this appointment"));
    combo_users->addItem(tr("remind all users"));
}

void form_edit::ShowAppointment()
{
    const ClassTermin& r = m_handOver->appointment;
    showDate(text_am, r.datum());
    showTime(text_zeit_von, r.StartTime());
    showTime(text_zeit_bis, r.EndTime());
    showEndDay(r);
    text_text->setPlainText(withPlatformBreaks(r.Text()));
    check_remind->setChecked(r.IsReminder());
    showRemindMinutes(*combo_remind, r.RemindMinutes());
    combo_users->setCurrentIndex(r.ReminderAll() ? 1 : 0);
    check_email->setChecked(r.EmailEnable());
    fillColorRows();
    showRepeat(r);
    showColor(r.ColorCode());
    const QDateTime& changed = r.FileDate();
    label_lastupdate->setText(
        changed.isValid() ? FormatDate(changed.date(), m_settings.DateFormat()) + QLatin1Char(' ') +
                                FormatTime(TimeOfDay::fromHourMinute(changed.time().hour(),
                                                                     changed.time().minute()),
                                           m_settings.TimeFormat())
                          : QString());
    label_producer->setText(r.Producer());
    check_owner->setEnabled(r.Producer() != m_loginName);
    text_for->setText(r.ForUsers().join(QStringLiteral(", ")));
    check_private->setChecked(r.IsPrivate());
    text_rooms->setText(r.Rooms().join(QStringLiteral("; ")));
    showCategories(r.Categories());
    text_location->setText(r.Location());
    label_file->setText(r.filename());
    showPeople(r);
    showZone(r);
}

void form_edit::fillColorRows()
{
    for (int i = 0; i < kColorRows; ++i) {
        QLabel* row = label_color_array[size_t(i)];
        const QColor background = settingColor(i + 1);
        QPalette colours = row->palette();
        colours.setColor(QPalette::Window, background);
        colours.setColor(QPalette::WindowText, readableOn(background));
        row->setPalette(colours);
        row->setText(m_settings.ColorText(i + 1));
    }
}

// ---- value fields ----

void form_edit::showDate(ValueField<QDate>* field, const QDate& date)
{
    field->setValue(date, dateText(field, date));
}

QString form_edit::dateText(const ValueField<QDate>* field, const QDate& date) const
{
    if (field == text_recur_bis && date == kLastFileDate)
        return tr("no end");
    return FormatDate(date, m_settings.DateFormat());
}

void form_edit::showTime(ValueField<TimeOfDay>* field, TimeOfDay time)
{
    field->setValue(time, FormatTime(time, m_settings.TimeFormat()));
}

void form_edit::showColor(int number)
{
    text_color->setValue(number, m_settings.ColorText(number));
    const QColor background = settingColor(number);
    // The field shows the user's name for it, or nothing: a screen reader says which it is.
    text_color->setAccessibleDescription(
        ColorNames::spoken(number, background, m_settings.ColorText(number)));
    QPalette colours = text_color->palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Text, readableOn(background));
    text_color->setPalette(colours);
}

QColor form_edit::settingColor(int number) const
{
    const qint64 value = m_settings.Color(number);
    return value == Settings::kWindowColor ? palette().color(QPalette::Window)
                                           : ColorOfRgbValue(value);
}

// ---- drop-downs ----

// Below the field when there is room, else above it, else beside it; always inside the window.
void form_edit::placeBeside(QWidget* dropDown, QWidget* field)
{
    const QRect at(field->mapTo(this, QPoint(0, 0)), field->size());
    const QSize size = dropDown->size();
    const int bottomLimit = height() - Layout::kMargin;
    const int rightLimit = width() - Layout::kMargin;
    QPoint place(at.left(), at.bottom() + 1);
    if (place.y() + size.height() > bottomLimit) {
        place.setY(at.top() - size.height());
        if (place.y() < Layout::kMargin) {
            place.setY(std::max(Layout::kMargin, bottomLimit - size.height()));
            const int right = at.right() + 1 + Layout::kBesideGap;
            place.setX(right + size.width() <= rightLimit
                           ? right
                           : at.left() - Layout::kBesideGap - size.width());
        }
    }
    place.setX(std::clamp(place.x(), Layout::kMargin, rightLimit - size.width()));
    dropDown->move(place);
    dropDown->raise();
}

bool form_edit::eventFilter(QObject* watched, QEvent* event)
{
    for (const DropDown& dropDown : m_dropDowns) {
        if (watched == dropDown.field)
            return valueFieldEvent(dropDown, event);
        if (watched == dropDown.picture)
            return dropDownEvent(dropDown, event);
    }
    for (int i = 0; i < kColorRows; ++i)
        if (watched == label_color_array[size_t(i)])
            return colorRowEvent(i, event);
    return QDialog::eventFilter(watched, event);
}

bool form_edit::valueFieldEvent(const DropDown& dropDown, QEvent* event)
{
    // A disabled field still passes its events through the filter; it must not open.
    if (!dropDown.field->isEnabled())
        return false;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        dropDown.field->setFocus();
        dropDown.open();
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // A time or date field takes what is typed, and Enter there is OK (which takes it).
    const bool opens = dropDown.typable
                           ? key->key() == Qt::Key_F4 ||
                                 (key->key() == Qt::Key_Down && key->modifiers() & Qt::AltModifier)
                           : key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!opens)
        return false;
    dropDown.open();
    return true;
}

bool form_edit::dropDownEvent(const DropDown& dropDown, QEvent* event)
{
    if (dropDown.typable && event->type() == QEvent::KeyPress) {
        // A digit on the open clock or sheet starts a time or date typed into the field.
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        if (typed.size() == 1 && typed[0] >= QLatin1Char('0') && typed[0] <= QLatin1Char('9')) {
            dropDown.picture->hide();
            if (auto* field = qobject_cast<QLineEdit*>(dropDown.field))
                field->insert(typed);
            return true;
        }
    } else if (event->type() == QEvent::Show) {
        m_dropDownFrame->setGeometry(dropDown.picture->geometry().adjusted(-1, -1, 1, 1));
        m_dropDownFrame->stackUnder(dropDown.picture);
        m_dropDownFrame->show();
    } else if (event->type() == QEvent::Hide) {
        m_dropDownFrame->hide();
        // Closing with the focus hands it back to the field, rather than letting it wander to
        // the next control.
        if (dropDown.picture->hasFocus() && dropDown.field->isEnabled()) {
            dropDown.field->setFocus();
            // What is typed next replaces the time or date rather than joining it.
            if (auto* field = qobject_cast<QLineEdit*>(dropDown.field); field && dropDown.typable)
                field->selectAll();
        }
    }
    return false;
}

// ---- event handlers ----

void form_edit::datumswahl_Change(const QDate& date)
{
    const QDate before = text_am->value();
    showDate(text_am, date);
    // The end day keeps its distance: the appointment moves as a whole.
    if (before.isValid() && text_endday->value().isValid())
        showDate(text_endday, text_endday->value().addDays(before.daysTo(date)));
    if (!m_recurFromChosen)
        showDate(text_recur_von, date);
    repeatFollowsDate(before, date);
}

void form_edit::recur_von_Change(const QDate& date)
{
    m_recurFromChosen = true;
    showDate(text_recur_von, date);
}

void form_edit::recur_bis_Change(const QDate& date)
{
    showDate(text_recur_bis, date);
    // A date given is the end; none given, no end. A count keeps its own end.
    if (combo_recur_end->currentIndex() != int(RepeatRule::End::Count))
        combo_recur_end->setCurrentIndex(
            int(date == kLastFileDate ? RepeatRule::End::Never : RepeatRule::End::Until));
}

void form_edit::tabs_Change(const QString&, int index)
{
    for (int i = 0; i < tabs->GetHeadercount(); ++i) {
        QFrame* page = frame_display[size_t(i)];
        if (i == index) {
            page->setGeometry(Layout::kPage);
            page->show();
        } else {
            page->hide();
        }
    }
}

void form_edit::timer_check_Timer()
{
    UpdateControlStates();
}

void form_edit::timer_focus_Timer()
{
    timer_focus->stop();
    text_text->setFocus();
}

void form_edit::UpdateControlStates()
{
    // Before Form_Load has built the strip, a check box may already report its first state.
    if (!tabs)
        return;
    const auto colourHeader = [this](int index, bool on) {
        const QColor wanted = on ? kHeaderRed : kHeaderBlack;
        if (tabs->Colour(index) != wanted)
            tabs->Rename(index, QString(), wanted);
    };
    const bool recurring = check_recur->isChecked();
    colourHeader(kRecurrencePage, recurring);
    text_recur_von->setEnabled(recurring);
    text_recur_bis->setEnabled(recurring);
    combo_recur->setEnabled(recurring);
    enableRepeatControls(recurring);

    const bool remind = check_remind->isChecked();
    colourHeader(kReminderPage, remind);
    combo_remind->setEnabled(remind);
    combo_users->setEnabled(remind);
    check_email->setEnabled(remind);

    // The date of a recurring appointment is changed with the box unticked.
    text_am->setEnabled(!recurring);
    text_endday->setEnabled(!recurring);
    combo_zone->setEnabled(!recurring); // a series keeps the team's time
}

// ---- the record ----

void form_edit::copyIntoRecord()
{
    ClassTermin& r = m_handOver->appointment;
    r.setDatum(text_am->value());
    r.setStartTime(text_zeit_von->value());
    r.setEndTime(text_zeit_bis->value());
    r.setColorCode(qint16(text_color->value()));
    r.setText(withRecordBreaks(text_text->toPlainText()));
    r.setIsReminder(check_remind->isChecked());
    if (const QVariant minutes = combo_remind->currentData(); minutes.isValid())
        r.setRemindMinutes(qint16(minutes.toInt()));
    r.setReminderAll(combo_users->currentIndex() != 0);
    r.setEmailEnable(check_email->isChecked());
    copyRepeatIntoRecord(r);
    copyEndDayIntoRecord(r);
    if (check_owner->isChecked())
        r.setProducer(m_loginName);
    r.setForUsers(AppointmentFile::loginsOf(text_for->text()));
    r.setIsPrivate(check_private->isChecked());
    r.setRooms(AppointmentFile::roomsOf(text_rooms->text()));
    r.setCategories(chosenCategories());
    r.setLocation(AppointmentFile::locationOf(text_location->text()));
    copyZoneIntoRecord(r);
}
