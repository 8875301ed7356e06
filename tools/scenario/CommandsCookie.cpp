#include "tools/scenario/Commands.h"

#include "cookies/CookieDetails.h"

namespace scenario {

namespace {
const QString kShellFolders =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                   "Shell Folders");

// The key below a root key, as the registry calls take it: "HKEY_...\a\b" -> root and "a\b".
bool splitKeyPath(const QString& path, platform::HKEY* root, QString* subKey) {
    static const std::pair<const char*, platform::HKEY> roots[] = {
        {"HKEY_CLASSES_ROOT", platform::HKEY_CLASSES_ROOT},
        {"HKEY_CURRENT_USER", platform::HKEY_CURRENT_USER},
        {"HKEY_LOCAL_MACHINE", platform::HKEY_LOCAL_MACHINE}};
    const qsizetype slash = path.indexOf(u'\\');
    const QString head = slash < 0 ? path : path.left(slash);
    for (const auto& [name, key] : roots)
        if (head.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            *root = key;
            *subKey = slash < 0 ? QString() : path.mid(slash + 1);
            return true;
        }
    return false;
}
} // namespace

void registerCookieCommands(ScenarioRunner& runner) {
    // Like every real machine, the world names the browser's cookie folder; the folder holds
    // nothing until a scenario writes files there.
    runner.fake().registry.setText(kShellFolders, QStringLiteral("Cookies"),
                                   QStringLiteral("/prog/Cookies"));

    runner.addCommand("regdel", [&runner](const auto& a) {
        need(a, 2);
        platform::HKEY root = 0;
        QString subKey;
        if (!splitKeyPath(a[0].text, &root, &subKey))
            throw LineError{QStringLiteral("unknown root key")};
        auto& registry = runner.fake().registry;
        platform::HKEY key = 0;
        if (registry.openKey(root, subKey, platform::KEY_ALL_ACCESS, &key) !=
            platform::ERROR_SUCCESS)
            throw LineError{QStringLiteral("no such key")};
        const long result = registry.deleteValue(key, a[1].text);
        registry.closeKey(key);
        if (result != platform::ERROR_SUCCESS)
            throw LineError{QStringLiteral("no such value")};
    });
    // `regdeny PATH`: opening that key fails with "access denied" from now on.
    runner.addCommand("regdeny", [&runner](const auto& a) {
        need(a, 1);
        runner.fake().registry.deniedKeys.append(a[0].text);
    });

    // The Escape key in a control: typed into a text box through its input rule; in the
    // other controls of the cookie details dialog it closes the dialog.
    runner.addCommand("escape", [&runner](const auto& a) {
        need(a, 1);
        controls::Control* c = runner.control(a[0].text);
        if (auto* box = qobject_cast<controls::TextBox*>(c)) {
            box->type(QString(QChar(27)));
            return;
        }
        if (auto* details = qobject_cast<cookies::CookieDetails*>(c->form())) {
            details->escapePressed();
            return;
        }
        throw LineError{QStringLiteral("Escape does nothing in ") + a[0].text};
    });
}

} // namespace scenario
