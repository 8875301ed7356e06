#pragma once

#include "controls/Control.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace controls {

// Bar charts side by side: each panel has a title and bars, each bar a label and a value.
// The view draws them; the program asks it for a picture through `image`.
class Chart : public Control {
    Q_OBJECT
public:
    struct Bar {
        QString label;
        qint64 value = 0;
        bool operator==(const Bar&) const = default;
    };
    struct Panel {
        QString title;
        std::vector<Bar> bars;
        bool operator==(const Panel&) const = default;
    };

    using Control::Control;
    Kind kind() const override { return Kind::Chart; }

    const std::vector<Panel>& panels() const { return m_panels; }
    void setPanels(std::vector<Panel> panels);

    /// The charts as the view draws them, as PNG bytes; empty when nothing draws them.
    QByteArray image() const { return render ? render() : QByteArray(); }
    /// Set by whatever draws the chart (the view, or a scenario's stand-in).
    std::function<QByteArray()> render;

private:
    std::vector<Panel> m_panels;
};

} // namespace controls
