#include "threads/Threads.h"

#include <QObject>
#include <QThread>

#include <thread>
#include <vector>

// The standard library's threads: a race checker sees their start and join.
void Threads::detached(std::function<void()> body)
{
    std::thread(std::move(body)).detach();
}

void Threads::sideBySide(int width, const std::function<void()>& body)
{
    std::vector<std::thread> others;
    for (int t = 1; t < width; ++t)
        others.emplace_back(body);
    body();
    for (std::thread& thread : others)
        thread.join();
}

QThread* Threads::eventLoopFor(QObject* object, const QString& name)
{
    auto* thread = new QThread;
    thread->setObjectName(name);
    object->moveToThread(thread);
    // Deleted on its own thread as that ends: a deleteLater asked just before quit() could
    // miss the thread's last turn.
    QObject::connect(thread, &QThread::finished, object, &QObject::deleteLater);
    thread->start();
    return thread;
}
