#include "view/MainWindow.h"

#include "app/FrmMain.h"
#include "app/TaskBarIcon.h"
#include "view/Icons.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QWindowStateChangeEvent>
#include <iterator>

namespace view {

namespace {

// Adds the widget when the form has that control; a control the form lacks is left out.
void put(QBoxLayout* layout, QWidget* w, int stretch = 0, Qt::Alignment align = {}) {
    if (w)
        layout->addWidget(w, stretch, align);
}

// A frame's box, or a plain box when the form has no such frame, so its contents still show.
QGroupBox* frameBox(FormWidgets& w, const QString& name, QWidget* parent) {
    if (auto* box = w.getAs<QGroupBox>(name))
        return box;
    return new QGroupBox(parent);
}

// Height of a list view showing its header and `rows` rows.
int listHeightFor(QTreeView* view, int rows) {
    const int row = view->fontMetrics().height() + 6;
    return view->header()->sizeHint().height() + rows * row + 2 * view->frameWidth() + 4;
}

} // namespace

MainWindow::MainWindow(app::FrmMain& form, QWidget* parent)
    : QMainWindow(parent), m_form(form), m_widgets(new FormWidgets(form, this)) {
    setObjectName(form.name());
    setWindowIcon(appIcon());

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    buildWindowList(central);
    QWidget* frame2 = m_widgets->get(QStringLiteral("Frame2"));
    put(layout, frame2, 2);
    if (auto* tabs = m_widgets->getAs<QTabWidget>(QStringLiteral("SSTab1"))) {
        tabs->setParent(central);
        put(layout, tabs, 5);
        using Build = void (MainWindow::*)(QWidget*);
        const Build builders[] = {
            &MainWindow::buildKeywordTab,       &MainWindow::buildJournalTab,
            &MainWindow::buildConfigurationTab, &MainWindow::buildStatisticsTab,
            &MainWindow::buildCookieTab,        &MainWindow::buildAntiSpyTab,
            &MainWindow::buildHelpTab};
        for (int i = 0; i < tabs->count() && i < int(std::size(builders)); ++i)
            (this->*builders[i])(tabs->widget(i));
    }
    setCentralWidget(central);
    if (auto* sb = m_widgets->getAs<QStatusBar>(QStringLiteral("Sb")))
        setStatusBar(sb);

    buildTray();
    m_widgets->bindTimers();
    // The flash: the notification-area icon and the status bar light with the form's flash
    // picture when it has one, otherwise at every other tick of the flash timer.
    if (auto* picture = m_form.findAs<controls::Picture>(QStringLiteral("imgFlash"))) {
        connect(picture, &controls::Control::changed, this,
                [this, picture] { showFlash(picture->visible()); });
        showFlash(picture->visible());
    } else if (QTimer* flash = m_widgets->timer(QStringLiteral("tmrFlash"))) {
        connect(flash, &QTimer::timeout, this, [this] { flashTick(); });
        if (auto* flashModel = m_form.findAs<controls::Timer>(QStringLiteral("tmrFlash")))
            connect(flashModel, &controls::Control::changed, this, [this, flashModel] {
                if (!flashModel->enabled())
                    showFlash(false);
            });
    }

    // The hourglass while the form is busy (a search lets the window's events run, so the
    // pointer follows within a moment).
    auto* busyWatch = new QTimer(this);
    busyWatch->setInterval(100);
    connect(busyWatch, &QTimer::timeout, this, [this] {
        if (m_form.busy() == m_busyShown)
            return;
        m_busyShown = m_form.busy();
        if (m_busyShown)
            setCursor(Qt::WaitCursor);
        else
            unsetCursor();
    });
    busyWatch->start();

    resize(920, 720);
    setMinimumSize(760, 600);
    // The load step already ran the activation step for the first showing.
    m_skipActivation = form.visible();
    connect(&form, &controls::Form::changed, this, [this] { followForm(); });
    followForm();
}

MainWindow::~MainWindow() = default;

QTabWidget* MainWindow::tabs() const {
    return m_widgets->getAs<QTabWidget>(QStringLiteral("SSTab1"));
}

bool MainWindow::trayAvailable() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

// --- Layout ---------------------------------------------------------------------------------

void MainWindow::buildWindowList(QWidget* central) {
    FormWidgets& w = *m_widgets;
    QGroupBox* frame = frameBox(w, QStringLiteral("Frame2"), central);
    auto* v = new QVBoxLayout(frame);
    put(v, w.get(QStringLiteral("ListView1")), 1);
    auto* buttons = new QHBoxLayout;
    put(buttons, w.get(QStringLiteral("Command3")));
    put(buttons, w.get(QStringLiteral("Command6")));
    buttons->addStretch(1);
    // The refused pop-up signal, when the form has one; its place stays while it is dark.
    if (QWidget* flash = w.get(QStringLiteral("imgFlash"))) {
        auto* holder = new QWidget(frame);
        auto* hl = new QHBoxLayout(holder);
        hl->setContentsMargins(0, 0, 0, 0);
        hl->addWidget(flash);
        holder->setFixedSize(flash->sizeHint().expandedTo(QSize(32, 32)));
        buttons->addWidget(holder);
    }
    put(buttons, w.get(QStringLiteral("Image1")));
    put(buttons, w.get(QStringLiteral("Image2")));
    buttons->addSpacing(12);
    put(buttons, w.get(QStringLiteral("Command10")));
    put(buttons, w.get(QStringLiteral("Command9")));
    v->addLayout(buttons);
}

void MainWindow::buildKeywordTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* outer = new QVBoxLayout(page);
    QGroupBox* frame = frameBox(w, QStringLiteral("Frame3"), page);
    outer->addWidget(frame);
    auto* h = new QHBoxLayout(frame);
    put(h, w.get(QStringLiteral("ListView3")), 1);
    auto* buttons = new QVBoxLayout;
    for (const char* name : {"Command5", "Command7", "Command8"})
        put(buttons, w.get(QString::fromLatin1(name)));
    buttons->addStretch(1);
    put(buttons, w.get(QStringLiteral("Command19")));
    h->addLayout(buttons);
}

void MainWindow::buildJournalTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* v = new QVBoxLayout(page);
    put(v, w.get(QStringLiteral("Label2")));
    put(v, w.get(QStringLiteral("ListView4")), 1);
    auto* row = new QHBoxLayout;
    put(row, w.get(QStringLiteral("Command1")));
    row->addStretch(1);
    v->addLayout(row);
    put(v, w.get(QStringLiteral("Label6")));
    if (auto* totals = w.getAs<QTreeView>(QStringLiteral("ListView5"))) {
        totals->setFixedHeight(listHeightFor(totals, 1));
        totals->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->addWidget(totals);
    }
}

void MainWindow::buildConfigurationTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* grid = new QGridLayout(page);

    QGroupBox* options = frameBox(w, QStringLiteral("Frame4"), page);
    auto* ov = new QVBoxLayout(options);
    for (const char* name : {"chkStartOnWin", "chkActive", "Check2", "chkDial", "ChkMasq",
                             "ChkPass", "ChkFen", "ChkFenMotCle"})
        put(ov, w.get(QString::fromLatin1(name)));
    ov->addStretch(1);
    grid->addWidget(options, 0, 0, 5, 1);

    QGroupBox* size = frameBox(w, QStringLiteral("Frame6"), page);
    auto* sh = new QHBoxLayout(size);
    for (const char* name : {"Label7", "TxtLarge", "Label8", "TxtHaut"}) {
        QWidget* c = w.get(QString::fromLatin1(name));
        if (auto* edit = qobject_cast<QLineEdit*>(c))
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
        put(sh, c);
    }
    sh->addStretch(1);
    grid->addWidget(size, 0, 1);

    QGroupBox* sound = frameBox(w, QStringLiteral("Frame1"), page);
    auto* sv = new QVBoxLayout(sound);
    put(sv, w.get(QStringLiteral("Check1")));
    auto* file = new QHBoxLayout;
    put(file, w.get(QStringLiteral("Label1")));
    put(file, w.get(QStringLiteral("Text1")), 1);
    put(file, w.get(QStringLiteral("Command2")));
    sv->addLayout(file);
    grid->addWidget(sound, 1, 1);

    QGroupBox* password = frameBox(w, QStringLiteral("Frame7"), page);
    auto* ph = new QHBoxLayout(password);
    put(ph, w.get(QStringLiteral("TxtPass")), 1);
    put(ph, w.get(QStringLiteral("Command18")));
    grid->addWidget(password, 2, 1);

    QGroupBox* keywords = frameBox(w, QStringLiteral("Frame5"), page);
    auto* kh = new QHBoxLayout(keywords);
    put(kh, w.get(QStringLiteral("Label10")));
    if (auto* path = w.getAs<QLabel>(QStringLiteral("LblMotCle"))) {
        path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        path->setFrameShape(QFrame::StyledPanel);
        kh->addWidget(path, 1);
    }
    put(kh, w.get(QStringLiteral("Command21")));
    grid->addWidget(keywords, 3, 1);
    grid->setRowStretch(4, 1);

    for (const char* name : {"Command2", "Command21"})
        if (auto* b = w.getAs<QPushButton>(QString::fromLatin1(name)))
            b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 20);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    put(bottom, w.get(QStringLiteral("Command11")));
    put(bottom, w.get(QStringLiteral("Command20")));
    grid->addLayout(bottom, 5, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

void MainWindow::buildStatisticsTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* v = new QVBoxLayout(page);
    put(v, w.get(QStringLiteral("Label3")));
    put(v, w.get(QStringLiteral("ListView2")), 1);
}

void MainWindow::buildCookieTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* v = new QVBoxLayout(page);
    auto* folder = new QHBoxLayout;
    put(folder, w.get(QStringLiteral("Label4")));
    put(folder, w.get(QStringLiteral("txtCookieDir")), 1);
    v->addLayout(folder);

    auto* files = new QHBoxLayout;
    put(files, w.get(QStringLiteral("lstCookies")), 1);
    auto* buttons = new QVBoxLayout;
    for (const char* name :
         {"Command12", "Command13", "Command14", "Command15", "Command16", "Command17"})
        put(buttons, w.get(QString::fromLatin1(name)));
    buttons->addStretch(1);
    files->addLayout(buttons);
    v->addLayout(files, 1);

    put(v, w.get(QStringLiteral("Label5")));
    auto* analysis = new QSplitter(Qt::Horizontal, page);
    if (QWidget* rtf = w.get(QStringLiteral("rtf")))
        analysis->addWidget(rtf);
    if (QWidget* records = w.get(QStringLiteral("Lst_Cook")))
        analysis->addWidget(records);
    analysis->setStretchFactor(0, 2);
    analysis->setStretchFactor(1, 3);
    analysis->setMinimumHeight(150);
    v->addWidget(analysis, 1);
}

void MainWindow::buildAntiSpyTab(QWidget* page) {
    FormWidgets& w = *m_widgets;
    auto* v = new QVBoxLayout(page);
    auto* columns = new QHBoxLayout;
    v->addLayout(columns, 1);

    QGroupBox* filters = frameBox(w, QStringLiteral("fraFilters"), page);
    auto* fv = new QVBoxLayout(filters);
    put(fv, w.get(QStringLiteral("lstFilters")), 1);
    put(fv, w.get(QStringLiteral("Label9")));
    put(fv, w.get(QStringLiteral("txtFilter")));
    auto* fb = new QHBoxLayout;
    for (const char* name : {"cmdAddFilter", "cmdDeleteFilter", "Command4"})
        put(fb, w.get(QString::fromLatin1(name)));
    fv->addLayout(fb);
    columns->addWidget(filters, 2);

    auto* middle = new QVBoxLayout;
    QGroupBox* actions = frameBox(w, QStringLiteral("fraActions"), page);
    auto* av = new QVBoxLayout(actions);
    // The drive and folder lists of the start folder, when the form has them.
    put(av, w.get(QStringLiteral("drvStart")));
    QWidget* folders = w.get(QStringLiteral("dirStart"));
    put(av, folders, 1);
    put(av, w.get(QStringLiteral("chkRecurse")));
    auto* ab = new QHBoxLayout;
    put(ab, w.get(QStringLiteral("cmdFind")), 1);
    put(ab, w.get(QStringLiteral("Command22")));
    av->addLayout(ab);
    if (!folders)
        av->addStretch(1);
    middle->addWidget(actions, 1);
    QGroupBox* registry = frameBox(w, QStringLiteral("fraRegistry"), page);
    auto* rv = new QHBoxLayout(registry);
    put(rv, w.get(QStringLiteral("cmdCheckUp")));
    put(rv, w.get(QStringLiteral("lblFuture")), 1);
    middle->addWidget(registry);
    columns->addLayout(middle, 2);

    auto* found = new QVBoxLayout;
    put(found, w.get(QStringLiteral("lstFiles")), 1);
    auto* sel = new QHBoxLayout;
    put(sel, w.get(QStringLiteral("cmdSelAll")));
    put(sel, w.get(QStringLiteral("cmdDeSelAll")));
    found->addLayout(sel);
    put(found, w.get(QStringLiteral("cmdDelete")));
    columns->addLayout(found, 3);

    auto* warnings = new QHBoxLayout;
    for (const char* name : {"lblWarnSearch", "lblWarnDelete"})
        if (auto* label = w.getAs<QLabel>(QString::fromLatin1(name))) {
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, QColor(160, 0, 0));
            label->setPalette(pal);
            warnings->addWidget(label, 1);
        }
    v->addLayout(warnings);
}

void MainWindow::buildHelpTab(QWidget* page) {
    auto* v = new QVBoxLayout(page);
    put(v, m_widgets->get(QStringLiteral("TxtAide")), 1);
}

// --- Notification area ----------------------------------------------------------------------

void MainWindow::buildTray() {
    app::TaskBarIcon& model = m_form.taskBarIcon();
    // The menu `Mnu_Fichier` with the items the icon's model lists, in its order.
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("Mnu_Fichier"));
    m_menu->setTitle(m_form.Mnu_Fichier.caption());
    for (controls::MenuItem* item : model.menuItems())
        m_menu->addAction(bindMenuItem(*item, m_menu));
    m_tray = new QSystemTrayIcon(appIcon(), this);
    m_tray->setToolTip(model.toolTip().isEmpty() ? QStringLiteral("Tavrel") : model.toolTip());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                app::TaskBarIcon& icon = m_form.taskBarIcon();
                if (reason == QSystemTrayIcon::Trigger)
                    icon.activation(1);
                else if (reason == QSystemTrayIcon::Context)
                    icon.contextNotification(2);
            });
    connect(&model, &app::TaskBarIcon::menuRequested, this,
            [this] { m_menu->popup(QCursor::pos()); });
    connect(&model, &app::TaskBarIcon::trayChanged, this, [this] {
        const QString tip = m_form.taskBarIcon().toolTip();
        m_tray->setToolTip(tip.isEmpty() ? QStringLiteral("Tavrel") : tip);
    });
    // The icon stays in the notification area for the whole run, so its menu is always
    // at hand.
    m_tray->show();

    // Without a notification area the status bar's context menu stands in for the icon's.
    if (auto* sb = m_widgets->getAs<QStatusBar>(QStringLiteral("Sb"))) {
        sb->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(sb, &QWidget::customContextMenuRequested, this, [this] {
            if (!trayAvailable())
                m_form.taskBarIcon().contextNotification(2);
        });
    }
}

// --- The form's state -----------------------------------------------------------------------

void MainWindow::followForm() {
    if (m_followingForm)
        return;
    m_followingForm = true;
    if (windowTitle() != m_form.caption())
        setWindowTitle(m_form.caption());
    if (m_form.visible()) {
        if (isMinimized()) {
            showNormal();
        } else if (!isVisible()) {
            show();
            // Back where it was before it went to the notification area.
            if (!m_hiddenGeometry.isEmpty())
                restoreGeometry(m_hiddenGeometry);
        }
        raise();
        activateWindow();
    } else if (trayAvailable()) {
        if (isVisible())
            m_hiddenGeometry = saveGeometry();
        hide();
    } else {
        // No notification area to come back from: the window goes to the task bar instead,
        // and restoring it from there shows it as the icon's click would.
        if (!isVisible())
            show();
        showMinimized();
    }
    m_followingForm = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The form decides: it hides or shows the window, or asks for the password.
    event->ignore();
    m_form.closeRequest();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        if (m_skipActivation)
            m_skipActivation = false;
        else if (m_form.visible())
            m_form.Form_Activate();
    } else if (event->type() == QEvent::WindowStateChange && !m_followingForm) {
        // Restored from the task bar while the form holds it hidden (no notification area).
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const bool restored =
            (change->oldState() & Qt::WindowMinimized) && !(windowState() & Qt::WindowMinimized);
        if (restored && !m_form.visible() && m_form.taskBarIcon().IconInTray())
            QTimer::singleShot(0, this, [this] {
                if (!m_form.visible() && m_form.taskBarIcon().IconInTray())
                    m_form.taskBarIcon().activation(1);
            });
    }
}

// --- Flash ----------------------------------------------------------------------------------

void MainWindow::flashTick() {
    auto* model = m_form.findAs<controls::Timer>(QStringLiteral("tmrFlash"));
    showFlash(model && model->enabled() ? !m_flashOn : false);
}

void MainWindow::showFlash(bool on) {
    if (on == m_flashOn)
        return;
    m_flashOn = on;
    if (m_tray)
        m_tray->setIcon(appIcon(on));
    setWindowIcon(appIcon(on));
    if (auto* sb = m_widgets->getAs<QStatusBar>(QStringLiteral("Sb"))) {
        sb->setAutoFillBackground(on);
        QPalette pal = sb->palette();
        pal.setColor(QPalette::Window,
                     on ? QColor(255, 200, 60) : palette().color(QPalette::Window));
        sb->setPalette(pal);
    }
}

} // namespace view
