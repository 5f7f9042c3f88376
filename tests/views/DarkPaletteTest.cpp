// The drawn parts on a dark desktop: every one takes its colours from the palette, with no
// glaring white or pastel areas and every text readable on what it is drawn on. Read from what
// each part drew, as coloured shapes, not from pixels.
#include "FormMainFixture.h"
#include "RecordedDrawing.h"
#include "ui/ClassMonthDD.h"
#include "ui/ClassTabs.h"
#include "ui/ClassTimeDD.h"
#include "views/AgendaView.h"
#include "views/Calendar.h"
#include "views/MonthView.h"

#include <QApplication>

namespace {

QPalette darkPalette()
{
    QPalette dark(QColor(230, 230, 230), QColor(53, 53, 53), QColor(90, 90, 90), QColor(25, 25, 25),
                  QColor(70, 70, 70), QColor(230, 230, 230), Qt::white, QColor(35, 35, 35),
                  QColor(53, 53, 53));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Highlight, QColor(38, 79, 120));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// What a dark desktop must not get: a glaring fill, or a text that does not stand off what it
// is drawn on.
std::string faults(const RecordedDrawing& drawing)
{
    QStringList found;
    int texts = 0;
    for (qsizetype i = 0; i < drawing.shapes.size(); ++i) {
        const RecordedDrawing::Shape& shape = drawing.shapes[i];
        if (shape.kind == RecordedDrawing::Shape::Fill &&
            ScreenColors::luminance(shape.color) > 0.3)
            found << "glaring fill " + shape.color.name();
        if (shape.kind != RecordedDrawing::Shape::Text)
            continue;
        ++texts;
        const QColor under = drawing.under(i).value_or(QColor(Qt::white));
        if (ScreenColors::contrast(shape.color, under) < ScreenColors::kReadable)
            found << QStringLiteral("'%1' %2 on %3")
                         .arg(shape.text, shape.color.name(), under.name());
    }
    if (texts == 0)
        found << "no text drawn";
    found.removeDuplicates();
    return found.join(QStringLiteral("; ")).toStdString();
}

// While it lives, the picture's drawings go to the recording too.
struct Witness {
    Witness(PictureBox* picture, RecordedDrawing& drawing)
        : picture(picture)
    {
        picture->setWitness(&drawing);
    }
    ~Witness() { picture->setWitness(nullptr); }
    PictureBox* picture;
};

class DarkPaletteTest : public FormMainTest {
protected:
    DarkPaletteTest() { QApplication::setPalette(darkPalette()); }
    ~DarkPaletteTest() override { QApplication::setPalette(m_light); }

    void drawn(const char* picture, RecordedDrawing& drawing, const std::function<void()>& redraw)
    {
        Witness witness(child<PictureBox>(picture), drawing);
        redraw();
    }
    // Another day: the grid and its headers are drawn anew.
    void showDay(const QDate& date)
    {
        window().calendar1().setSelectedDate(date);
        loadView();
    }
    void rendered(QWidget* widget, RecordedDrawing& drawing)
    {
        ASSERT_TRUE(widget && widget->isVisible());
        widget->render(&drawing);
    }

    QPalette m_light = QApplication::palette();
};

TEST_F(DarkPaletteTest, EveryDrawnPartFollowsADarkPalette)
{
    put(kNow.date(), 9, 10, "Standup");
    put(kNow.date().addDays(1), 11, 12, "Review");
    window();
    showDay(kNow.date().addDays(-1));
    const std::pair<const char*, std::function<void(RecordedDrawing&)>> parts[] = {
        {"day grid", [&](auto& d) { drawn("pic_view", d, [&] { showDay(kNow.date()); }); }},
        {"day headers",
         [&](auto& d) { drawn("picture_main", d, [&] { showDay(kNow.date().addDays(1)); }); }},
        {"appointments",
         [&](auto& d) {
             for (QLabel* label : appointmentLabels())
                 rendered(label, d);
         }},
        {"calendar",
         [&](auto& d) {
             drawn("pic_calendar1", d,
                   [&] { window().calendar1().DisplayMonth(kNow.date(), kNow.date().addDays(2)); });
         }},
        {"month view",
         [&](auto& d) {
             key(Qt::Key_M);
             rendered(child<MonthView>("month_view"), d);
         }},
        {"list view",
         [&](auto& d) {
             key(Qt::Key_L);
             rendered(child<AgendaView>("agenda_view"), d);
         }},
        {"date picker",
         [&](auto& d) {
             PictureBox picture;
             ClassMonthDD picker([] { return kNow.date(); });
             picker.Bind(&picture);
             picker.setSelectedDate(kNow.date().addDays(3));
             Witness witness(&picture, d);
             picker.Display();
         }},
        {"time picker",
         [&](auto& d) {
             PictureBox picture;
             ClassTimeDD picker;
             picker.Bind(&picture);
             Witness witness(&picture, d);
             picker.Display();
         }},
        {"page tabs",
         [&](auto& d) {
             PictureBox picture;
             picture.resize(300, 20);
             ClassTabs tabs;
             tabs.Bind(&picture);
             Witness witness(&picture, d);
             tabs.AddHeader(QStringLiteral("Appointment"), false, Qt::black);
             tabs.AddHeader(QStringLiteral("Reminder"), true, QColor(255, 0, 0));
         }},
    };
    for (const auto& [part, draw] : parts) {
        RecordedDrawing drawing;
        draw(drawing);
        EXPECT_EQ(faults(drawing), "") << part;
    }
}

} // namespace
