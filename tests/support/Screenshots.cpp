#include "Screenshots.h"

#include <QDir>
#include <QWidget>

namespace Screenshots {

QString save(const QImage& image, const QString& name)
{
    const QString dir = QStringLiteral(NORVANE_SCREENSHOT_DIR);
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return image.save(path) ? path : QString();
}

QString save(QWidget* widget, const QString& name)
{
    return save(widget->grab().toImage(), name);
}

} // namespace Screenshots
