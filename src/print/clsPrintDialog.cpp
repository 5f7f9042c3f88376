#include "print/clsPrintDialog.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>

namespace {

std::function<int(QPrintDialog&)>& printDialogAnswer()
{
    static std::function<int(QPrintDialog&)> answer;
    return answer;
}

} // namespace

void setPrintDialogAnswer(std::function<int(QPrintDialog&)> answer)
{
    printDialogAnswer() = std::move(answer);
}

clsPrintDialog::clsPrintDialog(QPrinter& printer)
    : m_printer(printer)
{
}

void clsPrintDialog::ShowPrinter(QWidget* owner)
{
    m_cancelled = false;
    QPrintDialog dialog(&m_printer, owner);
    // One page, all of it: no selection or page numbers to offer.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    const auto& answer = printDialogAnswer();
    const int result = answer ? answer(dialog) : dialog.exec();
    m_cancelled = result != QDialog::Accepted;
}

QString clsPrintDialog::DeviceName() const
{
    return m_printer.printerName();
}

int clsPrintDialog::Orientation() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? Landscape : Portrait;
}

void clsPrintDialog::setOrientation(int orientation)
{
    m_printer.setPageOrientation(orientation == Landscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
}

int clsPrintDialog::PDnCopies() const
{
    return m_printer.copyCount();
}
