#include "views/GoToDateDialog.h"

#include "calendar/Formats.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

GoToDateDialog::GoToDateDialog(const QDate& start, const QString& datePattern, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("form_goto_date"));
    setWindowTitle(tr("Go to date"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("&Date:"), this);
    label->setTextFormat(Qt::PlainText);
    m_date = new QDateEdit(start, this);
    m_date->setObjectName(QStringLiteral("date_goto"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(DateEditFormat(datePattern));
    label->setBuddy(m_date);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(label);
    layout->addWidget(m_date);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        emit dateChosen(m_date->date());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}
