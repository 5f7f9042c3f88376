#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class SubscriptionScheduler;

// "Subscribe to calendar...": the address of an iCalendar feed, the subscription's name and its
// colour. The feed is brought on the refreshes' thread; the window tells why it could not be
// and stays open, or closes once it is in the data folder.
class form_subscribe : public QDialog {
    Q_OBJECT

public:
    form_subscribe(SubscriptionScheduler& scheduler, QWidget* parent = nullptr);

private:
    void subscribe();

    SubscriptionScheduler& m_scheduler;
    QLineEdit* m_url;
    QLineEdit* m_name;
    QSpinBox* m_color;
    QLabel* m_status;
    QPushButton* m_ok;
    bool m_waiting = false;
};
