#include "UserHome.h"

#include "platform/linux/LinuxSettings.h"

#include <gtest/gtest.h>

using platform::linuxp::LinuxSettings;

namespace {
const QString kApp = QStringLiteral("Tavrel");
}

TEST(LinuxSettings, TextsComeBackExactlyInTheUsersConfigFolder) {
    UserHome home;
    ASSERT_TRUE(home.valid());
    const std::vector<std::pair<QString, QString>> values = {
        {QStringLiteral("Commas"), QStringLiteral("1,2")},
        {QStringLiteral("Quotes"), QStringLiteral("say \"hi\", 'you'")},
        {QStringLiteral("Equals"), QStringLiteral("a=b=c")},
        {QStringLiteral("Accents"), QStringLiteral("Fichier son été à Noël")},
        {QStringLiteral("Empty"), QString()},
        {QStringLiteral("Blanks"), QStringLiteral("  padded  ")},
        {QStringLiteral("Number"), QStringLiteral("007")},
        {QStringLiteral("Flag"), QStringLiteral("true")},
        {QStringLiteral("At"), QStringLiteral("@Variant(x)")},
        {QStringLiteral("Path"), QStringLiteral("/home/me/Mes sons/a;b#c\\d.wav")},
    };
    {
        LinuxSettings settings;
        for (const auto& [key, value] : values)
            settings.setValue(kApp, QStringLiteral("Config"), key, value);
        settings.setValue(kApp, QStringLiteral("Settings"), QStringLiteral("Active"),
                          QStringLiteral("1"));
        EXPECT_EQ(settings.fileName(kApp), home.path(QStringLiteral("config/Tavrel/Tavrel.ini")));
    }
    // A new store reads the file afresh, as the next start does.
    LinuxSettings again;
    for (const auto& [key, value] : values) {
        const auto read = again.value(kApp, QStringLiteral("Config"), key);
        ASSERT_TRUE(read.has_value()) << key.toStdString();
        EXPECT_EQ(*read, value) << key.toStdString();
    }
    EXPECT_EQ(again.value(kApp, QStringLiteral("Settings"), QStringLiteral("Active")),
              QStringLiteral("1"));
    // Sections are apart, and a missing key is missing (not empty).
    EXPECT_FALSE(again.value(kApp, QStringLiteral("Settings"), QStringLiteral("Commas")));
    EXPECT_FALSE(again.value(kApp, QStringLiteral("Config"), QStringLiteral("NoSuchKey")));
    const QByteArray file = readFile(home.path(QStringLiteral("config/Tavrel/Tavrel.ini")));
    EXPECT_TRUE(file.contains("[Config]"));
    EXPECT_TRUE(file.contains("[Settings]"));
}

TEST(LinuxSettings, HandEditedFileReadsAsWritten) {
    UserHome home;
    QDir().mkpath(home.path(QStringLiteral("config/Tavrel")));
    ASSERT_TRUE(writeFile(home.path(QStringLiteral("config/Tavrel/Tavrel.ini")),
                          "[Config]\nLargFen=300,5\nHautFen=abc\nNomSon=/tmp/s.wav\n"));
    LinuxSettings settings;
    EXPECT_EQ(settings.value(kApp, QStringLiteral("Config"), QStringLiteral("LargFen")),
              QStringLiteral("300,5"));
    EXPECT_EQ(settings.value(kApp, QStringLiteral("Config"), QStringLiteral("HautFen")),
              QStringLiteral("abc"));
    // Writing one key keeps the others.
    settings.setValue(kApp, QStringLiteral("Config"), QStringLiteral("Masq"), QStringLiteral("1"));
    LinuxSettings again;
    EXPECT_EQ(again.value(kApp, QStringLiteral("Config"), QStringLiteral("NomSon")),
              QStringLiteral("/tmp/s.wav"));
    EXPECT_EQ(again.value(kApp, QStringLiteral("Config"), QStringLiteral("Masq")),
              QStringLiteral("1"));
}
