#pragma once

#include <QString>

#include <functional>

class QObject;
class QThread;

// The threads that are not a WorkerThread start here, so there is one place to look for what
// runs beside the window's thread.
namespace Threads {

// Runs body on a thread that ends on its own and is never waited for: body takes along
// (by value or shared) whatever it uses.
void detached(std::function<void()> body);
// Runs body on width threads side by side, the calling one among them, and returns once
// every one of them has returned.
void sideBySide(int width, const std::function<void()>& body);
// A started thread with an event loop of its own for object, which moves there and is deleted
// there as the thread ends. The caller ends it with quit() and wait() (one stuck on a share:
// WorkerThread::keepAbandoned).
QThread* eventLoopFor(QObject* object, const QString& name);

} // namespace Threads
