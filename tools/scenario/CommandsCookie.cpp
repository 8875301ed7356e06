#include "tools/scenario/Extensions.h"

#include "cookies/FrmDetails.h"

namespace scenario {

void registerCookieCommands(ScenarioRunner& runner) {
    // The Escape key in a control: typed into a text box through its input rule; in the
    // other controls of the cookie details dialog it closes the dialog.
    runner.addCommand("escape", [&runner](const auto& a) {
        need(a, 1);
        controls::Control* c = runner.control(a[0].text);
        if (auto* box = qobject_cast<controls::TextBox*>(c)) {
            box->type(QString(QChar(27)));
            return;
        }
        if (auto* details = qobject_cast<cookies::FrmDetails*>(c->form())) {
            details->escapePressed();
            return;
        }
        throw LineError{QStringLiteral("Escape does nothing in ") + a[0].text};
    });
}

} // namespace scenario
