#pragma once

#include <QDialog>

// The about window: version, what the program is, who is logged on, where to get help.
class form_info : public QDialog {
    Q_OBJECT

public:
    form_info(const QString& langCode, const QString& loginName, QWidget* parent = nullptr);

    static QString version();
};
