#include "tools/form_performance.h"

#include "service/FolderJobs.h"
#include "settings/Language.h"
#include "threads/WorkerThread.h"
#include "ui/PictureBox.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr const char* kContext = "form_performance";
constexpr int kWidthTwips = 6600;

// Advice texts line by line; an empty line stays empty.
const char* const kFastLines[] = {
    QT_TRANSLATE_NOOP("form_performance", "Result:"),
    "",
    QT_TRANSLATE_NOOP("form_performance", "The performance of the selected folder is ok. "
                                          "Norvane can use this folder. "),
};

const char* const kSlowLines[] = {
    QT_TRANSLATE_NOOP("form_performance", "Result:"),
    "",
    QT_TRANSLATE_NOOP("form_performance",
                      "The performance of the folder should be increased. Norvane will need "
                      "more time to display days and weeks. Access speed to the selected folder "
                      "should be increased."),
    "",
    QT_TRANSLATE_NOOP("form_performance", "To increase the access speed for this folder:"),
    "",
    QT_TRANSLATE_NOOP("form_performance", "Network:"),
    QT_TRANSLATE_NOOP("form_performance",
                      "If your network is rather slow, check your network-settings."),
    "",
    QT_TRANSLATE_NOOP("form_performance", "Virus scanners:"),
    QT_TRANSLATE_NOOP("form_performance",
                      "When using virus-programs exclude the selected folder from "
                      "virus-protection und exclude the files with extension *.NV3 from the "
                      "scan process. These files are textfiles, they cannot be infected."),
    "",
    QT_TRANSLATE_NOOP("form_performance", "Windows XP:"),
    QT_TRANSLATE_NOOP("form_performance",
                      "When using Windows XP: Install the latest service pack for Windows XP to "
                      "get rid of XP specific network problems."),
    "",
    QT_TRANSLATE_NOOP("form_performance", "Your Norvane Team"),
};

QLabel* label(QWidget* parent, const char* name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText); // a folder name is no markup
    return l;
}

} // namespace

form_performance::form_performance(const QString& folder, const QString& langCode, FolderJobs& jobs,
                                   FolderSpeedTest test, QWidget* parent)
    : QDialog(parent)
    , m_folder(folder)
    , m_lang(langCode)
    , m_test(std::move(test))
    , m_worker(jobs.thread(QStringLiteral("Folder speed test")))
{
    Form_Load();
}

form_performance::~form_performance() = default;

QString form_performance::text(const char* source) const
{
    return *source ? Language::translate(kContext, source, m_lang) : QString();
}

void form_performance::Form_Load()
{
    setObjectName(QStringLiteral("form_performance"));
    const int width = PictureBox::toPixels(kWidthTwips);
    const int collapsed = PictureBox::toPixels(kCollapsedTwips);
    const int expanded = PictureBox::toPixels(kExpandedTwips);

    label_pfad = label(this, "label_pfad");
    label_pfad->setGeometry(12, 10, width - 24, 40);
    label_status = label(this, "label_status");
    label_status->setGeometry(12, 54, width - 24, 40);
    pic_bar = new PictureBox(this);
    pic_bar->setObjectName(QStringLiteral("pic_bar"));
    pic_bar->setGeometry(12, 100, width - 24, 20);
    pic_bar->setBackColor(Qt::white);
    pic_bar->setFocusPolicy(Qt::NoFocus); // shows, takes nothing
    pic_bar->setAccessibleContent([this] {
        AccessibleItem bar;
        bar.role = QAccessible::ProgressBar;
        bar.name = text(QT_TRANSLATE_NOOP("form_performance", "Progress"));
        bar.value = QStringLiteral("%1 %").arg(m_barHundredths);
        bar.rect = pic_bar->rect();
        return bar;
    });
    command_detail = new QPushButton(this);
    command_detail->setObjectName(QStringLiteral("command_detail"));
    command_detail->setGeometry(12, 140, 120, 28);
    command_ok = new QPushButton(QStringLiteral("OK"), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setGeometry(width - 12 - 120, 140, 120, 28);
    command_ok->setDefault(true);
    text_tips = new QPlainTextEdit(this);
    text_tips->setObjectName(QStringLiteral("text_tips"));
    text_tips->setReadOnly(true);
    text_tips->setGeometry(12, collapsed, width - 24, expanded - collapsed - 12);
    text_tips->hide();
    timer_test = new QTimer(this);
    timer_test->setObjectName(QStringLiteral("timer_test"));
    timer_test->setSingleShot(true);
    timer_test->setInterval(100);

    setWindowTitle(text(QT_TRANSLATE_NOOP("form_performance", "Testing performance of folder...")));
    label_status->setText(
        text(QT_TRANSLATE_NOOP("form_performance", "Performancetest running ...")));
    command_detail->setText(QStringLiteral("Details >>"));
    QStringList lines;
    for (const char* line : kFastLines)
        lines << text(line);
    m_fastDetails = lines.join(QLatin1String("\r\n"));
    lines.clear();
    for (const char* line : kSlowLines)
        lines << text(line);
    m_slowDetails = lines.join(QLatin1String("\r\n"));
    label_pfad->setText(m_folder);
    command_ok->setEnabled(false);
    command_detail->setEnabled(false);
    setFixedSize(width, collapsed);

    connect(command_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(command_detail, &QPushButton::clicked, this, &form_performance::command_detail_Click);
    connect(timer_test, &QTimer::timeout, this, &form_performance::timer_test_Timer);
}

void form_performance::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The test starts once, after the window is on screen.
    if (!m_started) {
        m_started = true;
        timer_test->start();
    }
}

void form_performance::drawBar(int hundredths)
{
    pic_bar->Cls();
    if (hundredths > 0)
        pic_bar->FillBox(0, 0, pic_bar->ScaleWidth() * hundredths / 100 - 1,
                         pic_bar->ScaleHeight() - 1, QColor(0, 0, 255));
    if (hundredths != m_barHundredths) {
        m_barHundredths = hundredths;
        pic_bar->accessibleContentChanged();
    }
}

void form_performance::showTips(const QString& text)
{
    QString shown = text;
    text_tips->setPlainText(shown.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

void form_performance::timer_test_Timer()
{
    timer_test->stop();
    if (m_running)
        return;
    m_started = true;
    m_running = true;
    // Closing the window mid-test leaves the test running to its end, which deletes its file.
    m_worker->post([this, reply = m_worker->replies(), test = m_test, folder = m_folder]() mutable {
        const FolderSpeedTest::Result result = test.run(folder, [&](int pass) {
            reply([this, pass] { drawBar(pass * 100 / FolderSpeedTest::kPasses); });
        });
        reply([this, result] { showResult(result); });
    });
}

void form_performance::showResult(const FolderSpeedTest::Result& result)
{
    m_running = false;
    m_result = result;
    using Verdict = FolderSpeedTest::Verdict;
    switch (m_result.verdict) {
    case Verdict::Fast:
        label_status->setText(text(QT_TRANSLATE_NOOP(
            "form_performance", "Access to the selected folder is fast enough.")));
        showTips(m_fastDetails);
        break;
    case Verdict::Slow:
        label_status->setText(text(QT_TRANSLATE_NOOP(
            "form_performance", "Access to the selected folder is rather slow.")));
        showTips(m_slowDetails);
        break;
    case Verdict::Error:
        label_status->setText(text(
            QT_TRANSLATE_NOOP("form_performance", "An error occured when accessing the folder.")));
        showTips(m_result.error);
        break;
    }
    drawBar(100);
    command_ok->setEnabled(true);
    command_detail->setEnabled(true);
    if (!detailsExpanded())
        command_detail_Click();
}

bool form_performance::detailsExpanded() const
{
    return height() != PictureBox::toPixels(kCollapsedTwips);
}

void form_performance::command_detail_Click()
{
    const bool expand = !detailsExpanded();
    setFixedHeight(PictureBox::toPixels(expand ? kExpandedTwips : kCollapsedTwips));
    text_tips->setVisible(expand);
    command_detail->setText(expand ? QStringLiteral("<< Details") : QStringLiteral("Details >>"));
}

void RunFolderSpeedTest(QWidget* parent, FolderJobs& jobs, const QString& folder,
                        const QString& langCode, std::function<void()> done)
{
    auto* window = new form_performance(folder, langCode, jobs, FolderSpeedTest(), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (done)
        QObject::connect(window, &QDialog::finished, window, [done = std::move(done)] { done(); });
    window->open();
}
