#include "ui/QtMainThread.h"

#include <QCoreApplication>
#include <QMetaObject>

#include "foundation/MainThread.h"

namespace qm {

void installQtMainThread()
{
    MainThread::adoptCurrentThread();
    MainThread::setPoster([](MainThread::Task task) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
    });
}

} // namespace qm
