#pragma once

#include "tools/FolderSpeedTest.h"

#include <QDialog>

#include <functional>
#include <memory>

class FolderJobs;
class PictureBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class WorkerThread;

// The folder speed test as the settings window shows it: the test starts once the window is
// up, a bar follows its passes, and the verdict comes with advice for a slow folder. The texts
// follow the language the settings window speaks, which may not be confirmed yet. The test runs
// on a thread of the data folder's jobs, so a share that stops answering never holds up the
// window.
class form_performance : public QDialog {
    Q_OBJECT

public:
    static constexpr int kCollapsedTwips = 3030;
    static constexpr int kExpandedTwips = 5220;

    form_performance(const QString& folder, const QString& langCode, FolderJobs& jobs,
                     FolderSpeedTest test = FolderSpeedTest(), QWidget* parent = nullptr);
    // Returns within WorkerThread::kStopWait even while the test waits on a share.
    ~form_performance() override;

    // Both detail texts, lines joined by CR LF.
    QString fastDetails() const { return m_fastDetails; }
    QString slowDetails() const { return m_slowDetails; }
    const FolderSpeedTest::Result& result() const { return m_result; }
    bool detailsExpanded() const;
    // True from the start of the test until its verdict shows.
    bool isRunning() const { return m_running; }

    // Starts the test; the verdict shows when it ends.
    void timer_test_Timer();
    void command_detail_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    QString text(const char* source) const;
    void drawBar(int hundredths);
    void showTips(const QString& text);
    void showResult(const FolderSpeedTest::Result& result);

    QString m_folder;
    QString m_lang;
    FolderSpeedTest m_test;
    FolderSpeedTest::Result m_result;
    QString m_fastDetails;
    QString m_slowDetails;
    bool m_running = false;
    bool m_started = false;
    int m_barHundredths = 0; // what the bar shows, for a screen reader
    std::unique_ptr<WorkerThread> m_worker;

    QLabel* label_pfad;
    QLabel* label_status;
    PictureBox* pic_bar;
    QPlainTextEdit* text_tips;
    QPushButton* command_detail;
    QPushButton* command_ok;
    QTimer* timer_test;
};

// Measures folder in a window, window-modal over parent; the caller goes on the same way
// whatever the verdict. Returns at once; done, when given, runs once the window has closed.
void RunFolderSpeedTest(QWidget* parent, FolderJobs& jobs, const QString& folder,
                        const QString& langCode, std::function<void()> done = {});
