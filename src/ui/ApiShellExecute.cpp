#include "ui/ApiShellExecute.h"

#include <QDesktopServices>
#include <QUrl>

bool OpenDocument(QWidget* owner, const QString& operation, const QString& target)
{
    Q_UNUSED(owner); // the desktop places the program it starts
    if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return false;
    const QUrl url = QUrl::fromUserInput(target.trimmed());
    return url.isValid() && QDesktopServices::openUrl(url);
}
