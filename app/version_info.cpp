#include "app/version_info.h"

#include "version.h"

#include <QStringList>

const QString VersionInfo::Comments = QStringLiteral("Comments");
const QString VersionInfo::CompanyName = QStringLiteral("CompanyName");
const QString VersionInfo::FileDescription = QStringLiteral("FileDescription");
const QString VersionInfo::InternalName = QStringLiteral("InternalName");
const QString VersionInfo::LegalCopyright = QStringLiteral("LegalCopyright");
const QString VersionInfo::LegalTradeMarks = QStringLiteral("LegalTradeMarks");
const QString VersionInfo::OriginalFileName = QStringLiteral("OriginalFileName");
const QString VersionInfo::PrivateBuild = QStringLiteral("PrivateBuild");
const QString VersionInfo::ProductName = QStringLiteral("ProductName");
const QString VersionInfo::SpecialBuild = QStringLiteral("SpecialBuild");

QString VersionInfo::string(const QString& key) const {
    if (!russianStrings)
        return {};
    const auto it = russianStrings->constFind(key);
    if (it == russianStrings->constEnd())
        return {};
    // An existing empty string must stay distinguishable from a missing one.
    return it->isNull() ? QString(QLatin1String("")) : *it;
}

VersionInfo VersionInfo::program() {
    VersionInfo info;
    FixedPart fixedPart;
    fixedPart.fileVersion = {SROKO_VERSION_MAJOR, SROKO_VERSION_MINOR, SROKO_VERSION_PATCH,
                             SROKO_VERSION_TWEAK};
    fixedPart.productVersion = fixedPart.fileVersion;
    fixedPart.targetSystem = SROKO_TARGET_SYSTEM;
    fixedPart.fileType = kFileTypeApplication;
    info.fixed = fixedPart;

    QMap<QString, QString> strings;
    strings.insert(CompanyName, QString::fromUtf8(SROKO_COMPANY_NAME));
    strings.insert(FileDescription, QString::fromUtf8(SROKO_FILE_DESCRIPTION));
    strings.insert(InternalName, QString::fromUtf8(SROKO_INTERNAL_NAME));
    strings.insert(LegalCopyright, QString::fromUtf8(SROKO_LEGAL_COPYRIGHT));
    strings.insert(OriginalFileName, QString::fromUtf8(SROKO_ORIGINAL_FILE_NAME));
    strings.insert(ProductName, QString::fromUtf8(SROKO_PRODUCT_NAME));
    info.russianStrings = strings;
    return info;
}

QString shortFileVersion(int major, int minor, int release, int build) {
    QStringList groups{QString::number(major), QString::number(minor), QString::number(release),
                       QString::number(build)};
    while (groups.size() > 2 && groups.last() == QLatin1String("0"))
        groups.removeLast();
    return groups.join(QLatin1Char('.'));
}

QString shortFileVersion(const VersionInfo::Numbers& numbers) {
    return shortFileVersion(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QString fullVersion(const VersionInfo::Numbers& numbers) {
    return QStringLiteral("%1.%2.%3.%4")
        .arg(numbers[0])
        .arg(numbers[1])
        .arg(numbers[2])
        .arg(numbers[3]);
}

QString operatingSystemText(std::uint32_t code) {
    switch (code) {
    case 0x1:
        return QStringLiteral("Windows 3.xx");
    case 0x2:
        return QStringLiteral("16-bit OS/2 Presentation Manager");
    case 0x3:
        return QStringLiteral("32-bit OS/2 Presentation Manager");
    case 0x4:
        return QStringLiteral("32-bit Windows");
    case 0x10000:
        return QStringLiteral("MS-DOS");
    case 0x10001:
        return QStringLiteral("Windows 3.xx with MS-DOS");
    case 0x10004:
        return QStringLiteral("32-bit Windows with MS-DOS");
    case 0x20000:
        return QStringLiteral("16-bit OS/2");
    case 0x20002:
        return QStringLiteral("16-bit OS/2 with Presentation Manager");
    case 0x30000:
        return QStringLiteral("32-bit OS/2");
    case 0x30003:
        return QStringLiteral("32-bit OS/2 with Presentation Manager");
    case 0x40000:
        return QStringLiteral("Windows NT");
    case 0x40004:
        return QStringLiteral("Windows NT with 32 bit Windows");
    default:
        return QStringLiteral("Unknown");
    }
}

QString fileTypeText(std::uint32_t code) {
    switch (code) {
    case 1:
        return QStringLiteral("Application");
    case 2:
        return QStringLiteral("Dynamic-Link Library");
    case 3:
        return QStringLiteral("Device Driver");
    case 4:
        return QStringLiteral("Font");
    case 5:
        return QStringLiteral("Virtual Device Driver");
    case 7:
        return QStringLiteral("Static-Link Library");
    default:
        return QStringLiteral("Unknown");
    }
}

VersionTexts versionTexts(const VersionInfo& info) {
    VersionTexts texts;
    if (!info.hasResource())
        return texts;
    const VersionInfo::FixedPart& fixedPart = *info.fixed;
    texts.fileVersion = shortFileVersion(fixedPart.fileVersion);
    texts.values.append({QStringLiteral("ProductVersion"), fullVersion(fixedPart.productVersion)});
    texts.values.append(
        {QStringLiteral("OperatingSystem"), operatingSystemText(fixedPart.targetSystem)});
    texts.values.append({QStringLiteral("FileType"), fileTypeText(fixedPart.fileType)});

    // The table's strings in the order the list shows them; the description and the rights go
    // to their own lines instead of the list.
    const auto listed = [&](const QString& key, const QString& name) {
        const QString value = info.string(key);
        if (!value.isNull())
            texts.values.append({name, value});
    };
    listed(VersionInfo::Comments, QStringLiteral("Comments"));
    listed(VersionInfo::CompanyName, QStringLiteral("Company Name"));
    texts.fileDescription = info.string(VersionInfo::FileDescription);
    listed(VersionInfo::InternalName, QStringLiteral("Internal Name"));
    texts.legalCopyright = info.string(VersionInfo::LegalCopyright);
    listed(VersionInfo::LegalTradeMarks, QStringLiteral("Legal Trademarks"));
    listed(VersionInfo::OriginalFileName, QStringLiteral("Original Filename"));
    listed(VersionInfo::PrivateBuild, QStringLiteral("Private Build"));
    listed(VersionInfo::ProductName, QStringLiteral("Product Name"));
    listed(VersionInfo::SpecialBuild, QStringLiteral("Special Build"));
    return texts;
}
