#include "ui/ToggleLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>

#include <mutex>

namespace {

const char* const kPressed = "norvaneTogglePressed";

class ToggleLabelAccessible : public QAccessibleWidget {
public:
    explicit ToggleLabelAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const bool pressed = ToggleLabel::isPressed(static_cast<QLabel*>(widget()));
        state.checkable = true;
        state.checked = pressed;
        state.pressed = pressed;
        return state;
    }

    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }

    void doAction(const QString& name) override
    {
        if (name != pressAction() && name != toggleAction())
            return QAccessibleWidget::doAction(name);
        QWidget* label = widget();
        const QPointF centre = QRectF(label->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent click(type, centre, label->mapToGlobal(centre), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(label, &click);
        }
    }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    return label && label->property(kPressed).isValid() ? new ToggleLabelAccessible(label)
                                                        : nullptr;
}

} // namespace

namespace ToggleLabel {

void make(QLabel* label)
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(factory); });
    label->setProperty(kPressed, false);
}

void setPressed(QLabel* label, bool pressed)
{
    if (isPressed(label) == pressed)
        return;
    label->setProperty(kPressed, pressed);
    QAccessible::State changed;
    changed.checked = true;
    changed.pressed = true;
    QAccessibleStateChangeEvent event(label, changed);
    QAccessible::updateAccessibility(&event);
}

bool isPressed(const QLabel* label)
{
    return label->property(kPressed).toBool();
}

} // namespace ToggleLabel
