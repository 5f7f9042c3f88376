#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An imported or synced event's organizer and attendees as the user reads them, from the
// iCalendar property lines an appointment keeps (ClassTermin::Organizer and Attendees).
namespace PeopleText {

// An attendee's answer (PARTSTAT); None without one, or with one of no meaning for an event.
enum class Answer { None, Accepted, Declined, Tentative, NeedsAction, Delegated };

struct Person {
    QString name; // CN, else the address without "mailto:"
    Answer answer = Answer::None;
    bool operator==(const Person&) const = default;
};

// The person a line names: "ATTENDEE;CN=\"Doe, Anna\";PARTSTAT=ACCEPTED:mailto:a@example.org"
// is Doe, Anna, accepted. Parameter names and "mailto:" in any letter case.
Person personOf(const QString& line);

// "accepted", "needs action"... in the language (German for langCode "de"); empty for None.
QString answerWord(Answer answer, const QString& langCode);
// The answer as a word for scripts, whatever the language: "accepted", "needs-action"...
QString answerKey(Answer answer);

// "Organizer: Anna"; empty without an organizer.
QString organizerText(const QString& line, const QString& langCode);
// "Attendees: Anna (accepted), Ben"; empty without attendees.
QString attendeesText(const QStringList& lines, const QString& langCode);

} // namespace PeopleText
