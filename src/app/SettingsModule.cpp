#include "app/SettingsModule.h"

#include "app/MainForm.h"
#include "app/PasswordLock.h"
#include "app/Switches.h"
#include "dialer/DialerBlock.h"
#include "keywords/KeywordFile.h"
#include "watch/BrowserChoice.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <limits>

namespace app {

namespace {

const QString Config = QStringLiteral("Config");
const QString Settings = QStringLiteral("Settings");

// Anything past this is far beyond every value a switch or a limit takes; keeping numbers
// below it keeps every conversion to an integer defined.
constexpr double Huge = 1e18;

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool fitsLimit(qint64 value) {
    return value >= std::numeric_limits<qint16>::min() &&
           value <= std::numeric_limits<qint16>::max();
}

} // namespace

double numericPrefix(const QString& text) {
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && isBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    const qsizetype intStart = i;
    while (i < n && isAsciiDigit(text.at(i)))
        ++i;
    QString integer = text.mid(intStart, i - intStart);
    QString fraction;
    if (i < n && text.at(i) == u'.') {
        qsizetype j = i + 1;
        while (j < n && isAsciiDigit(text.at(j)))
            ++j;
        fraction = text.mid(i + 1, j - i - 1);
    }
    if (integer.isEmpty() && fraction.isEmpty())
        return 0;
    qsizetype zeros = 0;
    while (zeros < integer.size() && integer.at(zeros) == u'0')
        ++zeros;
    integer.remove(0, zeros);
    if (integer.size() > 18)
        return negative ? -10 * Huge : 10 * Huge;
    // Digits past the 20th of a fraction change nothing a double can hold.
    const QString decimal = (integer.isEmpty() ? QStringLiteral("0") : integer) + u'.' +
                            (fraction.isEmpty() ? QStringLiteral("0") : fraction.left(20));
    const double value = decimal.toDouble();
    return negative ? -value : value;
}

qint64 nearestInteger(double number) {
    if (std::isnan(number))
        return 0;
    number = std::clamp(number, -Huge, Huge);
    // The default rounding mode rounds halves to the even neighbour.
    return static_cast<qint64>(std::nearbyint(number));
}

std::optional<qint64> integerText(const QString& text) {
    static const QRegularExpression whole(
        QStringLiteral("^[ \\t]*[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)[ \\t]*$"));
    if (!whole.match(text).hasMatch())
        return std::nullopt;
    return nearestInteger(numericPrefix(text));
}

qint16 limitFromNumber(double number) {
    const qint64 value = nearestInteger(number);
    return fitsLimit(value) ? static_cast<qint16>(value) : 0;
}

QString numberText(double number) {
    if (number == 0) // also -0
        return QStringLiteral("0");
    if (std::abs(number) < Huge && number == std::trunc(number))
        return QString::number(static_cast<qint64>(number));
    return QString::number(number, 'f', QLocale::FloatingPointShortest);
}

SettingsModule::SettingsModule(MainForm& form, platform::Platform& platform,
                               watch::RuleSettings& rules, Switches& switches, PasswordLock& lock,
                               dialer::DialerBlock& dialerBlock,
                               const keywords::KeywordFile& keywordFile,
                               watch::BrowserChoice& browserChoice)
    : f(form), m_p(platform), m_rules(rules), m_switches(switches), m_lock(lock),
      m_dialerBlock(dialerBlock), m_keywordFile(keywordFile), m_browserChoice(browserChoice) {}

QString SettingsModule::read(const QString& section, const QString& key,
                             const QString& missing) const {
    return m_p.settings.value(applicationName(), section, key).value_or(missing);
}

void SettingsModule::write(const QString& section, const QString& key, const QString& value) {
    m_p.settings.setValue(applicationName(), section, key, value);
}

bool SettingsModule::loadSwitch(controls::CheckBox& box, const QString& key,
                                const QString& missing) {
    const qint64 state = nearestInteger(numericPrefix(read(Config, key, missing)));
    if (state < 0 || state > 2)
        return false;
    return box.setValue(static_cast<int>(state));
}

void SettingsModule::saveSwitch(const QString& section, const QString& key,
                                const controls::CheckBox& box) {
    write(section, key, QString::number(box.value()));
}

void SettingsModule::load() {
    m_held.clear();
    const QString stoppedAt = applyStored();
    applyBrowserChoice();
    if (stoppedAt.isEmpty())
        return;
    // The keys from the one that stopped the loading on were never applied: remember what the
    // controls show for them now, so that a later save does not overwrite the stored values
    // with states the user never chose.
    // clang-format off
    static const QStringList order{"Active", "ProtectMotCle", "SonOK", "NomSon", "NoDial",
        "OptMotdePas", "MotdePas", "ProtectTaille", "LargFen", "HautFen",
        "ProtectTailleMotCle", "Masq", "Notifications"};
    // clang-format on
    const qsizetype first = order.indexOf(stoppedAt);
    const auto now = valuesToSave();
    for (const Entry& e : now)
        if (order.indexOf(e.key) >= first)
            m_held.insert(e.key, e.value);
}

QString SettingsModule::applyStored() {
    // 1. Automatic detection: the whole text must be an integer.
    const std::optional<qint64> active =
        integerText(read(Settings, QStringLiteral("Active"), QStringLiteral("0")));
    if (!active || *active < 0 || *active > 2 ||
        !f.popupRuleSwitch.setValue(static_cast<int>(*active)))
        return QStringLiteral("Active");
    m_rules.autoClose = f.popupRuleSwitch.value() == 1;

    // 2. Keyword detection. The switch's rule runs only on a change, and the scan timer is
    // on from creation, so the timer is set here whatever the switch did.
    if (!loadSwitch(f.keywordScanSwitch, QStringLiteral("ProtectMotCle")))
        return QStringLiteral("ProtectMotCle");
    f.keywordScanTimer.setEnabled(f.keywordScanSwitch.value() != 0);

    // 3. Sound switch.
    if (!loadSwitch(f.soundSwitch, QStringLiteral("SonOK")))
        return QStringLiteral("SonOK");
    f.soundFileBox.setEnabled(f.soundSwitch.value() != 0);
    f.chooseSoundButton.setEnabled(f.soundSwitch.value() != 0);

    // 4. Sound file. The path is trimmed for the sound as well as for the display: a blank
    // at either end would name another file here, and the sound would never play.
    QString sound = read(Config, QStringLiteral("NomSon"), QString());
    while (sound.startsWith(u' '))
        sound.remove(0, 1);
    while (sound.endsWith(u' '))
        sound.chop(1);
    if (sound.isEmpty())
        sound = platform::shippedFile(m_p.files, QStringLiteral("Tavrel.wav"));
    f.soundFileBox.setText(sound);
    m_switches.setSoundFile(sound);

    // 5. The sound file must exist, whether the sound is on or not.
    if (!platform::FileExists(m_p.files, f.soundFileBox.text())) {
        m_p.dialogs.message(QStringLiteral("Fichier son ") + f.soundFileBox.text() +
                                QStringLiteral(" non trouvé !"),
                            platform::MessageButtons::Ok, platform::MessageIcon::Warning,
                            QStringLiteral("Erreur"));
        f.soundSwitch.setValue(0);
    }

    // 6. Dialer block: the switch's rule has switched it already when the state changed;
    // it is switched to the loaded state once more in any case.
    if (!loadSwitch(f.dialerBlockSwitch, QStringLiteral("NoDial")))
        return QStringLiteral("NoDial");
    m_dialerBlock.set(f.dialerBlockSwitch.value());

    // 7, 8. Password and lock.
    if (!loadSwitch(f.passwordLockSwitch, QStringLiteral("OptMotdePas")))
        return QStringLiteral("OptMotdePas");
    QString password = read(Config, QStringLiteral("MotdePas"), QString());
    if (password == u"0")
        password.clear();
    m_lock.setPassword(password);
    if (!password.isEmpty() && f.passwordLockSwitch.value() == 1)
        m_lock.lock();
    else
        m_lock.unlock();
    f.passwordBox.setText(password);

    // 9. Size rule for new windows.
    if (!loadSwitch(f.popupSizeRuleSwitch, QStringLiteral("ProtectTaille")))
        return QStringLiteral("ProtectTaille");

    // 10, 11. Size limits. A stored number that a limit cannot hold counts as none.
    auto shownLimit = [this](const QString& key) {
        const double number = numericPrefix(read(Config, key, QString()));
        return numberText(fitsLimit(nearestInteger(number)) ? number : 0);
    };
    f.widthBox.setText(shownLimit(QStringLiteral("LargFen")));
    f.heightBox.setText(shownLimit(QStringLiteral("HautFen")));
    m_rules.limitWidth = limitFromNumber(numericPrefix(f.widthBox.text()));
    m_rules.limitHeight = limitFromNumber(numericPrefix(f.heightBox.text()));
    if (m_rules.limitWidth == 0) {
        m_rules.limitWidth = 250;
        f.widthBox.setText(QStringLiteral("250"));
    }
    if (m_rules.limitHeight == 0) {
        m_rules.limitHeight = 150;
        f.heightBox.setText(QStringLiteral("150"));
    }

    // 12. Size scan.
    if (!loadSwitch(f.sizeScanSwitch, QStringLiteral("ProtectTailleMotCle")))
        return QStringLiteral("ProtectTailleMotCle");
    f.sizeScanTimer.setEnabled(f.sizeScanSwitch.value() != 0);

    // 13. Auto-hide.
    if (!loadSwitch(f.autoHideSwitch, QStringLiteral("Masq")))
        return QStringLiteral("Masq");

    // 14. A notice at each closure: on unless the user turned it off.
    if (!loadSwitch(f.noticeSwitch, QStringLiteral("Notifications"), QStringLiteral("1")))
        return QStringLiteral("Notifications");
    return {};
}

void SettingsModule::applyBrowserChoice() {
    const QString id = read(Config, QStringLiteral("Navigateur"), QString()).trimmed();
    const std::optional<qint64> own =
        integerText(read(Config, QStringLiteral("ProfilHabituel"), QStringLiteral("0")));
    const bool ownTaken = own && (*own == 0 || *own == 1);
    const bool idTaken = m_browserChoice.load(id, ownTaken ? int(*own) : 0);
    // A browser not installed now, or a value the switch does not take, stays stored until
    // the user chooses otherwise.
    if (!idTaken)
        m_held.insert(QStringLiteral("Navigateur"), m_browserChoice.chosenId());
    if (!ownTaken)
        m_held.insert(QStringLiteral("ProfilHabituel"),
                      QString::number(f.ownProfileSwitch.value()));
}

std::vector<SettingsModule::Entry> SettingsModule::valuesToSave() const {
    auto state = [](const controls::CheckBox& box) { return QString::number(box.value()); };
    // A box whose number a limit cannot hold is saved, and taken, as an empty one: 0.
    auto limitText = [](const QString& box) {
        const double number = numericPrefix(box);
        return numberText(fitsLimit(nearestInteger(number)) ? number : 0);
    };
    return {{Config, QStringLiteral("ProtectMotCle"), state(f.keywordScanSwitch)},
            {Settings, QStringLiteral("Active"), state(f.popupRuleSwitch)},
            {Config, QStringLiteral("NoDial"), state(f.dialerBlockSwitch)},
            {Config, QStringLiteral("Masq"), state(f.autoHideSwitch)},
            {Config, QStringLiteral("OptMotdePas"), state(f.passwordLockSwitch)},
            // The password in the box, validated or not.
            {Config, QStringLiteral("MotdePas"), f.passwordBox.text()},
            {Config, QStringLiteral("SonOK"), state(f.soundSwitch)},
            {Config, QStringLiteral("NomSon"), f.soundFileBox.text()},
            {Config, QStringLiteral("ProtectTaille"), state(f.popupSizeRuleSwitch)},
            {Config, QStringLiteral("LargFen"), limitText(f.widthBox.text())},
            {Config, QStringLiteral("HautFen"), limitText(f.heightBox.text())},
            {Config, QStringLiteral("NomFichMotCle"), m_keywordFile.path()},
            {Config, QStringLiteral("ProtectTailleMotCle"), state(f.sizeScanSwitch)},
            {Config, QStringLiteral("Navigateur"), m_browserChoice.chosenId()},
            {Config, QStringLiteral("ProfilHabituel"), state(f.ownProfileSwitch)},
            {Config, QStringLiteral("Notifications"), state(f.noticeSwitch)}};
}

void SettingsModule::save() {
    for (const Entry& e : valuesToSave()) {
        // A key the loader never applied keeps its stored value until the user changes what
        // the window shows for it.
        const auto held = m_held.constFind(e.key);
        if (held != m_held.constEnd() && held.value() == e.value)
            continue;
        write(e.section, e.key, e.value);
        m_held.remove(e.key);
    }
    // Unlike loading, 0 stays 0 until the next start.
    m_rules.limitWidth = limitFromNumber(numericPrefix(f.widthBox.text()));
    m_rules.limitHeight = limitFromNumber(numericPrefix(f.heightBox.text()));
}

} // namespace app
