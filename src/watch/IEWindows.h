#pragma once

#include <QObject>

namespace app {
class FrmMain;
}

namespace watch {

// The collection of open browser windows: one wrapper per window, rebuilt whenever the
// shell registers or revokes a window.
class cIEWindows : public QObject {
    Q_OBJECT
public:
    explicit cIEWindows(app::FrmMain& f);
    ~cIEWindows() override;
    int Count() const;

signals:
    void IEWindowRegistered();
    void IEWindowRevoked();

private:
    app::FrmMain& f;
};

} // namespace watch
