// The appointment editor's controls: pages, fields, pickers, buttons and timers.
#include "edit/form_edit.h"

#include "edit/LoginsCompleter.h"
#include "edit/form_edit_layout.h"
#include "settings/Settings.h"
#include "store/AppointmentFile.h"

#include "ui/ClassMonthDD.h"
#include "ui/ClassTabs.h"
#include "ui/ClassTimeDD.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

using namespace FormEditLayout;

namespace {

// The frame of an open picker or the colour panel: the ink, which stands off the paper.
const QColor kDropDownLine(0, 0, 0);

// A page below the tab strip: the strip draws the top edge, the page the other three.
class PageFrame : public QFrame {
public:
    using QFrame::QFrame;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int right = width() - 1;
        const int bottom = height() - 1;
        const ScreenColors colors = ScreenColors::of(this);
        p.setPen(colors.litEdge());
        p.drawLine(0, 0, 0, bottom);
        p.setPen(colors.adapt(QColor(128, 128, 128)));
        p.drawLine(right, 0, right, bottom);
        p.drawLine(0, bottom, right, bottom);
    }
};

} // namespace

// ---- building the controls ----

QFrame* form_edit::createPage(int index)
{
    auto* page = new PageFrame(this);
    page->setObjectName(QStringLiteral("frame_display_%1").arg(index));
    page->setGeometry(Layout::kPage);
    page->hide();
    frame_display[size_t(index)] = page;
    return page;
}

QLabel* form_edit::createLabel(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(objectName));
    label->setGeometry(geometry);
    // Producer and file name come from the share: never markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* form_edit::createHeading(QWidget* parent, const char* objectName, const QRect& geometry)
{
    QLabel* label = createLabel(parent, objectName, geometry);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QCheckBox* form_edit::createCheck(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* check = new QCheckBox(parent);
    check->setObjectName(QLatin1String(objectName));
    check->setGeometry(geometry);
    // The enabled states follow at once; the timer keeps them in step as well.
    connect(check, &QCheckBox::toggled, this, &form_edit::UpdateControlStates);
    return check;
}

QComboBox* form_edit::createCombo(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(objectName));
    combo->setGeometry(geometry);
    return combo;
}

template <typename Field>
Field* form_edit::createValueField(QWidget* parent, const char* objectName, const QRect& geometry)
{
    auto* field = new Field(parent);
    field->setObjectName(QLatin1String(objectName));
    field->setGeometry(geometry);
    field->installEventFilter(this);
    return field;
}

// The Recurring page's date fields are made in its own file.
template ValueField<QDate>* form_edit::createValueField<ValueField<QDate>>(QWidget*, const char*,
                                                                           const QRect&);

void form_edit::createTabs()
{
    pic_tabs = new PictureBox(this);
    pic_tabs->setObjectName(QStringLiteral("pic_tabs"));
    pic_tabs->setGeometry(Layout::kTabs);
    pic_tabs->setBackColor(palette().color(QPalette::Window));
    pic_tabs->setDrawFont(font());
}

void form_edit::createAppointmentPage()
{
    QFrame* page = createPage(kAppointmentPage);
    const auto caption = [this, page](const char* name, const QRect& geometry) {
        QLabel* label = createLabel(page, name, geometry);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    };
    label_header_am = caption("label_header_am", Layout::kAmCaption);
    text_am = createValueField<ValueField<QDate>>(page, "text_am", Layout::kAm);
    label_header_color = caption("label_header_color", Layout::kColorCaption);
    text_color = createValueField<ValueField<int>>(page, "text_color", Layout::kColor);
    label_header_von = caption("label_header_von", Layout::kFromCaption);
    text_zeit_von = createValueField<ValueField<TimeOfDay>>(page, "text_zeit_von", Layout::kFrom);
    label_header_bis = caption("label_header_bis", Layout::kUntilCaption);
    text_zeit_bis = createValueField<ValueField<TimeOfDay>>(page, "text_zeit_bis", Layout::kUntil);
    makeTypable(text_am);
    makeTypable(text_zeit_von);
    makeTypable(text_zeit_bis);
    createEndDayField(page);
    label_header_text = caption("label_header_text", Layout::kTextCaption);
    text_text = new QPlainTextEdit(page);
    text_text->setObjectName(QStringLiteral("text_text"));
    text_text->setGeometry(Layout::kText);
    text_text->setTabChangesFocus(true);
    label_header_location = caption("label_header_location", Layout::kLocationCaption);
    text_location = new QLineEdit(page);
    text_location->setObjectName(QStringLiteral("text_location"));
    text_location->setGeometry(Layout::kLocation);
    text_location->setMaxLength(int(AppointmentFile::kMaxLocation));
    createZoneRow(page);
}

void form_edit::createReminderPage()
{
    QFrame* page = createPage(kReminderPage);
    label_header_remind = createHeading(page, "label_header_remind", Layout::kRemindCaption);
    check_remind = createCheck(page, "check_remind", Layout::kRemindCheck);
    combo_remind = createCombo(page, "combo_remind", Layout::kRemindCombo);
    combo_users = createCombo(page, "combo_users", Layout::kUsersCombo);
    check_email = createCheck(page, "check_email", Layout::kEmailCheck);
}

void form_edit::createRecurrencePage()
{
    QFrame* page = createPage(kRecurrencePage);
    label_header_recur = createHeading(page, "label_header_recur", Layout::kRecurCaption);
    check_recur = createCheck(page, "check_recur", Layout::kRecurCheck);
    combo_recur = createCombo(page, "combo_recur", Layout::kRecurCombo);
    createRepeatControls(page);
}

void form_edit::createInfoPage()
{
    QFrame* page = createPage(kInfoPage);
    label_info_file = createLabel(page, "label_info_file", Layout::kFileCaption);
    label_file = createLabel(page, "label_file", Layout::kFile);
    // A long path wraps at its separators rather than running out of the page.
    label_file->setWordWrap(true);
    label_file->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_info_producer = createLabel(page, "label_info_producer", Layout::kProducerCaption);
    label_producer = createLabel(page, "label_producer", Layout::kProducer);
    label_info_change = createLabel(page, "label_info_change", Layout::kChangeCaption);
    label_lastupdate = createLabel(page, "label_lastupdate", Layout::kLastUpdate);
    check_owner = createCheck(page, "check_owner", Layout::kOwnerCheck);
    check_private = createCheck(page, "check_private", Layout::kPrivateCheck);
    label_info_for = createLabel(page, "label_info_for", Layout::kForCaption);
    text_for = new QLineEdit(page);
    text_for->setObjectName(QStringLiteral("text_for"));
    text_for->setGeometry(Layout::kFor);
    new LoginsCompleter(m_settings.TeamMembers(), text_for);
    label_info_rooms = createLabel(page, "label_info_rooms", Layout::kRoomsCaption);
    text_rooms = new QLineEdit(page);
    text_rooms->setObjectName(QStringLiteral("text_rooms"));
    text_rooms->setGeometry(Layout::kRooms);
    new LoginsCompleter(m_settings.TeamRooms(), text_rooms);
    createPeopleRow(page);
}

void form_edit::createButtons()
{
    command_ok = new QPushButton(this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setGeometry(Layout::kOk);
    command_ok->setDefault(true);
    connect(command_ok, &QPushButton::clicked, this, &form_edit::command_ok_Click);
    command_cancel = new QPushButton(this);
    command_cancel->setObjectName(QStringLiteral("command_cancel"));
    command_cancel->setGeometry(Layout::kCancel);
    connect(command_cancel, &QPushButton::clicked, this, &form_edit::command_cancel_Click);
}

void form_edit::createPickers()
{
    const auto picture = [this](const char* name) {
        auto* box = new PictureBox(this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    pic_datum = picture("pic_datum");
    pic_recur_von = picture("pic_recur_von");
    pic_recur_bis = picture("pic_recur_bis");
    pic_zeit_von = picture("pic_zeit_von");
    pic_zeit_bis = picture("pic_zeit_bis");
    // The time pictures get their size from Display; giving it now lets them be placed first.
    pic_zeit_von->resizeTwips(ClassTimeDD::kWidth, ClassTimeDD::kHeight);
    pic_zeit_bis->resizeTwips(ClassTimeDD::kWidth, ClassTimeDD::kHeight);

    datumswahl = new ClassMonthDD(this);
    recur_von = new ClassMonthDD(this);
    recur_bis = new ClassMonthDD(this);
    zeit_von = new ClassTimeDD(this);
    zeit_bis = new ClassTimeDD(this);
    datumswahl->setObjectName(QStringLiteral("datumswahl"));
    recur_von->setObjectName(QStringLiteral("recur_von"));
    recur_bis->setObjectName(QStringLiteral("recur_bis"));
    zeit_von->setObjectName(QStringLiteral("zeit_von"));
    zeit_bis->setObjectName(QStringLiteral("zeit_bis"));
    connect(datumswahl, &ClassMonthDD::Change, this, &form_edit::datumswahl_Change);
    connect(recur_von, &ClassMonthDD::Change, this, &form_edit::recur_von_Change);
    // Click: the sheet of a recurrence without end opens on a day that is not its value.
    connect(recur_bis, &ClassMonthDD::Click, this, &form_edit::recur_bis_Change);
    connect(zeit_von, &ClassTimeDD::TimeChanged, this, &form_edit::zeit_von_TimeChanged);
    connect(zeit_bis, &ClassTimeDD::TimeChanged, this, &form_edit::zeit_bis_TimeChanged);

    addDropDown(
        text_am, pic_datum, [this] { openDatePicker(datumswahl, pic_datum, text_am); }, true);
    addDropDown(
        text_recur_von, pic_recur_von,
        [this] { openDatePicker(recur_von, pic_recur_von, text_recur_von); }, true);
    addDropDown(
        text_recur_bis, pic_recur_bis,
        [this] { openDatePicker(recur_bis, pic_recur_bis, text_recur_bis); }, true);
    addDropDown(
        text_zeit_von, pic_zeit_von,
        [this] { openTimePicker(zeit_von, pic_zeit_von, text_zeit_von); }, true);
    addDropDown(
        text_zeit_bis, pic_zeit_bis,
        [this] { openTimePicker(zeit_bis, pic_zeit_bis, text_zeit_bis); }, true);
    createEndDayPicker();
}

void form_edit::createTimers()
{
    timer_check = new QTimer(this);
    timer_check->setObjectName(QStringLiteral("timer_check"));
    timer_check->setInterval(100);
    connect(timer_check, &QTimer::timeout, this, &form_edit::timer_check_Timer);
    timer_focus = new QTimer(this);
    timer_focus->setObjectName(QStringLiteral("timer_focus"));
    timer_focus->setInterval(10);
    connect(timer_focus, &QTimer::timeout, this, &form_edit::timer_focus_Timer);
}

void form_edit::createDropDownFrame()
{
    // The pickers draw white on white; a thin dark line sets them off from the fields below.
    m_dropDownFrame = new QFrame(this);
    m_dropDownFrame->setObjectName(QStringLiteral("dropdown_frame"));
    m_dropDownFrame->setAutoFillBackground(true);
    QPalette line = m_dropDownFrame->palette();
    line.setColor(QPalette::Window, ScreenColors(line).adapt(kDropDownLine));
    m_dropDownFrame->setPalette(line);
    m_dropDownFrame->hide();
}

void form_edit::addDropDown(QWidget* field, QWidget* picture, std::function<void()> open,
                            bool typable)
{
    picture->installEventFilter(this);
    m_dropDowns.push_back({field, picture, std::move(open), typable});
}
