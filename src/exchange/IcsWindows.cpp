#include "IcsWindows.h"

#include "ApiOpenSave.h"
#include "form_export_ics.h"
#include "form_import_ics.h"

#include <QMessageBox>

namespace {

void messageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText); // it names files and events
    box.exec();
}

} // namespace

IcsWindowHooks IcsWindowHooks::withDefaults() const
{
    IcsWindowHooks hooks = *this;
    if (!hooks.message)
        hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Information, title, text);
        };
    if (!hooks.error)
        hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Critical, title, text);
        };
    return hooks;
}

void ExportIcsWindow(QWidget* parent, Settings& settings, const QDate& shownDate,
                     IcsWindowHooks hooks)
{
    form_export_ics window(settings, shownDate, std::move(hooks), parent);
    window.exec();
}

void ImportIcsWindow(QWidget* parent, Settings& settings, IcsWindowHooks hooks)
{
    QString filter;
    AddFileFilter(filter, form_import_ics::tr("iCalendar files (*.ics)"), QStringLiteral("*.ics"));
    AddFileFilter(filter, form_import_ics::tr("All files (*.*)"), QStringLiteral("*.*"));
    const QString path = ShowFileDialog(parent, filter, 1, nullptr, QString(), QString(),
                                        form_import_ics::tr("Import iCalendar"));
    if (path.isEmpty())
        return;
    // A file that cannot be imported is told once it is read, and the window closes.
    form_import_ics window(settings, path, std::move(hooks), parent);
    window.exec();
}
