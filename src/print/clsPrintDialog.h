#pragma once

#include <QString>

#include <functional>

class QPrintDialog;
class QPrinter;
class QWidget;

// The printer choice before a print: the user picks the printer, its orientation, copies and
// pages, and the choice lands in the printer the printout is drawn on.
class clsPrintDialog {
public:
    // Orientation as the print window speaks of it.
    enum { Portrait = 1, Landscape = 2 };

    explicit clsPrintDialog(QPrinter& printer);

    // Opens the dialog over owner; done tells whether the user chose a printer, and so does
    // Cancelled() from then on. The object is to live until then.
    void ShowPrinter(QWidget* owner, std::function<void(bool chosen)> done);
    bool Cancelled() const { return m_cancelled; }

    QString DeviceName() const;
    int Orientation() const;
    void setOrientation(int orientation);

private:
    QPrinter& m_printer;
    bool m_cancelled = false;
};

// For tests: answers the print dialog at once instead of the user (the dialog's result code);
// an empty function restores the real dialog.
void setPrintDialogAnswer(std::function<int(QPrintDialog&)> answer);
