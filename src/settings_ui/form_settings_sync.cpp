#include "settings_ui/form_settings_sync.h"

#include "settings/Language.h"
#include "settings/Settings.h"
#include "settings_ui/SyncCalendarList.h"
#include "sync/PasswordStore.h"
#include "threads/WorkerThread.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimeZone>

namespace {

const char* const kContext = "SyncSettingsPage";
const int kIntervals[] = {0, 15, 30, 60};              // minutes; 0: only "Sync now"
const int kSubscriptionIntervals[] = {0, 30, 60, 240}; // minutes; 0: never

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

SyncSettingsPage::SyncSettingsPage(const Settings& settings, QWidget* parent)
    : QWidget(parent)
    , m_lang(settings.LangCode())
    , m_programDirectory(settings.programDirectory())
    , m_settingsFile(settings.Path())
    , m_test(testConnection)
    , m_lister(listCalendars)
    , m_cancel(std::make_shared<std::atomic<bool>>(false))
    , m_worker(std::make_unique<WorkerThread>(QStringLiteral("sync settings")))
{
    setObjectName(QStringLiteral("page_sync"));
    m_calendars = new SyncCalendarList(settings.dataFolders(), settings.GetDataFolder(), this);
    build();
    setLanguage(m_lang);
}

SyncSettingsPage::~SyncSettingsPage()
{
    m_cancel->store(true);
}

QString SyncSettingsPage::text(const char* source) const
{
    return Language::translate(kContext, source, m_lang);
}

void SyncSettingsPage::build()
{
    // The calendars' list makes the page taller than the window: it scrolls.
    auto* scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus); // it shows the focused field on its own
    scroll->setWidgetResizable(true);
    scroll->setWidget(new QWidget(scroll));
    (new QVBoxLayout(this))->addWidget(scroll);
    layout()->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout(scroll->widget());
    grid->setContentsMargins(0, 0, 0, 0);
    const auto row = [&](const char* labelName, const char* source, QWidget* input) {
        auto* label = named(new QLabel(this), labelName);
        label->setProperty("source", QByteArray(source));
        m_labels << label;
        label->setBuddy(input); // the field's name for a screen reader
        const int r = grid->rowCount();
        grid->addWidget(label, r, 0);
        grid->addWidget(input, r, 1);
    };
    row("label_sync_url", QT_TRANSLATE_NOOP("SyncSettingsPage", "Server URL:"),
        text_sync_url = named(new QLineEdit(this), "text_sync_url"));
    row("label_sync_user", QT_TRANSLATE_NOOP("SyncSettingsPage", "User:"),
        text_sync_user = named(new QLineEdit(this), "text_sync_user"));
    row("label_sync_password", QT_TRANSLATE_NOOP("SyncSettingsPage", "Password:"),
        text_sync_password = named(new QLineEdit(this), "text_sync_password"));
    row("label_sync_zone", QT_TRANSLATE_NOOP("SyncSettingsPage", "Calendar's time zone:"),
        combo_sync_zone = named(new QComboBox(this), "combo_sync_zone"));
    row("label_sync_interval", QT_TRANSLATE_NOOP("SyncSettingsPage", "Sync automatically:"),
        combo_sync_interval = named(new QComboBox(this), "combo_sync_interval"));
    row("label_subscription_interval",
        QT_TRANSLATE_NOOP("SyncSettingsPage", "Refresh subscriptions:"),
        combo_subscription_interval = named(new QComboBox(this), "combo_subscription_interval"));
    text_sync_password->setEchoMode(QLineEdit::Password);
    text_sync_url->setPlaceholderText(QStringLiteral("https://"));
    auto* commands = new QHBoxLayout;
    commands->addWidget(command_sync_test = named(new QPushButton(this), "command_sync_test"));
    commands->addWidget(command_sync_calendars =
                            named(new QPushButton(this), "command_sync_calendars"));
    commands->addStretch(1);
    grid->addLayout(commands, grid->rowCount(), 1);
    grid->addWidget(m_calendars, grid->rowCount(), 0, 1, 2);
    label_sync_result = named(new QLabel(this), "label_sync_result");
    label_sync_result->setWordWrap(true);
    label_sync_result->setTextFormat(Qt::PlainText);
    label_sync_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(label_sync_result, grid->rowCount(), 0, 1, 2);
    label_sync_note = named(new QLabel(this), "label_sync_note");
    label_sync_note->setWordWrap(true);
    label_sync_note->setTextFormat(Qt::PlainText); // it names a path
    grid->addWidget(label_sync_note, grid->rowCount(), 0, 1, 2);
    grid->setRowStretch(grid->rowCount(), 1);
    grid->setColumnStretch(1, 1);
    connect(text_sync_password, &QLineEdit::textEdited, this, [this] { m_passwordEdited = true; });
    connect(command_sync_test, &QPushButton::clicked, this,
            &SyncSettingsPage::command_sync_test_Click);
    connect(command_sync_calendars, &QPushButton::clicked, this,
            &SyncSettingsPage::command_sync_calendars_Click);
}

namespace {

// The choices of an interval, and the one of the file set by hand among them.
template <size_t N> void fillIntervals(QComboBox* combo, const int (&choices)[N], int saved)
{
    combo->clear();
    for (const int minutes : choices)
        combo->addItem(QString(), minutes);
    if (combo->findData(saved) < 0)
        combo->addItem(QString(), saved);
    combo->setCurrentIndex(combo->findData(saved));
}

} // namespace

void SyncSettingsPage::showSaved(const QString& settingsFile, const SyncSettings& saved)
{
    m_settingsFile = settingsFile;
    m_saved = saved;
    text_sync_url->setText(saved.url);
    text_sync_user->setText(saved.user);
    fillIntervals(combo_sync_interval, kIntervals, saved.intervalMinutes);
    fillIntervals(combo_subscription_interval, kSubscriptionIntervals, saved.subscriptionMinutes);
    // An account of before the zone was asked for has always synced in the machine's.
    const QString zone = saved.timeZone.isEmpty() ? QString::fromUtf8(QTimeZone::systemTimeZoneId())
                                                  : saved.timeZone;
    if (combo_sync_zone->count() == 0) {
        for (const QByteArray& id : QTimeZone::availableTimeZoneIds())
            combo_sync_zone->addItem(QString::fromUtf8(id));
    }
    if (combo_sync_zone->findText(zone) < 0) // set by hand in the file
        combo_sync_zone->addItem(zone);
    combo_sync_zone->setCurrentIndex(combo_sync_zone->findText(zone));
    m_calendars->showPairs(saved.pairs);
    setLanguage(m_lang);
    if (saved.url.isEmpty())
        return;
    m_worker->post(
        [store = PasswordStore(m_programDirectory), saved, reply = m_worker->replies(), this] {
            const PasswordStore::Found found = store.find(saved.url, saved.user);
            reply([this, found, file = store.filePath()] {
                m_passwordLookedUp = true;
                m_passwordInFile = found.where == PasswordStore::Where::File;
                m_passwordFile = file;
                showPasswordNote();
                if (!m_passwordEdited)
                    text_sync_password->setText(found.password);
            });
        });
}

void SyncSettingsPage::setLanguage(const QString& langCode)
{
    m_lang = langCode;
    for (QLabel* label : std::as_const(m_labels))
        label->setText(text(label->property("source").toByteArray().constData()));
    for (QComboBox* combo : {combo_sync_interval, combo_subscription_interval}) {
        for (int i = 0; i < combo->count(); ++i) {
            const int minutes = combo->itemData(i).toInt();
            combo->setItemText(
                i,
                minutes == 0
                    ? text(QT_TRANSLATE_NOOP("SyncSettingsPage", "off"))
                    : text(QT_TRANSLATE_NOOP("SyncSettingsPage", "every %1 minutes")).arg(minutes));
        }
    }
    command_sync_test->setText(text(QT_TRANSLATE_NOOP("SyncSettingsPage", "Test connection")));
    command_sync_calendars->setText(
        text(QT_TRANSLATE_NOOP("SyncSettingsPage", "List the account's calendars")));
    m_calendars->setLanguage(langCode);
    showTestResult();
    showPasswordNote();
}

void SyncSettingsPage::showPasswordNote()
{
    if (!m_passwordError.isNull()) {
        label_sync_note->setText(
            text(QT_TRANSLATE_NOOP("SyncSettingsPage", "The password could not be stored: %1"))
                .arg(m_passwordError));
        return;
    }
    label_sync_note->setText(
        m_passwordInFile
            ? text(QT_TRANSLATE_NOOP("SyncSettingsPage",
                                     "No password store of the desktop answered, so the password "
                                     "is kept in %1, which only you can read; never in the "
                                     "settings file."))
                  .arg(QDir::toNativeSeparators(m_passwordFile))
            : text(QT_TRANSLATE_NOOP("SyncSettingsPage",
                                     "The password is kept in the desktop's password store, never "
                                     "in the settings file.")));
}

template <typename Ask, typename Take>
void SyncSettingsPage::askServer(QPushButton* button, Ask ask, Take take)
{
    if (m_testing)
        return;
    m_testing = true;
    m_testResult.reset();
    button->setEnabled(false);
    showTestResult();
    m_worker->post([ask = std::move(ask), take = std::move(take), account = shownAccount(),
                    cancel = m_cancel, reply = m_worker->replies(), button, this] {
        SyncOptions options;
        options.cancel = cancel.get();
        reply([this, button, take, answer = ask(account, options)] {
            m_testing = false;
            button->setEnabled(true);
            take(answer);
            showTestResult();
        });
    });
}

void SyncSettingsPage::command_sync_test_Click()
{
    askServer(command_sync_test, m_test,
              [this](const SyncResult& result) { m_testResult = result; });
}

SyncAccount SyncSettingsPage::shownAccount() const
{
    return {text_sync_url->text().trimmed(), text_sync_user->text().trimmed(),
            text_sync_password->text()};
}

void SyncSettingsPage::command_sync_calendars_Click()
{
    askServer(command_sync_calendars, m_lister, [this](const CalendarListing& listing) {
        if (listing.ok) {
            // Before a first listing the settings' pairs, the account's URL alone among them.
            const QList<SyncPair> paired = m_calendars->pairs();
            m_calendars->showListing(listing.calendars, paired.isEmpty() ? m_saved.pairs : paired);
            return;
        }
        SyncResult failed;
        failed.exit = SyncResult::Exit::Failed;
        failed.error = listing.error;
        m_testResult = failed;
    });
}

void SyncSettingsPage::showTestResult()
{
    if (m_testing) {
        label_sync_result->setText(text(QT_TRANSLATE_NOOP("SyncSettingsPage", "Connecting...")));
        return;
    }
    if (!m_testResult) {
        label_sync_result->clear();
        return;
    }
    const SyncResult& result = *m_testResult;
    QString shown =
        result.ok()
            ? text(QT_TRANSLATE_NOOP("SyncSettingsPage", "Connected: %1")).arg(result.collection)
            : text(QT_TRANSLATE_NOOP("SyncSettingsPage", "No connection: %1")).arg(result.error);
    for (const QString& candidate : result.candidates)
        shown += u'\n' + candidate;
    label_sync_result->setText(shown);
}

SyncSettingsPage::Save SyncSettingsPage::chosen(const QString& settingsFile) const
{
    Save save{settingsFile, m_saved, false, {}};
    SyncSettings& chosen = save.settings;
    chosen.url = text_sync_url->text().trimmed();
    chosen.user = text_sync_user->text().trimmed();
    chosen.intervalMinutes = combo_sync_interval->currentData().toInt();
    chosen.subscriptionMinutes = combo_subscription_interval->currentData().toInt();
    // Set up with an account, the zone is written down: the sync then keeps it wherever it runs.
    if (!chosen.url.isEmpty())
        chosen.timeZone = combo_sync_zone->currentText();
    // One calendar with the active folder is what the account's URL alone says, as older copies
    // read it: the URL becomes the calendar's (its password goes with it). Nothing listed: the
    // account's URL names its one calendar, as ever.
    const QList<SyncPair> listed = m_calendars->pairs();
    const bool single =
        listed.size() == 1 && listed.first().folder.isEmpty() && !listed.first().readOnly;
    if (single)
        chosen.url = listed.first().url;
    chosen.pairs = !single && !listed.isEmpty() ? listed
                   : chosen.url.isEmpty()       ? QList<SyncPair>()
                                                : QList{SyncPair::asEver(chosen.url)};
    save.newFolders = m_calendars->newFolders();
    save.write = chosen.url != m_saved.url || chosen.user != m_saved.user ||
                 chosen.intervalMinutes != m_saved.intervalMinutes ||
                 chosen.subscriptionMinutes != m_saved.subscriptionMinutes ||
                 chosen.timeZone != m_saved.timeZone || chosen.pairs != m_saved.pairs ||
                 (settingsFile != m_settingsFile && !chosen.url.isEmpty());
    return save;
}

SyncSettingsPage::Save SyncSettingsPage::chosen(Settings& values) const
{
    Save save = chosen(values.Path());
    for (const QString& folder : std::as_const(save.newFolders))
        values.AddDataFolder(folder);
    if (save.write)
        values.setCalendarZone(save.settings.timeZone);
    return save;
}

bool SyncSettingsPage::write(ProfileCache& profiles, const Save& save, QString* error)
{
    for (const QString& folder : save.newFolders) {
        if (!profiles.files().makePath(folder)) {
            if (error)
                *error = QDir::toNativeSeparators(folder);
            return false;
        }
    }
    return !save.write || writeSyncSettings(profiles, save.settingsFile, save.settings, error);
}

void SyncSettingsPage::saved(const Save& save, std::function<void(bool stored)> done)
{
    const SyncSettings& chosen = save.settings;
    const bool accountChanged = chosen.url != m_saved.url || chosen.user != m_saved.user;
    // The password shown goes along with a changed account once it is known.
    const bool storePassword = m_passwordEdited || (accountChanged && m_passwordLookedUp);
    m_saved = chosen;
    m_settingsFile = save.settingsFile;
    if (!storePassword) {
        done(true);
        return;
    }
    m_worker->post([store = PasswordStore(m_programDirectory), chosen,
                    password = text_sync_password->text(), reply = m_worker->replies(), this,
                    done = std::move(done)] {
        QString error;
        const std::optional<PasswordStore::Where> where =
            store.store(chosen.url, chosen.user, password, &error);
        reply([this, where, error, file = store.filePath(), done] {
            // Not stored, it stays edited: the next OK tries again.
            m_passwordEdited = !where;
            m_passwordError = where ? QString() : error;
            if (where) {
                m_passwordInFile = *where == PasswordStore::Where::File;
                m_passwordFile = file;
            }
            showPasswordNote();
            done(where.has_value());
        });
    });
}
