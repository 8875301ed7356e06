#pragma once

#include <QString>

namespace controls {
class Form;
}

namespace platform {

// A form shown modally through Dialogs::runModal. The form decides when it is done.
class ModalForm {
public:
    virtual ~ModalForm() = default;
    /// The form's controls (for the view and the scenario runner).
    virtual controls::Form& form() = 0;
    /// Runs the form's load step; called once before it is shown.
    virtual void load() = 0;
    /// True once the form has unloaded itself.
    virtual bool closed() const = 0;
    /// A request to close the form from outside (its close box, Escape).
    virtual void requestClose() = 0;
};

} // namespace platform
