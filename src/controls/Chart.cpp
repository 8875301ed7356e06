#include "controls/Chart.h"

namespace controls {

void Chart::setPanels(std::vector<Panel> panels) {
    if (panels == m_panels)
        return;
    m_panels = std::move(panels);
    emit changed();
}

} // namespace controls
