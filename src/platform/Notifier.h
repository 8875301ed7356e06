#pragma once

#include <QObject>
#include <QString>

namespace platform {

// Desktop notices: a short message shown outside the program's window for a while, with at
// most one action the user may choose. The program numbers its notices; showing a notice
// with a number already shown replaces that notice.
class Notifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    /// True when notices can be shown at all (capability query).
    virtual bool available() const = 0;
    /// Shows notice `id` (replacing the one of that number when it is still shown); `action`
    /// is the caption of its one action, empty for none.
    virtual void show(quint32 id, const QString& title, const QString& text,
                      const QString& action) = 0;

signals:
    /// The user chose the action of notice `id`.
    void actionInvoked(quint32 id);
};

} // namespace platform
