// The appointment editor's colour panel: the rows of the settings' colours that drop down
// below the colour field, chosen by a click or by the keys, and as a screen reader sees them.
#include "edit/form_edit.h"

#include "edit/ColorNames.h"
#include "edit/form_edit_layout.h"

#include "ui/PictureBox.h"

#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

using namespace FormEditLayout;

void form_edit::createColorPanel()
{
    pic_colors = new PictureBox(this);
    pic_colors->setObjectName(QStringLiteral("pic_colors"));
    const int width = Layout::kColor.width();
    pic_colors->resize(width, kColorRows * Layout::kColorRowHeight);
    pic_colors->hide();
    connect(pic_colors, &PictureBox::KeyDown, this, &form_edit::pic_colors_KeyDown);
    connect(pic_colors, &PictureBox::LostFocus, this, &form_edit::pic_colors_LostFocus);

    QFont small = label_header_am->font();
    small.setPointSizeF(small.pointSizeF() - 1);
    for (int i = 0; i < kColorRows; ++i) {
        auto* row = new QLabel(pic_colors);
        row->setObjectName(QStringLiteral("label_color_array_%1").arg(i));
        row->setGeometry(0, i * Layout::kColorRowHeight, width, Layout::kColorRowHeight);
        row->setFont(small);
        row->setAutoFillBackground(true);
        row->setIndent(4);
        row->setTextFormat(Qt::PlainText); // the colour names come from the settings file
        row->installEventFilter(this);
        label_color_array[size_t(i)] = row;
    }
    pic_colors->setAccessibleContent([this] { return describeColors(); });
    addDropDown(
        text_color, pic_colors, [this] { openColorPanel(); }, false);
}

void form_edit::openColorPanel()
{
    placeBeside(pic_colors, text_color);
    // The keys start from the colour the appointment has.
    moveColorCursor(text_color->value() - 1);
    pic_colors->show();
    pic_colors->setFocus();
}

void form_edit::hideColorPanel()
{
    pic_colors->hide();
}

void form_edit::moveColorCursor(int index)
{
    m_colorCursor = std::clamp(index, 0, kColorRows - 1);
    // A frame in the row's own text colour, so it shows on dark and light colours alike.
    for (int i = 0; i < kColorRows; ++i)
        label_color_array[size_t(i)]->setFrameStyle(i == m_colorCursor ? QFrame::Box | QFrame::Plain
                                                                       : QFrame::NoFrame);
    pic_colors->accessibleContentChanged();
}

AccessibleItem form_edit::describeColors() const
{
    AccessibleItem panel;
    panel.role = QAccessible::List;
    for (int i = 0; i < kColorRows; ++i) {
        const QLabel* row = label_color_array[size_t(i)];
        const bool chosen = text_color->value() == i + 1;
        AccessibleItem item = AccessibleItem::choice(
            QAccessible::ListItem, ColorNames::spoken(i + 1, settingColor(i + 1), row->text()),
            row->geometry(), chosen, i == m_colorCursor);
        item.state.checkable = true;
        item.state.checked = chosen;
        panel.children.append(item);
    }
    return panel;
}

bool form_edit::colorRowEvent(int index, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (label_color_array[size_t(index)]->rect().contains(mouse->position().toPoint()))
        label_color_array_Click(index);
    return false;
}

void form_edit::label_color_array_Click(int index)
{
    showColor(index + 1);
    hideColorPanel();
}

void form_edit::pic_colors_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Closed by a key, the panel hands the keyboard back to its field.
    if (key == Qt::Key_Escape) {
        hideColorPanel();
        text_color->setFocus();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        label_color_array_Click(m_colorCursor);
        text_color->setFocus();
        return;
    }
    if ((modifiers & ~Qt::KeypadModifier) != Qt::NoModifier)
        return;
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        moveColorCursor(m_colorCursor - 1);
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        moveColorCursor(m_colorCursor + 1);
        break;
    case Qt::Key_Home:
        moveColorCursor(0);
        break;
    case Qt::Key_End:
        moveColorCursor(kColorRows - 1);
        break;
    default:
        break;
    }
}

void form_edit::pic_colors_LostFocus()
{
    hideColorPanel();
}
