#include "app/version_info.h"

#include "version.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QStringList names(const VersionTexts& texts) {
    QStringList result;
    for (const auto& [name, value] : texts.values)
        result << name;
    return result;
}

VersionInfo withFixedPart(VersionInfo::Numbers file, VersionInfo::Numbers product,
                          std::uint32_t system, std::uint32_t type) {
    VersionInfo info;
    info.fixed = VersionInfo::FixedPart{file, product, system, type};
    return info;
}

} // namespace

TEST(VersionTexts, ShortFileVersionDropsTrailingZeroGroupsDownToTwo) {
    struct Case {
        int a, b, c, d;
        const char* expected;
    };
    const Case cases[] = {
        {2, 1, 1, 147, "2.1.1.147"},
        {2, 1, 0, 0, "2.1"},
        {3, 0, 0, 0, "3.0"},
        {2, 10, 0, 0, "2.10"},
        {2, 0, 1, 0, "2.0.1"},
        {2, 0, 0, 5, "2.0.0.5"},
        {2, 1, 0, 3, "2.1.0.3"},
        {0, 0, 0, 0, "0.0"},
        {10, 20, 30, 0, "10.20.30"},
        {1, 0, 100, 0, "1.0.100"},
        {65535, 65535, 65535, 65535, "65535.65535.65535.65535"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shortFileVersion(c.a, c.b, c.c, c.d), QString::fromLatin1(c.expected))
            << c.a << '.' << c.b << '.' << c.c << '.' << c.d;
    EXPECT_EQ(shortFileVersion(VersionInfo::Numbers{2, 0, 1, 0}), QStringLiteral("2.0.1"));
    EXPECT_EQ(fullVersion(VersionInfo::Numbers{2, 1, 0, 0}), QStringLiteral("2.1.0.0"));
}

TEST(VersionTexts, OperatingSystemAndFileTypeTables) {
    const std::pair<std::uint32_t, const char*> systems[] = {
        {0x1, "Windows 3.xx"},
        {0x2, "16-bit OS/2 Presentation Manager"},
        {0x3, "32-bit OS/2 Presentation Manager"},
        {0x4, "32-bit Windows"},
        {0x10000, "MS-DOS"},
        {0x10001, "Windows 3.xx with MS-DOS"},
        {0x10004, "32-bit Windows with MS-DOS"},
        {0x20000, "16-bit OS/2"},
        {0x20002, "16-bit OS/2 with Presentation Manager"},
        {0x30000, "32-bit OS/2"},
        {0x30003, "32-bit OS/2 with Presentation Manager"},
        {0x40000, "Windows NT"},
        {0x40004, "Windows NT with 32 bit Windows"},
        // Codes outside the table, among them ones next to known codes.
        {0x0, "Unknown"},
        {0x5, "Unknown"},
        {0x10002, "Unknown"},
        {0x40001, "Unknown"},
        {0x50004, "Unknown"},
        {0xFFFFFFFF, "Unknown"},
    };
    for (const auto& [code, text] : systems)
        EXPECT_EQ(operatingSystemText(code), QString::fromLatin1(text)) << std::hex << code;

    const std::pair<std::uint32_t, const char*> types[] = {
        {1, "Application"},
        {2, "Dynamic-Link Library"},
        {3, "Device Driver"},
        {4, "Font"},
        {5, "Virtual Device Driver"},
        {7, "Static-Link Library"},
        {0, "Unknown"},
        {6, "Unknown"},
        {8, "Unknown"},
    };
    for (const auto& [code, text] : types)
        EXPECT_EQ(fileTypeText(code), QString::fromLatin1(text)) << code;
}

TEST(VersionTexts, ResourceWithoutStringTableListsOnlyTheFixedPart) {
    const VersionInfo info = withFixedPart({2, 0, 1, 0}, {2, 0, 1, 7}, 0x40004, 1);
    const VersionTexts texts = versionTexts(info);
    EXPECT_EQ(texts.fileVersion, QStringLiteral("2.0.1"));
    EXPECT_TRUE(texts.fileDescription.isEmpty());
    EXPECT_TRUE(texts.legalCopyright.isEmpty());
    ASSERT_EQ(names(texts),
              (QStringList{QStringLiteral("ProductVersion"), QStringLiteral("OperatingSystem"),
                           QStringLiteral("FileType")}));
    EXPECT_EQ(texts.values[0].second, QStringLiteral("2.0.1.7")) << "product version: all four";
    EXPECT_EQ(texts.values[1].second, QStringLiteral("Windows NT with 32 bit Windows"));
    EXPECT_EQ(texts.values[2].second, QStringLiteral("Application"));
}

TEST(VersionTexts, StringTableEntriesAreListedInOrderAndMissingOnesAddNothing) {
    VersionInfo info = withFixedPart({3, 0, 0, 0}, {3, 0, 0, 0}, 0, 2);
    // Inserted out of order; SpecialBuild exists but is empty; LegalTradeMarks, InternalName and
    // PrivateBuild are missing.
    info.russianStrings = QMap<QString, QString>{
        {VersionInfo::SpecialBuild, QString(QLatin1String(""))},
        {VersionInfo::ProductName, QStringLiteral("Сроковед")},
        {VersionInfo::LegalCopyright, QStringLiteral("Права у авторов")},
        {VersionInfo::Comments, QStringLiteral("Комментарий")},
        {VersionInfo::OriginalFileName, QStringLiteral("sroko")},
        {VersionInfo::FileDescription, QStringLiteral("Описание программы")},
        {VersionInfo::CompanyName, QStringLiteral("Фирма")},
    };
    const VersionTexts texts = versionTexts(info);
    EXPECT_EQ(texts.fileVersion, QStringLiteral("3.0"));
    EXPECT_EQ(texts.fileDescription, QStringLiteral("Описание программы"));
    EXPECT_EQ(texts.legalCopyright, QStringLiteral("Права у авторов"));
    EXPECT_EQ(names(texts),
              (QStringList{QStringLiteral("ProductVersion"), QStringLiteral("OperatingSystem"),
                           QStringLiteral("FileType"), QStringLiteral("Comments"),
                           QStringLiteral("Company Name"), QStringLiteral("Original Filename"),
                           QStringLiteral("Product Name"), QStringLiteral("Special Build")}));
    EXPECT_EQ(texts.values[1].second, QStringLiteral("Unknown"));
    EXPECT_EQ(texts.values[2].second, QStringLiteral("Dynamic-Link Library"));
    EXPECT_EQ(texts.values[4].second, QStringLiteral("Фирма"));
    EXPECT_TRUE(texts.values[7].second.isEmpty());
}

TEST(VersionTexts, NoResourceGivesNothing) {
    VersionInfo info;
    info.russianStrings = QMap<QString, QString>{
        {VersionInfo::FileDescription, QStringLiteral("не прочитать без ресурса")}};
    const VersionTexts texts = versionTexts(info);
    EXPECT_TRUE(texts.fileVersion.isEmpty());
    EXPECT_TRUE(texts.fileDescription.isEmpty());
    EXPECT_TRUE(texts.values.isEmpty());
}

TEST(VersionTexts, ProgramResourceCarriesTheProjectVersionAndTheRussianTexts) {
    const VersionInfo info = VersionInfo::program();
    ASSERT_TRUE(info.hasResource());
    const VersionInfo::Numbers expected{SROKO_VERSION_MAJOR, SROKO_VERSION_MINOR,
                                        SROKO_VERSION_PATCH, SROKO_VERSION_TWEAK};
    EXPECT_EQ(info.fixed->fileVersion, expected);
    EXPECT_EQ(info.fixed->productVersion, expected);
    EXPECT_EQ(info.fixed->fileType, VersionInfo::kFileTypeApplication);
    EXPECT_EQ(info.string(VersionInfo::FileDescription),
              QStringLiteral("Сроковед - расписание сдачи бухгалтерской отчётности"));
    EXPECT_EQ(info.string(VersionInfo::ProductName), QStringLiteral("Сроковед"));
    EXPECT_EQ(info.string(VersionInfo::InternalName), QStringLiteral("sroko"));
    EXPECT_FALSE(info.string(VersionInfo::LegalCopyright).isEmpty());
    EXPECT_TRUE(info.string(VersionInfo::Comments).isNull());

    const VersionTexts texts = versionTexts(info);
    EXPECT_EQ(texts.fileVersion, shortFileVersion(SROKO_VERSION_MAJOR, SROKO_VERSION_MINOR,
                                                  SROKO_VERSION_PATCH, SROKO_VERSION_TWEAK));
    EXPECT_EQ(names(texts),
              (QStringList{QStringLiteral("ProductVersion"), QStringLiteral("OperatingSystem"),
                           QStringLiteral("FileType"), QStringLiteral("Company Name"),
                           QStringLiteral("Internal Name"), QStringLiteral("Original Filename"),
                           QStringLiteral("Product Name")}));
}
