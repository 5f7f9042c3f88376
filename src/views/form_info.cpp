#include "views/form_info.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// The project's version, set once in the top-level CMakeLists.txt.
#ifndef NORVANE_VERSION
#error "NORVANE_VERSION is not defined"
#endif

form_info::form_info(const QString& langCode, const QString& loginName, QWidget* parent)
    : QDialog(parent)
{
    Q_UNUSED(langCode); // the installed translation already speaks the user's language
    setWindowTitle(tr("About Norvane"));
    auto* title = new QLabel(QStringLiteral("<b style='font-size:14pt'>Norvane</b>"));
    auto* versionLabel = new QLabel(tr("Version %1").arg(version()));
    auto* description = new QLabel(
        tr("A calendar for small teams who share their appointments through a network folder: "
           "every appointment is one small file, and every copy of the program shows what the "
           "others have changed."));
    description->setWordWrap(true);
    auto* user =
        new QLabel(tr("Logged on as: %1").arg(loginName.isEmpty() ? tr("(unknown)") : loginName));
    user->setTextFormat(Qt::PlainText);
    auto* contact =
        new QLabel(tr("Questions and suggestions: <a href=\"mailto:support@norvane.example\">"
                      "support@norvane.example</a>"));
    contact->setOpenExternalLinks(true);
    contact->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(versionLabel);
    layout->addSpacing(6);
    layout->addWidget(description);
    layout->addSpacing(6);
    layout->addWidget(user);
    layout->addWidget(contact);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString form_info::version()
{
    return QStringLiteral(NORVANE_VERSION);
}
