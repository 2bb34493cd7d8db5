#include "test_database.h"

#include "fb/script.h"
#include "store/database_creator.h"

#include <stdexcept>

TestDatabase::TestDatabase(bool withDemo) {
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    m_folderPath = m_dir.path();
    m_path = m_dir.filePath(QStringLiteral("Sroko.fdb"));
    database_creator::createDatabase(m_path, withDemo);
}

TestDatabase::~TestDatabase() = default;

void TestDatabase::createAt(const QString& path, bool withDemo) {
    database_creator::createDatabase(path, withDemo);
}

std::unique_ptr<fb::Attachment> TestDatabase::connect() const {
    auto attachment = std::make_unique<fb::Attachment>();
    attachment->attach(m_path, database_creator::connectionParams());
    return attachment;
}

void TestDatabase::exec(const QString& sql) const {
    auto attachment = connect();
    fb::runScript(*attachment, sql);
}
