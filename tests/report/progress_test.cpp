#include "report/report.h"
#include "report/ui/prepare_with_progress.h"
#include "report/ui/progress_runner.h"
#include "report_fixtures.h"

#include <QProgressDialog>
#include <QWidget>
#include <gtest/gtest.h>

using namespace report;

TEST(Progress, TheCancelButtonStopsTheJob) {
    QWidget owner;
    ProgressRunner runner(&owner, QStringLiteral("Экспорт ..."));
    const ProgressFn progress = runner.progress();
    EXPECT_TRUE(progress(10, 100));
    auto* dialog = owner.findChild<QProgressDialog*>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->maximum(), 100);
    EXPECT_EQ(dialog->value(), 10);
    dialog->cancel();
    EXPECT_FALSE(progress(20, 100));
    EXPECT_TRUE(runner.wasCancelled());
}

TEST(Progress, APreparationCancelledGivesNoReport) {
    const TableRowSource rows = fixtures::rows(5000);
    Report report;
    report.setTemplate(fixtures::listTemplate());
    report.setDataSet(fixtures::kDataSet, &rows);
    QWidget owner;
    const auto prepared = prepareWithProgress(report, &owner);
    ASSERT_TRUE(prepared.has_value());
    EXPECT_EQ(prepared->table.rows.size(), 5000);

    // The user presses "Отмена" while the rows are walked.
    PrepareOptions options;
    ProgressRunner runner(&owner, QStringLiteral("Подготовка отчёта ..."));
    const ProgressFn progress = runner.progress();
    options.progress = [&](int done, int total) {
        if (done >= 1000)
            owner.findChild<QProgressDialog*>()->cancel();
        return progress(done, total);
    };
    EXPECT_THROW(report.prepare(options), Cancelled);
}
