#include "ui/PaintClock.h"

#include <chrono>
#include <utility>

#include <QEvent>
#include <QWidget>

namespace qm {

PaintClock::PaintClock(QWidget* widget) : QObject(widget)
{
    widget->installEventFilter(this);
}

void PaintClock::await(QString what)
{
    mAwaited = std::move(what);
}

bool PaintClock::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Paint && mAwaited) {
        const std::chrono::duration<double> now = std::chrono::steady_clock::now().time_since_epoch();
        mLastPainted = Painted{*std::exchange(mAwaited, std::nullopt), now.count()};
    }
    return false;
}

} // namespace qm
