// Texts from the share (appointment text, producer, file, colour and folder names) show as
// written wherever a widget would take them for markup, an access key or a title mark.
#include "AppointmentEditing.h"
#include "AppointmentFiling.h"
#include "ClassTermin.h"
#include "DataAccess.h"
#include "Settings.h"
#include "TestFiles.h"
#include "form_edit.h"
#include "form_main.h"
#include "form_tooltip.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QDateTime kNow(QDate(2003, 7, 9), QTime(10, 20));
const QString kHtml = QStringLiteral("<b>bold</b> & <a href='x'>link</a>");
// A directory name cannot hold '/'.
const QString kFolderHtml = QStringLiteral("<b>R&D [*] <i>team");

QString asHtml(const QString& text)
{
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

// What a label shows of its text.
QString shown(const QLabel* label)
{
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    return rich ? asHtml(label->text()) : label->text();
}

// What a tooltip shows: Qt decides by the text itself.
QString shownAsToolTip(const QString& tip)
{
    return Qt::mightBeRichText(tip) ? asHtml(tip) : tip;
}

// What a menu entry shows: "&" marks the access key, "&&" is one "&".
QString shownInMenu(const QString& text)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && ++i == text.size())
            break;
        result += text[i];
    }
    return result;
}

class PlainTextTest : public ::testing::Test {
protected:
    PlainTextTest()
    {
        folder = QDir(parent.path()).filePath(kFolderHtml);
        QDir().mkpath(folder);
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + folder.toUtf8() +
                                  "\r\n");
        TestFiles::writeBytes(
            program.filePath("Norvane4.ini"),
            "[International]\r\nLangCode=en\r\n[Application]\r\nFirstStart=0\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
        settings.setColorText(1, kHtml);

        appointment.setDatum(kNow.date());
        appointment.setStartTime(TimeOfDay::fromHourMinute(9, 0));
        appointment.setEndTime(TimeOfDay::fromHourMinute(10, 0));
        appointment.setColorCode(1);
        appointment.setText(kHtml);
        appointment.setProducer(kHtml);
        appointment.setFilename(DataAccess::DayDirectory(settings.GetDataFolder(), kNow.date()) +
                                QStringLiteral("12345.nv3"));
        EXPECT_TRUE(store.SaveAppointment(appointment).ok);
    }

    QTemporaryDir parent;
    QTemporaryDir program;
    QString folder;
    ProfileCache profiles{RealFileAccess::instance()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings, [] { return kNow; }};
    AppointmentFiling filing{store, settings};
    AppointmentEditing editing{filing};
    ClassTermin appointment;
};

TEST_F(PlainTextTest, TextsFromTheShareShowAsWritten)
{
    form_main window(settings, store, editing);
    window.setClock([] { return kNow; });
    window.Form_Load();
    window.findChild<QTimer*>("Global_timer")->stop();
    const QLabel* dayLabel = nullptr;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (label->property("tag") == QStringLiteral("1|1"))
            dayLabel = label;
    ASSERT_NE(dayLabel, nullptr);

    form_tooltip tooltip;
    tooltip.SetAppointment(appointment, "en", "24h", "yyyy-mm-dd");

    EditHandOver handOver{&appointment, false, false};
    form_edit editor(handOver, settings, QStringLiteral("bert"));
    const auto editorLabel = [&](const char* name) {
        return shown(editor.findChild<QLabel*>(QLatin1String(name)));
    };

    const struct {
        const char* place;
        std::function<QString()> shown;
        QString written;
    } places[] = {
        {"day column label", [&] { return shown(dayLabel); }, kHtml},
        {"day column tooltip", [&] { return shownAsToolTip(dayLabel->toolTip()); }, kHtml},
        {"tooltip window text", [&] { return shown(tooltip.findChild<QLabel*>("label_text")); },
         kHtml},
        {"tooltip window producer",
         [&] { return shown(tooltip.findChild<QLabel*>("label_producer")); }, kHtml},
        {"editor producer", [&] { return editorLabel("label_producer"); }, kHtml},
        {"editor file", [&] { return editorLabel("label_file"); }, appointment.filename()},
        {"editor colour name", [&] { return editorLabel("label_color_array_0"); }, kHtml},
        {"data folder menu",
         [&] {
             const QList<QAction*> entries = window.findChild<QMenu*>("mnu_datafolder")->actions();
             return entries.isEmpty() ? QString() : shownInMenu(entries.first()->text());
         },
         kFolderHtml},
        {"data source label",
         [&] {
             return shown(window.findChild<QLabel*>("label_datasource"))
                 .section(QLatin1Char('\n'), 0, 0);
         },
         QStringLiteral("Datasource: ") + kFolderHtml},
        {"window title", [&] { return window.windowHandle()->title(); },
         QStringLiteral("Norvane 4  -  ") + kFolderHtml},
    };
    for (const auto& place : places)
        EXPECT_EQ(place.shown().toStdString(), place.written.toStdString()) << place.place;
}

} // namespace
