#pragma once

class QWidget;

namespace view {

class FormWidgets;

/// Lays out the main window's controls, each where the window shows it: the open-window list
/// with its buttons above the tabs, and the page of each tab. A control the form lacks
/// is left out. Returns the central widget, a child of `window`.
QWidget* layOutMainWindow(FormWidgets& widgets, QWidget* window);

} // namespace view
