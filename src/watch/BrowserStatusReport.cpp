#include "watch/BrowserStatusReport.h"

#include "controls/Simple.h"

namespace watch {

using platform::BrowserStatus;
using State = BrowserStatus::State;
using Reason = BrowserStatus::Reason;

namespace {

const QString kTitle = QStringLiteral("Tavrel");
const QString kConfigurationTab = QStringLiteral("l'onglet « Configuration »");

QString windowCount(int n) {
    if (n <= 0)
        return QStringLiteral("aucune fenêtre");
    if (n == 1)
        return QStringLiteral("1 fenêtre");
    return QStringLiteral("%1 fenêtres").arg(n);
}

} // namespace

BrowserStatusReport::BrowserStatusReport(platform::BrowserShell& shell, platform::Dialogs& dialogs,
                                         controls::Label& statusLabel,
                                         std::function<void(const QString&)> setToolTip)
    : m_shell(shell), m_dialogs(dialogs), m_label(statusLabel),
      m_setToolTip(std::move(setToolTip)) {}

void BrowserStatusReport::start() {
    if (m_started)
        return;
    m_started = true;
    connect(&m_shell, &platform::BrowserShell::windowRegistered, this,
            &BrowserStatusReport::showText);
    connect(&m_shell, &platform::BrowserShell::windowRevoked, this, &BrowserStatusReport::showText);
    connect(&m_shell, &platform::BrowserShell::statusChanged, this, &BrowserStatusReport::onStatus);
    onStatus();
}

void BrowserStatusReport::userReturned() {
    m_shell.wake();
}

QString BrowserStatusReport::statusText(const BrowserStatus& s, int windows) {
    const QString& name = s.browser;
    if (s.state == State::Watching) {
        // The browser's own pop-up blocker deciding first is said where the profile is.
        const QString profile = s.browserBlocksPopups
                                    ? QStringLiteral(" (%1, bloqueur de fenêtres de %2 actif)")
                                          .arg(s.ownProfile ? QStringLiteral("profil habituel")
                                                            : QStringLiteral("profil de Tavrel"),
                                               name)
                                : s.ownProfile ? QStringLiteral(" (profil habituel)")
                                               : QString();
        return QStringLiteral("Navigateur surveillé : %1%2 — %3")
            .arg(name, profile, windowCount(windows));
    }
    QString why;
    if (s.state == State::Starting) {
        why = QStringLiteral("démarrage de %1…").arg(name);
    } else {
        switch (s.reason) {
        case Reason::None:
            why = QStringLiteral("%1 est arrêté").arg(name);
            break;
        case Reason::NotFound:
            why = QStringLiteral("%1 introuvable").arg(s.detail);
            break;
        case Reason::CannotStart:
            why = QStringLiteral("%1 ne démarre pas").arg(name);
            break;
        case Reason::ProfileInUse:
            why = s.ownProfile
                      ? QStringLiteral("%1 est déjà ouvert avec votre profil habituel").arg(name)
                      : QStringLiteral("%1 est déjà ouvert avec le profil de Tavrel").arg(name);
            break;
        case Reason::DebuggingRefused:
            why = QStringLiteral("%1 refuse la surveillance sur votre profil habituel").arg(name);
            break;
        case Reason::NoAnswer:
            why = QStringLiteral("%1 ne répond pas").arg(name);
            break;
        case Reason::Closed:
            why = QStringLiteral("%1 a été fermé").arg(name);
            break;
        case Reason::Crashed:
            why = QStringLiteral("%1 s'est arrêté, redémarrage…").arg(name);
            break;
        case Reason::KeepsCrashing:
            why = QStringLiteral("%1 s'arrête dès son lancement").arg(name);
            break;
        case Reason::Unreachable:
            why = QStringLiteral("rien n'écoute à l'adresse %1").arg(s.detail);
            break;
        case Reason::ConnectionLost:
            why = QStringLiteral("connexion perdue avec %1").arg(s.detail);
            break;
        case Reason::BadSetting:
            why = QStringLiteral("réglage invalide (%1)").arg(s.detail);
            break;
        case Reason::ChangesProfile:
            why = s.detail.isEmpty()
                      ? QStringLiteral("%1 n'a pas encore de profil habituel").arg(name)
                      : QStringLiteral("%1 changerait les réglages de votre profil habituel")
                            .arg(name);
            break;
        case Reason::SessionTaken:
            why = QStringLiteral("un autre programme pilote le navigateur de l'adresse %1")
                      .arg(s.detail);
            break;
        }
    }
    return QStringLiteral("Aucun navigateur surveillé : ") + why;
}

std::optional<QString> BrowserStatusReport::problemMessage(const BrowserStatus& s,
                                                           const QStringList& supported) {
    if (s.state != State::Stopped)
        return std::nullopt;
    const QString& name = s.browser;
    const QString retry = QStringLiteral("Affichez de nouveau la fenêtre de Tavrel pour "
                                         "réessayer, ou choisissez un autre navigateur dans ") +
                          kConfigurationTab + u'.';
    switch (s.reason) {
    case Reason::None:
    case Reason::Crashed: // being started again: the status text says so
        return std::nullopt;
    case Reason::NotFound:
        return QStringLiteral("Tavrel ne surveille aucun navigateur : %1 introuvable.\n\n"
                              "Installez l'un des navigateurs que Tavrel sait surveiller (%2), "
                              "puis choisissez-le dans %3, « Navigateur surveillé ».")
            .arg(s.detail, supported.join(QStringLiteral(", ")), kConfigurationTab);
    case Reason::CannotStart:
        return QStringLiteral("Tavrel ne peut pas lancer %1 (%2).\n\n").arg(name, s.detail) + retry;
    case Reason::ProfileInUse: {
        const QString profile = s.ownProfile ? QStringLiteral("votre profil habituel")
                                             : QStringLiteral("le profil de Tavrel");
        // Without the profile's folder there is no lock to watch: the user brings Tavrel back.
        const QString then =
            s.detail.isEmpty()
                ? QStringLiteral("Fermez toutes les fenêtres de %1, puis affichez de nouveau la "
                                 "fenêtre de Tavrel.")
                : QStringLiteral("Fermez toutes les fenêtres de %1 : Tavrel le relancera "
                                 "aussitôt, sous surveillance.");
        return QStringLiteral("%1 est déjà ouvert avec %2, sans être surveillé.\n\n")
                   .arg(name, profile) +
               then.arg(name);
    }
    case Reason::DebuggingRefused:
        return QStringLiteral("%1 refuse d'être surveillé sur votre profil habituel : il "
                              "n'accepte la surveillance que sur un profil séparé.\n\n"
                              "Décochez « Utiliser mon profil habituel du navigateur » dans %2 : "
                              "Tavrel utilisera son propre profil.")
            .arg(name, kConfigurationTab);
    case Reason::NoAnswer:
        return QStringLiteral("%1 n'a pas répondu à Tavrel et a été refermé.\n\n").arg(name) +
               retry;
    case Reason::Closed:
        return QStringLiteral("%1 a été fermé : Tavrel ne surveille plus aucune fenêtre.\n\n"
                              "Tavrel le relancera quand vous afficherez de nouveau sa fenêtre.")
            .arg(name);
    case Reason::KeepsCrashing:
        return QStringLiteral("%1 s'arrête dès son lancement : Tavrel ne le relance plus.\n\n")
                   .arg(name) +
               retry;
    case Reason::Unreachable:
        return QStringLiteral("Aucun navigateur n'écoute à l'adresse %1 : Tavrel ne surveille "
                              "aucune fenêtre.\n\nLancez le navigateur avec "
                              "--remote-debugging-port ; Tavrel s'y connectera dès qu'il sera "
                              "là.")
            .arg(s.detail);
    case Reason::ConnectionLost:
        return QStringLiteral("La connexion au navigateur de l'adresse %1 est perdue : Tavrel ne "
                              "surveille plus aucune fenêtre.\n\nTavrel s'y reconnectera dès que "
                              "le navigateur sera de retour.")
            .arg(s.detail);
    case Reason::BadSetting:
        return QStringLiteral("Le réglage du navigateur est invalide : %1.\n\n"
                              "Corrigez-le, puis relancez Tavrel.")
            .arg(s.detail);
    case Reason::ChangesProfile:
        return changesProfileMessage(s);
    case Reason::SessionTaken:
        return QStringLiteral("Le navigateur de l'adresse %1 est déjà piloté par un autre "
                              "programme : Tavrel ne surveille aucune fenêtre.\n\n"
                              "Ce navigateur n'accepte qu'un programme à la fois, et reste à "
                              "celui qui l'a pris jusqu'à ce qu'il redémarre, même si ce "
                              "programme s'est arrêté. Fermez l'autre programme ou redémarrez le "
                              "navigateur : Tavrel s'y connectera dès qu'il sera libre.")
            .arg(s.detail);
    }
    return std::nullopt;
}

QString BrowserStatusReport::changesProfileMessage(const BrowserStatus& s) {
    const QString& name = s.browser;
    const QString uncheck =
        QStringLiteral("Ou décochez « Utiliser mon profil habituel du navigateur » dans %1 : "
                       "Tavrel utilisera son propre profil.")
            .arg(kConfigurationTab);
    // Without a profile yet, there is no file to write the line into.
    if (s.detail.isEmpty())
        return QStringLiteral("%1 n'a pas encore de profil habituel : Tavrel ne l'a pas lancé.\n\n"
                              "Lancez %1 une fois sans Tavrel pour qu'il le crée, puis affichez "
                              "de nouveau la fenêtre de Tavrel. ")
                   .arg(name) +
               uncheck;
    return QStringLiteral(
               "Tavrel n'a pas lancé %1 sur votre profil habituel : surveillé, %1 y désactive, le "
               "temps de la surveillance, sa protection contre les sites trompeurs et dangereux, "
               "la protection contre le pistage et l'enregistrement des mots de passe, et il ne "
               "les rétablit que s'il se ferme normalement.\n\n"
               "Pour qu'il garde vos réglages, ajoutez la ligne\n"
               "user_pref(\"remote.prefs.recommended\", false);\n"
               "au fichier %2, %1 fermé, puis affichez de nouveau la fenêtre de Tavrel. %1 "
               "garde alors aussi son bloqueur de fenêtres, qui décide avant Tavrel. ")
               .arg(name, s.detail) +
           uncheck;
}

QString BrowserStatusReport::backMessage(const BrowserStatus& s, bool again) {
    return again ? QStringLiteral("Tavrel surveille de nouveau %1.").arg(s.browser)
                 : QStringLiteral("Tavrel surveille maintenant %1.").arg(s.browser);
}

void BrowserStatusReport::showText() {
    const QString text = statusText(m_shell.status(), int(m_shell.windows().size()));
    m_label.setCaption(text);
    if (m_setToolTip)
        m_setToolTip(QStringLiteral("Tavrel\n") + text);
}

void BrowserStatusReport::onStatus() {
    showText();
    // A message waits for the user; a change meanwhile is handled when it is answered.
    if (m_inMessage) {
        m_again = true;
        return;
    }
    do {
        m_again = false;
        handleStatus();
    } while (m_again);
}

void BrowserStatusReport::handleStatus() {
    const BrowserStatus s = m_shell.status();
    if (s.state == State::Watching) {
        const bool told = m_told.has_value();
        m_told.reset();
        if (told)
            tell(backMessage(s, m_watchedOnce), platform::MessageIcon::Information);
        m_watchedOnce = true;
        return;
    }
    if (s.state != State::Stopped || m_told == s.reason)
        return;
    const std::optional<QString> text = problemMessage(s, m_shell.supportedBrowsers());
    if (!text)
        return;
    m_told = s.reason;
    tell(*text, platform::MessageIcon::Warning);
}

void BrowserStatusReport::tell(const QString& text, platform::MessageIcon icon) {
    m_inMessage = true;
    m_dialogs.message(text, platform::MessageButtons::Ok, icon, kTitle);
    m_inMessage = false;
}

} // namespace watch
