#include "ui/AboutPanel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/Localized.h"
#include "ui/ResourceImages.h"

namespace qm {

AboutPanel::AboutPanel() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), mFade(this, "windowOpacity")
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName("AboutPanel");
    setWindowTitle(localized("About Quillmark"));
    setStyleSheet("#AboutPanel { background: palette(window); border: 1px solid palette(mid); }");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    auto* icon = new QLabel;
    icon->setPixmap(ResourceImages::applicationIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("<b style='font-size:18pt'>%1</b>").arg(QGuiApplication::applicationDisplayName()));
    name->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(localizedFormat("Version %@", {QGuiApplication::applicationVersion().toStdString()}));
    version->setAlignment(Qt::AlignCenter);
    auto* purpose = new QLabel(localized("Press metadata, bylines and captions for the layout"));
    purpose->setAlignment(Qt::AlignCenter);
    for (QWidget* widget : {static_cast<QWidget*>(icon), static_cast<QWidget*>(name), static_cast<QWidget*>(version),
                            static_cast<QWidget*>(purpose)})
        layout->addWidget(widget);
    mFadeOutTimer.setSingleShot(true);
    QObject::connect(&mFadeOutTimer, &QTimer::timeout, this, [this] { fadeTo(0.0, FadeOutMilliseconds); });
    QObject::connect(&mFade, &QPropertyAnimation::finished, this, [this] {
        if (windowOpacity() <= 0.0)
            hide();
    });
}

void AboutPanel::showFading()
{
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowOpacity(0.0);
    show();
    fadeTo(1.0, FadeInMilliseconds);
    mFadeOutTimer.start(ShownMilliseconds);
}

void AboutPanel::mousePressEvent(QMouseEvent*)
{
    mFadeOutTimer.stop();
    fadeTo(0.0, FadeOutMilliseconds);
}

void AboutPanel::fadeTo(double opacity, int milliseconds)
{
    mFade.stop();
    mFade.setDuration(milliseconds);
    mFade.setStartValue(windowOpacity());
    mFade.setEndValue(opacity);
    mFade.start();
}

} // namespace qm
