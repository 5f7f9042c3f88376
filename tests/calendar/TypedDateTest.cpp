// Dates as a user types them into a date field, read in the order of the settings' pattern.
#include "calendar/TypedDate.h"

#include <gtest/gtest.h>

namespace {

TEST(TypedDate, FormsReadInThePatternsOrderAndTheRestIsRefused)
{
    const QDate reference(2003, 7, 4);
    const struct {
        const char* pattern;
        const char* typed;
        const char* date; // ISO; nullptr: refused
    } rows[] = {
        // clang-format off
        {"dd.mm.yyyy", "5.7.2003", "2003-07-05"}, {"dd.mm.yyyy", "05.07.2003", "2003-07-05"},
        {"dd.mm.yyyy", " 5. 7. 2003 ", "2003-07-05"}, {"dd.mm.yyyy", "5-7-2003", "2003-07-05"},
        {"dd.mm.yyyy", "5.7.", "2003-07-05"}, {"dd.mm.yyyy", "24.12", "2003-12-24"},
        {"dd.mm.yyyy", "5.7.03", "2003-07-05"}, {"dd.mm.yyyy", "5.7.53", "1953-07-05"},
        {"dd.mm.yyyy", "5.7.52", "2052-07-05"}, {"dd.mm.yyyy", "05072003", "2003-07-05"},
        {"dd.mm.yyyy", "050703", "2003-07-05"}, {"dd.mm.yyyy", "0507", "2003-07-05"},
        {"dd.mm.yyyy", "2004-02-29", "2004-02-29"}, {"tt.mm.jjjj", "1.2.2004", "2004-02-01"},
        {"mm/dd/yyyy", "7/5/2003", "2003-07-05"}, {"mm/dd/yyyy", "12/24", "2003-12-24"},
        {"mm/dd/yyyy", "12242003", "2003-12-24"}, {"yyyy-mm-dd", "2003-7-5", "2003-07-05"},
        {"yyyy-mm-dd", "20030705", "2003-07-05"}, {"yyyy-mm-dd", "7-5", "2003-07-05"},
        {"dd.mm.yyyy", "31.4.2003", nullptr}, {"dd.mm.yyyy", "29.2.2003", nullptr},
        {"dd.mm.yyyy", "13.13.2003", nullptr}, {"mm/dd/yyyy", "24/12/2003", nullptr},
        {"dd.mm.yyyy", "5.7.203", nullptr}, {"dd.mm.yyyy", "5.7.0999", nullptr},
        {"dd.mm.yyyy", "5", nullptr}, {"dd.mm.yyyy", "5.7.2003.1", nullptr},
        {"dd.mm.yyyy", "0507200", nullptr}, {"dd.mm.yyyy", "tomorrow", nullptr},
        {"dd.mm.yyyy", "5.July.2003", nullptr}, {"dd.mm.yyyy", "", nullptr},
        {"dd.mm.yyyy", "\u0665.\u0667.2003", nullptr}, // digits of another script
        // clang-format on
    };
    for (const auto& row : rows) {
        const std::optional<QDate> date =
            TypedDate::parse(QString::fromUtf8(row.typed), row.pattern, reference);
        EXPECT_EQ(date ? date->toString(Qt::ISODate).toStdString() : "refused",
                  row.date ? row.date : "refused")
            << row.pattern << " " << row.typed;
    }
}

} // namespace
