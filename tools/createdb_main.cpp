// sroko-createdb PATH [--demo]: creates a new Sroko database file from the built-in schema.
#include "fb/error.h"
#include "store/database_creator.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {
void printErr(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool demo = args.removeAll(QStringLiteral("--demo")) > 0;
    if (args.contains(QStringLiteral("--help")) || args.size() != 1 ||
        args.first().startsWith(QLatin1Char('-'))) {
        printErr(QStringLiteral("Usage: sroko-createdb PATH [--demo]\n"
                                "Creates a new database file at PATH (it must not exist yet);\n"
                                "--demo also loads demo organisations, reports and holidays."));
        return args.contains(QStringLiteral("--help")) ? 0 : 2;
    }
    try {
        database_creator::createDatabase(args.first(), demo);
    } catch (const fb::Error& e) {
        printErr(QStringLiteral("sroko-createdb: the database engine refused: %1")
                     .arg(e.message().trimmed()));
        return 1;
    } catch (const std::exception& e) {
        printErr(QStringLiteral("sroko-createdb: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    std::printf("created %s%s\n", args.first().toUtf8().constData(), demo ? " with demo data" : "");
    return 0;
}
