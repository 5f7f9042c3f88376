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

void clsPrintDialog::ShowPrinter(QWidget* owner, std::function<void(bool chosen)> done)
{
    m_cancelled = true;
    auto* dialog = new QPrintDialog(&m_printer, owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // One page, all of it: no selection or page numbers to offer.
    dialog->setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog->setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    const auto finish = [this, done = std::move(done)](int result) {
        m_cancelled = result != QDialog::Accepted;
        done(!m_cancelled);
    };
    if (const auto& answer = printDialogAnswer()) {
        const int result = answer(*dialog);
        delete dialog;
        finish(result);
        return;
    }
    QObject::connect(dialog, &QDialog::finished, dialog, finish);
    dialog->open();
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
