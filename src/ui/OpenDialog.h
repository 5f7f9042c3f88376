#pragma once

#include <QDialog>
#include <QPointer>

#include <functional>
#include <type_traits>
#include <utility>

// Shows dialog over its parent with open(), window-modal, and returns at once: no event loop
// runs inside the call. The dialog deletes itself once closed. finished gets the dialog, still
// alive, and its result code; it never runs once the parent is gone, since the dialog, its
// child, goes with it.
// With answer set, a test answers in place of the user: the dialog is never shown, finished
// runs before the call returns and the dialog is deleted then.
template <typename Dialog>
void openDialog(Dialog* dialog, const std::function<int(Dialog&)>& answer,
                std::type_identity_t<std::function<void(Dialog&, int result)>> finished)
{
    if (answer) {
        const QPointer<Dialog> guard(dialog);
        const int result = answer(*dialog);
        if (guard && finished)
            finished(*dialog, result);
        delete guard.data(); // unless finished took its parent, and the dialog with it
        return;
    }
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (finished) {
        QObject* context = dialog->parent() ? dialog->parent() : static_cast<QObject*>(dialog);
        QObject::connect(
            dialog, &QDialog::finished, context,
            [dialog, finished = std::move(finished)](int result) { finished(*dialog, result); });
    }
    static_cast<QDialog*>(dialog)->open();
}

// A dialog without a test's answer; done, when given, runs once it is closed.
inline void openDialog(QDialog* dialog, std::function<void()> done = {})
{
    openDialog<QDialog>(dialog, {}, [done = std::move(done)](QDialog&, int) {
        if (done)
            done();
    });
}
