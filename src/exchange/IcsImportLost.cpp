// What of an event no appointment keeps, so the summary can say so rather than drop it quietly.
#include "exchange/IcsImport.h"

#include "exchange/IcsImportSupport.h"
#include "exchange/IcsPeople.h"
#include "store/AppointmentFile.h"

namespace Ics {

namespace {

using Lost = IcsImportResult::Lost;

const std::pair<icalproperty_kind, Lost> kProperties[] = {
    {ICAL_ATTACH_PROPERTY, Lost::Attachment},   {ICAL_ORGANIZER_PROPERTY, Lost::Organizer},
    {ICAL_ATTENDEE_PROPERTY, Lost::Attendees},  {ICAL_URL_PROPERTY, Lost::WebAddress},
    {ICAL_COMMENT_PROPERTY, Lost::Comment},     {ICAL_CONTACT_PROPERTY, Lost::Contact},
    {ICAL_RESOURCES_PROPERTY, Lost::Resources}, {ICAL_GEO_PROPERTY, Lost::Position},
    {ICAL_PRIORITY_PROPERTY, Lost::Priority},   {ICAL_RELATEDTO_PROPERTY, Lost::Related},
};

} // namespace

QList<Lost> lostOf(icalcomponent* component, bool reminderKept)
{
    QList<Lost> lost;
    switch (icalcomponent_isa(component)) {
    case ICAL_VTODO_COMPONENT:
        return {Lost::ToDo};
    case ICAL_VJOURNAL_COMPONENT:
        return {Lost::Journal};
    default:
        break;
    }
    bool locationCut = false;
    AppointmentFile::locationOf(text(icalcomponent_get_location(component)), &locationCut);
    if (locationCut)
        lost << Lost::LocationEnd;
    for (const auto& [kind, what] : kProperties) {
        // PRIORITY:0 says no priority at all.
        icalproperty* p = icalcomponent_get_first_property(component, kind);
        if (p && !(kind == ICAL_PRIORITY_PROPERTY && icalproperty_get_priority(p) == 0) &&
            !keptAsPeople(component, kind))
            lost << what;
    }
    if (icalproperty* p = icalcomponent_get_first_property(component, ICAL_TRANSP_PROPERTY);
        p && icalproperty_get_transp(p) == ICAL_TRANSP_TRANSPARENT)
        lost << Lost::Free;
    if (icalcomponent_get_status(component) == ICAL_STATUS_TENTATIVE)
        lost << Lost::Tentative;
    if (icalcomponent_count_components(component, ICAL_VALARM_COMPONENT) > (reminderKept ? 1 : 0))
        lost << Lost::Reminders;
    return lost;
}

void noteOthers(const QByteArray& bytes, const std::vector<Span>& others, IcsImportResult& result)
{
    const QStringList names = namesOf(bytes, others);
    for (size_t i = 0; i < others.size(); ++i) {
        const ComponentPtr parsed = parseSpan(bytes, others[i]);
        if (parsed)
            result.notKept.append({names[qsizetype(i)], lostOf(parsed.get(), false)});
    }
}

QString lostText(Lost lost)
{
    switch (lost) {
    case Lost::LocationEnd:
        return IcsImport::tr("the end of its location");
    case Lost::Attachment:
        return IcsImport::tr("attachment");
    case Lost::Organizer:
        return IcsImport::tr("organizer");
    case Lost::Attendees:
        return IcsImport::tr("attendees");
    case Lost::WebAddress:
        return IcsImport::tr("web address");
    case Lost::Comment:
        return IcsImport::tr("comment");
    case Lost::Contact:
        return IcsImport::tr("contact");
    case Lost::Resources:
        return IcsImport::tr("resources");
    case Lost::Position:
        return IcsImport::tr("geographic position");
    case Lost::Priority:
        return IcsImport::tr("priority");
    case Lost::Related:
        return IcsImport::tr("related events");
    case Lost::Free:
        return IcsImport::tr("shown as free");
    case Lost::Tentative:
        return IcsImport::tr("tentative");
    case Lost::Reminders:
        return IcsImport::tr("reminders");
    case Lost::ToDo:
        return IcsImport::tr("to-do");
    case Lost::Journal:
        return IcsImport::tr("journal entry");
    }
    return {};
}

} // namespace Ics
