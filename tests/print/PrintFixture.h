#pragma once

#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// A data folder of its own and settings with 24-hour times, for printouts of 4 July 2003 and
// the days around it.
class PrintFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.setActiveFolder(data.path());
        settings.setTimeFormat(QStringLiteral("24h"));
    }

    void store(const QDate& date, int fromHour, int fromMinute, int toHour, int toMinute,
               const QString& text)
    {
        ClassTermin a;
        a.setDatum(date);
        a.setStartTime(TimeOfDay::fromHourMinute(fromHour, fromMinute));
        a.setEndTime(TimeOfDay::fromHourMinute(toHour, toMinute));
        a.setColorCode(2);
        a.setText(text);
        a.setFilename(DataAccess::DayDirectory(settings.GetDataFolder(), date) +
                      QString::number(++fileNumber) + QStringLiteral(".nv3"));
        ASSERT_TRUE(dataAccess.SaveAppointment(a).ok);
    }

    QTemporaryDir data;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    DataAccess dataAccess{profiles, settings};
    int fileNumber = 0;
};
