#include "print/form_print.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "print/Druck.h"
#include "print/PainterCanvas.h"
#include "profile/ProfileCache.h"
#include "service/FolderJobs.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"
#include "threads/WorkerThread.h"
#include "ui/ApiOpenSave.h"
#include "ui/ClassTabs.h"
#include "ui/MousePointer.h"
#include "ui/PictureBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum Page { kDayPage, kWeekPage, kPlannerPage, kListPage, kPageCount };

// Sketches of the three printouts beside their descriptions.
QPixmap sketch(Page page)
{
    const bool portrait = page == kDayPage || page == kListPage;
    QPixmap pixmap(portrait ? 56 : 76, portrait ? 76 : 56);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QRectF sheet = QRectF(pixmap.rect()).adjusted(1, 1, -2, -2);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.setPen(QColor(170, 170, 170));
    const QRectF inner = sheet.adjusted(6, 10, -5, -6);
    if (page == kPlannerPage) {
        for (qreal x = inner.left(); x <= inner.right(); x += 2.2)
            p.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));
    } else {
        for (qreal y = inner.top(); y <= inner.bottom(); y += 5)
            p.drawLine(QPointF(inner.left(), y), QPointF(inner.right(), y));
        const int columns = page == kWeekPage ? 5 : 1;
        p.setPen(QColor(60, 60, 60));
        for (int c = 1; c < columns; ++c) {
            const qreal x = inner.left() + c * inner.width() / columns;
            p.drawLine(QPointF(x, inner.top()), QPointF(x, inner.bottom()));
        }
        p.fillRect(QRectF(inner.left() + 3, inner.top() + 10, inner.width() / columns - 6, 12),
                   QColor(255, 230, 150));
    }
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::NoBrush);
    p.drawRect(inner);
    return pixmap;
}

QLabel* label(QWidget* parent, const char* name, bool bold = false)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    if (bold) {
        QFont font = l->font();
        font.setBold(true);
        l->setFont(font);
    }
    return l;
}

// The preview's printer, gone with the preview.
class PreviewPrinter : public QObject {
public:
    QPrinter printer{QPrinter::HighResolution};
};

// A message box over owner that closes itself.
QMessageBox* openBox(QMessageBox::Icon icon, QWidget* owner, const QString& title,
                     const QString& text, QMessageBox::StandardButtons buttons)
{
    auto* box = new QMessageBox(icon, title, text, buttons, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText); // it may name paths
    box->open();
    return box;
}

} // namespace

form_print::form_print(Settings& settings, FolderJobs& jobs, const QDate& printDate, Output output,
                       Hooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_printDate(printDate)
    , m_output(output)
    , m_hooks(std::move(hooks))
    , m_jobs(jobs)
    , m_worker(jobs.thread(QStringLiteral("Print")))
{
    if (!m_hooks.question)
        m_hooks.question = [](QWidget* owner, const QString& title, const QString& text,
                              std::function<void(bool)> answer) {
            QMessageBox* box = openBox(QMessageBox::Question, owner, title, text,
                                       QMessageBox::Yes | QMessageBox::No);
            connect(box, &QDialog::finished, box, [box, answer = std::move(answer)] {
                answer(box->clickedButton() == box->button(QMessageBox::Yes));
            });
        };
    if (!m_hooks.error)
        m_hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            openBox(QMessageBox::Critical, owner, title, text, QMessageBox::Ok);
        };
    if (!m_hooks.pdfFileName)
        m_hooks.pdfFileName = [](QWidget* owner, std::function<void(const QString&)> chosen) {
            QString filter;
            AddFileFilter(filter, tr("PDF documents"), QStringLiteral("*.pdf"));
            ShowFileDialog(owner, filter, 1, {}, QStringLiteral(".pdf"), QString(),
                           tr("Export as PDF"), QString(), false,
                           [chosen = std::move(chosen)](const QString& path, QFileDialog::Options) {
                               chosen(path);
                           });
        };
    Form_Load();
}

form_print::~form_print()
{
    *m_closed = true;
    setBusy(false);
}

void form_print::Form_Load()
{
    setObjectName(QStringLiteral("form_print"));
    setFixedSize(PictureBox::toPixels(6480), PictureBox::toPixels(4365));
    pic_tab = new PictureBox(this);
    pic_tab->setObjectName(QStringLiteral("pic_tab"));
    pic_tab->setBackColor(palette().color(QPalette::Window));
    pic_tab->setDrawFont(font());
    pic_tab->setGeometry(8, 8, width() - 16, 24);
    tabs = new ClassTabs(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->Bind(pic_tab);

    const bool pdf = m_output == Output::Pdf;
    setWindowTitle(pdf ? tr("Norvane4 Export as PDF") : tr("Norvane4 Print"));
    tabs->AddHeader(tr("Dayprint"), false, Qt::black);
    tabs->AddHeader(tr("Weekprint"), false, Qt::black);
    tabs->AddHeader(tr("Planner"), false, Qt::black);
    tabs->AddHeader(tr("Appointment list"), false, Qt::black);
    connect(tabs, &ClassTabs::Change, this, &form_print::tabs_Click);

    const QString lang = m_settings.LangCode();
    const QString twoBreaks = QStringLiteral("\r\n\r\n");
    const char* frameNames[] = {"frame_day", "frame_week", "frame_planer", "frame_list"};
    const char* headerNames[] = {"label_day_header", "label_week_header", "label_planer_header",
                                 "label_list_header"};
    const char* adviceNames[] = {"label_hochformat", "label_querformat2", "label_querformat1",
                                 "label_hochformat2"};
    const QString headers[] = {tr("Print Dayview"), tr("Print Weekview"), tr("Print month planner"),
                               tr("Print appointment list")};
    const QString advice[] = {tr("Recommended: Portrait"), tr("Recommended: Landscape"),
                              tr("Recommended: Landscape"), tr("Recommended: Portrait")};
    const char* descriptionNames[] = {"label_day", "label_week", "label_planer", "label_list"};
    QLabel* descriptions[kPageCount];
    for (int page = 0; page < kPageCount; ++page) {
        QFrame* frame = frames[page] = new QFrame(this);
        frame->setObjectName(QLatin1String(frameNames[page]));
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setGeometry(8, 31, width() - 16, height() - 31 - 44);
        auto* picture = new QLabel(frame);
        picture->setObjectName(QStringLiteral("Picture%1").arg(page + 1));
        picture->setPixmap(sketch(Page(page)));
        picture->setGeometry(12, 12, 80, 80);
        auto* column = new QVBoxLayout;
        auto* header = label(frame, headerNames[page], true);
        header->setText(headers[page]);
        column->addWidget(header);
        descriptions[page] = label(frame, descriptionNames[page]);
        column->addWidget(descriptions[page]);
        if (page == kPlannerPage) {
            auto* choice = new QHBoxLayout;
            combo_planer_year = new QComboBox(frame);
            combo_planer_year->setObjectName(QStringLiteral("combo_planer_year"));
            combo_planer_month = new QComboBox(frame);
            combo_planer_month->setObjectName(QStringLiteral("combo_planer_month"));
            choice->addWidget(combo_planer_year);
            choice->addWidget(combo_planer_month, 1);
            column->addLayout(choice);
            check_twomonths = new QCheckBox(tr("display 2 months (incl. next month)"), frame);
            check_twomonths->setObjectName(QStringLiteral("check_twomonths"));
            column->addWidget(check_twomonths);
            // The month as the month view shows it, instead of the empty planner.
            check_appointments = new QCheckBox(tr("print the month with its appointments"), frame);
            check_appointments->setObjectName(QStringLiteral("check_appointments"));
            column->addWidget(check_appointments);
            connect(check_appointments, &QCheckBox::toggled, check_twomonths,
                    &QCheckBox::setDisabled);
        }
        if (page == kDayPage || page == kWeekPage) {
            QCheckBox*& byPerson = page == kDayPage ? check_day_persons : check_week_persons;
            byPerson = new QCheckBox(page == kDayPage ? tr("one lane per person, side by side")
                                                      : tr("a row per person, a column per day"),
                                     frame);
            byPerson->setObjectName(
                QLatin1String(page == kDayPage ? "check_day_persons" : "check_week_persons"));
            column->addWidget(byPerson);
        }
        if (page == kListPage) {
            auto* range = new QHBoxLayout;
            for (QDateEdit** edit : {&date_list_from, &date_list_to}) {
                *edit = new QDateEdit(frame);
                (*edit)->setCalendarPopup(true);
                (*edit)->setDisplayFormat(DateEditFormat(m_settings.DateFormat()));
                range->addWidget(*edit, 1);
            }
            date_list_from->setObjectName(QStringLiteral("date_list_from"));
            date_list_to->setObjectName(QStringLiteral("date_list_to"));
            date_list_from->setAccessibleName(tr("First day of the list"));
            date_list_to->setAccessibleName(tr("Last day of the list"));
            column->addLayout(range);
            // The last day never before the first, the list never over a year and a day.
            connect(date_list_from, &QDateEdit::dateChanged, this, [this](const QDate& from) {
                date_list_to->setDateRange(from, from.addDays(kMaxListDays - 1));
            });
            date_list_from->setDate(m_printDate);
            date_list_to->setDateRange(m_printDate, m_printDate.addDays(kMaxListDays - 1));
            date_list_to->setDate(m_printDate.addDays(13));
        }
        column->addStretch(1);
        auto* hint = label(frame, adviceNames[page]);
        hint->setText(advice[page]);
        // The day by person wants the width of a landscape page, like the week.
        if (page == kDayPage)
            connect(check_day_persons, &QCheckBox::toggled, hint, [hint](bool byPerson) {
                hint->setText(byPerson ? tr("Recommended: Landscape")
                                       : tr("Recommended: Portrait"));
            });
        column->addWidget(hint);
        auto* outer = new QHBoxLayout(frame);
        outer->addSpacing(88);
        outer->addLayout(column, 1);
    }
    label_day = descriptions[kDayPage];
    label_week = descriptions[kWeekPage];
    label_planer = descriptions[kPlannerPage];
    descriptions[kListPage]->setText(
        tr("Print the appointments of the days from the first to the last date as a list:"));
    label_day->setText(tr("Print the view of the actually displayed day: ") + twoBreaks +
                       DayNames(lang).value(Weekday(m_printDate)) + QStringLiteral(", ") +
                       FormatDate(m_printDate, m_settings.DateFormat()));
    const QString dateFormat = m_settings.DateFormat();
    label_week->setText(
        tr("Print the view of the actually displayed week: ") + twoBreaks +
        FormatDate(StartOfWeek(m_printDate, m_settings.FirstWeekday()), dateFormat) +
        QStringLiteral(" - ") +
        FormatDate(EndOfWeek(m_printDate, m_settings.FirstWeekday()), dateFormat));
    label_planer->setText(tr("Print an empty month planner for your project management.") +
                          twoBreaks + tr("Please select the date for your planner:"));
    for (int year = m_printDate.year() - 10; year <= m_printDate.year() + 10; ++year)
        combo_planer_year->addItem(QString::number(year), year);
    combo_planer_year->setCurrentIndex(10);
    combo_planer_month->addItems(MonthNames(lang).mid(1));
    combo_planer_month->setCurrentIndex(m_printDate.month() - 1);

    command_ok = new QPushButton(pdf ? tr("Export ...") : tr("Print ..."), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setDefault(true);
    command_preview = new QPushButton(tr("Preview..."), this);
    command_preview->setObjectName(QStringLiteral("command_preview"));
    command_cancel = new QPushButton(tr("Cancel"), this);
    command_cancel->setObjectName(QStringLiteral("command_cancel"));
    const int buttonY = height() - 36;
    command_preview->setGeometry(8, buttonY, 110, 28);
    command_cancel->setGeometry(width() - 8 - 110, buttonY, 110, 28);
    command_ok->setGeometry(width() - 8 - 2 * 110 - 8, buttonY, 110, 28);
    connect(command_ok, &QPushButton::clicked, this, &form_print::command_ok_Click);
    connect(command_preview, &QPushButton::clicked, this, &form_print::command_preview_Click);
    connect(command_cancel, &QPushButton::clicked, this, &QDialog::reject);
    tabs_Click(tabs->Caption(kDayPage), kDayPage);
}

void form_print::tabs_Click(const QString&, int index)
{
    for (int page = 0; page < kPageCount; ++page)
        frames[page]->setVisible(page == index);
}

void form_print::SelectWeekPrint()
{
    tabs->setSelectedIndex(kWeekPage);
    tabs_Click(tabs->Caption(kWeekPage), kWeekPage);
}

void form_print::SelectMonthPrint()
{
    tabs->setSelectedIndex(kPlannerPage);
    tabs_Click(tabs->Caption(kPlannerPage), kPlannerPage);
    check_appointments->setChecked(true);
}

void form_print::SelectListPrint()
{
    tabs->setSelectedIndex(kListPage);
    tabs_Click(tabs->Caption(kListPage), kListPage);
}

PrintJob form_print::chosenJob() const
{
    switch (tabs->SelectedIndex()) {
    case kDayPage:
        return check_day_persons->isChecked() ? PrintJob::dayByPerson(m_printDate, m_persons)
                                              : PrintJob::day(m_printDate);
    case kWeekPage:
        return check_week_persons->isChecked() ? PrintJob::weekByPerson(m_printDate, m_persons)
                                               : PrintJob::week(m_printDate);
    case kPlannerPage:
        if (check_appointments->isChecked())
            return PrintJob::monthSheet(combo_planer_month->currentIndex() + 1,
                                        combo_planer_year->currentData().toInt());
        return PrintJob::planner(combo_planer_month->currentIndex() + 1,
                                 combo_planer_year->currentData().toInt(),
                                 check_twomonths->isChecked());
    case kListPage:
        return PrintJob::list(date_list_from->date(), date_list_to->date());
    default:
        return PrintJob::day(m_printDate);
    }
}

void form_print::command_ok_Click()
{
    const PrintJob job = chosenJob();
    if (m_output == Output::Pdf)
        exportToPdf(job);
    else
        printToPrinter(job);
}

void form_print::printToPrinter(const PrintJob& job)
{
    if (m_busy)
        return;
    // The preview needs no printer; only printing does. The window stays for the preview.
    if (m_noPrinter) {
        showError(tr("There is no printer installed."));
        return;
    }
    m_printDialog.ShowPrinter(this, [this, job](bool chosen) {
        if (!chosen)
            return; // the window stays for another try
        const auto print = [this, job] {
            withDays(job, [this, job](const DaySource& days) {
                PainterCanvas canvas(m_printer);
                if (!canvas.isActive() || !RunPrintJob(job, canvas, days, m_settings) ||
                    m_printer.printerState() == QPrinter::Error) {
                    showError(tr("The printout could not be printed on %1.")
                                  .arg(m_printDialog.DeviceName()));
                    return;
                }
                accept();
            });
        };
        const bool dayPrint = job.orientation() == QPageLayout::Portrait;
        const int wanted = dayPrint ? clsPrintDialog::Portrait : clsPrintDialog::Landscape;
        if (m_printDialog.Orientation() == wanted) {
            print();
            return;
        }
        const QString printout =
            job.kind == PrintJob::Day ? tr("This is not recommended when printing the day print.")
            : job.kind == PrintJob::List ? tr("This is not recommended when printing the list.")
            : job.kind == PrintJob::Week
                ? tr("This is not recommended when printing the week print.")
            : job.kind == PrintJob::DayByPerson || job.kind == PrintJob::WeekByPerson
                ? tr("This is not recommended when printing by person.")
            : job.kind == PrintJob::MonthSheet
                ? tr("This is not recommended when printing the month.")
                : tr("This is not recommended when printing the planner.");
        const QString newLine = QStringLiteral("\r\n");
        const QString text = dayPrint
                                 ? tr("You have selected paper orientation Landscape.") + newLine +
                                       printout + newLine + tr("Change to orientation Portrait?")
                                 : tr("You have selected paper orientation Portrait.") + newLine +
                                       printout + newLine + tr("Change to orientation Landscape?");
        askQuestion(text, [this, wanted, print](bool yes) {
            if (yes)
                m_printDialog.setOrientation(wanted);
            print();
        });
    });
}

void form_print::exportToPdf(const PrintJob& job)
{
    if (m_busy)
        return;
    m_hooks.pdfFileName(this, [window = QPointer<form_print>(this), job](const QString& path) {
        if (window && !path.isEmpty())
            window->exportToPdfFile(job, path);
    });
}

void form_print::exportToPdfFile(const PrintJob& job, const QString& path)
{
    if (m_busy)
        return;
    withDays(job, [this, job, path](const DaySource& days) {
        // Drawn here into a local file, written to its place on the worker thread.
        QString reason;
        const std::optional<QByteArray> pdf =
            RenderPdf(job, QFileInfo(path).completeBaseName(), days, m_settings, &reason);
        if (!pdf) {
            showError(tr("The PDF file could not be written:") + QStringLiteral("\r\n") +
                      QCoreApplication::translate("PrintJob", "cannot write %1: %2")
                          .arg(QDir::toNativeSeparators(path), reason));
            return;
        }
        setBusy(true);
        m_worker->post([this, reply = m_worker->replies(), closed = m_closed, pdf = *pdf, path,
                        makeFiles = m_jobs.files()] {
            if (*closed)
                return; // the user no longer wants the file
            const std::unique_ptr<FileAccess> files = makeFiles();
            const PdfOutcome outcome = WritePdf(pdf, path, *files);
            reply([this, outcome] {
                setBusy(false);
                if (!outcome.ok) {
                    showError(tr("The PDF file could not be written:") + QStringLiteral("\r\n") +
                              outcome.reason);
                    return;
                }
                accept();
            });
        });
    });
}

void form_print::command_preview_Click()
{
    if (m_busy)
        return;
    const PrintJob job = chosenJob();
    withDays(job, [this, job](const DaySource& days) {
        auto* own = new PreviewPrinter;
        own->printer.setPageOrientation(job.orientation());
        auto* preview = new QPrintPreviewDialog(&own->printer, this);
        own->setParent(preview); // its last child: gone after the pages that draw on it
        preview->setAttribute(Qt::WA_DeleteOnClose);
        preview->setWindowTitle(windowTitle());
        connect(preview, &QPrintPreviewDialog::paintRequested, this,
                [this, job, days](QPrinter* target) {
                    PainterCanvas canvas(*target);
                    if (canvas.isActive())
                        RunPrintJob(job, canvas, days, m_settings);
                });
        preview->open();
    });
}

void form_print::withDays(const PrintJob& job, std::function<void(const DaySource& days)> draw)
{
    const QList<QDate> days = PrintedDays(job, m_settings);
    if (days.isEmpty()) {
        draw(DaysFrom({})); // the planner: nothing to read
        return;
    }
    setBusy(true);
    // The thread gets values only: the settings stay on the window's thread.
    m_worker->post([this, reply = m_worker->replies(), days, folder = m_settings.GetDataFolder(),
                    interval = m_settings.MonthInterval(), makeFiles = m_jobs.files(),
                    draw = std::move(draw)]() mutable {
        const std::unique_ptr<FileAccess> files = makeFiles();
        ProfileCache profiles(*files);
        DataAccess store(profiles, StoreSource::fixed(folder, interval, GetLoginName()));
        DaySnapshot snapshot = ReadDays(store, days);
        reply([this, snapshot = std::move(snapshot), draw = std::move(draw)] {
            setBusy(false);
            draw(DaysFrom(snapshot));
        });
    });
}

void form_print::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    SetMousePointer(busy ? 11 : 0);
    command_ok->setEnabled(!busy);
    command_preview->setEnabled(!busy);
}

void form_print::reject()
{
    *m_closed = true;
    setBusy(false);
    QDialog::reject();
}

void form_print::askQuestion(const QString& text, std::function<void(bool yes)> answer)
{
    m_hooks.question(this, tr("Printer Settings"), text, std::move(answer));
}

void form_print::showError(const QString& text)
{
    m_hooks.error(this, QStringLiteral("Norvane4"), text);
}

void OpenPrintWindow(QWidget* parent, Settings& settings, FolderJobs& jobs, const QDate& date,
                     PrintPage page, form_print::Output output, form_print::Hooks hooks,
                     std::function<void()> done, const QStringList& persons)
{
    auto* window = new form_print(settings, jobs, date, output, std::move(hooks), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setPersonFilter(persons);
    if (output == form_print::Output::Printer && QPrinterInfo::availablePrinters().isEmpty())
        window->setNoPrinterInstalled();
    if (page == PrintPage::Week)
        window->SelectWeekPrint();
    else if (page == PrintPage::Month)
        window->SelectMonthPrint();
    else if (page == PrintPage::List)
        window->SelectListPrint();
    if (done)
        QObject::connect(window, &QDialog::finished, window, [done = std::move(done)] { done(); });
    window->open();
}
