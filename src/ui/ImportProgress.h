#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QProgressDialog;
class QWidget;

// The progress window of an import that runs on a thread of its window's own: shown once an
// import has showFrom appointments or more, its Cancel told to the window. Not modal: a modal
// one would run the window's events inside setValue(). A cancel or the import's end hides it
// until the next import starts.
class ImportProgress {
public:
    ImportProgress(QWidget* window, const QString& cancelText, int showFrom,
                   std::function<void()> cancelled);

    // An import starts: its answers show from now on.
    void start();
    // An answer of the import: done of total, under label; nothing once stopped.
    void show(const QString& label, int done, int total);
    // Hidden until the next start(): the user cancelled, or the import ended.
    void stop();

private:
    QWidget* m_window;
    QString m_cancelText;
    int m_showFrom;
    std::function<void()> m_cancelled;
    QProgressDialog* m_dialog = nullptr; // a child of m_window
    bool m_running = false;
};

// A message box over owner (window-modal) that the user closes in their own time: opened,
// never run, deleted once closed. With answered it asks Yes or No (No the default) and
// answered gets whether Yes was chosen; closing it otherwise is a No.
void OpenMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text, std::function<void(bool yes)> answered = {});
