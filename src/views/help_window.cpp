#include "views/help_window.h"

#include "ui/OpenDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

QString HelpPagePath(const QString& langCode)
{
    return langCode == QLatin1String("de") ? QStringLiteral(":/help/help_de.html")
                                           : QStringLiteral(":/help/help_en.html");
}

QDialog* ShowHelp(QWidget* parent, const QString& langCode)
{
    auto* dialog = new QDialog(parent);
    dialog->setObjectName(QStringLiteral("help_window"));
    dialog->setWindowTitle(langCode == QLatin1String("de") ? QStringLiteral("Norvane – Hilfe")
                                                           : QStringLiteral("Norvane – Help"));
    auto* browser = new QTextBrowser(dialog);
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(QStringLiteral("qrc") + HelpPagePath(langCode)));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    // In the help's language, whatever translation of Qt's own texts the system has.
    buttons->button(QDialogButtonBox::Close)
        ->setText(langCode == QLatin1String("de") ? QStringLiteral("Schließen")
                                                  : QStringLiteral("Close"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    dialog->resize(560, 480);
    openDialog(dialog);
    return dialog;
}
