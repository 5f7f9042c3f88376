#include "settings_ui/form_settings.h"

#include "calendar/Formats.h"
#include "profile/FileAccess.h"
#include "service/SettingsJobs.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "settings_ui/TeamCategoriesBox.h"
#include "settings_ui/TeamSettingsPage.h"
#include "settings_ui/form_settings_sync.h"
#include "ui/ApiBrowseFolder.h"
#include "ui/ApiColorPicker.h"
#include "ui/ClassTabs.h"
#include "ui/MousePointer.h"
#include "ui/PictureBox.h"
#include "ui/PlainText.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kContext = "form_settings";

// Page captions, in page order.
const char* const kPageNames[form_settings::kPages] = {
    QT_TRANSLATE_NOOP("form_settings", "Common"),
    QT_TRANSLATE_NOOP("form_settings", "Data Sources"),
    QT_TRANSLATE_NOOP("form_settings", "Display"),
    QT_TRANSLATE_NOOP("form_settings", "Reminder"),
    QT_TRANSLATE_NOOP("form_settings", "Colors"),
    QT_TRANSLATE_NOOP("form_settings", "Sync"),
    QT_TRANSLATE_NOOP("form_settings", "Team")};

const char* const kWeekdays[7] = {
    QT_TRANSLATE_NOOP("form_settings", "Su"), QT_TRANSLATE_NOOP("form_settings", "Mo"),
    QT_TRANSLATE_NOOP("form_settings", "Tu"), QT_TRANSLATE_NOOP("form_settings", "We"),
    QT_TRANSLATE_NOOP("form_settings", "Th"), QT_TRANSLATE_NOOP("form_settings", "Fr"),
    QT_TRANSLATE_NOOP("form_settings", "Sa")};

// The entries of each list, in their order; the index maps to the setting.
const std::vector<const char*> kFirstDays = {QT_TRANSLATE_NOOP("form_settings", "Sunday"),
                                             QT_TRANSLATE_NOOP("form_settings", "Monday")};
const std::vector<const char*> kWeekRules = {
    QT_TRANSLATE_NOOP("form_settings", "Week with 1. January"),
    QT_TRANSLATE_NOOP("form_settings", "Week with 4 days of new year"),
    QT_TRANSLATE_NOOP("form_settings", "full week in next year")};
const std::vector<const char*> kDateFormats = {QT_TRANSLATE_NOOP("form_settings", "YYYY-MM-DD"),
                                               QT_TRANSLATE_NOOP("form_settings", "MM/DD/YYYY"),
                                               QT_TRANSLATE_NOOP("form_settings", "DD.MM.YYYY")};
const std::vector<const char*> kRefresh = {
    QT_TRANSLATE_NOOP("form_settings", "Dayview every 05 sec., Monthview every 10 sec."),
    QT_TRANSLATE_NOOP("form_settings", "Dayview every 10 sec., Monthview every 20 sec."),
    QT_TRANSLATE_NOOP("form_settings", "Dayview every 30 sec., Monthview every 60 sec.")};
const int kDayIntervals[] = {5, 10, 30};
const std::vector<const char*> kGrids = {QT_TRANSLATE_NOOP("form_settings", "30 minutes"),
                                         QT_TRANSLATE_NOOP("form_settings", "15 minutes")};

int timeIndex(TimeOfDay time)
{
    return qBound(0, 2 * time.hour() + (time.minute() == 30 ? 1 : 0), 47);
}

} // namespace

form_settings::form_settings(Settings& settings, SettingsJobs& jobs, Hooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_jobs(jobs)
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.message)
        m_hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            showPlainWarning(owner, title, text);
        };
    Form_Load();
}

QString form_settings::text(const char* source) const
{
    return Language::translate(kContext, source, m_lang);
}

void form_settings::tell(const QString& message)
{
    m_hooks.message(this, QStringLiteral("Norvane4"), message);
}

void form_settings::Form_Load()
{
    setObjectName(QStringLiteral("form_settings"));
    m_lang = m_settings.LangCode();
    m_loadedPath = m_settings.Path();

    auto* layout = new QVBoxLayout(this);
    pic_tab = named(new PictureBox(this), "pic_tab");
    pic_tab->setBackColor(palette().color(QPalette::Window));
    pic_tab->setDrawFont(font());
    pic_tab->setFixedHeight(24);
    layout->addWidget(pic_tab);
    tabs = named(new ClassTabs(this), "tabs");
    tabs->Bind(pic_tab);
    for (const char* name : kPageNames)
        tabs->AddHeader(text(name), false, Qt::black);
    connect(tabs, &ClassTabs::Change, this, [this](const QString&, int index) { showPage(index); });
    tabs->bindPageKeys(this);

    for (int page = 0; page < kPages; ++page) {
        QFrame* frame = frame_settings[size_t(page)] = new QFrame(this);
        frame->setObjectName(QStringLiteral("frame_settings_%1").arg(page));
        frame->setFrameShape(QFrame::StyledPanel);
        layout->addWidget(frame, 1);
    }
    buildCommonPage(frame_settings[0]);
    buildFoldersPage(frame_settings[1]);
    buildDisplayPage(frame_settings[2]);
    buildReminderPage(frame_settings[3]);
    buildColorsPage(frame_settings[4]);
    m_syncPage = new SyncSettingsPage(m_settings, frame_settings[kSyncPage]);
    (new QVBoxLayout(frame_settings[kSyncPage]))->addWidget(m_syncPage);
    m_teamPage = new TeamSettingsPage(frame_settings[kTeamPage]);
    (new QVBoxLayout(frame_settings[kTeamPage]))->addWidget(m_teamPage);

    auto* buttons = new QHBoxLayout;
    command_default = named(new QPushButton(this), "command_default");
    command_ok = named(new QPushButton(QStringLiteral("OK"), this), "command_ok");
    command_cancel = named(new QPushButton(this), "command_cancel");
    command_ok->setDefault(true);
    buttons->addWidget(command_default);
    buttons->addStretch(1);
    buttons->addWidget(command_ok);
    buttons->addWidget(command_cancel);
    layout->addLayout(buttons);
    connect(command_default, &QPushButton::clicked, this, &form_settings::command_default_Click);
    connect(command_ok, &QPushButton::clicked, this, &form_settings::command_ok_Click);
    connect(command_cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The design size, widened so the weekday boxes and the longest list entries fit.
    setMinimumSize(qMax(PictureBox::toPixels(6510), 600), PictureBox::toPixels(4350));
    fillFromSettings();
    SetLanguageTexts();
    showPage(0);
    enableReminderControls();
    loadFromFiles();
}

void form_settings::loadFromFiles()
{
    struct Loaded {
        Settings settings;
        SyncSettings sync;
    };
    setBusy(true);
    m_jobs.run<Loaded>(
        this,
        [current = m_settings](ProfileCache& profiles) {
            Settings read(current, profiles);
            read.LoadSettings(); // what is on disk, not what this run changed unsaved
            const SyncSettings sync = readSyncSettings(profiles, read.Path());
            return Loaded{read, sync};
        },
        [this](const Loaded& loaded) {
            m_settings.takeValues(loaded.settings);
            m_lang = m_settings.LangCode();
            m_loadedPath = m_settings.Path();
            fillFromSettings();
            m_syncPage->showSaved(m_loadedPath, loaded.sync);
            SetLanguageTexts();
            enableReminderControls();
            setBusy(false);
        });
}

void form_settings::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    SetMousePointer(busy ? 11 : 0);
    for (QFrame* frame : frame_settings)
        frame->setEnabled(!busy);
    command_ok->setEnabled(!busy);
    command_default->setEnabled(!busy);
}

void form_settings::done(int result)
{
    m_closed = true;
    setBusy(false);
    QDialog::done(result);
}

QLabel* form_settings::textLabel(QList<QLabel*>& labels, QWidget* parent, const char* name,
                                 const char* source, QWidget* buddy)
{
    auto* label = named(new QLabel(parent), name);
    label->setProperty("source", QByteArray(source));
    label->setBuddy(buddy);
    labels << label;
    return label;
}

void form_settings::buildCommonPage(QFrame* page)
{
    auto* grid = new QGridLayout(page);
    const auto row = [&](const char* labelName, const char* source, QWidget* input) {
        const int r = grid->rowCount();
        grid->addWidget(textLabel(m_labels, page, labelName, source, input), r, 0);
        grid->addWidget(input, r, 1);
    };
    row("label_language", QT_TRANSLATE_NOOP("form_settings", "Language:"),
        combo_language = named(new QComboBox(page), "combo_language"));
    row("label_firstday", QT_TRANSLATE_NOOP("form_settings", "Week starts with:"),
        combo_firstday = named(new QComboBox(page), "combo_firstday"));
    row("label_kw", QT_TRANSLATE_NOOP("form_settings", "First calendar week:"),
        combo_kw = named(new QComboBox(page), "combo_kw"));
    row("label_time_format", QT_TRANSLATE_NOOP("form_settings", "Time format:"),
        combo_time_format = named(new QComboBox(page), "combo_time_format"));
    row("label_date_format", QT_TRANSLATE_NOOP("form_settings", "Date format:"),
        combo_date_format = named(new QComboBox(page), "combo_date_format"));
    row("label_minimize", QT_TRANSLATE_NOOP("form_settings", "Minimize:"),
        check_minimize = named(new QCheckBox(page), "check_minimize"));
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(1, 1);
    combo_language->addItems({QStringLiteral("English"), QStringLiteral("Deutsch")});
    combo_time_format->addItems({QStringLiteral("12h"), QStringLiteral("24h")});
    connect(combo_language, &QComboBox::activated, this, [this](int index) {
        m_lang = index == 1 ? QStringLiteral("de") : QStringLiteral("en");
        SetLanguageTexts();
    });
}

void form_settings::buildFoldersPage(QFrame* page)
{
    auto* grid = new QGridLayout(page);
    text_settings = named(new QLineEdit(page), "text_settings");
    list_folders = named(new QListWidget(page), "list_folders");
    grid->addWidget(textLabel(m_labels, page, "label_settings",
                              QT_TRANSLATE_NOOP("form_settings", "Settings - file:"),
                              text_settings),
                    0, 0, 1, 2);
    command_browse_settings = named(new QPushButton(page), "command_browse_settings");
    grid->addWidget(text_settings, 1, 0);
    grid->addWidget(command_browse_settings, 1, 1);
    grid->addWidget(textLabel(m_labels, page, "label_folders",
                              QT_TRANSLATE_NOOP("form_settings", "DataSources:"), list_folders),
                    2, 0, 1, 2);
    // The paths take the page's whole width; the buttons, long in German, go below them.
    grid->addWidget(list_folders, 3, 0, 1, 2);
    command_add_folder = named(new QPushButton(page), "command_add_folder");
    Command_del_folder = named(new QPushButton(page), "Command_del_folder");
    command_test = named(new QPushButton(page), "command_test");
    auto* folderButtons = new QHBoxLayout;
    folderButtons->addWidget(command_add_folder);
    folderButtons->addWidget(Command_del_folder);
    folderButtons->addStretch();
    auto* testButton = new QHBoxLayout;
    testButton->addWidget(command_test);
    testButton->addStretch();
    grid->addLayout(folderButtons, 4, 0, 1, 2);
    grid->addLayout(testButton, 5, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    connect(command_browse_settings, &QPushButton::clicked, this,
            &form_settings::command_browse_settings_Click);
    connect(command_add_folder, &QPushButton::clicked, this,
            &form_settings::command_add_folder_Click);
    connect(Command_del_folder, &QPushButton::clicked, this,
            &form_settings::Command_del_folder_Click);
    connect(command_test, &QPushButton::clicked, this, &form_settings::command_test_Click);
}

void form_settings::buildDisplayPage(QFrame* page)
{
    auto* grid = new QGridLayout(page);
    combo_start_time = named(new QComboBox(page), "combo_start_time");
    combo_end_time = named(new QComboBox(page), "combo_end_time");
    auto* times = new QHBoxLayout;
    times->addWidget(combo_start_time);
    times->addWidget(textLabel(m_labels, page, "label_end_time",
                               QT_TRANSLATE_NOOP("form_settings", "ends at:"), combo_end_time));
    times->addWidget(combo_end_time);
    times->addStretch(1);
    grid->addWidget(textLabel(m_labels, page, "label_start_time",
                              QT_TRANSLATE_NOOP("form_settings", "Dayview starts at:"),
                              combo_start_time),
                    0, 0);
    grid->addLayout(times, 0, 1);
    auto* days = new QHBoxLayout;
    for (int day = 0; day < 7; ++day) {
        check_week_day[size_t(day)] = new QCheckBox(page);
        check_week_day[size_t(day)]->setObjectName(QStringLiteral("check_week_day_%1").arg(day));
        days->addWidget(check_week_day[size_t(day)]);
    }
    days->addStretch(1);
    grid->addWidget(textLabel(m_labels, page, "label_weekview",
                              QT_TRANSLATE_NOOP("form_settings", "Weekview shows:")),
                    1, 0);
    grid->addLayout(days, 1, 1);
    check_startweek = named(new QCheckBox(page), "check_startweek");
    grid->addWidget(check_startweek, 2, 1);
    combo_grid = named(new QComboBox(page), "combo_grid");
    grid->addWidget(textLabel(m_labels, page, "label_grid",
                              QT_TRANSLATE_NOOP("form_settings", "Time grid:"), combo_grid),
                    3, 0);
    grid->addWidget(combo_grid, 3, 1, Qt::AlignLeft);
    check_pos = named(new QCheckBox(page), "check_pos");
    grid->addWidget(
        textLabel(m_labels, page, "label_pos", QT_TRANSLATE_NOOP("form_settings", "Position:")), 4,
        0);
    grid->addWidget(check_pos, 4, 1);
    combo_refresh = named(new QComboBox(page), "combo_refresh");
    grid->addWidget(textLabel(m_labels, page, "label_refresh",
                              QT_TRANSLATE_NOOP("form_settings", "Refresh view:"), combo_refresh),
                    5, 0);
    grid->addWidget(combo_refresh, 5, 1);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
}

void form_settings::buildColorsPage(QFrame* page)
{
    auto* grid = new QGridLayout(page);
    grid->setVerticalSpacing(2);
    for (int row = 0; row < 14; ++row) {
        const int column = row / 7 * 3;
        auto* number = new QLabel(QString::asprintf("%02d", row + 1), page);
        number->setObjectName(QStringLiteral("label_number_%1").arg(row));
        QLineEdit* name = text_color[size_t(row)] = new QLineEdit(page);
        name->setObjectName(QStringLiteral("text_color_%1").arg(row));
        auto* browse = new QPushButton(QStringLiteral("..."), page);
        browse->setObjectName(QStringLiteral("command_browse_color_%1").arg(row));
        browse->setFixedWidth(28);
        grid->addWidget(number, row % 7, column);
        grid->addWidget(name, row % 7, column + 1);
        grid->addWidget(browse, row % 7, column + 2);
        connect(browse, &QPushButton::clicked, this,
                [this, row] { command_browse_color_Click(row); });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
}

void form_settings::fillFromSettings()
{
    const Settings& s = m_settings;
    m_teamPage->show(s.TeamMembers());
    m_teamPage->showRooms(s.TeamRooms());
    m_teamPage->categories().show(s.TeamCategories());
    m_teamPage->addRooms(m_offeredRooms); // still offered once the files are read
    combo_language->setCurrentIndex(s.LangCode() == QLatin1String("de") ? 1 : 0);
    check_minimize->setChecked(s.MinimizeToTray());
    text_settings->setText(QDir::toNativeSeparators(s.Path()));
    list_folders->clear();
    for (const QString& folder : s.dataFolders())
        list_folders->addItem(folder);
    combo_start_time->clear();
    combo_end_time->clear();
    for (int minutes = 0; minutes < 24 * 60; minutes += 30) {
        const QString shown = FormatTime(TimeOfDay::fromMinutes(minutes), s.TimeFormat());
        combo_start_time->addItem(shown);
        combo_end_time->addItem(shown);
    }
    combo_start_time->setCurrentIndex(timeIndex(s.GridStartTime()));
    combo_end_time->setCurrentIndex(timeIndex(s.GridEndTime()));
    for (int day = 0; day < 7; ++day)
        check_week_day[size_t(day)]->setChecked(s.ShowWeek(day + 1));
    check_startweek->setChecked(s.StartWithWeek());
    check_pos->setChecked(s.RowPerColor());
    check_reminder_window->setChecked(s.ShowWindow());
    check_desktop_notification->setChecked(s.DesktopNotification());
    check_play_sound->setChecked(s.PlaySound());
    text_sound_file->setText(s.SoundFile());
    check_send_email->setChecked(s.SendEmail());
    text_smtp->setText(s.EmailSMTP());
    text_from->setText(s.EmailFrom());
    text_to->setText(s.EmailTo());
    text_subject->setText(s.EmailSubject());
    for (int row = 0; row < 14; ++row) {
        m_colors[size_t(row)] = s.Color(row + 1);
        text_color[size_t(row)]->setText(s.ColorText(row + 1));
        showColor(row);
    }
    // The lists are filled in the window's language; these are their selections.
    const QString date = s.DateFormat();
    const int dateIndex =
        date == QLatin1String("dd.mm.yyyy") || date == QLatin1String("tt.mm.jjjj")   ? 2
        : date == QLatin1String("mm/dd/yyyy") || date == QLatin1String("mm/tt/jjjj") ? 1
                                                                                     : 0;
    const int refreshIndex = s.DayInterval() == 30 ? 2 : s.DayInterval() == 10 ? 1 : 0;
    const auto fill = [](QComboBox* combo, const std::vector<const char*>& entries, int index) {
        combo->clear();
        combo->addItems(QStringList(entries.size(), QString()));
        combo->setCurrentIndex(index);
    };
    fill(combo_firstday, kFirstDays, s.FirstWeekday() - 1);
    fill(combo_kw, kWeekRules, s.FirstCW() - 1);
    fill(combo_date_format, kDateFormats, dateIndex);
    fill(combo_refresh, kRefresh, refreshIndex);
    fill(combo_grid, kGrids, s.Grid15Minutes() ? 1 : 0);
    combo_time_format->setCurrentIndex(s.TimeFormat() == QLatin1String("12h") ? 0 : 1);
}

void form_settings::SetLanguageTexts()
{
    setWindowTitle(text(QT_TRANSLATE_NOOP("form_settings", "Norvane4 Settings")));
    for (int page = 0; page < kPages; ++page)
        tabs->Rename(page, text(kPageNames[page]));
    for (QLabel* label : std::as_const(m_labels)) {
        label->setText(text(label->property("source").toByteArray().constData()));
        // A list is not named by its buddy, only by its own name.
        if (auto* list = qobject_cast<QAbstractItemView*>(label->buddy()))
            list->setAccessibleName(label->text());
    }
    const auto entries = [this](QComboBox* combo, const std::vector<const char*>& sources) {
        for (int i = 0; i < int(sources.size()); ++i)
            combo->setItemText(i, text(sources[size_t(i)]));
    };
    entries(combo_firstday, kFirstDays);
    entries(combo_kw, kWeekRules);
    entries(combo_date_format, kDateFormats);
    entries(combo_refresh, kRefresh);
    entries(combo_grid, kGrids);
    for (int day = 0; day < 7; ++day)
        check_week_day[size_t(day)]->setText(text(kWeekdays[day]));
    // One caption over two fields: each is named on its own.
    text_from->setAccessibleName(text(QT_TRANSLATE_NOOP("form_settings", "From")));
    text_to->setAccessibleName(text(QT_TRANSLATE_NOOP("form_settings", "To")));
    // The colour rows show only their numbers: a screen reader reads which colour a field is.
    for (int row = 0; row < int(text_color.size()); ++row) {
        const QString number = QString::asprintf("%02d", row + 1);
        text_color[size_t(row)]->setAccessibleName(
            text(QT_TRANSLATE_NOOP("form_settings", "Name of color %1")).arg(number));
        if (auto* browse =
                findChild<QPushButton*>(QStringLiteral("command_browse_color_%1").arg(row)))
            browse->setAccessibleName(
                text(QT_TRANSLATE_NOOP("form_settings", "Choose color %1")).arg(number));
    }
    const struct {
        QAbstractButton* button;
        const char* source;
    } captions[] = {
        {check_minimize, QT_TRANSLATE_NOOP("form_settings", "minimize to symbol in system tray")},
        {command_browse_settings, QT_TRANSLATE_NOOP("form_settings", "Choose folder")},
        {command_add_folder, QT_TRANSLATE_NOOP("form_settings", "Add datasource")},
        {Command_del_folder, QT_TRANSLATE_NOOP("form_settings", "delete selected datasource")},
        {command_test, QT_TRANSLATE_NOOP("form_settings", "Test performance of selected folder")},
        {check_startweek, QT_TRANSLATE_NOOP("form_settings", "Weekview at startup")},
        {check_pos, QT_TRANSLATE_NOOP("form_settings", "one row per color")},
        {check_reminder_window, QT_TRANSLATE_NOOP("form_settings", "Show notification window")},
        {check_desktop_notification, QT_TRANSLATE_NOOP("form_settings", "Desktop notification")},
        {check_play_sound, QT_TRANSLATE_NOOP("form_settings", "Play sound")},
        {command_browse_sound, QT_TRANSLATE_NOOP("form_settings", "Choose soundfile")},
        {command_play_sound, QT_TRANSLATE_NOOP("form_settings", "Test soundfile")},
        {check_send_email, QT_TRANSLATE_NOOP("form_settings", "Send notification email")},
        {command_test_email, QT_TRANSLATE_NOOP("form_settings", "Send test email")},
        {command_default, QT_TRANSLATE_NOOP("form_settings", "Default Colors")},
        {command_cancel, QT_TRANSLATE_NOOP("form_settings", "Cancel")},
    };
    for (const auto& caption : captions)
        caption.button->setText(text(caption.source));
    m_syncPage->setLanguage(m_lang);
    m_teamPage->setLanguage(m_lang);
}

int form_settings::currentPage() const
{
    return tabs->SelectedIndex();
}

void form_settings::offerRooms(const QStringList& names)
{
    m_offeredRooms = names;
    m_teamPage->addRooms(names);
    showPage(kTeamPage);
}

void form_settings::offerCategories(const QStringList& used)
{
    m_teamPage->categories().setUsed(used);
}

void form_settings::showPage(int index)
{
    if (index < 0 || index >= kPages)
        return;
    tabs->setSelectedIndex(index);
    for (int page = 0; page < kPages; ++page)
        frame_settings[size_t(page)]->setVisible(page == index);
    command_default->setVisible(index == 4);
}

void form_settings::showColor(int row)
{
    QLineEdit* box = text_color[size_t(row)];
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, ColorOfRgbValue(m_colors[size_t(row)]));
    box->setPalette(palette);
}

void form_settings::command_browse_settings_Click()
{
    BrowseForFolder(this,
                    text(QT_TRANSLATE_NOOP("form_settings", "Select folder to save settings:")),
                    [this](const QString& folder) {
                        if (!folder.isEmpty())
                            text_settings->setText(QDir::toNativeSeparators(
                                WithTrailingSeparator(folder) + QStringLiteral("Norvane4.ini")));
                    });
}

void form_settings::command_add_folder_Click()
{
    BrowseForFolder(this, text(QT_TRANSLATE_NOOP("form_settings", "Select data folder:")),
                    [this](const QString& chosen) {
                        if (chosen.isEmpty())
                            return;
                        const QString folder = WithTrailingSeparator(chosen);
                        // Whatever the test shows, the folder is added.
                        if (m_hooks.testFolder)
                            m_hooks.testFolder(this, folder, m_lang);
                        list_folders->addItem(folder);
                    });
}

void form_settings::Command_del_folder_Click()
{
    delete list_folders->currentItem();
}

void form_settings::command_test_Click()
{
    if (QListWidgetItem* item = list_folders->currentItem(); item && m_hooks.testFolder)
        m_hooks.testFolder(this, WithTrailingSeparator(item->text()), m_lang);
}

void form_settings::command_browse_color_Click(int row)
{
    PickColor(this, ColorOfRgbValue(m_colors[size_t(row)]), [this, row](qint64 chosen) {
        if (chosen == kNoColorChosen)
            return;
        m_colors[size_t(row)] = chosen;
        showColor(row);
    });
}

void form_settings::command_default_Click()
{
    for (int row = 0; row < 14; ++row) {
        m_colors[size_t(row)] = Settings::DefaultColor(row + 1);
        showColor(row);
    }
}

void form_settings::command_ok_Click()
{
    if (m_busy)
        return;
    if (combo_start_time->currentIndex() >= combo_end_time->currentIndex()) {
        tell(text(QT_TRANSLATE_NOOP("form_settings",
                                    "The start time of the day must be prior to the end time.")));
        showPage(2);
        return;
    }
    const QString chosenPath = QDir::fromNativeSeparators(text_settings->text());
    setBusy(true);
    askAboutExistingSettings(chosenPath, [this, chosenPath](ExistingSettingsAnswer answer) {
        switch (answer) {
        case kBackToWindow:
            setBusy(false);
            return;
        case kUseStored:
            takeStoredSettings(chosenPath);
            return;
        case kReplaceStored:
            saveWindowSettings(chosenPath);
            return;
        }
    });
}

void form_settings::saveWindowSettings(const QString& chosenPath)
{
    Settings& s = m_settings;
    s.setLangCode(m_lang);
    s.setFirstWeekday(combo_firstday->currentIndex() + 1);
    s.setFirstCW(combo_kw->currentIndex() + 1);
    s.setTimeFormat(combo_time_format->currentText());
    s.setDateFormat(combo_date_format->currentText().toUpper());
    s.setMinimizeToTray(check_minimize->isChecked());
    s.setStartWithWeek(check_startweek->isChecked());
    takePointerFields(chosenPath);
    const int refresh = kDayIntervals[qBound(0, combo_refresh->currentIndex(), 2)];
    s.setDayInterval(refresh);
    s.setMonthInterval(2 * refresh);
    s.setGridStartTime(TimeOfDay::fromMinutes(30 * combo_start_time->currentIndex()));
    s.setGridEndTime(TimeOfDay::fromMinutes(30 * combo_end_time->currentIndex()));
    for (int day = 0; day < 7; ++day)
        s.setShowWeek(day + 1, check_week_day[size_t(day)]->isChecked());
    s.setGrid15Minutes(combo_grid->currentIndex() == 1);
    s.setShowWindow(check_reminder_window->isChecked());
    s.setDesktopNotification(check_desktop_notification->isChecked());
    s.setPlaySound(check_play_sound->isChecked());
    s.setSoundFile(text_sound_file->text());
    s.setSendEmail(check_send_email->isChecked());
    s.setEmailFrom(text_from->text());
    s.setEmailTo(text_to->text());
    s.setEmailSMTP(text_smtp->text());
    s.setEmailSubject(text_subject->text());
    for (int n = 1; n <= 14; ++n) {
        s.setColorText(n, text_color[size_t(n - 1)]->text());
        s.setColor(n, m_colors[size_t(n - 1)]);
    }
    s.setRowPerColor(check_pos->isChecked());
    s.setTeamMembers(m_teamPage->chosen());
    s.setTeamRooms(m_teamPage->chosenRooms());
    s.setTeamCategories(m_teamPage->categories().chosen());
    // One job: the account's section lands after the settings' own keys, never beside them.
    const SyncSettingsPage::Save sync = m_syncPage->chosen(s);
    m_jobs.run<bool>(
        this,
        [values = s, sync](ProfileCache& profiles) {
            return Settings(values, profiles).SaveSettings().ok &&
                   SyncSettingsPage::write(profiles, sync);
        },
        [this, sync](bool saved) {
            if (m_closed)
                return;
            if (!saved) {
                setBusy(false);
                tellNotSaved();
                return;
            }
            m_syncPage->saved(sync, [this](bool stored) {
                if (m_closed)
                    return;
                setBusy(false);
                if (stored)
                    accept();
                else // the Sync page says why
                    showPage(kSyncPage);
            });
        });
}

void form_settings::tellNotSaved()
{
    tell(text(QT_TRANSLATE_NOOP("form_settings", "The settings could not be saved.\r\n"
                                                 "Check your privileges and the access to the "
                                                 "settings-file.")));
}

void form_settings::takePointerFields(const QString& chosenPath)
{
    Settings& s = m_settings;
    s.setPath(chosenPath);
    s.ClearDataFolders();
    for (int i = 0; i < list_folders->count(); ++i)
        s.AddDataFolder(list_folders->item(i)->text());
    if (s.dataFolders().isEmpty())
        s.AddDataFolder(s.programDirectory());
}
