// The main window's agenda list: the days from the selected date on, read through the store
// service like the other views; and the Go to date dialog, for every view.
#include "views/form_main.h"

#include "colors/StoredColor.h"
#include "layout/AgendaLayout.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "views/AgendaView.h"
#include "views/Calendar.h"
#include "views/GoToDateDialog.h"
#include "views/MainWindowControls.h"

#include <QAction>

void form_main::setupListView()
{
    m_listView = new AgendaView(m_ui->picture_main);
    m_listView->setColors([this](int code) { return AppointmentColor(m_settings, code); });
    m_listView->hide();
    connect(m_ui->picture_main, &PictureBox::Resized, this,
            [this] { m_listView->setGeometry(m_ui->picture_main->rect()); });
    connect(m_listView, &AgendaView::lineDoubleClicked, this,
            [this](const AgendaLayout::Line& line, const QDate& day) {
                m_edits->change(*line.appointment, day);
            });
    connect(m_listView, &AgendaView::linePressed, this,
            [this](const AgendaLayout::Line& line, const QDate& day) {
                m_selected = Picked{*line.appointment, day};
            });
    connect(m_ui->mnu_view_list, &QAction::triggered, this,
            [this] { navigate(navigation().listMode(viewState())); });
    connect(m_ui->mnu_view_goto, &QAction::triggered, this, &form_main::openGoToDate);
}

QList<QDate> form_main::listDays(int listsAway) const
{
    const QDate from = m_calendar1->SelectedDate().addDays(listsAway * ViewNavigation::kListDays);
    QList<QDate> days;
    for (int i = 0; i < ViewNavigation::kListDays; ++i)
        days << from.addDays(i);
    return days;
}

void form_main::drawList()
{
    m_listView->setGeometry(m_ui->picture_main->rect());
    m_listView->show();
    m_listView->raise();
    AgendaLayout::Input input;
    input.days = shownDays();
    input.from = m_calendar1->SelectedDate();
    input.count = ViewNavigation::kListDays;
    input.today = today();
    input.timeFormat = m_settings.TimeFormat();
    input.dateFormat = m_settings.DateFormat();
    input.langCode = m_settings.LangCode();
    m_listView->setFolders(FolderMarks::shown(m_settings));
    m_listView->setGroups(AgendaLayout::layOut(input), m_settings.LangCode());
}

void form_main::askForListDays(bool freshMarks)
{
    StoreService::Request request;
    request.freshMarks = freshMarks;
    request.viewDays = listDays(0);
    request.markDays = calendarDays();
    // The days before and after, so Page Up and Down show at once.
    for (int away : {-1, 1})
        request.warmDays << listDays(away);
    m_stores->show(request);
}

void form_main::openGoToDate()
{
    auto* dialog = new GoToDateDialog(m_calendar1->SelectedDate(), m_settings.DateFormat(), this);
    connect(dialog, &GoToDateDialog::dateChosen, this,
            [this](const QDate& date) { navigate(navigation().goTo(viewState(), date)); });
    dialog->show();
}
