#pragma once

#include <QImage>
#include <QString>

class QWidget;

// Pictures of components for a reviewer to look at: build/screenshots/<name>.png.
namespace Screenshots {

// Returns the path written, empty on failure.
QString save(const QImage& image, const QString& name);
QString save(QWidget* widget, const QString& name);

} // namespace Screenshots
