#include "views/MainWindowControls.h"

#include "colors/Palette.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"
#include "ui/ToggleLabel.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int kTwips = PictureBox::kTwipsPerPixel;
// The search field and its range sit just above the day and week strip.
constexpr int kSearchAbove = 720;
constexpr int kRangeAbove = 360;

int px(int twips)
{
    return twips / kTwips;
}

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

template <typename T> T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// The 16 x 16 pictures of the navigation buttons, drawn rather than shipped.
QIcon arrowIcon(bool right, bool doubled)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    auto triangle = [&](int tipX) {
        const int back = right ? tipX - 6 : tipX + 6;
        const QPointF points[] = {{qreal(tipX), 8}, {qreal(back), 3}, {qreal(back), 13}};
        p.drawPolygon(points, 3);
    };
    if (doubled) {
        triangle(right ? 9 : 7);
        triangle(right ? 14 : 2);
    } else {
        triangle(right ? 12 : 4);
    }
    return QIcon(pixmap);
}

QIcon todayIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 2, 2);
    return QIcon(pixmap);
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QIcon& icon, int left, int top)
{
    auto* button = named(new QToolButton(parent), name);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setAutoRaise(true);
    // The pictures are white: a hover lightens the strip a little instead of turning white.
    button->setStyleSheet(
        QStringLiteral("QToolButton { border: none; background: transparent; border-radius: 3px; }"
                       " QToolButton:hover { background: rgba(255, 255, 255, 70); }"
                       " QToolButton:pressed { background: rgba(0, 0, 0, 70); }"));
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(pxRect(left, top, 255, 255));
    return button;
}

QWidget* strip(QWidget* parent, const char* name, const QColor& color)
{
    auto* widget = named(new QWidget(parent), name);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ScreenColors::of(parent).adapt(color));
    widget->setPalette(palette);
    return widget;
}

PictureBox* picture(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* box = named(new PictureBox(parent), name);
    box->setGeometry(geometry);
    box->setFocusPolicy(Qt::NoFocus);
    return box;
}

QLabel* clickableLabel(QWidget* parent, const char* name, bool bold, const QColor& color)
{
    auto* label = named(new QLabel(parent), name);
    QFont font(QStringLiteral("Arial"), 8);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     ScreenColors(palette).legible(color, palette.color(QPalette::Window)));
    label->setPalette(palette);
    return label;
}

// The day and week switch: the chosen one on the selection's colour, the other on the strip.
void setLabelColors(QLabel* label, bool chosen)
{
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    const ScreenColors colors(palette);
    const QColor background =
        chosen ? colors.selection(Palette::kDarkBlue) : colors.adapt(Palette::kHeaderGrey);
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, chosen ? colors.onSelection(Qt::white)
                                                  : colors.legible(Palette::kDarkBlue, background));
    label->setPalette(palette);
}

} // namespace

MainWindowControls::MainWindowControls(QMainWindow* mainWindow)
    : window(mainWindow)
{
    buildControls();
    buildMenus();
}

void MainWindowControls::buildControls()
{
    auto* central = new QWidget(window);
    window->setCentralWidget(central);
    window->resize(px(10560), px(7245) + window->menuBar()->sizeHint().height());

    picture_main = picture(central, "picture_main", pxRect(120, 60, 7995, 7095));
    vscroll = named(new QScrollBar(Qt::Vertical, picture_main), "vscroll");
    vscroll->setGeometry(pxRect(7680, 0, 255, 7035));
    vscroll->setEnabled(false);
    vscroll->setFocusPolicy(Qt::NoFocus);
    pic_panel = strip(picture_main, "pic_panel", Qt::white);
    pic_panel->setGeometry(pxRect(0, 360, 7635, 6615));
    pic_view = picture(pic_panel, "pic_view", pxRect(60, 0, 7515, 6555));
    label_stale = named(new QLabel(pic_panel), "label_stale");
    label_stale->setTextFormat(Qt::PlainText);
    label_stale->setWordWrap(true);
    label_stale->setAutoFillBackground(true);
    label_stale->setMargin(4);
    {
        QPalette palette = label_stale->palette();
        const ScreenColors colors(palette);
        const QColor background = colors.adapt(Palette::kDropTarget);
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::WindowText, colors.legible(Palette::kAlertRed, background));
        label_stale->setPalette(palette);
    }
    label_stale->hide();

    pic_navigate = strip(central, "pic_navigate", Palette::kHeaderGrey);
    pic_navigate->setGeometry(pxRect(8220, 60, 2235, 255));
    pic_month_back = pictureButton(pic_navigate, "pic_month_back", arrowIcon(false, true), 120, 0);
    pic_yesterday = pictureButton(pic_navigate, "pic_yesterday", arrowIcon(false, false), 720, 0);
    pic_today = pictureButton(pic_navigate, "pic_today", todayIcon(), 960, 0);
    pic_tomorrow = pictureButton(pic_navigate, "pic_tomorrow", arrowIcon(true, false), 1200, 0);
    pic_month_next = pictureButton(pic_navigate, "pic_month_next", arrowIcon(true, true), 1860, 0);

    pic_cal1 = strip(central, "pic_cal1", Palette::kHeaderGrey);
    pic_cal1->setGeometry(pxRect(8220, 480, 2235, 255));
    label_monat = clickableLabel(pic_cal1, "label_monat", true, Palette::kDarkBlue);
    label_monat->setGeometry(pxRect(60, 30, 1155, 195));
    label_monat->setCursor(Qt::PointingHandCursor);
    label_jahr = clickableLabel(pic_cal1, "label_jahr", true, Palette::kDarkBlue);
    label_jahr->setGeometry(pxRect(1680, 30, 495, 195));
    label_jahr->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label_jahr->setCursor(Qt::PointingHandCursor);
    pic_calendar1 = picture(central, "pic_calendar1", pxRect(8220, 720, 2235, 1755));

    pic_cal2 = strip(central, "pic_cal2", Palette::kHeaderGrey);
    pic_cal2->setGeometry(pxRect(8220, 2640, 2235, 255));
    label_monat2 = clickableLabel(pic_cal2, "label_monat2", false, Qt::black);
    label_monat2->setGeometry(pxRect(60, 30, 1215, 195));
    label_jahr2 = clickableLabel(pic_cal2, "label_jahr2", false, Qt::black);
    label_jahr2->setGeometry(pxRect(1320, 30, 855, 195));
    label_jahr2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    pic_calendar2 = picture(central, "pic_calendar2", pxRect(8220, 2880, 2235, 1755));

    label_datasource = named(new QLabel(central), "label_datasource");
    // Room for a third line: a long folder name or its state wraps instead of being cut.
    label_datasource->setGeometry(pxRect(8220, 4740, 2235, 855));
    label_datasource->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_datasource->setWordWrap(true);
    label_datasource->setTextFormat(Qt::PlainText);

    text_search = named(new QLineEdit(central), "text_search");
    text_search->setGeometry(pxRect(8220, 6840 - kSearchAbove, 2235, 330));
    text_search->setClearButtonEnabled(true);
    combo_search_range = named(new QComboBox(central), "combo_search_range");
    combo_search_range->setGeometry(pxRect(8220, 6840 - kRangeAbove, 2235, 330));
    combo_search_range->addItems({QString(), QString(), QString()});

    pic_dayweek = strip(central, "pic_dayweek", Palette::kHeaderGrey);
    pic_dayweek->setGeometry(pxRect(8220, 6840, 2235, 315));
    pic_back = pictureButton(pic_dayweek, "pic_back", arrowIcon(false, false), 120, 30);
    pic_next = pictureButton(pic_dayweek, "pic_next", arrowIcon(true, false), 1860, 30);
    label_day = clickableLabel(pic_dayweek, "label_day", true, Palette::kDarkBlue);
    label_day->setGeometry(pxRect(360, 45, 735, 225));
    label_week = clickableLabel(pic_dayweek, "label_week", true, Palette::kDarkBlue);
    label_week->setGeometry(pxRect(1080, 45, 735, 225));
    for (QLabel* label : {label_day, label_week}) {
        label->setAlignment(Qt::AlignCenter);
        label->setCursor(Qt::PointingHandCursor);
        ToggleLabel::make(label);
    }

    // Tab goes from the calendars to the grid and on to the search; a click leaves the
    // keyboard with the window, whose arrow keys step the view.
    pic_calendar1->setFocusPolicy(Qt::TabFocus);
    pic_calendar2->setFocusPolicy(Qt::TabFocus);
    pic_view->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(pic_calendar1, pic_calendar2);
    QWidget::setTabOrder(pic_calendar2, pic_view);
    QWidget::setTabOrder(pic_view, text_search);
    QWidget::setTabOrder(text_search, combo_search_range);
}

void MainWindowControls::buildMenus()
{
    auto entry = [](QMenu* menu, const char* name) {
        return named(menu->addAction(QString()), name);
    };
    QMenuBar* bar = window->menuBar();
    mnu_file = named(bar->addMenu(QString()), "mnu_file");
    mnu_file_import = entry(mnu_file, "mnu_file_import");
    mnu_file_import_ics = entry(mnu_file, "mnu_file_import_ics");
    mnu_file_export_ics = entry(mnu_file, "mnu_file_export_ics");
    mnu_file_undo_import = entry(mnu_file, "mnu_file_undo_import");
    mnu_file_subscribe = entry(mnu_file, "mnu_file_subscribe");
    mnu_file_offline = entry(mnu_file, "mnu_file_offline");
    mnu_file_offline->setCheckable(true);
    mnu_file->addSeparator();
    mnu_file_print = entry(mnu_file, "mnu_file_print");
    mnu_file_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    mnu_file_export_pdf = entry(mnu_file, "mnu_file_export_pdf");
    mnu_file->addSeparator();
    mnu_file_exit = entry(mnu_file, "mnu_file_exit");

    mnu_edit = named(bar->addMenu(QString()), "mnu_edit");
    mnu_edit_undo = entry(mnu_edit, "mnu_edit_undo");
    mnu_edit_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnu_edit_redo = entry(mnu_edit, "mnu_edit_redo");
    mnu_edit_redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    mnu_edit->addSeparator();
    mnu_edit_cut = entry(mnu_edit, "mnu_edit_cut");
    mnu_edit_cut->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    mnu_edit_copy = entry(mnu_edit, "mnu_edit_copy");
    mnu_edit_copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnu_edit_paste = entry(mnu_edit, "mnu_edit_paste");
    mnu_edit_paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    mnu_edit->addSeparator();
    mnu_edit_find = entry(mnu_edit, "mnu_edit_find");
    mnu_edit_find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    mnu_edit_find_time = entry(mnu_edit, "mnu_edit_find_time");

    mnu_appointment = named(bar->addMenu(QString()), "mnu_appointment");
    mnu_appointment_new = entry(mnu_appointment, "mnu_appointment_new");
    mnu_appointment_new->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));

    // The keys of the views are the window's own (their letters follow the language).
    mnu_view = named(bar->addMenu(QString()), "mnu_view");
    mnu_view_day = entry(mnu_view, "mnu_view_day");
    mnu_view_week = entry(mnu_view, "mnu_view_week");
    mnu_view_month = entry(mnu_view, "mnu_view_month");
    mnu_view_list = entry(mnu_view, "mnu_view_list");
    mnu_view_people = entry(mnu_view, "mnu_view_people");
    mnu_view->addSeparator();
    mnu_view_goto = entry(mnu_view, "mnu_view_goto");
    mnu_view_goto->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));

    mnu_settings = named(bar->addMenu(QString()), "mnu_settings");
    mnu_settings_program = entry(mnu_settings, "mnu_settings_program");
    mnu_settings_program->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));

    mnu_datafolder = named(bar->addMenu(QString()), "mnu_datafolder");

    mnu_help = named(bar->addMenu(QString()), "mnu_help");
    mnu_help_help = entry(mnu_help, "mnu_help_help");
    mnu_help_help->setShortcut(QKeySequence(Qt::Key_F1));
    mnu_help->addSeparator();
    mnu_help_info = entry(mnu_help, "mnu_help_info");
    mnu_help_info->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    mnu_popup_termin = named(new QMenu(window), "mnu_popup_termin");
    mnu_popup_termin_edit = entry(mnu_popup_termin, "mnu_popup_termin_edit");
    mnu_popup_termin_duplicate = entry(mnu_popup_termin, "mnu_popup_termin_duplicate");
    mnu_popup_termin_copy = entry(mnu_popup_termin, "mnu_popup_termin_copy");
    mnu_popup_termin_cut = entry(mnu_popup_termin, "mnu_popup_termin_cut");
    mnu_popup_termin->addSeparator();
    mnu_popup_termin_del = mnu_popup_termin->addMenu(QString());
    mnu_popup_termin_del->menuAction()->setObjectName(QStringLiteral("mnu_popup_termin_del"));
    mnu_popup_termin_del_yes = entry(mnu_popup_termin_del, "mnu_popup_termin_del_yes");

    mnu_taskbar = named(new QMenu(window), "mnu_taskbar");
    mnu_taskbar_show = entry(mnu_taskbar, "mnu_taskbar_show");
    mnu_taskbar_show->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnu_taskbar->addSeparator();
    mnu_taskbar_exit = entry(mnu_taskbar, "mnu_taskbar_exit");
    mnu_taskbar_exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));

    mnu_popup_datum = named(new QMenu(window), "mnu_popup_datum");
    for (int i = 0; i < 12; ++i) {
        QAction* item = mnu_popup_datum->addAction(QString());
        item->setCheckable(true);
        mnu_popup_datum_array.append(item);
    }
}

void MainWindowControls::SetLanguageTexts()
{
    mnu_file->setTitle(tr("&File"));
    mnu_file_import->setText(tr("&Import holidays"));
    mnu_file_import_ics->setText(tr("Import i&Calendar..."));
    mnu_file_export_ics->setText(tr("Export to iCa&lendar..."));
    mnu_file_undo_import->setText(tr("&Undo last import..."));
    mnu_file_subscribe->setText(tr("Su&bscribe to calendar..."));
    mnu_file_offline->setText(tr("Work &offline"));
    mnu_file_print->setText(tr("&Print..."));
    mnu_file_export_pdf->setText(tr("Export as P&DF..."));
    mnu_file_exit->setText(tr("&Exit"));
    mnu_edit->setTitle(tr("&Edit"));
    mnu_edit_cut->setText(tr("Cu&t"));
    mnu_edit_copy->setText(tr("&Copy"));
    mnu_edit_paste->setText(tr("&Paste"));
    mnu_edit_find->setText(tr("&Find..."));
    mnu_edit_find_time->setText(tr("Find &a time..."));
    text_search->setPlaceholderText(tr("Search (Ctrl+F)"));
    text_search->setToolTip(tr("Words of the text or the owner, or a date to go to"));
    combo_search_range->setItemText(0, tr("-1 to +2 years"));
    combo_search_range->setItemText(1, tr("From today on"));
    combo_search_range->setItemText(2, tr("Everything"));
    combo_search_range->setToolTip(tr("Which days the search looks at"));
    mnu_appointment->setTitle(tr("&Appointment"));
    mnu_appointment_new->setText(tr("&New appointment..."));
    mnu_view->setTitle(tr("&View"));
    mnu_view_day->setText(tr("&Day"));
    mnu_view_week->setText(tr("&Week"));
    mnu_view_month->setText(tr("&Month"));
    mnu_view_list->setText(tr("&List"));
    mnu_view_people->setText(tr("By &person"));
    mnu_view_goto->setText(tr("&Go to date..."));
    mnu_settings->setTitle(tr("&Settings"));
    mnu_settings_program->setText(tr("&Programsettings"));
    mnu_datafolder->setTitle(tr("Data&source"));
    mnu_help->setTitle(tr("&?"));
    mnu_help_help->setText(tr("Online &Help..."));
    mnu_help_info->setText(tr("&Info"));
    mnu_popup_termin_edit->setText(tr("Edit"));
    mnu_popup_termin_duplicate->setText(tr("Duplicate"));
    mnu_popup_termin_copy->setText(tr("Copy"));
    mnu_popup_termin_cut->setText(tr("Cut"));
    mnu_popup_termin_del->setTitle(tr("Delete appointment..."));
    mnu_popup_termin_del_yes->setText(tr("Yes!"));
    mnu_taskbar_show->setText(tr("Show"));
    mnu_taskbar_exit->setText(tr("Exit Norvane4"));

    pic_month_back->setToolTip(tr("previous month"));
    pic_month_next->setToolTip(tr("next month"));
    pic_today->setToolTip(tr("Today"));
    pic_tomorrow->setToolTip(tr("Tomorrow"));
    pic_yesterday->setToolTip(tr("Yesterday"));
    label_day->setText(tr("Day"));
    label_week->setText(tr("Week"));
    text_search->setAccessibleName(tr("Search"));
    combo_search_range->setAccessibleName(tr("Search range"));
    picture_main->setAccessibleName(tr("Day headers"));
    NameButtonsByTooltips();
}

void MainWindowControls::NameButtonsByTooltips()
{
    // The arrows are pictures: a screen reader reads what the tooltip tells a mouse user.
    for (QToolButton* button : {pic_month_back, pic_yesterday, pic_today, pic_tomorrow,
                                pic_month_next, pic_back, pic_next})
        button->setAccessibleName(button->toolTip());
}

void MainWindowControls::ShowDayWeekSelection(ViewMode mode)
{
    const bool week = mode == ViewMode::Week;
    const bool month = !showsDayColumns(mode);
    setLabelColors(week ? label_week : label_day, !month);
    setLabelColors(week ? label_day : label_week, false);
    // The month and the list show neither as chosen.
    ToggleLabel::setPressed(label_day, !week && !month);
    ToggleLabel::setPressed(label_week, week && !month);
}

void MainWindowControls::showDataSource(const QString& text, const QString& folderPath,
                                        bool reachable)
{
    // The label wraps at blanks; a word wider than the panel (a folder name without blanks) is
    // shortened in its middle, and the label grows down to the strip below it, so its state
    // and the user's line are never cut. The tooltip names the folder whole.
    const QFontMetrics metrics(label_datasource->font());
    const int width = label_datasource->width();
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QStringList words = line.split(QLatin1Char(' '));
        for (QString& word : words)
            if (metrics.horizontalAdvance(word) > width)
                word = metrics.elidedText(word, Qt::ElideMiddle, width);
        line = words.join(QLatin1Char(' '));
    }
    label_datasource->setText(lines.join(QLatin1Char('\n')));
    const int room = std::max(px(855), text_search->y() - px(60) - label_datasource->y());
    label_datasource->resize(width,
                             std::clamp(label_datasource->heightForWidth(width), px(855), room));
    label_datasource->setToolTip(
        Qt::convertFromPlainText(QDir::toNativeSeparators(folderPath) + QLatin1Char('\n') + text));
    QPalette palette; // the window's own colours
    if (!reachable)
        palette.setColor(
            QPalette::WindowText,
            ScreenColors(palette).legible(Palette::kAlertRed, palette.color(QPalette::Window)));
    label_datasource->setPalette(palette);
}

bool MainWindowControls::Form_Resize()
{
    if (window->isMinimized())
        return false;
    const int w = PictureBox::toTwips(window->centralWidget()->width());
    const int h = PictureBox::toTwips(window->centralWidget()->height());
    if (w > 7500) {
        picture_main->resize(px(w - 2565), picture_main->height());
        for (QWidget* control :
             {pic_navigate, static_cast<QWidget*>(pic_calendar1),
              static_cast<QWidget*>(pic_calendar2), pic_cal1, pic_cal2, pic_dayweek,
              static_cast<QWidget*>(label_datasource), static_cast<QWidget*>(text_search),
              static_cast<QWidget*>(combo_search_range)})
            control->move(px(w - 2340), control->y());
    }
    if (h > 5800) {
        picture_main->resize(picture_main->width(), px(h - 150));
        pic_dayweek->move(pic_dayweek->x(), px(h - 405));
        text_search->move(text_search->x(), px(h - 405 - kSearchAbove));
        combo_search_range->move(combo_search_range->x(), px(h - 405 - kRangeAbove));
    }
    return picture_main_Resize();
}

bool MainWindowControls::picture_main_Resize()
{
    if (window->isMinimized())
        return false;
    const int w = picture_main->ScaleWidth();
    const int h = picture_main->ScaleHeight();
    const int s = PictureBox::toTwips(vscroll->width());
    const int panelTop = PictureBox::toTwips(pic_panel->y());
    int panelHeight = PictureBox::toTwips(pic_panel->height());
    if (h > 1000) {
        vscroll->setGeometry(px(w - s - 60), 0, vscroll->width(), px(h - 60));
        panelHeight = h - panelTop - 120;
    } else {
        vscroll->move(px(w - s - 60), 0);
    }
    const QSize panel(px(std::max(0, w - s - 150)), px(panelHeight));
    if (panel == pic_panel->size())
        return false;
    pic_panel->resize(panel);
    pic_panel_Resize();
    return true;
}

void MainWindowControls::showStale(const QString& text)
{
    label_stale->setText(text);
    label_stale->setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        label_stale->setGeometry(0, 0, pic_panel->width(),
                                 label_stale->heightForWidth(pic_panel->width()));
        label_stale->raise();
    }
}

void MainWindowControls::pic_panel_Resize()
{
    if (label_stale->isVisible())
        showStale(label_stale->text());
    const int panelWidth = PictureBox::toTwips(pic_panel->width());
    if (panelWidth > 1000)
        pic_view->resize(px(panelWidth - 60), pic_view->height());
}
