#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

namespace controls {

class Form;

// Base of every control model: a name, a caption, a tooltip and the enabled and visible
// flags. `changed` tells a bound view that something it shows has changed.
class Control : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        Button,
        CheckBox,
        TextBox,
        Label,
        Frame,
        Picture,
        ListView,
        ListBox,
        ComboBox,
        Timer,
        StatusBar,
        TabControl,
        MenuItem,
        FolderList,
        DriveList,
        FileList,
        Chart
    };

    Control(Form* form, QString name, QString caption = {});
    ~Control() override;

    virtual Kind kind() const = 0;
    const QString& name() const { return m_name; }
    Form* form() const { return m_form; }

    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);
    const QString& toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);
    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);

    /// Runs when the control loses the input focus.
    std::function<void()> onLostFocus;
    void loseFocus();

signals:
    void changed();

private:
    Form* m_form;
    QString m_name;
    QString m_caption;
    QString m_toolTip;
    bool m_enabled = true;
    bool m_visible = true;
};

// A window's set of controls, found by name. Controls are members of the derived form and
// register themselves here when constructed.
class Form : public QObject {
    Q_OBJECT
public:
    Form(QString name, QString caption);

    const QString& name() const { return m_name; }
    const QString& caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool visible() const { return m_visible; }
    void setVisible(bool visible);
    /// True while the form works on something that keeps the user waiting (the view shows
    /// the hourglass pointer). `busyChanged` tells each change.
    bool busy() const { return m_busy; }
    void setBusy(bool busy);

    /// The control of that name, or null.
    Control* find(const QString& name) const;
    template <class T> T* findAs(const QString& name) const { return qobject_cast<T*>(find(name)); }
    /// Every control in declaration order.
    const std::vector<Control*>& controls() const { return m_controls; }

    void add(Control* control);
    void forget(Control* control);

signals:
    void changed();
    void busyChanged(bool busy);

private:
    QString m_name;
    QString m_caption;
    bool m_visible = false;
    bool m_busy = false;
    std::vector<Control*> m_controls;
};

} // namespace controls
