#pragma once

#include <optional>

#include <QObject>
#include <QString>

class QWidget;

namespace qm {

// Tells when a widget first painted something it was told to await: the monotonic time (the clock
// of CLOCK_MONOTONIC, which other processes read too) of the first paint after `await`. The
// panel's report shows it, so that a person's click can be timed to the painted panel.
class PaintClock : public QObject {
public:
    struct Painted {
        QString what;
        double monotonicSeconds = 0;
    };

    explicit PaintClock(QWidget* widget);

    void await(QString what);
    const std::optional<Painted>& lastPainted() const { return mLastPainted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<QString> mAwaited;
    std::optional<Painted> mLastPainted;
};

} // namespace qm
