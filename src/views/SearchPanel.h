#pragma once

#include "index/AppointmentIndex.h"
#include "layout/SearchLayout.h"
#include "store/ClassTermin.h"

#include <QDate>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

class AgendaView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QWidget;
class Settings;
class FolderStores;

// The main window's search: words typed into the side panel's field look up the appointments
// of every folder shown whose text or owner holds them all, from the local index at once and
// again once the files found were looked at on the share; the results lie over the view as a list
// by day. A text that reads as a date offers going there. Enter or a double click tells the window
// which appointment, or which date, was chosen; Escape closes the list.
class SearchPanel : public QObject {
    Q_OBJECT

public:
    // field and range are the side panel's; the results lie over cover, in its whole rect.
    SearchPanel(FolderStores& service, const Settings& settings, QLineEdit* field, QComboBox* range,
                QWidget* cover, std::function<QDate()> today);

    // Ctrl+F: the field takes the focus with its text selected, and a search typed before
    // shows again.
    void focusField();
    // Hides the list; the text stays for the next time.
    void close();
    bool shown() const;
    // Over the view again after the view was drawn.
    void raise();
    void setLanguageTexts();
    // The logins the person filter keeps (everyone when empty): results shown follow it.
    void setPersonFilter(const QStringList& logins);

    AgendaView& results() const { return *m_results; }
    QLabel& note() const { return *m_note; }

signals:
    void appointmentChosen(const ClassTermin& found, const QDate& day);
    void dateChosen(const QDate& date);
    // Escape: the list closed, and the keys are the view's again.
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited();
    void search();
    void answered(quint64 request, const AppointmentIndex::Answer& answer, bool confirmed);
    void showNote(const AppointmentIndex::Answer& answer, int found);
    void chooseCurrent();
    void chooseDate();
    void setShown(bool shown);
    QStringList words() const;
    SearchLayout::Range range() const;

    FolderStores& m_service; // every folder shown
    const Settings& m_settings;
    QLineEdit* m_field;
    QComboBox* m_range;
    QWidget* m_panel;
    AgendaView* m_results;
    QLabel* m_note;
    QPushButton* m_goTo;
    QTimer* m_typing;   // waits for a pause in the typing
    QTimer* m_indexing; // asks again while the index is not complete
    std::function<QDate()> m_today;
    quint64 m_request = 0; // answers to an earlier request are dropped
    // The files of this search looked at on the share already.
    QSet<QString> m_confirmed;
    QDate m_typedDate;
    QStringList m_shownFor;            // the words the results shown were found for
    bool m_chooseWhenAnswered = false; // Enter came before the results of the words typed
    QStringList m_people;
};
