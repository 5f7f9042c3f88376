#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

// Go to date: a date typed in the settings' date format or picked from a drop-down
// calendar. Opened with show(); OK tells the date by dateChosen and closes.
class GoToDateDialog : public QDialog {
    Q_OBJECT

public:
    // datePattern as the settings hold it, "dd.mm.yyyy" or "tt.mm.jjjj".
    GoToDateDialog(const QDate& start, const QString& datePattern, QWidget* parent = nullptr);

signals:
    void dateChosen(const QDate& date);

private:
    QDateEdit* m_date;
};
