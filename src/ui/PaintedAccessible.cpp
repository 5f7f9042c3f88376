#include "ui/PaintedAccessible.h"

#include "ui/PictureBox.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

#include <mutex>

namespace {

using Path = QList<int>;

// The path of the focused part, depth first; empty for none.
Path focusedPath(const AccessibleItem& item, Path at = {})
{
    for (int i = 0; i < item.children.size(); ++i) {
        Path here = at;
        here.append(i);
        if (item.children[i].state.focused)
            return here;
        if (Path inner = focusedPath(item.children[i], here); !inner.isEmpty())
            return inner;
    }
    return {};
}

QRect onScreen(const PictureBox* picture, const QRect& rect)
{
    return QRect(picture->mapToGlobal(rect.topLeft()), rect.size());
}

class PictureAccessible;

// One part of a drawing, known by its path: what it is comes from the drawing's current
// description, so a part that is gone reads as invalid instead of as stale text.
class PartAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    PartAccessible(PictureBox* picture, Path path)
        : m_picture(picture)
        , m_path(std::move(path))
    {
    }

    const Path& path() const { return m_path; }

    bool isValid() const override { return item() != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        return m_picture ? m_picture->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override
    {
        Path inner = m_path;
        inner.append(index);
        return PaintedAccessible::partInterface(m_picture, inner);
    }
    int childCount() const override
    {
        const AccessibleItem* it = item();
        return it ? int(it->children.size()) : 0;
    }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        const AccessibleItem* it = item();
        if (!it)
            return {};
        switch (t) {
        case QAccessible::Name:
            return it->name;
        case QAccessible::Description:
            return it->description;
        case QAccessible::Value:
            return it->value;
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        const AccessibleItem* it = item();
        return it && m_picture ? onScreen(m_picture, it->rect) : QRect();
    }
    QAccessible::Role role() const override
    {
        const AccessibleItem* it = item();
        return it ? it->role : QAccessible::NoRole;
    }
    QAccessible::State state() const override
    {
        const AccessibleItem* it = item();
        QAccessible::State s = it ? it->state : QAccessible::State();
        if (!it || !m_picture || !m_picture->isVisible())
            s.invisible = true;
        if (it && it->state.focused && m_picture && !m_picture->hasFocus())
            s.focused = false;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        const AccessibleItem* it = item();
        if (type == QAccessible::TableCellInterface && it && it->row >= 0)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // A cell of one row and column.
    bool isSelected() const override
    {
        const AccessibleItem* it = item();
        return it && it->state.selected;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return item() ? item()->column : -1; }
    int rowIndex() const override { return item() ? item()->row : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    const AccessibleItem* item() const
    {
        return m_picture && m_picture->hasAccessibleContent()
                   ? m_picture->accessibleTree().at(m_path)
                   : nullptr;
    }

    QPointer<PictureBox> m_picture;
    Path m_path;
};

// The drawing itself: its own role, name and value as its component describes them, and the
// described parts as children in place of its child widgets.
class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureBox* picture)
        : QAccessibleWidget(picture, QAccessible::Graphic)
    {
    }

    ~PictureAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_parts))
            QAccessible::deleteAccessibleInterface(id);
    }

    PictureBox* picture() const { return static_cast<PictureBox*>(widget()); }
    bool described() const { return picture()->hasAccessibleContent(); }
    const AccessibleItem& tree() const { return picture()->accessibleTree(); }

    QAccessibleInterface* part(const Path& path)
    {
        if (path.isEmpty())
            return this;
        if (!described() || !tree().at(path))
            return nullptr;
        if (const auto found = m_parts.constFind(path); found != m_parts.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto* created = new PartAccessible(picture(), path);
        m_parts.insert(path, QAccessible::registerAccessibleInterface(created));
        return created;
    }

    int childCount() const override
    {
        return described() ? int(tree().children.size()) : QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override
    {
        if (!described())
            return QAccessibleWidget::child(index);
        return const_cast<PictureAccessible*>(this)->part({index});
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!described())
            return QAccessibleWidget::indexOfChild(child);
        const auto* p = dynamic_cast<const PartAccessible*>(child);
        return p && p->path().size() == 1 ? p->path().first() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (!described())
            return QAccessibleWidget::childAt(x, y);
        const QPoint at = picture()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < tree().children.size(); ++i) {
            if (tree().children[i].rect.contains(at))
                return child(i);
        }
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        if (!described() || !picture()->hasFocus())
            return QAccessibleWidget::focusChild();
        const Path focused = focusedPath(tree());
        return focused.isEmpty() ? nullptr : const_cast<PictureAccessible*>(this)->part(focused);
    }

    QString text(QAccessible::Text t) const override
    {
        if (!described())
            return QAccessibleWidget::text(t);
        const QString own = QAccessibleWidget::text(t);
        switch (t) {
        case QAccessible::Name: {
            // The window names the control ("Start time"); the drawing adds what it shows.
            const QString& shown = tree().name.isEmpty() ? tree().value : tree().name;
            if (own.isEmpty() || shown.isEmpty())
                return own.isEmpty() ? shown : own;
            return own + QStringLiteral(" ") + shown;
        }
        case QAccessible::Description:
            return own.isEmpty() ? tree().description : own;
        case QAccessible::Value:
            return tree().value;
        default:
            return own;
        }
    }
    QAccessible::Role role() const override
    {
        return described() ? tree().role : QAccessibleWidget::role();
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (described()) {
            s.selected = tree().state.selected;
            s.checked = tree().state.checked;
            s.expanded = tree().state.expanded;
        }
        return s;
    }

    // What was announced last, to tell what changed.
    struct Announced {
        Path focus;
        QString name;
        QString value;
        int children = 0;
    };
    Announced announced() const
    {
        return {focusedPath(tree()), tree().name, tree().value, int(tree().children.size())};
    }
    Announced m_announced;

private:
    QHash<Path, QAccessible::Id> m_parts;
};

QAccessibleInterface* PartAccessible::parent() const
{
    if (!m_picture)
        return nullptr;
    return PaintedAccessible::partInterface(m_picture, m_path.first(m_path.size() - 1));
}

int PartAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const auto* p = dynamic_cast<const PartAccessible*>(child);
    if (!p || p->path().size() != m_path.size() + 1 || p->path().first(m_path.size()) != m_path)
        return -1;
    return p->path().last();
}

QAccessibleInterface* PartAccessible::childAt(int x, int y) const
{
    const AccessibleItem* it = item();
    if (!it)
        return nullptr;
    const QPoint at = m_picture->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < it->children.size(); ++i) {
        if (it->children[i].rect.contains(at))
            return child(i);
    }
    return nullptr;
}

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("PictureBox") && object && object->isWidgetType())
        return new PictureAccessible(static_cast<PictureBox*>(object));
    return nullptr;
}

PictureAccessible* accessibleOf(PictureBox* picture)
{
    return dynamic_cast<PictureAccessible*>(QAccessible::queryAccessibleInterface(picture));
}

} // namespace

namespace PaintedAccessible {

void install()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(factory); });
}

QAccessibleInterface* partInterface(PictureBox* picture, const QList<int>& path)
{
    PictureAccessible* box = picture ? accessibleOf(picture) : nullptr;
    return box ? box->part(path) : nullptr;
}

void contentChanged(PictureBox* picture)
{
    PictureAccessible* box = accessibleOf(picture);
    if (!box || !box->described())
        return;
    const PictureAccessible::Announced before = box->m_announced;
    const PictureAccessible::Announced now = box->announced();
    box->m_announced = now;
    if (now.children != before.children) {
        QAccessibleEvent reorder(box, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    if (now.name != before.name) {
        QAccessibleEvent named(box, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
    if (now.value != before.value) {
        QAccessibleValueChangeEvent changed(box, now.value);
        QAccessible::updateAccessibility(&changed);
    }
    if (!now.focus.isEmpty() && now.focus != before.focus && picture->hasFocus()) {
        if (QAccessibleInterface* focused = box->part(now.focus)) {
            QAccessibleEvent focus(focused, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void focusEntered(PictureBox* picture)
{
    PictureAccessible* box = accessibleOf(picture);
    if (!box || !box->described())
        return;
    box->m_announced = box->announced();
    if (QAccessibleInterface* focused = box->part(box->m_announced.focus);
        focused && focused != box) {
        QAccessibleEvent focus(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

} // namespace PaintedAccessible
