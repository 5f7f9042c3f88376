// The main window and a series' occurrences: which of them an edit, a drop or a deletion is
// for, and the change as one request to the store service.
#include "views/form_main.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "edit/AppointmentEditing.h"
#include "service/StoreService.h"
#include "store/Recurrence.h"
#include "views/DayWeekView.h"
#include "views/SeriesChangeFiler.h"

#include <QMessageBox>
#include <QPushButton>

void form_main::editAppointment(const QString& tag)
{
    if (const std::optional<Picked> picked = pickedOfTag(tag))
        m_edits->change(picked->appointment, picked->day);
}

void form_main::askSeriesScope(const ClassTermin& part, const QDate& occurrence, SeriesAct act,
                               std::function<void(std::optional<SeriesEdit::Scope>)> answer)
{
    if (m_seriesQuestion)
        m_seriesQuestion->close(); // the latest act is the one asked about
    const QString title = part.Text().section(QStringLiteral("\r\n"), 0, 0);
    const QString day = DayNames(m_settings.LangCode()).value(Weekday(occurrence)) +
                        QStringLiteral(", ") + FormatDate(occurrence, m_settings.DateFormat());
    QString question;
    switch (act) {
    case SeriesAct::Edit:
        question = tr("\"%1\" repeats. Change only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    case SeriesAct::Move:
        question = tr("\"%1\" repeats. Move only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    case SeriesAct::Delete:
        question = tr("\"%1\" repeats. Delete only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    }
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"),
                                question.arg(title, day), QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_series_scope"));
    box->setTextFormat(Qt::PlainText); // the text comes from the share
    box->setAttribute(Qt::WA_DeleteOnClose);
    const std::pair<const char*, SeriesEdit::Scope> kinds[] = {
        {"button_series_this", SeriesEdit::Scope::This},
        {"button_series_following", SeriesEdit::Scope::Following},
        {"button_series_all", SeriesEdit::Scope::All},
    };
    const QString captions[] = {tr("Only this appointment"), tr("This and all following"),
                                tr("All appointments of the series")};
    QHash<const QAbstractButton*, SeriesEdit::Scope> scopeOf;
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = box->addButton(captions[i], QMessageBox::AcceptRole);
        button->setObjectName(QLatin1String(kinds[i].first));
        scopeOf.insert(button, kinds[i].second);
    }
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("button_series_cancel"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::finished, this, [box, scopeOf, answer = std::move(answer)] {
        const auto scope = scopeOf.constFind(box->clickedButton());
        answer(scope != scopeOf.cend() ? std::optional(*scope) : std::nullopt);
    });
    m_seriesQuestion = box;
    box->open();
}
