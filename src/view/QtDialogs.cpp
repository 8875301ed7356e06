#include "view/QtDialogs.h"

#include "platform/ModalForm.h"
#include "view/DisplayText.h"
#include "view/Icons.h"
#include "view/ModalDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace view {

namespace {

QString titleOrProgram(const QString& title) {
    return title.isEmpty() ? QStringLiteral("Tavrel") : title;
}

} // namespace

QWidget* QtDialogs::parentWindow() const {
    if (m_parent && m_parent->isVisible() && !m_parent->isMinimized())
        return m_parent;
    QWidget* active = QApplication::activeWindow();
    return active && active->isVisible() ? active : nullptr;
}

platform::MessageAnswer QtDialogs::message(const QString& text, platform::MessageButtons buttons,
                                           platform::MessageIcon icon, const QString& title) {
    QMessageBox box(parentWindow());
    box.setWindowTitle(titleOrProgram(title));
    box.setWindowIcon(appIcon());
    // Texts are the program's own: "<Quitter>" is shown as written, not read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(displayText(text));
    switch (icon) {
    case platform::MessageIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case platform::MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case platform::MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case platform::MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case platform::MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    if (buttons == platform::MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? platform::MessageAnswer::Yes
                                          : platform::MessageAnswer::No;
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return platform::MessageAnswer::Ok;
}

QString QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultText) {
    QInputDialog box(parentWindow());
    box.setWindowTitle(titleOrProgram(title));
    box.setWindowIcon(appIcon());
    box.setInputMode(QInputDialog::TextInput);
    box.setTextEchoMode(QLineEdit::Normal);
    box.setLabelText(displayText(prompt));
    box.setTextValue(defaultText);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Annuler"));
    box.resize(qMax(box.sizeHint().width(), 420), box.sizeHint().height());
    if (box.exec() != QDialog::Accepted)
        return QString();
    return box.textValue();
}

QStringList QtDialogs::nameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        result.append(QStringLiteral("%1 (%2)").arg(parts.at(i), patterns.join(u' ')));
    }
    return result;
}

std::optional<QString> QtDialogs::openFile(const QString& title, const QString& initialFolder,
                                           const QString& filter) {
    QFileDialog box(parentWindow(), titleOrProgram(title), initialFolder);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = nameFilters(filter);
    if (!filters.isEmpty())
        box.setNameFilters(filters);
    // The filter list shows the labels exactly as the program gives them.
    box.setOption(QFileDialog::HideNameFilterDetails, true);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    return box.selectedFiles().constFirst();
}

std::optional<QString> QtDialogs::saveFile(const QString& title, const QString& initialPath,
                                           const QString& filter) {
    QFileDialog box(parentWindow(), titleOrProgram(title));
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = nameFilters(filter);
    if (!filters.isEmpty())
        box.setNameFilters(filters);
    box.setOption(QFileDialog::HideNameFilterDetails, true);
    box.setDefaultSuffix(QStringLiteral("csv"));
    box.selectFile(initialPath);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return std::nullopt;
    return box.selectedFiles().constFirst();
}

void QtDialogs::runModal(platform::ModalForm& form) {
    form.load();
    if (form.closed())
        return;
    ModalDialog dialog(form, parentWindow());
    dialog.run();
}

} // namespace view
