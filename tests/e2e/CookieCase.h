#pragma once

// The cookie tab of the whole program on a real browser (Chromium or Firefox): a local page
// sets two cookies, one through document.cookie and one HttpOnly through its Set-Cookie
// header; the tab lists the page's site, the analysis and the details show both, the export
// writes them as cookies.txt, and once the site's cookies are deleted the next request to
// the page carries none.

#include "E2eSupport.h"

#include "app/StartUp.h"
#include "cookies/CookieDetails.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace e2e {

/// The browser's cookies as it gives them now (bounded wait); nothing when it does not answer.
inline std::optional<QList<platform::BrowserCookie>> cookiesOf(platform::BrowserShell& shell) {
    std::optional<platform::CookieAnswer> answer;
    shell.readCookies([&answer](const platform::CookieAnswer& a) { answer = a; });
    if (!waitUntil([&] { return answer.has_value(); }) || !answer->ok)
        return std::nullopt;
    return answer->cookies;
}

/// The Cookie header the request for `target` carried (the last such request).
inline QByteArray cookiesSentFor(const LocalServer& server, const QString& target) {
    for (qsizetype i = server.requested.size() - 1; i >= 0; --i)
        if (server.requested.at(i) == target)
            return server.cookiesSent.value(i);
    return "(not requested)";
}

/// The row of a list whose text (or sub-item `column`) is `text`, or -1.
inline int rowOf(const controls::ListView& list, const QString& text, int column = 0) {
    for (int r = 0; r < list.rowCount(); ++r)
        if ((column == 0 ? list.text(r) : list.subItem(r, column)) == text)
            return r;
    return -1;
}

template <class B> void cookieTabCase(B& b) {
    LocalServer server;
    server.page("/cookies.html", "<html><head><title>Cookies</title></head><body><script>"
                                 "document.cookie = 'js=1%2B2; path=/';</script></body></html>");
    server.header("/cookies.html", "Set-Cookie: sid=s3cr3t; HttpOnly; Path=/");
    // Another site's cookie, which stays.
    server.page("/other.html", "<html><head><title>Other</title></head><body><script>"
                               "document.cookie = 'other=1; path=/';</script></body></html>");
    const QString other = server.url("/other.html").replace("127.0.0.1", "localhost");
    ASSERT_NE(b.openTab(server.url("/cookies.html")), 0u);
    ASSERT_NE(b.openTab(other), 0u);
    ASSERT_TRUE(waitUntil([&] {
        const auto now = cookiesOf(b.shell());
        return now && now->size() == 3;
    })) << "the pages did not set their cookies";

    fakes::FakePlatform fake;
    platform::Platform platform{b.shell(),     fake.files,  fake.settings,  fake.dialogs,
                                fake.clock,    fake.sound,  fake.processes, fake.instance,
                                fake.registry, fake.system, fake.notifier};
    std::unique_ptr<app::Program> program = app::startUp(platform);
    ASSERT_TRUE(program);
    app::MainForm& f = program->form();
    controls::ListView& sites = f.cookieFileView;
    // One row a site, read from the browser once the window is up.
    ASSERT_TRUE(waitUntil([&] { return sites.rowCount() == 2; }));
    EXPECT_EQ(f.cookieFolderLabel.caption(), QStringLiteral("Cookies du navigateur :"));
    EXPECT_EQ(f.cookieFolderBox.text(), b.shell().status().browser);
    EXPECT_TRUE(f.exportCookiesButton.enabled());
    const int site = rowOf(sites, QStringLiteral("127.0.0.1"));
    ASSERT_GE(site, 0);
    EXPECT_GE(rowOf(sites, QStringLiteral("localhost")), 0);
    const QString path = sites.subItem(site, 1);
    EXPECT_EQ(path, b.shell().status().browser + QStringLiteral("/127.0.0.1"));
    EXPECT_EQ(sites.subItem(site, 2), QString()); // the protocol tells no date
    EXPECT_GT(sites.subItem(site, 3).toInt(), 0);

    // Analysed: both cookies, the HttpOnly one too.
    sites.setSelected(site, true);
    sites.dblClick();
    controls::ListView& records = f.cookieRecordView;
    ASSERT_EQ(records.rowCount(), 2);
    const int sid = rowOf(records, QStringLiteral("sid"), 1);
    const int js = rowOf(records, QStringLiteral("js"), 1);
    ASSERT_GE(sid, 0);
    ASSERT_GE(js, 0);
    EXPECT_EQ(records.text(sid), QStringLiteral("127.0.0.1/"));
    EXPECT_EQ(records.subItem(sid, 2), QStringLiteral("s3cr3t"));
    EXPECT_EQ(records.subItem(sid, 3), QStringLiteral("False"));
    EXPECT_EQ(records.subItem(js, 2), QStringLiteral("1%2B2"));
    EXPECT_EQ(records.subItem(js, 5), path);

    // The details of each, as the dialog shows them.
    for (const int r : {sid, js}) {
        QStringList shown;
        fake.dialogs.modalDriver = [&shown](platform::ModalForm& form) {
            auto& d = static_cast<cookies::CookieDetails&>(form);
            shown = {d.domainBox.text(), d.nameBox.text(), d.valueBox.text(),
                     d.secureBox.currentText(), d.sourceBox.text()};
        };
        records.setSelected(r, true);
        records.dblClick();
        records.setSelected(r, false);
        ASSERT_EQ(shown.size(), 5);
        EXPECT_EQ(shown[0], QStringLiteral("127.0.0.1/"));
        EXPECT_EQ(shown[1], records.subItem(r, 1));
        EXPECT_EQ(shown[2], records.subItem(r, 2));
        EXPECT_EQ(shown[3], QStringLiteral("False"));
        EXPECT_TRUE(shown[4].startsWith(shown[1] + "\r\n" + shown[2] + "\r\n127.0.0.1/\r\n0\r\n"))
            << shown[4].toStdString();
        EXPECT_TRUE(shown[4].endsWith("\r\n*\r\n"));
    }
    fake.dialogs.modalDriver = nullptr;

    // Exported: the site's two cookies, the HttpOnly one marked so.
    fake.dialogs.fileAnswers.push_back(QStringLiteral("/prog/exported.txt"));
    f.exportCookiesButton.click();
    const auto exported = fake.files.readAll(QStringLiteral("/prog/exported.txt"));
    ASSERT_TRUE(exported.has_value());
    EXPECT_TRUE(exported->startsWith("# Netscape HTTP Cookie File\n"));
    EXPECT_TRUE(exported->contains("#HttpOnly_127.0.0.1\tFALSE\t/\tFALSE\t0\tsid\ts3cr3t\n"))
        << exported->constData();
    EXPECT_TRUE(exported->contains("\n127.0.0.1\tFALSE\t/\tFALSE\t0\tjs\t1%2B2\n"));
    EXPECT_FALSE(exported->contains("other"));
    EXPECT_TRUE(fake.files.ownerOnly(QStringLiteral("/prog/exported.txt")));

    // Until deleted, a request to the page carries both.
    ASSERT_NE(b.openTab(server.url("/cookies.html?before")), 0u);
    const QByteArray before = cookiesSentFor(server, QStringLiteral("/cookies.html?before"));
    EXPECT_TRUE(before.contains("sid=s3cr3t")) << before.constData();
    EXPECT_TRUE(before.contains("js=1%2B2")) << before.constData();

    // Deleted, once the user confirms: the list is read again and shows the other site only.
    sites.selectAll(false);
    sites.setSelected(rowOf(sites, QStringLiteral("127.0.0.1")), true);
    fake.dialogs.messageAnswers.push_back(platform::MessageAnswer::Yes);
    f.deleteCookiesButton.click();
    ASSERT_TRUE(waitUntil([&] {
        return sites.rowCount() == 1 && sites.text(0) == QStringLiteral("localhost");
    })) << sites.rowCount();
    EXPECT_EQ(records.rowCount(), 0);

    // The next request to the page carries no cookie; the other site's cookie is still there.
    ASSERT_NE(b.openTab(server.url("/cookies.html?after")), 0u);
    EXPECT_EQ(cookiesSentFor(server, QStringLiteral("/cookies.html?after")), QByteArray());
    const auto left = cookiesOf(b.shell());
    ASSERT_TRUE(left.has_value());
    EXPECT_TRUE(std::any_of(left->begin(), left->end(), [](const platform::BrowserCookie& c) {
        return c.name == QStringLiteral("other");
    }));
}

} // namespace e2e
