#include "platform/linux/CdpKeyState.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace platform::linuxp {

std::optional<CdpMouseReport> parseMouseReport(const QByteArray& payload) {
    if (payload.size() > 512)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    CdpMouseReport r;
    const QJsonValue type = o.value(QStringLiteral("type"));
    if (type == QStringLiteral("mousedown"))
        r.type = CdpMouseReport::Type::Down;
    else if (type == QStringLiteral("mouseup"))
        r.type = CdpMouseReport::Type::Up;
    else if (type == QStringLiteral("contextmenu"))
        r.type = CdpMouseReport::Type::ContextMenu;
    else
        return std::nullopt;
    auto smallInt = [&](const char* key, int lo, int hi, int& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble())
            return false;
        const double d = v.toDouble();
        if (!(d >= lo && d <= hi) || d != double(int(d)))
            return false;
        out = int(d);
        return true;
    };
    auto flag = [&](const char* key, bool& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isBool())
            return false;
        out = v.toBool();
        return true;
    };
    int x = 0, y = 0;
    if (!smallInt("button", 0, 4, r.button) || !smallInt("buttons", 0, 31, r.buttons) ||
        !flag("ctrlKey", r.ctrl) || !flag("shiftKey", r.shift) || !flag("altKey", r.alt) ||
        !smallInt("x", -100000, 100000, x) || !smallInt("y", -100000, 100000, y))
        return std::nullopt;
    r.client = QPoint(x, y);
    return r;
}

std::optional<PageRefusalReport> parseRefusalReport(const QByteArray& payload) {
    if (payload.size() > 512)
        return std::nullopt;
    const QJsonDocument doc = QJsonDocument::fromJson(payload);
    if (!doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    const QJsonValue count = o.value(QStringLiteral("count"));
    const QJsonValue url = o.value(QStringLiteral("url"));
    if (o.value(QStringLiteral("type")) != QStringLiteral("refused") || o.size() != 3 ||
        !count.isDouble() || !url.isString())
        return std::nullopt;
    const double n = count.toDouble();
    if (!(n >= 1 && n <= 500) || n != double(int(n)) || url.toString().size() > 300)
        return std::nullopt;
    return PageRefusalReport{int(n), url.toString()};
}

CdpKeyState::CdpKeyState(bool useX11) {
    if (useX11 && qEnvironmentVariableIsSet("DISPLAY"))
        m_display = XOpenDisplay(nullptr);
}

CdpKeyState::~CdpKeyState() {
    if (m_display)
        XCloseDisplay(static_cast<Display*>(m_display));
}

bool CdpKeyState::keyDown(Key key) const {
    if (auto* display = static_cast<Display*>(m_display)) {
        if (key == Key::LButton) {
            Window root, child;
            int rx, ry, wx, wy;
            unsigned mask = 0;
            if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx,
                               &wy, &mask))
                return false;
            return mask & Button1Mask;
        }
        char keys[32];
        XQueryKeymap(display, keys);
        auto held = [&](KeySym sym) {
            const KeyCode code = XKeysymToKeycode(display, sym);
            return code != 0 && (keys[code / 8] >> (code % 8)) & 1;
        };
        switch (key) {
        case Key::Shift:
            return held(XK_Shift_L) || held(XK_Shift_R);
        case Key::Control:
            return held(XK_Control_L) || held(XK_Control_R);
        case Key::Alt:
            return held(XK_Alt_L) || held(XK_Alt_R);
        case Key::LButton:
            break;
        }
        return false;
    }
    if (!m_lastAt.isValid() || m_lastAt.elapsed() > kReportLifetimeMs)
        return false;
    switch (key) {
    case Key::LButton:
        return m_last.buttons & 1;
    case Key::Shift:
        return m_last.shift;
    case Key::Control:
        return m_last.ctrl;
    case Key::Alt:
        return m_last.alt;
    }
    return false;
}

std::optional<QPoint> CdpKeyState::pointerOnScreen() const {
    auto* display = static_cast<Display*>(m_display);
    if (!display)
        return std::nullopt;
    Window root, child;
    int rx, ry, wx, wy;
    unsigned mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy,
                       &mask))
        return std::nullopt;
    return QPoint(rx, ry);
}

void CdpKeyState::noteReport(const CdpMouseReport& report) {
    m_last = report;
    m_lastAt.start();
}

} // namespace platform::linuxp
