// The main window's month view: the grid of the selected date's month, read through the
// store service like the day and week view, and what its clicks, double clicks and drags do.
#include "views/form_main.h"

#include "colors/StoredColor.h"
#include "layout/MonthLayout.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"
#include "views/MainWindowControls.h"
#include "views/MonthView.h"

#include <QAction>

void form_main::setupMonthView()
{
    m_monthView = new MonthView(m_ui->picture_main);
    m_monthView->setColors([this](int code) { return AppointmentColor(m_settings, code); });
    m_monthView->hide();
    connect(m_ui->picture_main, &PictureBox::Resized, this,
            [this] { m_monthView->setGeometry(m_ui->picture_main->rect()); });
    connect(m_monthView, &MonthView::resized, this, [this] {
        if (m_viewMode == ViewMode::Month)
            drawMonth();
    });
    connect(m_monthView, &MonthView::dayClicked, this,
            [this](const QDate& date) { navigate(navigation().pickDay(viewState(), date)); });
    const auto openDay = [this](const QDate& date) {
        navigate(navigation().openDay(viewState(), date));
    };
    connect(m_monthView, &MonthView::dayDoubleClicked, this, openDay);
    connect(m_monthView, &MonthView::moreClicked, this, openDay);
    connect(m_monthView, &MonthView::entryDoubleClicked, this,
            [this](const MonthLayout::Entry& entry, const QDate& day) {
                m_edits->change(*entry.appointment, day);
            });
    connect(m_monthView, &MonthView::entryPressed, this,
            [this](const MonthLayout::Entry& entry, const QDate& day) {
                m_selected = Picked{*entry.appointment, day};
            });
    connect(m_monthView, &MonthView::entryMenuAsked, this,
            [this](const MonthLayout::Entry& entry, const QDate& day, const QPoint& at) {
                m_selected = Picked{*entry.appointment, day};
                showAppointmentMenu(*m_selected, at);
            });
    connect(m_monthView, &MonthView::entryDropped, this,
            [this](const MonthLayout::Entry& entry, const QDate& from, const QDate& to, bool copy) {
                const ClassTermin& a = *entry.appointment;
                const AppointmentDrag::Drop drop{a, from, to, a.StartTime(), a.EndTime()};
                if (copy)
                    copyDropped(drop);
                else
                    m_edits->move(drop);
            });

    connect(m_ui->mnu_view_day, &QAction::triggered, this,
            [this] { navigate(navigation().dayMode(viewState())); });
    connect(m_ui->mnu_view_week, &QAction::triggered, this,
            [this] { navigate(navigation().weekMode(viewState())); });
    connect(m_ui->mnu_view_month, &QAction::triggered, this,
            [this] { navigate(navigation().monthMode(viewState())); });
}

QList<QDate> form_main::monthDays(int monthsAway) const
{
    const QDate month = m_calendar1->SelectedDate().addMonths(monthsAway);
    return MonthLayout::sheetDays(month.year(), month.month(), m_settings.FirstWeekday());
}

void form_main::drawMonth()
{
    m_monthView->setGeometry(m_ui->picture_main->rect());
    m_monthView->show();
    m_monthView->raise();
    const QDate selected = m_calendar1->SelectedDate();
    MonthLayout::Input input;
    input.year = selected.year();
    input.month = selected.month();
    input.firstWeekday = m_settings.FirstWeekday();
    input.shownWeekday = [this](int weekday) { return m_settings.ShowWeek(weekday); };
    input.weekRule = m_settings.FirstCW();
    input.days = shownDays();
    input.linesPerCell = m_monthView->linesPerCell(int(monthDays(0).size() / 7));
    input.timeFormat = m_settings.TimeFormat();
    input.langCode = m_settings.LangCode();
    input.today = today();
    input.selected = selected;
    m_monthView->setFolders(FolderMarks::shown(m_settings));
    m_monthView->setMonth(MonthLayout::layOut(input), m_settings.LangCode());
}

void form_main::askForMonthDays(bool freshMarks)
{
    StoreService::Request request;
    request.freshMarks = freshMarks;
    request.viewDays = monthDays(0);
    request.markDays = calendarDays();
    // The months before and after, so Page Up and Down show at once.
    for (int away : {-1, 1})
        for (const QDate& day : monthDays(away))
            if (!request.viewDays.contains(day) && !request.warmDays.contains(day))
                request.warmDays << day;
    m_stores->show(request);
}
