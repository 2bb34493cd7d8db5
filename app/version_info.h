#pragma once

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The program's version resource: a fixed part with numbers and codes, and an optional string
// table (the Russian one, language 0x0419, code page 1251, in the Windows original). The
// running program's own data is compiled in by CMake; tests build others by hand.
struct VersionInfo {
    using Numbers = std::array<std::uint16_t, 4>; // major, minor, release, build

    // Target system codes and file types of the fixed part.
    static constexpr std::uint32_t kSystemUnknown = 0x0;
    static constexpr std::uint32_t kSystemNtWindows32 = 0x40004;
    static constexpr std::uint32_t kFileTypeApplication = 1;

    struct FixedPart {
        Numbers fileVersion{};
        Numbers productVersion{};
        std::uint32_t targetSystem = kSystemUnknown;
        std::uint32_t fileType = kFileTypeApplication;
    };

    // Keys of the string table as a version resource spells them.
    static const QString Comments;
    static const QString CompanyName;
    static const QString FileDescription;
    static const QString InternalName;
    static const QString LegalCopyright;
    static const QString LegalTradeMarks;
    static const QString OriginalFileName;
    static const QString PrivateBuild;
    static const QString ProductName;
    static const QString SpecialBuild;

    // No fixed part: the program has no version resource at all.
    std::optional<FixedPart> fixed;
    // No table: nothing but the fixed part is known. A key that is absent is a missing string;
    // a key with an empty value is a string that exists and is empty.
    std::optional<QMap<QString, QString>> russianStrings;

    bool hasResource() const { return fixed.has_value(); }
    // The string's value; a null QString when there is no table or no such string.
    QString string(const QString& key) const;

    // The running program's resource, compiled in from the project's version and texts.
    static VersionInfo program();
};

// "2.1.1.147" stays; trailing groups that are 0 are dropped while at least two groups remain:
// 2.1.0.0 -> "2.1", 3.0.0.0 -> "3.0", 2.0.1.0 -> "2.0.1".
QString shortFileVersion(int major, int minor, int release, int build);
QString shortFileVersion(const VersionInfo::Numbers& numbers);
// All four groups joined by dots, nothing dropped.
QString fullVersion(const VersionInfo::Numbers& numbers);

// Texts of the fixed part's codes as the about window lists them; "Unknown" for other codes.
QString operatingSystemText(std::uint32_t code);
QString fileTypeText(std::uint32_t code);

// What the about window reads from a resource: the three texts it shows in its caption/value
// lines (empty when the resource lacks them) and the name/value list of its list box, in order.
struct VersionTexts {
    QString fileVersion;
    QString fileDescription;
    QString legalCopyright;
    QList<QPair<QString, QString>> values;
};
VersionTexts versionTexts(const VersionInfo& info);
