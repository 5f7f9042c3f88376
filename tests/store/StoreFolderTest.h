#pragma once

// A store over a temporary data folder, with a clock and names of the test's own.
#include "FakeFileAccess.h"
#include "TestFiles.h"
#include "settings/Settings.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace StoreFolder {

inline const QDate kDay{2003, 7, 4};

inline QByteArray appointment(int color, const char* text, const QByteArray& extra = {})
{
    return "[AppointmentSettings]\r\nDateYear=2003\r\nDateMonth=7\r\nDateDay=4\r\n"
           "StartTimeHour=9\r\nStartTimeMinute=0\r\nEndTimeHour=10\r\nEndTimeMinute=0\r\n"
           "Color=" +
           QByteArray::number(color) + "\r\nText=" + text + "\r\n" + extra;
}

class StoreFolderTest : public ::testing::Test {
protected:
    StoreFolderTest()
    {
        settings.setActiveFolder(data.path());
        folder = settings.GetDataFolder();
    }

    QString put(const QString& relative, const QByteArray& content)
    {
        TestFiles::writeSettled(folder + relative, content);
        return folder + relative;
    }

    // A stored one-time appointment on 4 July 2003, filed as the editor files it.
    std::shared_ptr<ClassTermin> stored()
    {
        auto a = std::make_shared<ClassTermin>();
        a->setDatum(QDate(2003, 7, 4));
        a->setStartTime(TimeOfDay::fromHourMinute(9, 0));
        a->setEndTime(TimeOfDay::fromHourMinute(10, 0));
        a->setText("Budget");
        EXPECT_TRUE(filing.File(*a).ok);
        return a;
    }

    QStringList textsOf(const QDate& date) { return textsOf(date, store); }
    static QStringList textsOf(const QDate& date, DataAccess& from)
    {
        QStringList texts;
        for (const TerminPtr& a : from.GetAppointmentsOfDay(date))
            texts << a->Text();
        return texts;
    }

    QTemporaryDir data;
    QTemporaryDir program;
    QTemporaryDir outside;
    QDateTime clock{QDate(2003, 7, 4), QTime(12, 0)};
    FakeFileAccess::FlakyReads files;
    ProfileCache profiles{files};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings, [this] { return clock; }};
    QList<quint32> draws{12345678, 87654321, 555};
    AppointmentFiling filing{store, [this] { return draws.isEmpty() ? 1u : draws.takeFirst(); }};
    QString folder;
};

} // namespace StoreFolder
