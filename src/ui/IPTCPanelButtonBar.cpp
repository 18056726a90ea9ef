#include "ui/IPTCPanelButtonBar.h"

#include <QPainter>

namespace qm {

namespace {

QColor shaded(const QColor& colour, double level)
{
    return QColor::fromRgbF(colour.redF() * (1 - level), colour.greenF() * (1 - level), colour.blueF() * (1 - level));
}

} // namespace

IPTCPanelButtonBar::IPTCPanelButtonBar(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
}

void IPTCPanelButtonBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor window = palette().color(QPalette::Window);
    QLinearGradient gradient(rect().topLeft(), rect().bottomLeft());
    gradient.setColorAt(0, shaded(window, 0.05));
    gradient.setColorAt(1, shaded(window, 0.2));
    painter.fillRect(rect(), gradient);
    QColor line(Qt::darkGray);
    line.setAlphaF(0.5f);
    painter.setPen(line);
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}

} // namespace qm
