#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The program speaks German for the language code "de" and English for every other code.
bool IsGerman(const QString& langCode);

// Weekday names, index 1 = Sunday … 7 = Saturday; month names, index 1 = January … 12 =
// December. Index 0 of each list is empty.
QStringList DayNames(const QString& langCode);
// The first two letters of each day name ("Mo"), as week headings and printouts shorten them.
QStringList ShortDayNames(const QString& langCode);
QStringList MonthNames(const QString& langCode);
// A date written out as a screen reader reads it: "Monday, 7 December 2026", German
// "Montag, 7. Dezember 2026".
QString LongDate(const QDate& date, const QString& langCode);
// The month of a date with its year, as a month sheet is titled: "December 2026", German
// "Dezember 2026".
QString MonthYear(const QDate& date, const QString& langCode);
// What stands for the times of an appointment that takes the whole day.
QString AllDayText(const QString& langCode);
