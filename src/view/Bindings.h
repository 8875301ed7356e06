#pragma once

#include "controls/Control.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

// The factory of the view's bindings: it picks the widget and binding of a control by its
// kind (the families live in view/bindings/), and FormWidgets, the widgets of one form.

class QAction;
class QMenu;
class QTimer;
class QWidget;

namespace view {

/// Creates the widget that shows a control and binds the two: the widget follows every change
/// the model signals, and the user's actions on the widget call the model. The binding lives
/// as long as the widget. Null for the kinds that are not widgets (timers, menu items).
QWidget* createWidget(controls::Control& control, QWidget* parent);

/// A clickable label bound to a button model (a link line of a dialog).
QWidget* createLinkLabel(controls::Control& control, QWidget* parent);

/// Runs a timer model: `tick` every interval while the model is enabled. A tick does not run
/// again while the previous one of the same timer is still running (a message box it shows
/// lets the other timers go on).
QTimer* bindTimer(controls::Control& timer, QObject* parent);

/// A menu action bound to a menu item model: caption with its "&" accelerator, separator,
/// enabled and visible flags; triggering it clicks the model.
QAction* bindMenuItem(controls::Control& item, QObject* parent);

// The widgets of one form, created on first request by control name, and its timers.
class FormWidgets : public QObject {
    Q_OBJECT
public:
    FormWidgets(controls::Form& form, QWidget* owner);

    controls::Form& form() const { return m_form; }
    /// The widget of the named control, created and bound on first use; null when the form
    /// has no such control or it is not shown as a widget.
    QWidget* get(const QString& name);
    template <class W> W* getAs(const QString& name) { return qobject_cast<W*>(get(name)); }
    /// Like `get`, but a button model shows as a clickable text line (a link).
    QWidget* getLink(const QString& name);
    bool has(const QString& name) const { return m_form.find(name) != nullptr; }
    /// Widget controls of the form for which no widget has been requested yet.
    QStringList unplaced() const;
    /// Starts a QTimer for every timer model of the form.
    void bindTimers();
    QTimer* timer(const QString& name) const { return m_timers.value(name); }
    /// A menu of the form's menu items that follow `menuName` in declaration order (the
    /// first item is the menu itself and gives its title).
    QMenu* buildMenu(const QString& menuName, QWidget* parent);

private:
    controls::Form& m_form;
    QWidget* m_owner;
    QHash<QString, QPointer<QWidget>> m_widgets;
    QHash<QString, QTimer*> m_timers;
};

} // namespace view
