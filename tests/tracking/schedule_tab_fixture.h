#pragma once

#include "schedule_fixture.h"

#include "books/books_environment.h"
#include "core/clock.h"
#include "core/ini_file.h"
#include "fb/dataset.h"
#include "schedule/schedule_engine.h"
#include "support/scripted_dialogs.h"
#include "tracking/schedule_tab.h"
#include "widgets/busy_indicator.h"
#include "widgets/data_grid.h"
#include "widgets/dataset_model.h"
#include "widgets/spin_edit.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <functional>
#include <memory>
#include <ostream>

// Prints texts readably in failures (defined with the status tests of this program).
void PrintTo(const QString& text, std::ostream* os);

// Types text one key event per character (Cyrillic included).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isPrint())
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The schedule tab over the small schedule, on the clock of 10 March 2025 at 09:00, with the
// pickers and the busy window of the main window's environment.
class ScheduleTabFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_db = std::make_unique<TestDatabase>();
        seedSchedule(*m_db);
        m_att = m_db->connect();
        m_lostHook = 0;
        m_att->setConnectionLostHook([this] { ++m_lostHook; });
        m_ini = std::make_unique<IniFile>(m_db->folder() + QStringLiteral("/Sroko.ini"));
        m_engine = std::make_unique<ScheduleEngine>(*m_att, m_clock);
        m_env = std::make_unique<BooksEnvironment>(
            BooksEnvironment{*m_att, m_dialogs, m_clock, *m_ini, m_busy, *m_engine});
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("Сроковед"));
        m_window->resize(1200, 800);
        m_tab = new ScheduleTab(*m_att, &m_dialogs, m_clock, m_window.get());
        m_tab->setBooksEnvironment(m_env.get());
        m_tab->resize(1200, 800);
        m_tab->SE_BuhYear_Begin->setValue(2025);
        m_tab->SE_BuhYear_End->setValue(2025);
        m_window->show();
        QApplication::processEvents();
    }

    void TearDown() override {
        m_window.reset();
        m_env.reset();
        m_engine.reset();
        m_att.reset();
        m_db.reset();
        m_dialogs.clear();
    }

    fb::Dataset& list() { return *m_tab->qBuhAccShed; }
    void show() { m_tab->PM_BuhAcc_CreateClick(); }
    void popup() { emit m_tab->PM_BuhAccShed->aboutToShow(); }

    // The IDs of the grid's rows in their order, after reading the whole list.
    QList<int> shownIds() {
        list().fetchAll();
        QList<int> ids;
        for (int row = 0; row < list().rowCount(); ++row)
            ids << list().value(row, QStringLiteral("ID")).toInt();
        return ids;
    }
    QSet<int> shownIdSet() {
        const QList<int> ids = shownIds();
        return QSet<int>(ids.begin(), ids.end());
    }
    bool goTo(int id) { return list().locate(QStringLiteral("ID"), id); }
    QString cell(int row, const char* field) {
        return m_tab->model->displayText(row, m_tab->model->columnOf(QString::fromLatin1(field)));
    }
    QString detail(const char* label) {
        return m_tab->detailValue(QString::fromLatin1(label))->text();
    }

    QVariant scalar(const QString& sql) const {
        fb::Transaction tr(*m_att, fb::Transaction::Mode::ReadOnly);
        fb::Statement query(tr, sql);
        query.open();
        return query.fetch() ? query.value(0) : QVariant();
    }
    QVariant entryValue(int id, const char* column) const {
        return scalar(QStringLiteral("SELECT %1 FROM BUH_HISTORY WHERE ID = %2")
                          .arg(QLatin1String(column))
                          .arg(id));
    }

    template <class Form> void onExec(const QString& className, std::function<int(Form&)> handler) {
        m_dialogs.onExec(
            className, [handler](QDialog& dialog) { return handler(static_cast<Form&>(dialog)); });
    }

    // A click on the column's title as the mouse gives it.
    void clickTitle(const QString& field) {
        QHeaderView* header = m_tab->DBGrid_BuhHistory->horizontalHeader();
        const int column = m_tab->DBGrid_BuhHistory->columnOf(field);
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    void doubleClickTitle(const QString& field) {
        QHeaderView* header = m_tab->DBGrid_BuhHistory->horizontalHeader();
        const int column = m_tab->DBGrid_BuhHistory->columnOf(field);
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at);
    }

    ScriptedDialogs m_dialogs;
    FixedClock m_clock{QDateTime(kScheduleToday(), QTime(9, 0))};
    BusyIndicator m_busy;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<fb::Attachment> m_att;
    std::unique_ptr<IniFile> m_ini;
    std::unique_ptr<ScheduleEngine> m_engine;
    std::unique_ptr<BooksEnvironment> m_env;
    std::unique_ptr<QWidget> m_window;
    ScheduleTab* m_tab = nullptr;
    int m_lostHook = 0;
};
