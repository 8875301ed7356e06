#include "about/AboutBox.h"

#include "platform/TextCodec.h"

namespace about {

namespace {
const QString kTitle = QStringLiteral("Tavrel");
const QString kAuthor = QStringLiteral("Auteur : l'équipe Tavrel");
const QString kEmail = QStringLiteral("contact@tavrel.example");
const QString kWebSite = QStringLiteral("https://tavrel.example/");
const QString kDonation = QStringLiteral("https://tavrel.example/don");

QString versionNumber() {
    return QStringLiteral("%1.%2.%3")
        .arg(TAVREL_VERSION_MAJOR)
        .arg(TAVREL_VERSION_MINOR)
        .arg(TAVREL_VERSION_PATCH);
}
QString emailLine() {
    return QStringLiteral("E-Mail : ") + kEmail;
}
QString webLine() {
    return QStringLiteral("URL : ") + kWebSite;
}
} // namespace

AboutBox::AboutBox(platform::Platform& platform)
    : controls::Form(QStringLiteral("frmAbout"), QString()), m_p(platform) {
    descriptionLabel.setCaption(kAuthor);
    disclaimerLink.setCaption(emailLine());
    disclaimerLink.setToolTip(QStringLiteral("Envoyer un courriel"));
    siteLink.setCaption(webLine());
    siteLink.setToolTip(QStringLiteral("Visitez le site officiel de Tavrel"));
    logoPicture.setToolTip(
        QStringLiteral("Faire un don avec PayPal - Un solution gratuite, rapide et sécurisée."));
    systemInfoButton.setToolTip(QStringLiteral("Informations système"));

    // Links are opened as they are; whether that worked is not reported.
    auto& processes = platform.processes;
    disclaimerLink.onClick = [&processes] {
        processes.openUrl(QStringLiteral("mailto:") + kEmail);
    };
    siteLink.onClick = [&processes] { processes.openUrl(kWebSite); };
    logoPicture.onClick = [&processes] { processes.openUrl(kDonation); };
    detailsButton.onClick = [this] {
        m_p.dialogs.message(detailsText(), platform::MessageButtons::Ok,
                            platform::MessageIcon::Information, QStringLiteral("A propos"));
    };
    systemInfoButton.onClick = [this] { startSystemInfo(); };
    okButton.onClick = [this] { unload(); };
}

void AboutBox::load() {
    setCaption(QStringLiteral("A propos ") + kTitle);
    versionLabel.setCaption(QStringLiteral("Version ") + versionNumber());
    titleLabel.setCaption(kTitle);
}

void AboutBox::requestClose() {
    unload();
}

void AboutBox::unload() {
    m_closed = true;
    setVisible(false);
}

QString AboutBox::detailsText() {
    const QStringList lines{
        kTitle + QStringLiteral(" version ") + versionNumber() + u' ',
        QString(),
        QStringLiteral("Un logiciel Anti Pub - Anti PopUp - PopUp Killer"),
        QString(),
        QStringLiteral("- Suppression des publicités Internet par liste d'apprentissage"),
        QStringLiteral("- Suppression automatique des fenêtres 'PopUp'"),
        QStringLiteral("- Suppression des fenêtres indésirables"),
        QStringLiteral("- Suppression des fenêtres par détection de taille"),
        QStringLiteral("- Interdiction des téléchargements automatiques par Dialer"),
        QStringLiteral("- Protection parentale"),
        QStringLiteral("- Gestion des Cookies"),
        QStringLiteral("- Protection de la configuration par mot de passe"),
        QString(),
        kAuthor,
        emailLine(),
        webLine(),
        QString(),
        QString(),
    };
    return lines.join(u'\r');
}

void AboutBox::startSystemInfo() {
    auto& p = m_p;
    QString path;
    bool started = false;
    if (readKeyValue(p.registry, platform::HKEY_LOCAL_MACHINE,
                     QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                     QStringLiteral("PATH"), path)) {
        started = !path.isEmpty() && p.processes.start(path, {});
    } else if (readKeyValue(p.registry, platform::HKEY_LOCAL_MACHINE,
                            QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                            QStringLiteral("MSINFO"), path)) {
        const QString tool = platform::withTrailingSlash(path) + QStringLiteral("MSINFO32.EXE");
        started = platform::FileExists(p.files, tool) && p.processes.start(tool, {});
    }
    if (!started)
        p.dialogs.message(QStringLiteral("Information Systeme introuvable !"),
                          platform::MessageButtons::Ok, platform::MessageIcon::None, kTitle);
}

bool readKeyValue(platform::Registry& registry, platform::HKEY keyRoot, const QString& keyName,
                  const QString& subKeyRef, QString& keyVal) {
    constexpr std::uint32_t kFullAccess = 0x2003F;
    constexpr std::uint32_t kBufferSize = 1024;
    keyVal.clear();
    platform::HKEY key = 0;
    if (registry.openKey(keyRoot, keyName, kFullAccess, &key) != platform::ERROR_SUCCESS)
        return false;
    std::uint32_t type = platform::REG_NONE;
    QByteArray data;
    std::uint32_t size = kBufferSize;
    if (registry.queryValue(key, subKeyRef, &type, &data, &size) != platform::ERROR_SUCCESS) {
        registry.closeKey(key);
        return false;
    }
    data.truncate(size);
    if (data.endsWith('\0'))
        data.chop(1);
    if (type == platform::REG_DWORD && data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i)
            n = (n << 8) | std::uint8_t(data[i]);
        keyVal = QString::number(n);
    } else {
        keyVal = platform::decodeText(data);
    }
    registry.closeKey(key);
    return true;
}

void openAbout(platform::Platform& platform) {
    AboutBox box(platform);
    platform.dialogs.runModal(box);
}

} // namespace about
