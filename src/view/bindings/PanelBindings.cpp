// The window's panels: status bar, tabs, and the clickable pictures.

#include "controls/Simple.h"
#include "view/DisplayText.h"
#include "view/Icons.h"
#include "view/bindings/Binding.h"
#include "view/bindings/ClickableLabel.h"
#include "view/bindings/Families.h"

#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>

namespace view::bindings {

namespace {

class StatusBarBinding : public Binding {
public:
    StatusBarBinding(controls::Control& control, QStatusBar* widget) : Binding(control, widget) {
        m_text = new QLabel(widget);
        m_text->setObjectName(QStringLiteral("SbText"));
        m_text->setTextFormat(Qt::PlainText);
        // A long page name must not widen the window.
        m_text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_text->setMinimumWidth(0);
        widget->addWidget(m_text, 1);
        widget->setSizeGripEnabled(true);
        refresh();
    }

protected:
    void update() override {
        const QString text = displayText(m_control->caption());
        if (m_text->text() != text) {
            m_text->setText(text);
            m_text->setToolTip(text);
        }
    }

private:
    QLabel* m_text;
};

// The pages are plain widgets that the window fills; the binding keeps the captions, the
// disabled tabs and the current tab, and gives the user's choice to the model, which may
// refuse it or choose another tab.
class TabBinding : public Binding {
public:
    TabBinding(controls::TabControl& tabs, QTabWidget* widget) : Binding(tabs, widget) {
        m_syncing = true;
        for (int i = 0; i < tabs.count(); ++i) {
            auto* page = new QWidget(widget);
            page->setObjectName(tabs.name() + QStringLiteral("_page") + QString::number(i));
            widget->addTab(page, tabs.captions().at(i));
        }
        m_syncing = false;
        QObject::connect(widget, &QTabWidget::currentChanged, this, [this](int index) {
            auto* t = model<controls::TabControl>();
            if (m_syncing || !t)
                return;
            t->userSelect(index);
            if (m_control)
                update();
        });
        refresh();
    }

protected:
    void update() override {
        auto* t = model<controls::TabControl>();
        auto* w = static_cast<QTabWidget*>(m);
        m_syncing = true;
        for (int i = 0; i < t->count() && i < w->count(); ++i) {
            if (w->tabText(i) != t->captions().at(i))
                w->setTabText(i, t->captions().at(i));
            if (w->isTabEnabled(i) != t->tabEnabled(i))
                w->setTabEnabled(i, t->tabEnabled(i));
        }
        if (w->currentIndex() != t->current())
            w->setCurrentIndex(t->current());
        m_syncing = false;
    }

private:
    bool m_syncing = false;
};

// A picture that the user clicks like a button.
class PictureBinding : public Binding {
public:
    PictureBinding(controls::Button& picture, ClickableLabel* widget) : Binding(picture, widget) {
        widget->setPixmap(
            pictureFor(picture.form() ? picture.form()->name() : QString(), picture.name()));
        widget->setCursor(Qt::PointingHandCursor);
        widget->setAlignment(Qt::AlignCenter);
        QObject::connect(widget, &ClickableLabel::clicked, this, [this] {
            if (auto* b = model<controls::Button>())
                b->click();
        });
        refresh();
    }
};

} // namespace

QWidget* createStatusBar(controls::Control& bar, QWidget* parent) {
    auto* widget = new QStatusBar(parent);
    new StatusBarBinding(bar, widget);
    return widget;
}

QWidget* createTabs(controls::TabControl& tabs, QWidget* parent) {
    auto* widget = new QTabWidget(parent);
    new TabBinding(tabs, widget);
    return widget;
}

QWidget* createPicture(controls::Button& picture, QWidget* parent) {
    auto* label = new ClickableLabel(parent);
    new PictureBinding(picture, label);
    return label;
}

} // namespace view::bindings
