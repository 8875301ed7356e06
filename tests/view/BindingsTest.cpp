// The generic bindings over a form of our own: each kind of control follows its model, and
// the user's actions reach the model and its rules.

#include "view/Bindings.h"
#include "controls/FolderList.h"
#include "controls/ListView.h"
#include "controls/Simple.h"
#include "platform/ModalForm.h"
#include "view/ModalDialog.h"
#include "view/QtDialogs.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class SampleForm : public controls::Form {
public:
    SampleForm() : controls::Form(QStringLiteral("frmSample"), QStringLiteral("Exemple")) {}
    controls::CheckBox box{this, "box", "&Activer"};
    controls::TextBox digits{this, "digits"};
    controls::TextBox password{this, "password"};
    controls::ListView list{this, "list"};
    controls::ListBox files{this, "files"};
    controls::ComboBox choice{this, "choice"};
    controls::MenuItem menu{this, "menu", "&Fichier"};
    controls::MenuItem first{this, "first", "Premier"};
    controls::MenuItem sep{this, "sep", "-", true};
    controls::MenuItem last{this, "last", "Dernier"};
};

class BindingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        widgets = new view::FormWidgets(form, host.get());
    }
    template <class W> W* widget(const char* name) {
        return qobject_cast<W*>(widgets->get(QString::fromLatin1(name)));
    }
    SampleForm form;
    std::unique_ptr<QWidget> host;
    view::FormWidgets* widgets = nullptr;
};

TEST_F(BindingsTest, CheckBoxClickRunsTheModelRuleAndShowsItsState) {
    int rules = 0;
    form.box.onClick = [&] { ++rules; };
    auto* box = widget<QCheckBox>("box");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "&Activer");
    box->click();
    EXPECT_EQ(form.box.value(), 1);
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(box->checkState(), Qt::Checked);
    // The greyed third state shows partially checked; a click turns it on.
    form.box.setValue(2);
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->click();
    EXPECT_EQ(form.box.value(), 1);
    // A rule that puts the box back wins over the click.
    form.box.onClick = [&] { form.box.setValue(1); };
    box->click();
    EXPECT_EQ(box->checkState(), Qt::Checked);
    form.box.setEnabled(false);
    EXPECT_FALSE(box->isEnabled());
}

TEST_F(BindingsTest, TypedKeysPassTheInputRule) {
    form.digits.onKeyPress = [](QChar c) { return c.isDigit() || c == QChar(8); };
    form.digits.setMaxLength(3);
    form.digits.setText(QStringLiteral("25"));
    auto* edit = widget<QLineEdit>("digits");
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), "25");
    host->show();
    edit->setFocus();
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("a-09"));
    EXPECT_EQ(form.digits.text(), "250");
    EXPECT_EQ(edit->text(), "250");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(form.digits.text(), "25");
    // Editing in the middle of the text asks the rule too.
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, QStringLiteral("x1"));
    EXPECT_EQ(form.digits.text(), "125");
    // Code changes show at once.
    form.digits.setText(QStringLiteral("7"));
    EXPECT_EQ(edit->text(), "7");
    // Pasted text is typed, character by character.
    QApplication::clipboard()->setText(QStringLiteral("x4y5"));
    edit->end(false);
    QTest::keySequence(edit, QKeySequence::Paste);
    EXPECT_EQ(form.digits.text(), "745");
}

TEST_F(BindingsTest, FocusLeavingTheBoxRunsItsLostFocusStep) {
    int lost = 0;
    form.digits.onLostFocus = [&] {
        ++lost;
        form.digits.setText(form.digits.text().toUpper());
    };
    auto* edit = widget<QLineEdit>("digits");
    auto* other = widget<QLineEdit>("password");
    host->show();
    QApplication::setActiveWindow(host.get());
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("jse"));
    other->setFocus();
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(edit->text(), "JSE");
}

TEST_F(BindingsTest, PasswordBoxMasksItsText) {
    form.password.setPassword(true);
    form.password.setText(QStringLiteral("secret"));
    auto* edit = widget<QLineEdit>("password");
    EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit->text(), "secret");
}

TEST_F(BindingsTest, LongListShowsAtOnceAndSelectionFollowsBothWays) {
    form.list.addColumn(QStringLiteral("Filtre"), 1500);
    form.list.addColumn(QStringLiteral("Nombre"), 900);
    std::vector<QStringList> rows;
    for (int i = 0; i < 100000; ++i)
        rows.push_back({QStringLiteral("mot%1").arg(i), QString::number(i)});
    form.list.setRows(std::move(rows));
    auto* view = widget<QTableView>("list");
    ASSERT_TRUE(view);
    EXPECT_EQ(view->model()->rowCount(), 100000);
    EXPECT_EQ(view->columnWidth(0), 100);
    form.list.setSelected(70000, true);
    QApplication::processEvents();
    EXPECT_TRUE(view->selectionModel()->isRowSelected(70000, {}));
    // The user's choice reaches the model; a single-selection list keeps one row.
    view->selectionModel()->select(view->model()->index(5, 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(form.list.isSelected(5));
    EXPECT_FALSE(form.list.isSelected(70000));
    QApplication::processEvents();
    EXPECT_FALSE(view->selectionModel()->isRowSelected(70000, {}));
    form.list.setHeaderVisible(false);
    EXPECT_TRUE(view->horizontalHeader()->isHidden());
}

TEST_F(BindingsTest, ListRowsKeepToOneLine) {
    form.list.addColumn(QStringLiteral("Domaine"), 1500);
    form.list.addColumn(QStringLiteral("Source"), 1500);
    form.list.appendRow({QStringLiteral("a"), QStringLiteral("b")});
    form.list.appendRow({QStringLiteral("a"), QStringLiteral("id\r\nvaleur\r\nhote/\r\n")});
    auto* view = widget<QTableView>("list");
    QAbstractItemView* rows = view;
    EXPECT_EQ(rows->sizeHintForRow(1), rows->sizeHintForRow(0));
    EXPECT_EQ(view->rowHeight(1), view->rowHeight(0));
    // The model's text stays whole.
    EXPECT_TRUE(view->model()->index(1, 1).data().toString().contains(u'\n'));
}

TEST_F(BindingsTest, ListClicksReachTheModel) {
    form.list.addColumn(QStringLiteral("Filtre"), 1500);
    form.list.appendRow({QStringLiteral("pub")});
    form.list.appendRow({QStringLiteral("casino")});
    int clicks = 0, doubles = 0;
    int selectedAtClick = -2;
    form.list.onClick = [&] {
        ++clicks;
        selectedAtClick = form.list.firstSelected();
    };
    form.list.onDblClick = [&] { ++doubles; };
    auto* view = widget<QTableView>("list");
    host->resize(400, 300);
    view->resize(400, 300);
    host->show();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(selectedAtClick, 1);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(doubles, 1);
}

TEST_F(BindingsTest, ListBoxAndComboBoxFollowTheirModels) {
    form.files.setMultiSelect(true);
    form.files.addItem(QStringLiteral("/a/GATOR.EXE"));
    form.files.addItem(QStringLiteral("/b/SAVENOW.EXE"));
    auto* list = widget<QListWidget>("files");
    QApplication::processEvents();
    ASSERT_EQ(list->count(), 2);
    form.files.setSelected(1, true);
    QApplication::processEvents();
    EXPECT_TRUE(list->item(1)->isSelected());
    list->item(0)->setSelected(true);
    EXPECT_TRUE(form.files.isSelected(0));
    EXPECT_TRUE(form.files.isSelected(1));

    form.choice.addItem(QStringLiteral("True"));
    form.choice.addItem(QStringLiteral("False"));
    form.choice.setCurrentIndex(1);
    auto* combo = widget<QComboBox>("choice");
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->currentText(), "False");
}

TEST_F(BindingsTest, MenuItemsKeepOrderSeparatorsAndState) {
    int clicked = 0;
    form.last.onClick = [&] { ++clicked; };
    QMenu* menu = widgets->buildMenu(QStringLiteral("menu"), host.get());
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_EQ(menu->title(), "&Fichier");
    EXPECT_TRUE(menu->actions().at(1)->isSeparator());
    QAction* last = menu->actions().at(2);
    last->trigger();
    EXPECT_EQ(clicked, 1);
    form.last.setEnabled(false);
    EXPECT_FALSE(last->isEnabled());
    form.last.setCaption(QStringLiteral("Afficher"));
    EXPECT_EQ(last->text(), "Afficher");
}

// --- Dialogs --------------------------------------------------------------------------------

// Answers the next modal dialog from inside its event loop.
void whenModalOpens(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start();
}

TEST(QtDialogsTest, MessageBoxHasTitleIconAndButtons) {
    view::QtDialogs dialogs;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    whenModalOpens([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            buttons.append(b->text());
        for (QAbstractButton* b : box->buttons())
            if (box->buttonRole(b) == QMessageBox::NoRole)
                b->click();
    });
    const auto answer = dialogs.message(QStringLiteral("Le menu <Quitter>.\rMot de passe"),
                                        platform::MessageButtons::YesNo,
                                        platform::MessageIcon::Question, QString());
    EXPECT_EQ(answer, platform::MessageAnswer::No);
    EXPECT_EQ(title, "Tavrel");
    EXPECT_EQ(text, "Le menu <Quitter>.\nMot de passe");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(buttons.size(), 2);
}

TEST(QtDialogsTest, InputBoxCancelGivesTheEmptyText) {
    view::QtDialogs dialogs;
    whenModalOpens([](QWidget* w) {
        auto* box = qobject_cast<QInputDialog*>(w);
        ASSERT_TRUE(box);
        box->setTextValue(QStringLiteral("secret"));
        box->reject();
    });
    EXPECT_EQ(dialogs.input(QStringLiteral("Mot de passe S.V.P.?"),
                            QStringLiteral("Entrez le mot de passe"), QString()),
              QString());
    whenModalOpens([](QWidget* w) {
        auto* box = qobject_cast<QInputDialog*>(w);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->windowTitle(), "Entrez le mot de passe");
        EXPECT_EQ(box->textEchoMode(), QLineEdit::Normal);
        box->setTextValue(QStringLiteral("secret"));
        box->accept();
    });
    EXPECT_EQ(dialogs.input(QStringLiteral("Mot de passe S.V.P.?"),
                            QStringLiteral("Entrez le mot de passe"), QString()),
              "secret");
}

TEST(QtDialogsTest, FileFiltersKeepTheProgramsLabels) {
    EXPECT_EQ(view::QtDialogs::nameFilters(QStringLiteral("Fichier son Wav|*.wav")),
              (QStringList{"Fichier son Wav (*.wav)"}));
    EXPECT_EQ(view::QtDialogs::nameFilters(
                  QStringLiteral("Fichiers hosts|hosts;*.dat|Tous les fichiers|*.*")),
              (QStringList{"Fichiers hosts (hosts *.dat)", "Tous les fichiers (*.*)"}));
    EXPECT_TRUE(view::QtDialogs::nameFilters(QString()).isEmpty());
}

// A modal form in the manner of the cookie details: it closes itself from its OK button.
class DetailsLike : public controls::Form, public platform::ModalForm {
public:
    DetailsLike() : controls::Form(QStringLiteral("frmDetails"), QStringLiteral("Propriétés")) {
        cmdOK.onClick = [this] { m_closed = true; };
    }
    controls::Form& form() override { return *this; }
    void load() override {
        ++loads;
        txtWeb.setText(QStringLiteral("doubleclick.net/"));
    }
    bool closed() const override { return m_closed; }
    void requestClose() override {
        ++closeRequests;
        m_closed = true;
    }

    controls::Label lblWeb{this, "lblWeb", "Domaine :"};
    controls::TextBox txtWeb{this, "txtWeb"};
    controls::Label lblSource{this, "lblSource", "Source du Cookie :"};
    controls::TextBox txtSource{this, "txtSource"};
    controls::Button cmdDecode{this, "cmdDecode", "Decoder"};
    controls::Button cmdOK{this, "cmdOK", "&OK"};
    int loads = 0;
    int closeRequests = 0;

private:
    bool m_closed = false;
};

TEST(ModalDialogTest, RunsUntilTheFormClosesItself) {
    DetailsLike details;
    details.txtSource.setMultiLine(true);
    view::QtDialogs dialogs;
    QString shownDomain;
    whenModalOpens([&](QWidget* w) {
        auto* dialog = qobject_cast<view::ModalDialog*>(w);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(dialog->windowTitle(), "Propriétés");
        shownDomain = dialog->widgets().getAs<QLineEdit>(QStringLiteral("txtWeb"))->text();
        dialog->widgets().getAs<QPushButton>(QStringLiteral("cmdOK"))->click();
    });
    dialogs.runModal(details);
    EXPECT_EQ(details.loads, 1);
    EXPECT_EQ(shownDomain, "doubleclick.net/");
    EXPECT_EQ(details.closeRequests, 0);
}

TEST(ModalDialogTest, EscapeAsksTheFormToClose) {
    DetailsLike details;
    view::QtDialogs dialogs;
    whenModalOpens([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    dialogs.runModal(details);
    EXPECT_EQ(details.closeRequests, 1);
}

class FolderForm : public controls::Form {
public:
    FolderForm() : controls::Form(QStringLiteral("frmFolders"), QString()) {
        // The form fills the subfolders of each folder made current.
        dirs.onChange = [this] {
            ++changes;
            dirs.setFolders(dirs.path() == QLatin1String("/")
                                ? QStringList{QStringLiteral("home"), QStringLiteral("tmp")}
                                : QStringList{QStringLiteral("a"), QStringLiteral("b")});
        };
    }
    controls::DriveList drives{this, "drives"};
    controls::FolderList dirs{this, "dirs"};
    int changes = 0;
};

TEST(FolderListsTest, DoubleClicksWalkTheFolderTree) {
    FolderForm form;
    QWidget host;
    view::FormWidgets widgets(form, &host);
    form.dirs.setPath(QStringLiteral("/"));
    auto* list = widgets.getAs<QListWidget>(QStringLiteral("dirs"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 3); // "/", then home and tmp
    emit list->itemActivated(list->item(1));
    EXPECT_EQ(form.dirs.path(), "/home");
    ASSERT_EQ(list->count(), 4); // "/", home, then a and b
    emit list->itemActivated(list->item(3));
    EXPECT_EQ(form.dirs.path(), "/home/b");
    // Back up to the root in one double click.
    emit list->itemActivated(list->item(0));
    EXPECT_EQ(form.dirs.path(), "/");

    form.drives.setDrives({QStringLiteral("/"), QStringLiteral("/media/usb")});
    form.drives.setCurrentIndex(0);
    int chosen = 0;
    form.drives.onChange = [&] { ++chosen; };
    auto* combo = widgets.getAs<QComboBox>(QStringLiteral("drives"));
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->count(), 2);
    emit combo->activated(1);
    EXPECT_EQ(form.drives.currentIndex(), 1);
    EXPECT_EQ(chosen, 1);
}

} // namespace
