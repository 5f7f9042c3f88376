#pragma once

#include "store/ClassTermin.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

// The first event of iCalendar bytes another program put on the clipboard, as the import
// would make it an appointment of colour colorCode owned by owner: a single appointment on
// its first day, not filed anywhere. None when the bytes hold no event that can be imported.
// Works in a temporary folder of its own, so it belongs on a job's thread.
std::optional<ClassTermin> AppointmentOfIcs(const QByteArray& ics, const QString& owner,
                                            int colorCode, const QDate& today);
