#pragma once

#include <QWidget>

class ClassTermin;
class QLabel;
class QListWidget;
class Settings;

// The reminders that came while many reminder windows were open already, one line each, in
// one window that grows as more come, instead of a window per appointment. Modeless; it
// deletes itself when closed.
class form_remind_list : public QWidget {
    Q_OBJECT

public:
    explicit form_remind_list(const Settings& settings, QWidget* parent = nullptr);

    void add(const ClassTermin& appointment);
    // The appointments listed.
    int count() const;
    // The line of the appointment at row, as shown.
    QString line(int row) const;

private:
    QString text(const char* source) const;

    const Settings& m_settings;
    QLabel* m_heading;
    QListWidget* m_list;
};
