// The print window: its pages and texts in both languages, the planner lists, the no-printer
// message, the printer choice with the orientation question, the PDF export, and a share
// that stops answering meanwhile; the days a printout is drawn from.
#include "PrintFixture.h"
#include "StalledShare.h"
#include "print/RecordingCanvas.h"
#include "print/clsPrintDialog.h"
#include "print/form_print.h"
#include "service/FolderJobs.h"
#include "settings/Language.h"
#include "ui/ClassTabs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>

namespace {

const QDate kFriday(2003, 7, 4);

class FormPrintTest : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        settings.setDateFormat("dd.mm.yyyy");
        settings.setFirstWeekday(2);
        hooks.question = [this](QWidget*, const QString& title, const QString& text,
                                std::function<void(bool)> answer) {
            told << title + ": " + text;
            answer(answerYes);
        };
        hooks.error = [this](QWidget*, const QString&, const QString& text) { told << text; };
        hooks.pdfFileName = [this](QWidget*, std::function<void(const QString&)> chosen) {
            chosen(pdfFile);
        };
    }
    void TearDown() override { setPrintDialogAnswer({}); }

    template <typename T> T& child(form_print& w, const char* name)
    {
        return *w.findChild<T*>(QLatin1String(name));
    }
    // Whether the day, week and planner pages show.
    QList<bool> pages(form_print& w)
    {
        QList<bool> shown;
        for (const char* frame : {"frame_day", "frame_week", "frame_planer"})
            shown << child<QFrame>(w, frame).isVisibleTo(&w);
        return shown;
    }

    FolderJobs jobs;
    form_print::Hooks hooks;
    QStringList told;
    bool answerYes = false;
    QString pdfFile;
    QTemporaryDir out;
};

TEST_F(FormPrintTest, PagesTextsAndPlannerListsInBothLanguagesAndNoPrinterToPrintOn)
{
    // Without a printer the print window still opens and previews; printing says why not.
    ASSERT_TRUE(QPrinterInfo::availablePrinters().isEmpty()) << "the tests run without printers";
    bool done = false;
    OpenPrintWindow(nullptr, settings, jobs, kFriday, PrintPage::Day, form_print::Output::Printer,
                    hooks, [&] { done = true; });
    form_print* opened = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<form_print*>(top))
            opened = window;
    ASSERT_TRUE(opened && opened->isVisible());
    child<QPushButton>(*opened, "command_preview").click();
    EXPECT_TRUE(eventually([&] { return opened->findChild<QPrintPreviewDialog*>() != nullptr; }))
        << "the preview needs no printer";
    child<QPushButton>(*opened, "command_ok").click();
    EXPECT_EQ(told, QStringList{"There is no printer installed."});
    EXPECT_TRUE(opened->isVisible() && !done) << "the window stays for the preview";
    opened->reject();
    EXPECT_TRUE(eventually([&] { return done; }));
    told.clear();
    const auto english = qScopeGuard([] { Language::apply("en"); });
    // The language, the title, the pages' headers, the first month, the day's and the week's text.
    const QStringList languages[] = {
        {"en", "Norvane4 Print", "Dayprint", "Weekprint", "Planner", "January",
         "Print the view of the actually displayed day: \r\n\r\nFriday, 04.07.2003",
         "Print the view of the actually displayed week: \r\n\r\n30.06.2003 - 06.07.2003"},
        {"de", "Norvane4 Druck", "Tagesdruck", "Wochendruck", "Planer", "Januar",
         "Drucken Sie die Ansicht des aktuell dargestellten Tages: \r\n\r\nFreitag, 04.07.2003",
         "Drucken Sie die Ansicht der aktuell dargestellten Woche: \r\n\r\n30.06.2003 - "
         "06.07.2003"}};
    for (const QStringList& texts : languages) {
        settings.setLangCode(texts[0]);
        Language::apply(texts[0]);
        form_print w(settings, jobs, kFriday, form_print::Output::Printer, hooks);
        ClassTabs& tabs = child<ClassTabs>(w, "tabs");
        EXPECT_EQ((QStringList{
                      texts[0], w.windowTitle(), tabs.Caption(0), tabs.Caption(1), tabs.Caption(2),
                      child<QComboBox>(w, "combo_planer_month").itemText(0),
                      child<QLabel>(w, "label_day").text(), child<QLabel>(w, "label_week").text()}),
                  texts);
    }
    form_print w(settings, jobs, kFriday, form_print::Output::Printer, hooks);
    EXPECT_EQ(pages(w), (QList<bool>{true, false, false}));
    const QComboBox& years = child<QComboBox>(w, "combo_planer_year");
    EXPECT_EQ(years.count(), 21);
    EXPECT_EQ(years.itemText(0) + " " + years.currentText() + " " + years.itemText(20),
              "1993 2003 2013");
    EXPECT_EQ(child<QComboBox>(w, "combo_planer_month").currentIndex(), 6);
    w.SelectWeekPrint();
    EXPECT_EQ(pages(w), (QList<bool>{false, true, false}));
    EXPECT_EQ(w.chosenJob().kind, PrintJob::Week);
    w.setPersonFilter({"anna"});
    child<QCheckBox>(w, "check_week_persons").setChecked(true);
    EXPECT_EQ(std::make_pair(w.chosenJob().kind, w.chosenJob().persons),
              std::make_pair(PrintJob::WeekByPerson, QStringList{"anna"}));
    w.SelectMonthPrint();
    EXPECT_EQ(pages(w), (QList<bool>{false, false, true}));
    EXPECT_EQ(w.chosenJob().kind, PrintJob::MonthSheet);
    // The main window's list: the fourteen days it shows from the date on.
    w.SelectListPrint();
    EXPECT_EQ(pages(w), (QList<bool>{false, false, false}));
    const PrintJob list = w.chosenJob();
    EXPECT_EQ(std::make_tuple(list.kind, list.date, list.lastDate),
              std::make_tuple(PrintJob::List, kFriday, kFriday.addDays(13)));
}

TEST_F(FormPrintTest, TheOrientationQuestionDecidesHowThePrinterPrints)
{
    const struct {
        const char* page; // the week's or a check box of the page
        QPageLayout::Orientation chosen;
        bool yes;
        QPageLayout::Orientation printed;
        const char* asked; // the printout the question names; empty: not asked
    } rows[] = {
        {"", QPageLayout::Landscape, false, QPageLayout::Landscape, "the day print"},
        {"", QPageLayout::Landscape, true, QPageLayout::Portrait, "the day print"},
        {"week", QPageLayout::Portrait, true, QPageLayout::Landscape, "the week print"},
        {"week", QPageLayout::Landscape, true, QPageLayout::Landscape, ""},
        {"check_day_persons", QPageLayout::Portrait, true, QPageLayout::Landscape, "by person"},
    };
    store(kFriday, 9, 0, 10, 0, "Budget");
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        told.clear();
        answerYes = row.yes;
        const QString file = out.filePath(QStringLiteral("printer%1.pdf").arg(&row - rows));
        setPrintDialogAnswer([&](QPrintDialog& dialog) {
            dialog.printer()->setOutputFileName(file); // a printer that writes a file
            dialog.printer()->setPageOrientation(row.chosen);
            return int(QDialog::Accepted);
        });
        form_print w(settings, jobs, kFriday, form_print::Output::Printer, hooks);
        if (row.page == std::string("week"))
            w.SelectWeekPrint();
        else if (*row.page)
            child<QCheckBox>(w, row.page).setChecked(true);
        w.command_ok_Click();
        ASSERT_TRUE(eventually([&] { return !w.isBusy(); }));
        const bool asked = *row.asked;
        ASSERT_EQ(told.size(), asked ? 1 : 0);
        EXPECT_TRUE(!asked || told[0].startsWith("Printer Settings: You have selected"));
        EXPECT_TRUE(!asked || told[0].contains(QString("when printing ") + row.asked + "."));
        EXPECT_EQ(w.printer().pageLayout().orientation(), row.printed);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_GT(QFileInfo(file).size(), 0);
    }
    // A cancelled printer dialog prints nothing and leaves the window open for another try.
    setPrintDialogAnswer([](QPrintDialog&) { return int(QDialog::Rejected); });
    form_print w(settings, jobs, kFriday, form_print::Output::Printer, hooks);
    w.show();
    w.command_ok_Click();
    EXPECT_TRUE(w.isVisible());
}

TEST_F(FormPrintTest, ThePdfExportWritesTheChosenPrintoutOrSaysWhyNot)
{
    form_print w(settings, jobs, kFriday, form_print::Output::Pdf, hooks);
    EXPECT_EQ(child<QPushButton>(w, "command_ok").text(), "Export ...");
    child<ClassTabs>(w, "tabs").setSelectedIndex(2);
    child<QCheckBox>(w, "check_twomonths").setChecked(true);
    const PrintJob job = w.chosenJob();
    EXPECT_EQ(QString("%1 %2/%3 %4").arg(job.kind).arg(job.month).arg(job.year).arg(job.twoMonths),
              "2 7/2003 1");
    pdfFile = out.filePath("missing/plan.pdf");
    w.command_ok_Click();
    ASSERT_TRUE(eventually([&] { return !w.isBusy(); }));
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("The PDF file could not be written:\r\ncannot write "));
    EXPECT_NE(w.result(), QDialog::Accepted);
    pdfFile = out.filePath("plan.pdf");
    w.command_ok_Click();
    ASSERT_TRUE(eventually([&] { return !w.isBusy(); }));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_GT(QFileInfo(pdfFile).size(), 0);
}

TEST_F(FormPrintTest, AShareThatStopsAnsweringLeavesTheWindowAliveUntilItAnswers)
{
    store(kFriday, 9, 0, 10, 0, "Budget");
    StalledShare share;
    share.stall();
    pdfFile = out.filePath("day.pdf");
    FolderJobs stalledJobs(StalledFileAccess::maker(share));
    form_print w(settings, stalledJobs, kFriday, form_print::Output::Pdf, hooks);
    w.command_ok_Click();
    ASSERT_TRUE(eventually([&] { return share.held() == 1; })); // reading the day
    EXPECT_TRUE(timersRun());
    EXPECT_TRUE(w.isBusy());
    EXPECT_FALSE(child<QPushButton>(w, "command_ok").isEnabled());
    EXPECT_FALSE(QFileInfo::exists(pdfFile));
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w.isBusy(); }));
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(share.overdue(), 0);
    EXPECT_EQ(share.callsFromOwner(), 0);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed to look into the PDF";
    QProcess text;
    text.start("pdftotext", {pdfFile, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    EXPECT_TRUE(text.readAllStandardOutput().contains("Budget"));
}

TEST_F(FormPrintTest, ThePrintedDaysHoldEveryDayAPrintoutShows)
{
    const struct {
        PrintJob job;
        int firstWeekday;
        QList<int> hiddenWeekdays;
    } rows[] = {
        {PrintJob::day(kFriday), 1, {}},
        {PrintJob::week(kFriday), 1, {}},
        {PrintJob::week(kFriday), 2, {}},
        {PrintJob::week(QDate(2003, 7, 6)), 2, {2, 3}}, // a Sunday
        {PrintJob::week(kFriday), 2, {1, 2, 3, 4, 5, 6, 7}},
        {PrintJob::planner(7, 2003, true), 1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        settings.setFirstWeekday(row.firstWeekday);
        for (int weekday = 1; weekday <= 7; ++weekday)
            settings.setShowWeek(weekday, !row.hiddenWeekdays.contains(weekday));
        QList<QDate> asked;
        const auto days = [&](const QDate& date) {
            asked << date;
            return QList<TerminPtr>();
        };
        RecordingCanvas canvas;
        RunPrintJob(row.job, canvas, days, settings);
        const QList<QDate> printed = PrintedDays(row.job, settings);
        for (const QDate& date : asked)
            EXPECT_TRUE(printed.contains(date)) << date.toString().toStdString();
        if (row.job.kind == PrintJob::Week && row.hiddenWeekdays.isEmpty()) {
            EXPECT_EQ(printed.size(), 7);
            EXPECT_EQ(QSet<QDate>(asked.begin(), asked.end()).size(), 7);
        }
    }
}

} // namespace
