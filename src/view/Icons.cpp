#include "view/Icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

// The icon file is compiled into the view library; a static library's resources are
// registered by hand.
static bool loadViewResources() {
    Q_INIT_RESOURCE(view);
    return true;
}

namespace view {

namespace {

// The program's icon as drawn for the desktop (data/tavrel.png), or null when missing.
const QPixmap& iconFile() {
    static const bool loaded = loadViewResources();
    static const QPixmap file(QStringLiteral(":/tavrel/tavrel.png"));
    (void)loaded;
    return file;
}

QPainterPath shieldPath(const QRectF& r) {
    QPainterPath p;
    const qreal cx = r.center().x();
    p.moveTo(cx, r.top());
    p.cubicTo(r.left() + r.width() * 0.30, r.top() + r.height() * 0.10, r.left(),
              r.top() + r.height() * 0.12, r.left(), r.top() + r.height() * 0.12);
    p.lineTo(r.left(), r.top() + r.height() * 0.45);
    p.cubicTo(r.left(), r.top() + r.height() * 0.75, cx - r.width() * 0.25, r.bottom() - 2, cx,
              r.bottom());
    p.cubicTo(cx + r.width() * 0.25, r.bottom() - 2, r.right(), r.top() + r.height() * 0.75,
              r.right(), r.top() + r.height() * 0.45);
    p.lineTo(r.right(), r.top() + r.height() * 0.12);
    p.cubicTo(r.right(), r.top() + r.height() * 0.12, r.left() + r.width() * 0.70,
              r.top() + r.height() * 0.10, cx, r.top());
    p.closeSubpath();
    return p;
}

QPixmap blank(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A small window being lowered into a tray: the hide command's picture.
QPixmap hidePicture(int size) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(40, 60, 110), s / 16));
    p.setBrush(QColor(235, 240, 250));
    p.drawRect(QRectF(s * 0.12, s * 0.10, s * 0.76, s * 0.46));
    p.fillRect(QRectF(s * 0.12, s * 0.10, s * 0.76, s * 0.12), QColor(60, 100, 170));
    p.setBrush(QColor(60, 100, 170));
    p.setPen(Qt::NoPen);
    QPainterPath arrow;
    arrow.moveTo(s * 0.50, s * 0.92);
    arrow.lineTo(s * 0.30, s * 0.68);
    arrow.lineTo(s * 0.70, s * 0.68);
    arrow.closeSubpath();
    p.drawPath(arrow);
    p.fillRect(QRectF(s * 0.08, s * 0.93, s * 0.84, s * 0.05), QColor(40, 60, 110));
    return pm;
}

// A round "i": the About picture.
QPixmap aboutPicture(int size) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(30, 70, 140), s / 18));
    p.setBrush(QColor(70, 130, 210));
    p.drawEllipse(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.43, s * 0.20, s * 0.14, s * 0.14));
    p.drawRoundedRect(QRectF(s * 0.43, s * 0.40, s * 0.14, s * 0.40), s * 0.04, s * 0.04);
    return pm;
}

// A gift heart: the donation picture of the About box.
QPixmap donationPicture(int size) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QPainterPath heart;
    heart.moveTo(s * 0.5, s * 0.88);
    heart.cubicTo(s * 0.05, s * 0.55, s * 0.05, s * 0.12, s * 0.30, s * 0.14);
    heart.cubicTo(s * 0.42, s * 0.15, s * 0.48, s * 0.24, s * 0.5, s * 0.30);
    heart.cubicTo(s * 0.52, s * 0.24, s * 0.58, s * 0.15, s * 0.70, s * 0.14);
    heart.cubicTo(s * 0.95, s * 0.12, s * 0.95, s * 0.55, s * 0.5, s * 0.88);
    p.setPen(QPen(QColor(140, 20, 40), s / 24));
    p.setBrush(QColor(220, 50, 70));
    p.drawPath(heart);
    return pm;
}

// A small pop-up window struck through: a refused pop-up, shown while the flash timer runs.
QPixmap refusedPicture(int size) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(40, 60, 110), s / 16));
    p.setBrush(QColor(255, 245, 200));
    p.drawRect(QRectF(s * 0.18, s * 0.22, s * 0.64, s * 0.50));
    p.fillRect(QRectF(s * 0.18, s * 0.22, s * 0.64, s * 0.12), QColor(230, 150, 20));
    p.setPen(QPen(QColor(210, 30, 30), s / 9));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.84));
    p.drawLine(QPointF(s * 0.22, s * 0.78), QPointF(s * 0.78, s * 0.22));
    return pm;
}

QPixmap tilePicture(int size) {
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setPen(QColor(150, 150, 150));
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(0, 0, size - 1, size - 1);
    return pm;
}

} // namespace

QPixmap appPixmap(int size, bool flash) {
    if (!iconFile().isNull()) {
        QPixmap pm = iconFile().scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (flash) {
            // Lit: the icon washed in amber.
            QPainter p(&pm);
            p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
            p.fillRect(pm.rect(), QColor(255, 170, 0, 150));
        }
        return pm;
    }
    QPixmap pm = blank(size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QColor frame = flash ? QColor(200, 120, 0) : QColor(40, 60, 110);
    const QColor page = flash ? QColor(255, 235, 170) : QColor(240, 244, 252);
    const QColor bar = flash ? QColor(230, 150, 20) : QColor(60, 100, 170);

    // The browser window behind.
    p.setPen(QPen(frame, qMax(1.0, s / 32)));
    p.setBrush(page);
    const QRectF win(s * 0.04, s * 0.08, s * 0.70, s * 0.58);
    p.drawRoundedRect(win, s * 0.04, s * 0.04);
    p.fillRect(QRectF(win.left(), win.top(), win.width(), s * 0.12), bar);
    // The closed advertisement: a red cross on the page.
    p.setPen(QPen(QColor(200, 30, 30), qMax(1.5, s / 14), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(s * 0.16, s * 0.30), QPointF(s * 0.40, s * 0.56));
    p.drawLine(QPointF(s * 0.40, s * 0.30), QPointF(s * 0.16, s * 0.56));

    // The guarding shield in front.
    const QRectF shield(s * 0.44, s * 0.34, s * 0.52, s * 0.62);
    p.setPen(QPen(QColor(20, 70, 30), qMax(1.0, s / 28)));
    p.setBrush(flash ? QColor(250, 190, 40) : QColor(50, 160, 80));
    p.drawPath(shieldPath(shield));
    if (size >= 24) {
        QFont font;
        font.setBold(true);
        font.setPixelSize(int(s * 0.34));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(shield.adjusted(0, -s * 0.04, 0, 0), Qt::AlignCenter, QStringLiteral("T"));
    }
    return pm;
}

QIcon appIcon(bool flash) {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(appPixmap(size, flash));
    return icon;
}

QPixmap pictureFor(const QString& formName, const QString& controlName) {
    if (formName == QLatin1String("FrmMain")) {
        if (controlName == QLatin1String("Image1"))
            return hidePicture(32);
        if (controlName == QLatin1String("Image2"))
            return aboutPicture(32);
        if (controlName == QLatin1String("imgFlash"))
            return refusedPicture(32);
    }
    if (formName == QLatin1String("frmAbout")) {
        if (controlName == QLatin1String("Image1"))
            return appPixmap(64);
        if (controlName == QLatin1String("Image2"))
            return donationPicture(40);
    }
    return tilePicture(24);
}

} // namespace view
