#include "cookies/RegistryReader.h"
#include "fakes/FakePlatform.h"

#include <gtest/gtest.h>

using namespace platform;
using cookies::queryRegistryText;
using cookies::readRegistryText;
using cookies::systemErrorText;

namespace {

const QString kPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Test");
const QString kSub = QStringLiteral("Software\\Test");

class RegistryText : public ::testing::Test {
protected:
    void SetUp() override { fake.registry.createKey(kPath); }
    void setRaw(const QString& name, std::uint32_t type, const QByteArray& data) {
        HKEY key = 0;
        ASSERT_EQ(fake.registry.openKey(HKEY_CURRENT_USER, kSub, KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        fake.registry.setValue(key, name, type, data);
        fake.registry.closeKey(key);
    }
    QString read(const QString& name) {
        return readRegistryText(fake.platform(), HKEY_CURRENT_USER, kSub, name);
    }
    fakes::FakePlatform fake;
};

} // namespace

TEST_F(RegistryText, TextsEndAtTheirFirstNul) {
    fake.registry.setText(kPath, "Cookies", "/home/me/Cookies");
    EXPECT_EQ(read("Cookies"), "/home/me/Cookies");
    setRaw("Expand", REG_EXPAND_SZ, QByteArray("%HOME%\0junk\0", 12));
    EXPECT_EQ(read("Expand"), "%HOME%");
    setRaw("NoNul", REG_SZ, "abc");
    EXPECT_EQ(read("NoNul"), "abc");
    setRaw("Empty", REG_SZ, QByteArray());
    EXPECT_EQ(read("Empty"), "");
    EXPECT_TRUE(fake.transcript.take().isEmpty());
    EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST_F(RegistryText, TypeThreeIsReadIntoAFourByteInteger) {
    setRaw("Four", REG_BINARY, QByteArray("\x01\x02\x00\x00", 4));
    EXPECT_EQ(read("Four"), "513");
    setRaw("Negative", REG_BINARY, QByteArray("\xff\xff\xff\xff", 4));
    EXPECT_EQ(read("Negative"), "-1");
    setRaw("Short", REG_BINARY, QByteArray("\x07", 1));
    EXPECT_EQ(read("Short"), "7");
    // Longer data does not fit the integer and is not read at all.
    setRaw("Long", REG_BINARY, QByteArray(64, '\x11'));
    EXPECT_EQ(read("Long"), "");
    // Numbers of other types are not read as texts.
    fake.registry.setNumber(kPath, "Dword", 5);
    EXPECT_EQ(read("Dword"), "");
    EXPECT_TRUE(fake.transcript.take().isEmpty());
    EXPECT_EQ(fake.registry.openHandles(), 0);
}

TEST_F(RegistryText, AFailedReadShowsTheSystemsTextAndGivesNothing) {
    EXPECT_EQ(read("Missing"), "");
    EXPECT_EQ(fake.transcript.take(),
              QStringList({"message none \"Tavrel\": \"Le fichier spécifié est introuvable.\""}));
    // A key that cannot be opened is not examined: the read fails on the null key.
    EXPECT_EQ(readRegistryText(fake.platform(), HKEY_CURRENT_USER, "Software\\Nowhere", "X"), "");
    EXPECT_EQ(fake.transcript.take(),
              QStringList({"message none \"Tavrel\": \"Descripteur non valide.\""}));
    // Directly on an open key.
    HKEY key = 0;
    fake.registry.openKey(HKEY_CURRENT_USER, kSub, KEY_READ, &key);
    EXPECT_EQ(queryRegistryText(fake.platform(), key, "Missing"), "");
    fake.registry.closeKey(key);
    EXPECT_EQ(fake.transcript.take().size(), 1);
}

namespace {
class WordyRegistry : public fakes::FakeRegistry {
public:
    QString formatMessage(long code) const override {
        if (code == 1)
            return QStringLiteral("Fonction incorrecte.   ");
        return QString(300, u'x');
    }
};
} // namespace

TEST(systemErrorText, TrailingBlanksGoAndLongTextsAreCut) {
    WordyRegistry registry;
    EXPECT_EQ(systemErrorText(registry, 1), "Fonction incorrecte.");
    EXPECT_EQ(systemErrorText(registry, 2).size(), 200);
}
