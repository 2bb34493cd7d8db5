#include "store/database_creator.h"

#include "fb/attachment.h"
#include "fb/error.h"
#include "fb/script.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

// The schema is compiled into the program; a static library must register its resources
// by hand, and Q_INIT_RESOURCE only works outside a namespace.
static void initDbResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(db);
        return true;
    }();
    (void)done;
}

namespace database_creator {
namespace {

QString readResource(const QString& name) {
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("Не найден встроенный файл %1").arg(name).toStdString());
    return QString::fromUtf8(file.readAll());
}

} // namespace

QStringList connectionParams() {
    return {QStringLiteral("user_name=SYSDBA"), QStringLiteral("password=quillbent"),
            QStringLiteral("lc_ctype=WIN1251")};
}

QString schemaScript() {
    initDbResources();
    return readResource(QStringLiteral(":/db/schema.sql"));
}

QString demoScript() {
    initDbResources();
    return readResource(QStringLiteral(":/db/demo.sql"));
}

void createDatabase(const QString& path, bool withDemo,
                    const std::function<void(const QString&)>& onStatement) {
    const QFileInfo info(path);
    if (info.exists())
        throw std::runtime_error(
            QStringLiteral("Файл %1 уже существует; существующая база данных не изменена.")
                .arg(info.absoluteFilePath())
                .toStdString());
    const QDir folder = info.absoluteDir();
    if (!folder.exists())
        throw std::runtime_error(
            QStringLiteral("Папка %1 не существует.").arg(folder.absolutePath()).toStdString());
    const QString schema = schemaScript();
    const QString demo = withDemo ? demoScript() : QString();
    bool created = false;
    try {
        fb::Attachment attachment;
        attachment.create(info.absoluteFilePath(), connectionParams());
        created = true;
        fb::runScript(attachment, schema, onStatement);
        if (withDemo)
            fb::runScript(attachment, demo, onStatement);
        attachment.detach();
    } catch (...) {
        // A half-made database is worse than none: remove it so the next attempt starts clean.
        if (created)
            QFile::remove(info.absoluteFilePath());
        throw;
    }
}

} // namespace database_creator
