// Who an event names, read from the lines an appointment keeps, as the tooltip and the editor
// word it.
#include "store/PeopleText.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using PeopleText::Answer;

TEST(PeopleTextTest, ThePersonALineNamesAndTheWordsForOrganizerAndAttendees)
{
    const std::tuple<const char*, const char*, Answer> kCases[] = {
        {"ATTENDEE;CN=Anna;PARTSTAT=ACCEPTED:mailto:anna@example.org", "Anna", Answer::Accepted},
        {"ATTENDEE;CN=\"Doe, Ben; Jr.\";PARTSTAT=TENTATIVE:mailto:b@example.org", "Doe, Ben; Jr.",
         Answer::Tentative},
        {"attendee;cn=\"A:B\";partstat=needs-action;rsvp=TRUE:MAILTO:ab@example.org", "A:B",
         Answer::NeedsAction},
        {"ATTENDEE;PARTSTAT=Declined:MailTo:cleo@example.org", "cleo@example.org",
         Answer::Declined},
        {"ATTENDEE;DELEGATED-TO=\"mailto:x@example.org\";PARTSTAT=DELEGATED:mailto:d@example.org",
         "d@example.org", Answer::Delegated},
        {"ORGANIZER;CN=Eve ^'the boss^':mailto:eve@example.org", "Eve \"the boss\"", Answer::None},
        {"ATTENDEE;PARTSTAT=COMPLETED:urn:uuid:42", "urn:uuid:42", Answer::None},
        {"ATTENDEE;CN=\"unclosed:mailto:x@example.org", "", Answer::None},
    };
    for (const auto& [line, name, answer] : kCases)
        EXPECT_EQ(PeopleText::personOf(line), (PeopleText::Person{name, answer})) << line;

    EXPECT_EQ(PeopleText::organizerText("ORGANIZER;CN=Anna:mailto:a@example.org", "en"),
              "Organizer: Anna");
    EXPECT_EQ(PeopleText::attendeesText({std::get<0>(kCases[0]), std::get<0>(kCases[2]),
                                         "ATTENDEE:mailto:cleo@example.org"},
                                        "en"),
              "Attendees: Anna (accepted), A:B (needs action), cleo@example.org");
    EXPECT_EQ(PeopleText::organizerText({}, "en") + PeopleText::attendeesText({}, "en"), "");
    EXPECT_EQ(PeopleText::answerKey(Answer::NeedsAction), "needs-action");
}

} // namespace
