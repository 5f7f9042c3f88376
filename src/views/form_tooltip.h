#pragma once

#include <QString>
#include <QWidget>

class ClassTermin;
class QFrame;
class QLabel;

// The details of one appointment in a small frameless window, shown while the mouse button
// is held on its label. A click into it or losing the activation closes it; the window
// keeps nothing between showings.
class form_tooltip : public QWidget {
    Q_OBJECT

public:
    explicit form_tooltip(QWidget* parent = nullptr);

    // Fills the window; texts in German for langCode "de", English otherwise.
    void SetAppointment(const ClassTermin& appointment, const QString& langCode,
                        const QString& timeFormat, const QString& dateFormat);

    // "Single appointment", or "Appointment " with "recurring " and "with reminder" as they
    // apply, joined as they are (a trailing blank stays).
    static QString KindText(bool recurring, bool reminder, const QString& langCode);

    QLabel* label_text() const { return m_labelText; }
    QLabel* label_recurring() const { return m_labelRecurring; }
    QLabel* label_producer() const { return m_labelProducer; }
    QLabel* label_rooms() const { return m_labelRooms; }       // hidden when it books none
    QLabel* label_location() const { return m_labelLocation; } // hidden without one
    QLabel* label_people() const { return m_labelPeople; }     // organizer, attendees; or hidden
    // Hidden when it belongs to none.
    QLabel* label_categories() const { return m_labelCategories; }
    QLabel* label_datum() const { return m_labelDatum; }
    QLabel* label_zeit() const { return m_labelZeit; }

    static const QColor kBackground;
    static const QColor kBorder;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Form_Click();
    void Form_LostFocus();

    QLabel* m_labelText = nullptr;
    QLabel* m_labelRecurring = nullptr;
    QLabel* m_labelProducer = nullptr;
    QLabel* m_labelRooms = nullptr;
    QLabel* m_labelLocation = nullptr;
    QLabel* m_labelPeople = nullptr;
    QLabel* m_labelCategories = nullptr;
    QFrame* m_line2 = nullptr;
    QFrame* m_line1 = nullptr;
    QLabel* m_labelDatum = nullptr;
    QLabel* m_labelZeit = nullptr;
};
