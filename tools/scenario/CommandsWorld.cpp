#include "tools/scenario/Commands.h"

namespace scenario {

using fakes::FakeBrowserWindow;
using platform::Key;

// Commands that set up the world around the program: files, settings, the key tree, browser
// windows and their pages, keys, the clock and the answers of the dialogs to come.
void registerWorldCommands(ScenarioRunner& runner) {
    runner.addCommand("file", [&runner](const auto& a) {
        need(a, 2);
        runner.fake().files.setFile(runner.programPath(a[0]), a[1].bytes);
    });
    runner.addCommand("attr", [&runner](const auto& a) {
        need(a, 2);
        const QString path = runner.programPath(a[0]);
        if (!runner.fake().files.attributes(path).exists &&
            !runner.fake().files.attributes(path).symlink)
            throw LineError{QStringLiteral("no such file")};
        if (a[1].text == u"readonly")
            runner.fake().files.setReadOnly(path, true);
        else if (a[1].text == u"hidden")
            runner.fake().files.setHidden(path, true);
        else if (a[1].text == u"normal") {
            runner.fake().files.setReadOnly(path, false);
            runner.fake().files.setHidden(path, false);
            runner.fake().files.setUnreadable(path, false);
            runner.fake().files.failReads(path, platform::FileError::None);
        } else if (a[1].text == u"unreadable")
            runner.fake().files.setUnreadable(path, true);
        else if (a[1].text == u"readerror")
            runner.fake().files.failReads(path, platform::FileError::DeviceIO);
        else
            throw LineError{QStringLiteral("unknown attribute")};
    });
    runner.addCommand("rm", [&runner](const auto& a) {
        need(a, 1);
        const QString path = runner.programPath(a[0]);
        runner.fake().files.setReadOnly(path, false);
        runner.fake().files.remove(path);
    });
    runner.addCommand("rmtree", [&runner](const auto& a) {
        need(a, 1);
        runner.fake().files.removeTree(runner.programPath(a[0]));
    });
    runner.addCommand("disk", [&runner](const auto& a) {
        need(a, 1);
        if (a[0].text != u"full" && a[0].text != u"ok")
            throw LineError{QStringLiteral("disk full or disk ok")};
        runner.fake().files.setDiskFull(a[0].text == u"full");
    });
    runner.addCommand("mkdir", [&runner](const auto& a) {
        need(a, 1);
        runner.fake().files.makeFolder(runner.programPath(a[0]));
    });
    runner.addCommand("link", [&runner](const auto& a) {
        need(a, 2);
        runner.fake().files.setSymlink(runner.programPath(a[0]), a[1].text);
    });
    runner.addCommand("setting", [&runner](const auto& a) {
        need(a, 3);
        runner.fake().settings.setValue(QStringLiteral("Tavrel"), a[0].text, a[1].text, a[2].text);
    });
    runner.addCommand("regkey", [&runner](const auto& a) {
        need(a, 1);
        if (!runner.fake().registry.createKey(a[0].text))
            throw LineError{QStringLiteral("unknown root key")};
    });
    runner.addCommand("regval", [&runner](const auto& a) {
        need(a, 3);
        bool ok = false;
        if (!a[2].quoted) {
            const uint n = a[2].text.toUInt(&ok);
            if (ok)
                ok = runner.fake().registry.setNumber(a[0].text, a[1].text, n);
            else
                throw LineError{QStringLiteral("value must be a quoted text or a number")};
        } else {
            ok = runner.fake().registry.setText(a[0].text, a[1].text, a[2].text);
        }
        if (!ok)
            throw LineError{QStringLiteral("unknown root key")};
    });
    runner.addCommand("clock", [&runner](const auto& a) {
        need(a, 1);
        const QTime t = QTime::fromString(a[0].text, QStringLiteral("HH:mm:ss"));
        if (!t.isValid())
            throw LineError{QStringLiteral("bad time")};
        const QDateTime now(QDate(2026, 1, 1), t);
        runner.fake().clock.set(now);
        runner.fake().files.setNow(now);
    });
    runner.addCommand("answer", [&runner](const auto& a) {
        need(a, 2);
        const QString kind = a[0].text;
        if (kind == u"input") {
            if (!a[1].quoted && a[1].text == u"cancel")
                runner.fake().dialogs.inputAnswers.push_back(std::nullopt);
            else
                runner.fake().dialogs.inputAnswers.push_back(a[1].text);
        } else if (kind == u"message") {
            const QString b = a[1].text;
            if (b == u"yes")
                runner.fake().dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
            else if (b == u"no")
                runner.fake().dialogs.messageAnswers.push_back(platform::MessageAnswer::No);
            else if (b == u"ok")
                runner.fake().dialogs.messageAnswers.push_back(platform::MessageAnswer::Ok);
            else
                throw LineError{QStringLiteral("unknown answer")};
        } else if (kind == u"file") {
            if (!a[1].quoted && a[1].text == u"cancel")
                runner.fake().dialogs.fileAnswers.push_back(std::nullopt);
            else
                runner.fake().dialogs.fileAnswers.push_back(a[1].text);
        } else {
            throw LineError{QStringLiteral("unknown answer kind")};
        }
    });
    runner.addCommand("window", [&runner](const auto& a) {
        need(a, 2);
        const QString verb = a[0].text;
        const auto handle = platform::WindowHandle(toInt(a[1]));
        auto apply = [&](FakeBrowserWindow* w) {
            for (std::size_t i = 2; i < a.size(); ++i) {
                const Word& o = a[i];
                if (o.key == u"title")
                    w->title = o.text;
                else if (o.key == u"url")
                    w->url = o.text;
                else if (o.key == u"width")
                    w->w = toInt(o);
                else if (o.key == u"height")
                    w->h = toInt(o);
                else if (o.key == u"opener")
                    continue;
                else if (o.key.isEmpty() && o.text == u"nodoc")
                    w->m_hasDocument = false;
                else if (o.key == u"unreadable")
                    w->unreadable.insert(o.text);
                else if (o.key == u"forward")
                    continue; // history of the page: the program never navigates a window
                else
                    throw LineError{QStringLiteral("unknown window option ") + o.key + o.text};
            }
        };
        if (verb == u"open") {
            if (runner.fake().browser.window(handle))
                throw LineError{QStringLiteral("a window already has that handle")};
            int opener = -1;
            for (const Word& o : a)
                if (o.key == u"opener")
                    opener = toInt(o);
            // The window's properties are known before anybody hears of it.
            FakeBrowserWindow staged(handle);
            apply(&staged);
            auto copy = [&](FakeBrowserWindow* w) {
                w->title = staged.title;
                w->url = staged.url;
                w->w = staged.w;
                w->h = staged.h;
                w->m_hasDocument = staged.m_hasDocument;
                w->unreadable = staged.unreadable;
            };
            runner.fake().browser.prepareNext(copy);
            if (opener >= 0) {
                FakeBrowserWindow* created = nullptr;
                const bool opened = runner.fake().browser.openFrom(platform::WindowHandle(opener),
                                                                   handle, &created, staged.url);
                runner.print(
                    QStringLiteral("newwindow %1: %2")
                        .arg(handle)
                        .arg(opened ? QStringLiteral("opened") : QStringLiteral("refused")));
            } else {
                runner.fake().browser.open(handle);
            }
        } else if (verb == u"set") {
            auto* w = runner.fake().browser.window(handle);
            if (!w)
                throw LineError{QStringLiteral("no such window")};
            apply(w);
        } else if (verb == u"close") {
            runner.fake().browser.close(handle);
        } else if (verb == u"noclose") {
            auto* w = runner.fake().browser.window(handle);
            if (!w)
                throw LineError{QStringLiteral("no such window")};
            w->closesWhenAsked = false;
        } else {
            throw LineError{QStringLiteral("unknown window command")};
        }
    });
    runner.addCommand("page", [&runner](const auto& a) {
        need(a, 2);
        auto* w = runner.fake().browser.window(platform::WindowHandle(toInt(a[1])));
        if (!w)
            throw LineError{QStringLiteral("no such window")};
        bool right = false;
        for (const Word& o : a)
            if (o.key == u"button")
                right = o.text == u"right";
        const QString event = a[0].text;
        if (event == u"mousedown") {
            if (!right)
                runner.fake().browser.setKey(Key::LButton, true);
            emit w->documentMouseDown();
        } else if (event == u"mouseup") {
            emit w->documentMouseUp();
            runner.fake().browser.setKey(Key::LButton, false);
        } else if (event == u"contextmenu") {
            bool allow = true;
            emit w->documentContextMenu(allow);
            if (!allow)
                runner.print(QStringLiteral("contextmenu %1: suppressed").arg(w->hwnd()));
        } else {
            throw LineError{QStringLiteral("unknown page event")};
        }
    });
    runner.addCommand("key", [&runner](const auto& a) {
        need(a, 2);
        static const QHash<QString, Key> keys{{QStringLiteral("ctrl"), Key::Control},
                                              {QStringLiteral("shift"), Key::Shift},
                                              {QStringLiteral("alt"), Key::Alt},
                                              {QStringLiteral("lbutton"), Key::LButton}};
        if (!keys.contains(a[1].text) || (a[0].text != u"down" && a[0].text != u"up"))
            throw LineError{QStringLiteral("unknown key")};
        runner.fake().browser.setKey(keys.value(a[1].text), a[0].text == u"down");
    });
}

} // namespace scenario
