// The Info page's row of an imported or synced event's organizer and attendees: shown, never
// edited here. The record the editor saves is a copy of the one opened, so they stay.
#include "edit/form_edit.h"
#include "edit/form_edit_layout.h"

#include "settings/Settings.h"
#include "store/PeopleText.h"

#include <QLabel>
#include <QLineEdit>

using namespace FormEditLayout;

void form_edit::createPeopleRow(QFrame* page)
{
    label_info_people = createLabel(page, "label_info_people", Layout::kPeopleCaption);
    text_people = new QLineEdit(page);
    text_people->setObjectName(QStringLiteral("text_people"));
    text_people->setGeometry(Layout::kPeople);
    text_people->setReadOnly(true);
}

void form_edit::showPeople(const ClassTermin& r)
{
    QStringList people = {PeopleText::organizerText(r.Organizer(), m_settings.LangCode()),
                          PeopleText::attendeesText(r.Attendees(), m_settings.LangCode())};
    people.removeAll(QString());
    text_people->setText(people.join(QStringLiteral("; ")));
    text_people->setCursorPosition(0);
    // A long list is read whole in the tooltip, one line each.
    text_people->setToolTip(people.join(u'\n'));
    text_people->setVisible(!people.isEmpty());
    label_info_people->setVisible(!people.isEmpty());
}
