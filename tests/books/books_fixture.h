#pragma once

#include "books/assignments_panel.h"
#include "books/books_environment.h"
#include "books/organizations_panel.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "fb/attachment.h"
#include "fb/dataset.h"
#include "fb/statement.h"
#include "fb/transaction.h"
#include "schedule/schedule_engine.h"
#include "support/scripted_dialogs.h"
#include "support/test_database.h"
#include "widgets/busy_indicator.h"
#include "widgets/dataset_model.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QPalette>
#include <QString>
#include <QTest>
#include <QVariant>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Types text as a user would, one key event per character (Cyrillic included, which
// QTest::keyClicks cannot send).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isPrint())
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline QColor textColour(const QWidget* widget) {
    return widget->palette().color(QPalette::Text);
}

// Saves what a window looks like for the report of the work.
inline void shot(QWidget* widget, const QString& name) {
    widget->show();
    QApplication::processEvents();
    widget->grab().save(QStringLiteral("/tmp/shot_%1.png").arg(name));
}

// The main window's part the reference books work with: the organisations panel and the
// assignments tab over a real database, and the environment the windows are given.
class BooksFixture : public ::testing::Test {
protected:
    // Rows the test starts with; the demo data when withDemo().
    virtual QString seedSql() const { return {}; }
    virtual bool withDemo() const { return false; }

    void SetUp() override {
        m_db = std::make_unique<TestDatabase>(withDemo());
        if (!seedSql().isEmpty())
            m_db->exec(seedSql());
        // Seeds give their rows fixed keys; new rows take theirs from the generators above them.
        m_db->exec(QStringLiteral("ALTER SEQUENCE GEN_BUH_ACCOUNT_ID RESTART WITH 1000;"
                                  "ALTER SEQUENCE GEN_ORGANIZATION_ID RESTART WITH 1000;"
                                  "ALTER SEQUENCE GEN_BUH_ACCOUNT_ORGANIZATION_ID RESTART WITH "
                                  "1000;"
                                  "ALTER SEQUENCE GEN_BUH_HOLIDAY_ID RESTART WITH 1000;"));
        m_att = m_db->connect();
        m_ini = std::make_unique<IniFile>(m_db->folder() + QStringLiteral("/Sroko.ini"));
        m_engine = std::make_unique<ScheduleEngine>(*m_att, m_clock);
        m_organizations = std::make_unique<OrganizationsPanel>(*m_att, &m_dialogs);
        m_organizations->setWindowTitle(QStringLiteral("Сроковед"));
        m_assignments = std::make_unique<AssignmentsPanel>(*m_att, &m_dialogs);
        m_assignments->setMaster(m_organizations->qOrgan);
        m_env = std::make_unique<BooksEnvironment>(
            BooksEnvironment{*m_att, m_dialogs, m_clock, *m_ini, m_busy, *m_engine,
                             m_organizations->qOrgan, m_assignments->qBuhAccRep});
        m_assignments->setBooksEnvironment(m_env.get());
        m_organizations->open();
        m_assignments->open();
    }

    void TearDown() override {
        m_assignments.reset();
        m_organizations.reset();
    }

    fb::Dataset& qOrgan() { return *m_organizations->qOrgan; }
    fb::Dataset& qBuhAccRep() { return *m_assignments->qBuhAccRep; }

    QVariant scalar(const QString& sql) const {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, sql);
        query.open();
        return query.fetch() ? query.value(0) : QVariant();
    }
    int count(const QString& sql) const { return scalar(sql).toInt(); }

    // Answers the next modal window of this class through the handler.
    template <class Form> void onExec(const QString& className, std::function<int(Form&)> handler) {
        m_dialogs.onExec(
            className, [handler](QDialog& dialog) { return handler(static_cast<Form&>(dialog)); });
    }

    // The texts of the boxes shown so far.
    QStringList texts() const { return m_dialogs.texts(); }

    ScriptedDialogs m_dialogs;
    FixedClock m_clock{QDateTime::currentDateTime()};
    BusyIndicator m_busy;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<fb::Attachment> m_att;
    std::unique_ptr<IniFile> m_ini;
    std::unique_ptr<ScheduleEngine> m_engine;
    std::unique_ptr<OrganizationsPanel> m_organizations;
    std::unique_ptr<AssignmentsPanel> m_assignments;
    std::unique_ptr<BooksEnvironment> m_env;
};
