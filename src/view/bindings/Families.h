#pragma once

// The widget of each family of controls, created with its binding (see Bindings.h for the
// factory that picks one by control kind). Each returns the new widget, child of `parent`.

class QAction;
class QObject;
class QTimer;
class QWidget;

namespace controls {
class Button;
class Chart;
class CheckBox;
class ComboBox;
class Control;
class DriveList;
class FolderList;
class ListBox;
class ListView;
class MenuItem;
class TabControl;
class TextBox;
class Timer;
} // namespace controls

namespace view::bindings {

// Buttons and menu items (ButtonBindings.cpp).
QWidget* createButton(controls::Button& button, QWidget* parent);
QWidget* createLink(controls::Control& control, QWidget* parent);
QAction* createMenuAction(controls::MenuItem& item, QObject* parent);

// Switches (SwitchBindings.cpp).
QWidget* createCheckBox(controls::CheckBox& box, QWidget* parent);

// Text boxes, labels and frames (TextBindings.cpp).
QWidget* createTextBox(controls::TextBox& box, QWidget* parent);
QWidget* createLabel(controls::Control& label, QWidget* parent);
QWidget* createFrame(controls::Control& frame, QWidget* parent);

// Lists (ListBindings.cpp).
QWidget* createListView(controls::ListView& list, QWidget* parent);
QWidget* createListBox(controls::ListBox& box, QWidget* parent);
QWidget* createComboBox(controls::ComboBox& box, QWidget* parent);

// Drive and folder lists (FolderBindings.cpp).
QWidget* createDriveList(controls::DriveList& drives, QWidget* parent);
QWidget* createFolderList(controls::FolderList& folders, QWidget* parent);

// Status bar, tabs and pictures (PanelBindings.cpp).
QWidget* createStatusBar(controls::Control& bar, QWidget* parent);
QWidget* createTabs(controls::TabControl& tabs, QWidget* parent);
QWidget* createPicture(controls::Button& picture, QWidget* parent);

// Bar charts (ChartBinding.cpp).
QWidget* createChart(controls::Chart& chart, QWidget* parent);

// Timers (TimerBinding.cpp).
QTimer* createTimer(controls::Timer& timer, QObject* parent);

} // namespace view::bindings
