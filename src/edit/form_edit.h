#pragma once

#include "calendar/ZoneTimes.h"
#include "edit/AppointmentEditing.h"
#include "edit/RepeatChoice.h"
#include "profile/DateParts.h"
#include "store/ApiLoginName.h"
#include "ui/AccessibleItem.h"

#include <QDate>
#include <QDialog>
#include <QLineEdit>
#include <QString>

#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class ClassMonthDD;
class ClassTabs;
class ClassTimeDD;
class PictureBox;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class Settings;

// A read-only field that shows a value as text and keeps the value itself. Only the kept value
// is ever read back; the text is for the eye. The editor lets the user type into its time and
// date fields and takes a typed time or date into the kept value only once it reads as one.
template <typename T> class ValueField : public QLineEdit {
public:
    explicit ValueField(QWidget* parent)
        : QLineEdit(parent)
    {
        setReadOnly(true);
        setContextMenuPolicy(Qt::NoContextMenu);
    }

    void setValue(const T& value, const QString& shown)
    {
        m_value = value;
        setText(shown);
        setCursorPosition(0);
    }
    const T& value() const { return m_value; }

private:
    T m_value{};
};

// The appointment editor: four pages (appointment, reminder, recurrence, file information) on
// a tab strip. It copies the handed-over appointment into its controls, checks that the start
// lies before the end, and on OK copies the controls back and hands the record to the filing,
// which decides directory and name. It waits for no answer: it shows "Saving..." until the
// filing answers, closes when the save went and stays open with a word when it failed.
class form_edit : public QDialog {
    Q_OBJECT

public:
    // Shows a message with only an OK button, without waiting; tests replace it to read the
    // text.
    using MessageShower =
        std::function<void(QWidget* parent, const QString& title, const QString& text)>;

    static constexpr int kWidthTwips = 6555;
    static constexpr int kHeightTwips = 4710;
    static constexpr int kColorRows = 14;

    // loginName decides ownership. The editor reports through handOver->finished.
    form_edit(std::shared_ptr<EditHandOver> handOver, Settings& settings, const QString& loginName,
              QWidget* parent = nullptr);
    ~form_edit() override;

    // What the user may do about rooms a saved appointment booked that the team's list lacks:
    // add them to it (in the settings window, opened beside parent).
    using RoomOffer = std::function<void(QWidget* parent, const QStringList& rooms)>;

    // The editor EditMe shows: opens this window, modal to the active window, and returns.
    static AppointmentEditing::Editor editorFor(Settings& settings,
                                                const QString& loginName = GetLoginName(),
                                                RoomOffer offerRooms = {});
    // Once saved with rooms the team does not list, a note beside the window it closes to
    // offers to add them, without waiting for an answer.
    void setRoomOffer(RoomOffer offer) { m_offerRooms = std::move(offer); }

    void setMessageShower(MessageShower shower) { m_showMessage = std::move(shower); }

    // The question when another user changed or deleted the file meanwhile, without waiting:
    // answered gets the index of the answer chosen among the captions (overwrite, keep the
    // other version, back to the editor).
    using ConflictQuestion =
        std::function<void(QWidget* parent, const QString& text, const QStringList& captions,
                           std::function<void(int answer)> answered)>;
    enum ConflictAnswer { kOverwrite, kKeepOther, kBackToEditor };
    void setConflictQuestion(ConflictQuestion question) { m_askConflict = std::move(question); }

    // Cancel, Escape and the close box all end here: the record stays as it was.
    void reject() override;
    // Tells handOver->finished how it closed.
    void done(int result) override;

private:
    void offerUnknownRooms();
    void Form_Load();
    void createTabs();
    void createAppointmentPage();
    void createReminderPage();
    void createRecurrencePage();
    // How often, on which days and until when a series repeats.
    void createRepeatControls(QFrame* page);
    void createInfoPage();
    // An imported or synced event's organizer and attendees on the Info page, read only
    // (form_edit_people.cpp); hidden when it names none.
    void createPeopleRow(QFrame* page);
    void showPeople(const ClassTermin& record);
    // The page of its categories (form_edit_categories.cpp).
    void createCategoriesPage();
    void showCategories(const QStringList& own);
    QStringList chosenCategories() const;
    void createButtons();
    // The "Calendar" choice beside OK (form_edit_calendar.cpp): shown for a new appointment
    // while more than one data folder it may go into is shown; OK files into the one chosen.
    void createCalendarChoice();
    void takeCalendarChoice();
    // "Find a time..." on the appointment page (form_edit_findtime.cpp), while the window
    // answers it.
    void createFindTimeButton();
    void createDropDownFrame();
    void createColorPanel();
    void createPickers();
    void createTimers();
    // Names for screen readers in the language of the texts, and the order Tab goes in.
    void nameControls();
    void orderTabs();
    QFrame* createPage(int index);
    QLabel* createLabel(QWidget* parent, const char* objectName, const QRect& geometry);
    // A page's bold heading.
    QLabel* createHeading(QWidget* parent, const char* objectName, const QRect& geometry);
    QCheckBox* createCheck(QWidget* parent, const char* objectName, const QRect& geometry);
    QComboBox* createCombo(QWidget* parent, const char* objectName, const QRect& geometry);
    template <typename Field>
    Field* createValueField(QWidget* parent, const char* objectName, const QRect& geometry);

    void SetLanguageTexts();
    void fillRemindList();
    void fillUsersList();
    void fillRecurList();
    void setRepeatTexts();
    void showRepeat(const ClassTermin& r);
    void showRepeatChoice(const RepeatChoice& choice);
    RepeatChoice repeatChoice() const;
    // After any change of the repeat controls: which show, and the kinds' captions.
    void repeatChanged();
    void enableRepeatControls(bool recurring);
    // A weekday box, an nth weekday or the day not chosen by the user move with the date.
    void repeatFollowsDate(const QDate& before, const QDate& date);
    void recur_weekday_Toggled(int index, bool checked);
    void recur_end_Change(int index);
    // The rule the controls make is one to keep; else the user is told why not.
    bool repeatInOrder();
    void copyRepeatIntoRecord(ClassTermin& r) const;
    void ShowAppointment();
    void fillColorRows();
    void UpdateControlStates();

    // Every assignment of a value field sets value and text together.
    void showDate(ValueField<QDate>* field, const QDate& date);
    // The last day of a recurrence reads "no end" at the latest date a file holds.
    QString dateText(const ValueField<QDate>* field, const QDate& date) const;
    void showTime(ValueField<TimeOfDay>* field, TimeOfDay time);
    void showColor(int number);
    QColor settingColor(int number) const;

    // A value field and what drops down from it.
    struct DropDown {
        QWidget* field = nullptr;
        QWidget* picture = nullptr;
        std::function<void()> open;
        // Time and date fields take typed text and open on F4 or Alt+Down; the colour field
        // opens on Enter.
        bool typable = false;
    };
    void addDropDown(QWidget* field, QWidget* picture, std::function<void()> open, bool typable);
    void openDatePicker(ClassMonthDD* picker, PictureBox* picture, ValueField<QDate>* field);
    void openTimePicker(ClassTimeDD* picker, PictureBox* picture, ValueField<TimeOfDay>* field);
    void openColorPanel();
    void hideColorPanel();
    // The row the keys are on, framed; Enter takes it.
    void moveColorCursor(int index);
    AccessibleItem describeColors() const;
    void placeBeside(QWidget* dropDown, QWidget* field);

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool valueFieldEvent(const DropDown& dropDown, QEvent* event);
    // True when the event is used up.
    bool dropDownEvent(const DropDown& dropDown, QEvent* event);
    bool colorRowEvent(int index, QEvent* event);

    // The message box and the conflict question as the user meets them: opened, not waited for.
    static void openMessage(QWidget* parent, const QString& title, const QString& text);
    static void openQuestion(QWidget* parent, const QString& text, const QStringList& captions,
                             std::function<void(int answer)> answered);
    void command_ok_Click();
    void changeAnswered(const DataAccess::FileChange& change);
    void save();
    void saveAnswered(const WriteOutcome& outcome, const ClassTermin& filed);
    // OK shows "Saving..." and the controls rest while the store answers.
    void showSaving(bool saving);
    void askAboutChange(const DataAccess::FileChange& change,
                        std::function<void(int answer)> answered);
    void command_cancel_Click();
    void datumswahl_Change(const QDate& date);
    // The last day of an appointment over several days (form_edit_endday.cpp): its field, what
    // the record says of it, and what it makes of the record.
    void createEndDayField(QFrame* page);
    void createEndDayPicker();
    void endday_Change(const QDate& date);
    void showEndDay(const ClassTermin& r);
    void copyEndDayIntoRecord(ClassTermin& r) const;
    bool severalDays() const;
    void recur_von_Change(const QDate& date);
    void recur_bis_Change(const QDate& date);
    void zeit_von_TimeChanged(TimeOfDay time);
    void zeit_bis_TimeChanged(TimeOfDay time);
    void tabs_Change(const QString& caption, int index);
    void label_color_array_Click(int index);
    void pic_colors_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void pic_colors_LostFocus();
    void timer_check_Timer();
    void timer_focus_Timer();

    void makeTypable(ValueField<TimeOfDay>* field);
    // Takes the time typed into a time field as the clock would set it. Text that is no time
    // stays in the field, or with refuseAloud goes back to the kept value with a word to the
    // user; either way the answer is false.
    bool takeTypedTime(ValueField<TimeOfDay>* field, bool refuseAloud);
    // The same for a date, in the settings' date format (edit/TypedDate.h).
    void makeTypable(ValueField<QDate>* field);
    bool takeTypedDate(ValueField<QDate>* field, bool refuseAloud);
    bool timesInOrder() const;
    void copyIntoRecord();

    // The zone the date and time fields are in (form_edit_zone.cpp): empty, the team's.
    void createZoneRow(QWidget* page);
    void setZoneTexts();
    QString chosenZone() const;
    void showZone(const ClassTermin& r);
    void zoneChosen();
    std::optional<ZoneTimes::WallSpan> fieldsAsTeamTimes(const QString& zone) const;
    void copyZoneIntoRecord(ClassTermin& r) const;

    std::shared_ptr<EditHandOver> m_handOver;
    Settings& m_settings;
    QString m_loginName;
    MessageShower m_showMessage;
    RoomOffer m_offerRooms;
    ConflictQuestion m_askConflict;

    PictureBox* pic_tabs = nullptr;
    ClassTabs* tabs = nullptr;
    std::array<QFrame*, 5> frame_display{}; // one for each page of form_edit_layout.h

    QLabel* label_header_am = nullptr;
    QLabel* label_header_von = nullptr;
    QLabel* label_header_bis = nullptr;
    QLabel* label_header_color = nullptr;
    QLabel* label_header_text = nullptr;
    ValueField<QDate>* text_am = nullptr;
    QLabel* label_header_endday = nullptr;
    ValueField<QDate>* text_endday = nullptr;
    PictureBox* pic_endday = nullptr;
    ClassMonthDD* enddaywahl = nullptr;
    ValueField<TimeOfDay>* text_zeit_von = nullptr;
    ValueField<TimeOfDay>* text_zeit_bis = nullptr;
    ValueField<int>* text_color = nullptr;
    QPlainTextEdit* text_text = nullptr;
    QLabel* label_header_location = nullptr;
    QLineEdit* text_location = nullptr; // where it takes place, one line
    QLabel* label_header_zone = nullptr;
    QComboBox* combo_zone = nullptr;
    QString m_shownZone; // the zone the fields show now

    QLabel* label_header_remind = nullptr;
    QCheckBox* check_remind = nullptr;
    QComboBox* combo_remind = nullptr;
    QComboBox* combo_users = nullptr;
    QCheckBox* check_email = nullptr;

    QLabel* label_header_recur = nullptr;
    QCheckBox* check_recur = nullptr;
    QComboBox* combo_recur = nullptr;
    QLabel* label_recur_every = nullptr;
    QSpinBox* spin_recur_every = nullptr;
    QLabel* label_recur_unit = nullptr;
    // Monday first.
    std::array<QCheckBox*, 7> check_recur_weekday{};
    QRadioButton* option_recur_day = nullptr;
    QRadioButton* option_recur_nth = nullptr;
    QComboBox* combo_recur_nth = nullptr;
    QComboBox* combo_recur_weekday = nullptr;
    QLabel* label_recur_month = nullptr;
    QLabel* label_recur_von = nullptr;
    ValueField<QDate>* text_recur_von = nullptr;
    QComboBox* combo_recur_end = nullptr;
    ValueField<QDate>* text_recur_bis = nullptr;
    QSpinBox* spin_recur_count = nullptr;
    QLabel* label_recur_times = nullptr;
    // Set while a record's repeat is being shown: the controls' own reactions wait.
    bool m_showingRepeat = false;
    // The end shown before the latest change: "until" after a count ends where the count did.
    RepeatRule::End m_shownEnd = RepeatRule::End::Never;
    // One occurrence of a series, edited alone, keeps the series' rule untouched.
    bool m_occurrenceAlone = false;
    // Once the user set the first day of the recurrence, it no longer follows the date.
    bool m_recurFromChosen = false;

    QLabel* label_info_file = nullptr;
    QLabel* label_file = nullptr;
    QLabel* label_info_producer = nullptr;
    QLabel* label_producer = nullptr;
    QLabel* label_info_change = nullptr;
    QLabel* label_lastupdate = nullptr;
    QCheckBox* check_owner = nullptr;
    QCheckBox* check_private = nullptr; // others see it as "Busy"
    QLabel* label_info_for = nullptr;
    QLineEdit* text_for = nullptr; // whom it is for: login names
    QLabel* label_info_rooms = nullptr;
    QLineEdit* text_rooms = nullptr; // the rooms and equipment it books, by name
    QLabel* label_info_people = nullptr;
    QLineEdit* text_people = nullptr; // organizer and attendees, read only
    QLabel* label_categories = nullptr;
    QListWidget* list_categories = nullptr; // a check box for each category

    QLabel* label_calendar = nullptr;
    QComboBox* combo_calendar = nullptr;
    QPushButton* command_find_time = nullptr;
    QPushButton* command_ok = nullptr;
    QPushButton* command_cancel = nullptr;
    QString m_okText;
    bool m_saving = false;
    QPointer<QWidget> m_focusBeforeSaving;

    PictureBox* pic_colors = nullptr;
    std::array<QLabel*, kColorRows> label_color_array{};
    int m_colorCursor = 0;

    PictureBox* pic_datum = nullptr;
    PictureBox* pic_recur_von = nullptr;
    PictureBox* pic_recur_bis = nullptr;
    PictureBox* pic_zeit_von = nullptr;
    PictureBox* pic_zeit_bis = nullptr;
    ClassMonthDD* datumswahl = nullptr;
    ClassMonthDD* recur_von = nullptr;
    ClassMonthDD* recur_bis = nullptr;
    ClassTimeDD* zeit_von = nullptr;
    ClassTimeDD* zeit_bis = nullptr;
    std::vector<DropDown> m_dropDowns;
    QFrame* m_dropDownFrame = nullptr;

    QTimer* timer_check = nullptr;
    QTimer* timer_focus = nullptr;
};
