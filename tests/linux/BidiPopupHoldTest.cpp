// What the BiDi socket's thread does by itself with Firefox's messages: which requests it lets
// go at once, which wait for the program, and what it sends to hold a pop-up.

#include "platform/linux/BidiPopupHold.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using platform::linuxp::BidiPopupHold;
using platform::linuxp::PopupGuard;

namespace {

QJsonObject event(const QString& method, const QJsonObject& params) {
    return {{"type", "event"}, {"method", method}, {"params", params}};
}

QJsonObject created(const QString& context, const QString& opener = {},
                    const QString& parent = {}) {
    return event("browsingContext.contextCreated",
                 {{"context", context},
                  {"originalOpener", opener.isEmpty() ? QJsonValue() : QJsonValue(opener)},
                  {"parent", parent.isEmpty() ? QJsonValue() : QJsonValue(parent)},
                  {"url", "about:blank"}});
}

QJsonObject blocked(const QString& context, const QString& request) {
    return event("network.beforeRequestSent",
                 {{"context", context.isEmpty() ? QJsonValue() : QJsonValue(context)},
                  {"isBlocked", true},
                  {"request", QJsonObject{{"request", request}, {"url", "http://ad.example/"}}}});
}

QJsonObject reply(qint64 id) {
    return {{"type", "success"}, {"id", id}, {"result", QJsonObject{}}};
}

// The requests an outcome lets go.
QStringList continued(const BidiPopupHold::Outcome& out) {
    QStringList requests;
    for (const auto& c : out.send)
        if (c.message.value("method") == QJsonValue("network.continueRequest"))
            requests << c.message.value("params").toObject().value("request").toString();
    return requests;
}

// A session whose subscription (command 7) has been answered, with one page seen before it.
BidiPopupHold armed(PopupGuard guard) {
    BidiPopupHold hold(guard);
    hold.holdAfter(7);
    hold.onMessage(created("page"), 0);
    hold.onMessage(reply(7), 0);
    return hold;
}

} // namespace

TEST(BidiPopupHold, StrictLetsDecidedPagesGoAndHoldsWhatAPageOpened) {
    BidiPopupHold hold = armed(PopupGuard::Strict);
    // A page that existed before, and one the user opens later: their requests go at once,
    // without a detour through the program.
    auto out = hold.onMessage(blocked("page", "r1"), 10);
    EXPECT_FALSE(out.forward);
    EXPECT_EQ(continued(out), QStringList{"r1"});
    hold.onMessage(created("tab"), 10);
    EXPECT_EQ(continued(hold.onMessage(blocked("tab", "r2"), 10)), QStringList{"r2"});
    // Frames follow their page.
    hold.onMessage(created("frame", {}, "page"), 10);
    hold.onMessage(created("inner", {}, "frame"), 10);
    EXPECT_EQ(continued(hold.onMessage(blocked("inner", "r3"), 10)), QStringList{"r3"});

    // A context a page opened: its requests go on to the program, and nothing is let go.
    out = hold.onMessage(created("popup", "page"), 20);
    EXPECT_TRUE(out.forward);
    EXPECT_TRUE(out.send.empty());
    out = hold.onMessage(blocked("popup", "r4"), 20);
    EXPECT_TRUE(out.forward);
    EXPECT_TRUE(out.send.empty());
    hold.onMessage(created("popupframe", {}, "popup"), 20);
    EXPECT_TRUE(hold.onMessage(blocked("popupframe", "r5"), 20).forward);
    // Admitted by the program: from now on its requests go at once.
    hold.admit("popup");
    EXPECT_EQ(continued(hold.onMessage(blocked("popupframe", "r6"), 30)), QStringList{"r6"});
    // Requests of no page (workers, the browser's own) go too.
    EXPECT_EQ(continued(hold.onMessage(blocked({}, "r7"), 30)), QStringList{"r7"});
}

TEST(BidiPopupHold, StrictWaitsForTheContextOfARequestNobodyNamedYet) {
    BidiPopupHold hold = armed(PopupGuard::Strict);
    // Two requests arrive before their contexts are announced: held back, not forwarded.
    auto out = hold.onMessage(blocked("early-popup", "r1"), 100);
    EXPECT_FALSE(out.forward);
    EXPECT_TRUE(out.send.empty());
    hold.onMessage(blocked("early-tab", "r2"), 100);
    hold.onMessage(blocked("never", "r3"), 100);
    EXPECT_TRUE(hold.waiting());
    // The pop-up's goes on to the program after its announcement; the tab's goes.
    out = hold.onMessage(created("early-popup", "page"), 150);
    EXPECT_TRUE(out.forward);
    ASSERT_EQ(out.release.size(), 1u);
    EXPECT_EQ(
        out.release[0].value("params").toObject().value("request").toObject().value("request"),
        QJsonValue("r1"));
    EXPECT_EQ(continued(hold.onMessage(created("early-tab"), 160)), QStringList{"r2"});
    // One whose context never comes goes after a while: nothing waits forever.
    EXPECT_TRUE(continued(hold.expire(100 + BidiPopupHold::kUnannouncedMs - 1)).isEmpty());
    EXPECT_EQ(continued(hold.expire(100 + BidiPopupHold::kUnannouncedMs)), QStringList{"r3"});
    EXPECT_FALSE(hold.waiting());
}

TEST(BidiPopupHold, ContextsAnnouncedBeforeTheSubscriptionWasAnsweredAreNotPopups) {
    BidiPopupHold hold(PopupGuard::Strict);
    hold.holdAfter(3);
    // An existing pop-up, announced while the session was being set up.
    hold.onMessage(created("old-popup", "page"), 0);
    EXPECT_EQ(continued(hold.onMessage(blocked("old-popup", "r1"), 0)), QStringList{"r1"});
    hold.onMessage(reply(2), 0);
    hold.onMessage(created("still-old", "page"), 0);
    EXPECT_EQ(continued(hold.onMessage(blocked("still-old", "r2"), 0)), QStringList{"r2"});
    hold.onMessage(reply(3), 0);
    hold.onMessage(created("new-popup", "page"), 0);
    EXPECT_TRUE(hold.onMessage(blocked("new-popup", "r3"), 0).forward);
    // A context that ends is forgotten: a request naming it later waits as unknown.
    hold.onMessage(event("browsingContext.contextDestroyed", {{"context", "new-popup"}}), 0);
    EXPECT_FALSE(hold.onMessage(blocked("new-popup", "r4"), 0).forward);
}

TEST(BidiPopupHold, LightSubscribesAndInterceptsEachPopupAndNothingElse) {
    BidiPopupHold hold = armed(PopupGuard::Light);
    EXPECT_TRUE(hold.onMessage(created("tab"), 0).send.empty());
    EXPECT_TRUE(hold.onMessage(created("frame", "page", "page"), 0).send.empty());
    const auto out = hold.onMessage(created("popup", "page"), 0);
    EXPECT_TRUE(out.forward);
    ASSERT_EQ(out.send.size(), 2u);
    EXPECT_EQ(out.send[0].what, QStringLiteral("subscription"));
    EXPECT_EQ(out.send[0].message.value("method"), QJsonValue("session.subscribe"));
    EXPECT_EQ(out.send[1].what, QStringLiteral("intercept"));
    const QJsonObject params = out.send[1].message.value("params").toObject();
    EXPECT_EQ(params.value("contexts"), QJsonValue(QJsonArray{"popup"}));
    EXPECT_EQ(params.value("phases"), QJsonValue(QJsonArray{"beforeRequestSent"}));
    for (const auto& c : out.send)
        EXPECT_EQ(c.context, QStringLiteral("popup"));
    // Its requests are the program's to decide; the socket lets nothing go by itself.
    const auto request = hold.onMessage(blocked("popup", "r1"), 0);
    EXPECT_TRUE(request.forward);
    EXPECT_TRUE(request.send.empty());
}
