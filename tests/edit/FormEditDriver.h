#pragma once

// Drives the appointment editor in tests the way a user would.
#include "edit/form_edit.h"

#include "Drawing.h"
#include "FakeFileAccess.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "ui/ClassTabs.h"
#include "ui/PictureBox.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

namespace FormEditDriver {

inline const QString kLogin = QStringLiteral("bert");
inline const QString kStartMessage =
    QStringLiteral("The start time must be prior to the end time.");
inline const QDate kFriday(2003, 7, 4);

inline const auto hm = [](int hour, int minute) { return TimeOfDay::fromHourMinute(hour, minute); };
inline const auto hmText = [](TimeOfDay t) {
    return QString::asprintf("%02d:%02d", t.hour(), t.minute());
};

// One open editor.
class Editor {
public:
    explicit Editor(form_edit& dialog)
        : d(dialog)
    {
        d.setMessageShower([this](QWidget*, const QString& title, const QString& text) {
            messages << title + ": " + text;
        });
    }

    // Pickers opened once the text field has the focus keep theirs.
    void waitUntilReady()
    {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        ASSERT_TRUE(QTest::qWaitFor([this] { return text().hasFocus(); }));
    }

    template <typename T> T& child(const QString& name)
    {
        T* found = d.findChild<T*>(name);
        if (!found)
            throw std::runtime_error("no control " + name.toStdString());
        return *found;
    }
    QLineEdit& field(const QString& name) { return child<QLineEdit>(name); }
    QCheckBox& check(const QString& name) { return child<QCheckBox>(name); }
    QComboBox& combo(const QString& name) { return child<QComboBox>(name); }
    QLabel& label(const QString& name) { return child<QLabel>(name); }
    PictureBox& picture(const QString& name) { return child<PictureBox>(name); }
    QPlainTextEdit& text() { return child<QPlainTextEdit>("text_text"); }
    ClassTabs& tabs() { return child<ClassTabs>("tabs"); }

    void click(QWidget& widget) { QTest::mouseClick(&widget, Qt::LeftButton); }
    // A check box reacts on its indicator.
    void tick(const QString& name)
    {
        QCheckBox& box = check(name);
        QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box.height() / 2));
    }
    void ok() { click(child<QPushButton>("command_ok")); }
    void cancel() { click(child<QPushButton>("command_cancel")); }

    void showPage(int index)
    {
        const ClassTabs::HeaderSpan span = tabs().Span(index);
        PictureBox& strip = picture("pic_tabs");
        QTest::mouseClick(
            &strip, Qt::LeftButton, Qt::NoModifier,
            QPoint(PictureBox::toPixels((span.left + span.right) / 2), strip.height() / 2));
    }

    PictureBox& dropDownOf(const QString& fieldName)
    {
        static const QMap<QString, QString> named{{"text_am", "pic_datum"},
                                                  {"text_color", "pic_colors"}};
        return picture(named.value(fieldName, QString(fieldName).replace("text_", "pic_")));
    }

    // Clicks a day of the month the field's sheet opens on (Monday first).
    void pickDate(const QString& fieldName, const QDate& date)
    {
        click(field(fieldName));
        PictureBox& sheet = dropDownOf(fieldName);
        QTest::mouseClick(&sheet, Qt::LeftButton, Qt::NoModifier,
                          Drawing::pixelAt(Drawing::dayCentre(date, 2)));
        EXPECT_FALSE(sheet.isVisible()) << "a picked day closes the sheet";
    }

    // Types a time picker's step characters ('*' an hour later, '+' one interval...).
    void stepTime(const QString& fieldName, const QString& steps)
    {
        click(field(fieldName));
        PictureBox& clock = dropDownOf(fieldName);
        for (QChar c : steps)
            QTest::keyClick(&clock, c.toLatin1());
        QTest::keyClick(&clock, Qt::Key_Escape);
    }

    // Types into a field over what it shows and leaves it with the key.
    void typeInto(const QString& fieldName, const QString& typed, Qt::Key leave = Qt::Key_Tab)
    {
        QLineEdit& f = field(fieldName);
        f.setFocus();
        f.selectAll();
        QTest::keyClicks(&f, typed);
        QTest::keyClick(&f, leave);
    }

    form_edit& d;
    QStringList messages;
};

// The editor EditMe opened; nullptr when none is open.
inline form_edit* openEditor()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<form_edit*>(window); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

// A filing that holds each save until the test answers it; no other user changes anything.
class HeldFiler : public Filer {
public:
    void file(const ClassTermin& appointment, Filed done) override
    {
        sent << appointment;
        waiting = std::move(done);
    }
    void changeSinceLoaded(const ClassTermin&, Changed done) override { done({}); }

    // Answers the save waiting; a save that went names a file.
    void answer(const WriteOutcome& outcome)
    {
        ClassTermin filed = sent.last();
        if (outcome.ok)
            filed.setFilename("/data/y2003/m7/d4/1.nv3");
        std::exchange(waiting, nullptr)(outcome, filed);
    }

    QList<ClassTermin> sent;
    Filed waiting;
};

class FormEditTest : public ::testing::Test {
protected:
    FormEditTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
        settings.setTimeFormat("24h");
        settings.setDateFormat("dd.mm.yyyy");
        settings.setGrid15Minutes(true);
        settings.setFirstWeekday(2);
        for (int n = 1; n <= Settings::kColorCount; ++n)
            settings.setColorText(n, QStringLiteral("Colour %1").arg(n));
    }

    // 4 July 2003, 09:00 to 10:30, made by the current user.
    static std::shared_ptr<ClassTermin> appointment()
    {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(kFriday);
        a->setStartTime(hm(9, 0));
        a->setEndTime(hm(10, 30));
        a->setColorCode(1);
        a->setProducer(kLogin);
        a->setIsReminder(true);
        a->setRemindMinutes(5);
        a->setText("Budget");
        // As the day column makes it: a year either side.
        a->setRecurringStartDate(QDate(2002, 7, 4));
        a->setRecurringEndDate(QDate(2004, 7, 4));
        return a;
    }

    std::shared_ptr<ClassTermin> stored()
    {
        auto a = appointment();
        EXPECT_TRUE(filing.File(*a).ok);
        return a;
    }

    // Opens the real editor through the filing (or through another one) and lets drive act in
    // it; drive must end it. A saved appointment comes back into a as filed.
    AppointmentEditing::Result editThroughFiling(ClassTermin& a,
                                                 const std::function<void(Editor&)>& drive,
                                                 AppointmentEditing* through = nullptr)
    {
        std::optional<AppointmentEditing::Result> result;
        (through ? *through : editing).EditMe(a, true, [&](const AppointmentEditing::Result& r) {
            result = r;
        });
        form_edit* dialog = openEditor();
        if (!dialog) {
            ADD_FAILURE() << "the editor did not open";
            return {};
        }
        {
            Editor editor(*dialog);
            editor.waitUntilReady();
            drive(editor);
        }
        if (!result) {
            ADD_FAILURE() << "the editor is still open";
            dialog->reject();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (result && result->saved)
            a = result->appointment;
        return result.value_or(AppointmentEditing::Result());
    }

    // Runs body in English, then in German, the settings' language the same.
    void inBothLanguages(const std::function<void(bool german)>& body)
    {
        const auto english = qScopeGuard([] { Language::apply("en"); });
        for (const bool german : {false, true}) {
            SCOPED_TRACE(german ? "de" : "en");
            Language::apply(german ? "de" : "en");
            settings.setLangCode(german ? "de" : "en");
            body(german);
        }
    }

    QStringList appointmentFiles() const
    {
        QStringList files;
        QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(folder.size());
        return files;
    }

    QTemporaryDir data;
    QTemporaryDir program;
    FakeFileAccess::FlakyReads files; // reads as the disk does until told otherwise
    ProfileCache profiles{files};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    AppointmentFiling filing{store};
    AppointmentEditing editing{filing, form_edit::editorFor(settings, kLogin)};
    QString folder;
};

// An editor shown directly on a record, for what needs no file: OK leaves it in record().
class DirectEditor {
public:
    DirectEditor(const ClassTermin& a, Settings& settings, bool isNew = false)
        : handOver(std::make_shared<EditHandOver>(EditHandOver{a, isNew, nullptr, {}, {}, {}}))
        , dialog(handOver, settings, kLogin)
        , editor(dialog)
    {
        dialog.show();
        editor.waitUntilReady();
    }

    const ClassTermin& record() const { return handOver->appointment; }

    std::shared_ptr<EditHandOver> handOver;
    form_edit dialog;
    Editor editor;
};

} // namespace FormEditDriver
