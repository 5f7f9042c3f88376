#pragma once

// The tests' day mini-language: "9-10 9:30-11/2" is one appointment from 09:00 to 10:00 and
// one from 09:30 to 11:00 in colour 2.
#include "store/ClassTermin.h"

#include <QDate>
#include <QList>
#include <QString>

#include <memory>

// What the tests that count from today take as today: a Wednesday far from a change of the
// clocks, so no test depends on the day it runs.
inline const QDate kTestToday(2026, 1, 14);

inline TimeOfDay at(int hour, int minute = 0)
{
    return TimeOfDay::fromHourMinute(hour, minute);
}

inline QList<TerminPtr> dayOf(const QString& times)
{
    const auto time = [](const QString& text) {
        return at(text.section(':', 0, 0).toInt(), text.section(':', 1, 1).toInt());
    };
    QList<TerminPtr> day;
    for (const QString& item : times.split(' ', Qt::SkipEmptyParts)) {
        const QString range = item.section('/', 0, 0);
        auto a = std::make_shared<ClassTermin>();
        a->setStartTime(time(range.section('-', 0, 0)));
        a->setEndTime(time(range.section('-', 1)));
        a->setColorCode(qint16(item.contains('/') ? item.section('/', 1).toInt() : 1));
        day << a;
    }
    return day;
}
