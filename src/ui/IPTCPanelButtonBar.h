#pragma once

#include <QLinearGradient>
#include <QWidget>

namespace qm {

// The strip along the panel's top edge that holds its buttons: a vertical gradient of the
// window colour, darker below, over a half-transparent dark grey line at its lower edge.
class IPTCPanelButtonBar : public QWidget {
public:
    explicit IPTCPanelButtonBar(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qm
