// Every window of the program, every page of it, in both languages: no text is cut, no
// control lies outside its window and every control has a name a screen reader reads. With
// NORVANE_SHOTS=DIR set, each page is also saved as a picture there (scripts/screenshots runs this
// at 100 % and 200 %).
#include "ShownLabels.h"
#include "TestFiles.h"
#include "edit/AppointmentEditing.h"
#include "edit/form_edit.h"
#include "exchange/form_export_ics.h"
#include "exchange/form_import_ics.h"
#include "print/form_print.h"
#include "profile/ProfileCache.h"
#include "remind/ApiMCI.h"
#include "remind/form_remind.h"
#include "remind/form_remind_list.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "settings_ui/form_lang.h"
#include "settings_ui/form_settings.h"
#include "store/ClassTermin.h"
#include "tools/form_import.h"
#include "tools/form_performance.h"
#include "ui/ClassTabs.h"
#include "views/form_info.h"
#include "views/form_main.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

int widestLine(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// Why a label's text does not show whole, or an empty string.
QString labelCut(const QLabel& label)
{
    if (label.text().isEmpty() || !label.pixmap().isNull())
        return {};
    const QRect room = label.contentsRect().adjusted(label.margin(), label.margin(),
                                                     -label.margin(), -label.margin());
    const QFontMetrics metrics = label.fontMetrics();
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    QString text = label.text();
    if (rich) {
        QTextDocument document;
        document.setDefaultFont(label.font());
        document.setHtml(text);
        text = document.toPlainText();
    }
    if (label.wordWrap()) {
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, text);
        return needed.height() > room.height() + 1 ? "wrapped text too tall" : QString();
    }
    return widestLine(metrics, text) > room.width() ? "text too wide" : QString();
}

QString buttonCut(const QAbstractButton& button)
{
    if (qobject_cast<const QCheckBox*>(&button) || qobject_cast<const QRadioButton*>(&button))
        return button.width() < button.sizeHint().width() ? "text too wide" : QString();
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
    const int needed =
        widestLine(button.fontMetrics(), ShownLabels::withoutAccessKey(button.text())) +
        (button.icon().isNull() ? 0 : button.iconSize().width() + 4);
    return button.width() < needed + margin ? "text too wide" : QString();
}

// Each visible text of page that does not show whole, or a control outside the window.
QStringList cutTexts(QWidget& window)
{
    QStringList cuts;
    const QRect inside = window.rect();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->width() <= 0)
            continue;
        QString why;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            why = labelCut(*label);
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            why = button->text().isEmpty() ? QString() : buttonCut(*button);
            text = button->text();
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            const int needed = group->fontMetrics().horizontalAdvance(group->title()) + 16;
            why = group->width() < needed ? "title too wide" : QString();
            text = group->title();
        }
        const QRect placed(widget->mapTo(&window, QPoint(0, 0)), widget->size());
        if (why.isEmpty() && !inside.contains(placed) && widget->parentWidget() == &window)
            why = "outside the window";
        if (!why.isEmpty())
            cuts << QStringLiteral("%1 \"%2\": %3").arg(widget->objectName(), text, why);
    }
    return cuts;
}

// Each control of page that a screen reader would read out without a name: what the user can
// press, type into, choose from or move to with Tab.
QStringList unnamedControls(QWidget& window)
{
    QStringList unnamed;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->width() <= 0)
            continue;
        const bool control =
            qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
            qobject_cast<QComboBox*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
            qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QTextEdit*>(widget) ||
            qobject_cast<QPlainTextEdit*>(widget) ||
            (widget->focusPolicy() & Qt::TabFocus && !widget->focusProxy());
        // A spin box's or combo box's own line edit is read as part of its box.
        QWidget* parent = widget->parentWidget();
        if (!control || qobject_cast<QScrollBar*>(widget) ||
            qobject_cast<QAbstractScrollArea*>(parent) || qobject_cast<QAbstractSpinBox*>(parent) ||
            qobject_cast<QComboBox*>(parent))
            continue;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
        if (iface && iface->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << QStringLiteral("%1 (%2)").arg(
                widget->objectName(), QLatin1String(widget->metaObject()->className()));
    }
    return unnamed;
}

class WindowGalleryTest : public ::testing::Test {
protected:
    WindowGalleryTest()
    {
        // A folder name long enough to crowd the side panel, on a share that is not there.
        missing = data.filePath("Team calendar of the Hamburg office (second floor)");
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=2\r\nFolder1=" + missing.toUtf8() +
                                  "\r\nFolder2=" + data.path().toUtf8() + "\r\n");
        TestFiles::putAppointment(data.path(), QDate::currentDate(), 9, "Budget review");
        holidays = data.filePath("holidays.txt");
        TestFiles::writeBytes(holidays, "[Germany 2027]\r\nNew Year's Day, 2027/01/01\r\n");
        ics = data.filePath("team.ics");
        TestFiles::writeBytes(ics, "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                                   "BEGIN:VEVENT\r\nUID:1\r\nDTSTAMP:20270101T000000Z\r\n"
                                   "DTSTART:20270104T090000\r\nDTEND:20270104T100000\r\n"
                                   "SUMMARY:Planning\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }
    ~WindowGalleryTest() override { Language::apply("en"); }

    void useLanguage(const QString& lang, const QString& timeFormat)
    {
        TestFiles::writeBytes(program.filePath("Norvane4.ini"),
                              "[International]\r\nLangCode=" + lang.toUtf8() + "\r\nTimeFormat=" +
                                  timeFormat.toUtf8() + "\r\n[Application]\r\nFirstStart=0\r\n");
        profiles.clear();
        settings.LoadActiveFolder();
        settings.LoadSettings();
        Language::apply(lang);
    }

    // Shows window, then every page of its tab and stacked widgets in turn.
    void look(QWidget& window, const QString& name)
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name.toStdString();
        check(window, name);
        const auto pages = [&](int count, const std::function<void(int)>& select) {
            for (int page = 1; page < count; ++page) {
                select(page);
                check(window, name + QLatin1Char('-') + QString::number(page));
            }
        };
        for (auto* tabs : window.findChildren<QTabWidget*>())
            pages(tabs->count(), [tabs](int page) { tabs->setCurrentIndex(page); });
        for (auto* tabs : window.findChildren<ClassTabs*>())
            pages(tabs->GetHeadercount(), [tabs](int page) {
                emit tabs->Change(tabs->Caption(page), page);
                emit tabs->Click(tabs->Caption(page), page);
                tabs->setSelectedIndex(page);
            });
        for (auto* stack : window.findChildren<QStackedWidget*>())
            if (!qobject_cast<QTabWidget*>(stack->parentWidget()))
                pages(stack->count(), [stack](int page) { stack->setCurrentIndex(page); });
    }
    void check(QWidget& window, const QString& page)
    {
        QCoreApplication::processEvents();
        const QString shot = qEnvironmentVariable("NORVANE_SHOTS");
        if (!shot.isEmpty())
            window.grab().save(QDir(shot).filePath(page + ".png"));
        const QStringList cuts = cutTexts(window);
        EXPECT_TRUE(cuts.isEmpty())
            << page.toStdString() << ":\n  " << cuts.join("\n  ").toStdString();
        const QStringList unnamed = unnamedControls(window);
        EXPECT_TRUE(unnamed.isEmpty()) << page.toStdString() << " has controls without a name:\n  "
                                       << unnamed.join("\n  ").toStdString();
    }

    QTemporaryDir program;
    QTemporaryDir data;
    QString missing;
    QString holidays;
    QString ics;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
};

TEST_F(WindowGalleryTest, EveryWindowShowsItsTextsWholeInBothLanguages)
{
    for (const char* lang : {"en", "de"}) {
        for (const char* hours : {"24h", "12h"}) {
            useLanguage(QLatin1String(lang), QLatin1String(hours));
            const QString tag = QStringLiteral("%1-%2-").arg(lang, hours);
            SCOPED_TRACE(tag.toStdString());
            StoreService service;
            service.setFolder(missing, 60);
            SettingsJobs settingsJobs(service.jobs());
            AppointmentEditing editing(service);
            form_main::Hooks mainHooks;
            mainHooks.message = [](QWidget*, const QString&, const QString&) {};
            form_main main(settings, settingsJobs, service, editing, mainHooks);
            main.Form_Load();
            ASSERT_TRUE(QTest::qWaitFor([&] { return service.idle(); }, 10000));
            look(main, tag + "main");
            service.shutDown();
            if (QLatin1String(hours) == QLatin1String("12h"))
                continue; // the other windows show no hours of the grid

            form_settings settingsWindow(settings, settingsJobs, {});
            ASSERT_TRUE(QTest::qWaitFor([&] { return !settingsWindow.isBusy(); }, 10000));
            look(settingsWindow, tag + "settings");
            ClassTermin appointment;
            appointment.setDatum(QDate::currentDate());
            appointment.setAttendees({"ATTENDEE;CN=Ben;PARTSTAT=NEEDS-ACTION:mailto:b@x"});
            form_edit editor(std::make_shared<EditHandOver>(
                                 EditHandOver{appointment, true, nullptr, {}, {}, {}}),
                             settings, "anna");
            look(editor, tag + "editor");
            form_print print(settings, service.jobs(), QDate::currentDate());
            look(print, tag + "print");
            form_export_ics exportWindow(settings, service.jobs(), QDate::currentDate());
            look(exportWindow, tag + "export");
            form_import_ics importIcs(settings, service.jobs(), ics);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !importIcs.isReading(); }, 10000));
            look(importIcs, tag + "import-ics");
            EXPECT_TRUE(importIcs.findChild<QLabel*>("label_datei")
                            ->text()
                            .startsWith(QLatin1String(lang) == QLatin1String("de")
                                            ? "team.ics enthält 1 Ereignis. Es wird"
                                            : "team.ics holds 1 event. It becomes"));
            form_import importHolidays(settings, service.jobs(), holidays);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !importHolidays.isReading(); }, 10000));
            look(importHolidays, tag + "import-holidays");
            form_performance speed(data.path(), QLatin1String(lang), service.jobs());
            look(speed, tag + "folder-test");
            form_info info(QLatin1String(lang), "anna");
            look(info, tag + "info");
            form_lang language(settings, settingsJobs, "1.0");
            look(language, tag + "language");
            SoundPlayer sound;
            form_remind reminder(settings, sound);
            appointment.setText("Budget review\nRoom 4");
            reminder.ShowData(appointment);
            look(reminder, tag + "reminder");
            form_remind_list reminders(settings);
            reminders.add(appointment);
            look(reminders, tag + "reminder-list");
        }
    }
}

} // namespace
