#include "ui/QtMainThread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "foundation/MainThread.h"

namespace qm {

void installQtMainThread()
{
    MainThread::adoptCurrentThread();
    MainThread::setPoster([](MainThread::Task task) {
        if (QCoreApplication* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(application, std::move(task), Qt::QueuedConnection);
    });
}

// Tasks that come once the event loop has ended are dropped, never run: what they would touch is
// going. A thread waiting for such a task is released (its promise goes with the task).
void endQtMainThread()
{
    MainThread::setPoster([](MainThread::Task) {});
}

} // namespace qm
