#pragma once

#include "profile/DateParts.h"
#include "store/Recurrence.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <optional>

class ClassTermin;

namespace Stress {

// The two weeks every writer files into and every reader loads.
inline const QDate kFirstDay{2030, 3, 4};
constexpr int kDays = 14;
QList<QDate> days();

// What a writer set on one version of an appointment. The text carries all of it with a
// checksum, so a reader tells one whole version from a mixture of two.
struct Stamp {
    int writer = 0;
    int appointment = 0;
    int version = 0;
    QDate date;
    Recurrence::Kind kind = Recurrence::Kind::None;
    TimeOfDay start;
    TimeOfDay end;
    int color = 1;

    QString id() const;
};

// "w3-a17-v5 d=2030-03-04 k=wd s=09:15 e=10:30 c=4 | <payload> #sum=<8 hex digits>".
QString composeText(const Stamp& stamp, const QString& payload);
// nullopt, with the reason in why, when the text is not one whole version.
std::optional<Stamp> parseText(const QString& text, QString* why);

// Line breaks, "=", and now and then characters only UTF-8 holds, so escaping and both
// encodings are on the way of every version.
QString randomPayload(QRandomGenerator& random);

// Empty when the record is exactly what the stamp in its text says, else the mismatch.
QString checkRecord(const ClassTermin& record, const QString& dataFolder);

// The bytes of one appointment file as a reader finds them on disk: empty when they are one
// complete file whose text holds a whole version, else what is wrong. text receives the text.
QString checkFileBytes(const QByteArray& bytes, const QString& path, const QString& dataFolder,
                       QString* text = nullptr);

// The owner name written into every appointment of a writer.
QString producerOf(int writer);

} // namespace Stress
