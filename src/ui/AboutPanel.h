#pragma once

#include <QPropertyAnimation>
#include <QTimer>
#include <QWidget>

namespace qm {

// The program's name, version and icon in a small borderless window that fades in over 1.2
// seconds; 2.5 seconds after it appears it fades out over 0.6 seconds. A click fades it out.
class AboutPanel : public QWidget {
public:
    static constexpr int FadeInMilliseconds = 1200;
    static constexpr int ShownMilliseconds = 2500;
    static constexpr int FadeOutMilliseconds = 600;

    AboutPanel();
    // Fades in at the middle of the screen, then out again.
    void showFading();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fadeTo(double opacity, int milliseconds);

    QPropertyAnimation mFade;
    QTimer mFadeOutTimer;
};

} // namespace qm
