#include "grid_fixture.h"
#include "support/scripted_dialogs.h"
#include "widgets/balloon_hint.h"
#include "widgets/button_edit.h"
#include "widgets/help_viewer.h"
#include "widgets/russian_ui.h"
#include "widgets/spin_edit.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

TEST(SpinEdit, KeepsItsValueInsideItsRange) {
    struct Case {
        const char* name;
        int minimum, maximum, defaultValue;
        int set;       // value set in code first
        QString typed; // then typed over the selected text and confirmed with Enter
        int expected;
    };
    const Case cases[] = {
        {"value above the range", 0, 120, 15, 500, QString(), 120},
        {"value below the range", 1, 10, 3, -4, QString(), 1},
        {"typed inside the range", 0, 120, 15, 15, QStringLiteral("77"), 77},
        {"typed below the range goes to the minimum", 2017, 2099, 2017, 2050, QStringLiteral("20"),
         2017},
        {"typed above the range is refused digit by digit", 1, 31, 1, 5, QStringLiteral("45"), 4},
        {"typed nothing gives the default", 1, 12, 1, 7, QStringLiteral(""), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SpinEdit spin(c.minimum, c.maximum, c.defaultValue);
        EXPECT_EQ(spin.value(), c.defaultValue);
        spin.show();
        spin.setValue(c.set);
        if (!c.typed.isNull()) {
            spin.setFocus();
            spin.selectAll();
            QTest::keyClick(&spin, Qt::Key_Delete);
            QTest::keyClicks(&spin, c.typed);
            QTest::keyClick(&spin, Qt::Key_Return);
        }
        EXPECT_EQ(spin.value(), c.expected);
        EXPECT_EQ(spin.text(), QString::number(c.expected));
    }
    SpinEdit spin(1, 10, 40); // a default outside the range is taken into it
    EXPECT_EQ(spin.defaultValue(), 10);
    spin.setValue(4);
    spin.resetToDefault();
    EXPECT_EQ(spin.value(), 10);
}

TEST(ButtonEdit, IsReadOnlyAndAsksThroughItsButton) {
    QWidget window;
    auto* edit = new ButtonEdit(&window);
    edit->setText(QStringLiteral("Любая бухгалтерская отчётность"));
    edit->resize(300, 24);
    window.show();
    QSignalSpy clicks(edit, &ButtonEdit::buttonClicked);
    QSignalSpy doubleClicks(edit, &ButtonEdit::doubleClicked);

    EXPECT_TRUE(edit->isReadOnly());
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("abc"));
    EXPECT_EQ(edit->text(), QStringLiteral("Любая бухгалтерская отчётность"));

    EXPECT_EQ(edit->button()->text(), QStringLiteral("..."));
    EXPECT_GT(edit->button()->x(), edit->width() / 2) << "the button is at the right end";
    QTest::mouseClick(edit->button(), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(edit, Qt::LeftButton, {}, QPoint(20, edit->height() / 2));
    EXPECT_EQ(doubleClicks.count(), 1);
    QTest::keyClick(edit, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);

    edit->setEnabled(false);
    EXPECT_FALSE(edit->button()->isEnabled());
}

namespace {

struct HintWindow {
    HintWindow() {
        auto* layout = new QVBoxLayout(&window);
        label = new QLabel(QStringLiteral("Где создаётся расписание ?"));
        other = new QLabel(QStringLiteral("Как работать с бухотчётностью ?"));
        layout->addWidget(label);
        layout->addWidget(other);
        window.resize(400, 200);
        window.move(50, 50);
        window.show();
        QApplication::processEvents();
    }
    QWidget window;
    QLabel* label;
    QLabel* other;
};

} // namespace

TEST(BalloonHint, OpensBelowRightOfItsAnchorAndHidesAfterItsTimeout) {
    HintWindow w;
    BalloonHint* hint = BalloonHint::forWindow(w.label);
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(BalloonHint::forWindow(w.other), hint) << "one balloon per window";
    hint->setSoundEnabled(false);
    QSignalSpy hidden(hint, &BalloonHint::hidden);

    hint->showAt(w.label, QStringLiteral("Краткая справка"),
                 QStringLiteral("1.) Заполните справочник праздничных дней\r\n \r\n2.) Второе"),
                 150);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->isWindow());
    EXPECT_EQ(hint->header(), QStringLiteral("Краткая справка"));
    EXPECT_EQ(hint->text(),
              QStringLiteral("1.) Заполните справочник праздничных дней\n \n2.) Второе"));
    EXPECT_EQ(hint->timeout(), 150);
    EXPECT_EQ(hint->anchor(), w.label);
    const QRect anchor(w.label->mapToGlobal(QPoint(0, 0)), w.label->size());
    EXPECT_EQ(hint->geometry().top(), anchor.bottom() + 1);
    EXPECT_GE(hint->geometry().left(), anchor.left() - 20);
    EXPECT_GT(hint->geometry().right(), anchor.left() + 100);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !hint->isVisible(); }, 5000));
    EXPECT_EQ(hidden.count(), 1);

    // A second hint replaces the first and runs on its own timeout, not the first one's.
    hint->showAt(w.label, QStringLiteral("Первая"), QStringLiteral("текст"), 50);
    hint->showAt(w.other, QStringLiteral("Другая"), QStringLiteral("текст"), 60000);
    QTest::qWait(300);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->anchor(), w.other);
    EXPECT_EQ(hint->header(), QStringLiteral("Другая"));

    // The close button hides it at once; timeout 0 waits for it.
    hint->showAt(w.label, QStringLiteral("Без таймаута"), QString(), 0, BalloonHint::Icon::None);
    QTest::qWait(50);
    EXPECT_TRUE(hint->isVisible());
    hint->closeButton()->click();
    EXPECT_FALSE(hint->isVisible());
}

TEST(BalloonHint, ShowsTheToolTipsOfItsWindowWhenAsked) {
    HintWindow w;
    w.other->setToolTip(QStringLiteral("Количество дней ( от 0 до 120 )"));
    BalloonHint hint(&w.window);
    hint.setSoundEnabled(false);

    QHelpEvent before(QEvent::ToolTip, QPoint(2, 2), w.other->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w.other, &before);
    EXPECT_FALSE(hint.isVisible());

    hint.setShowsToolTips(true);
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), w.other->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w.other, &event);
    EXPECT_TRUE(hint.isVisible());
    EXPECT_EQ(hint.text(), QStringLiteral("Количество дней ( от 0 до 120 )"));
    EXPECT_EQ(hint.anchor(), w.other);
    hint.hideHint();

    // Widgets of other windows keep their own tool-tips.
    QLabel stranger(QStringLiteral("чужое окно"));
    stranger.setToolTip(QStringLiteral("чужая подсказка"));
    stranger.show();
    QHelpEvent foreign(QEvent::ToolTip, QPoint(2, 2), stranger.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&stranger, &foreign);
    EXPECT_FALSE(hint.isVisible());
    hint.setShowsToolTips(false);
}

TEST(HelpViewer, OpensThePagesOfTheHelpFolder) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Help")));
    for (const char* page : {"Main.htm", "BaseService.htm"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(SROKO_SOURCE_DIR "/Help/") + page,
                                folder.filePath(QStringLiteral("Help/")) + page));

    QWidget owner;
    ScriptedDialogs dialogs;
    HelpViewer* viewer =
        HelpViewer::showTopic(dialogs, &owner, folder.path(), QStringLiteral("Main.htm"));
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(dialogs.modeless(), QStringList({"HelpViewer"}));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    const QString text = viewer->browser()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Начало нового года")))
        << text.left(200).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Включение отчётностей")));
    EXPECT_TRUE(text.contains(QStringLiteral("Отметка о сдаче")));
    EXPECT_TRUE(viewer->windowTitle().contains(QStringLiteral("Сроковед")));

    // The same window shows the next topic; links between the pages work.
    EXPECT_EQ(
        HelpViewer::showTopic(dialogs, &owner, folder.path(), QStringLiteral("BaseService.htm")),
        viewer);
    for (const char* part : {"Архивирование", "Восстановление", "Ремонт", "Выполнение скрипта"})
        EXPECT_TRUE(viewer->browser()->toPlainText().contains(QString::fromUtf8(part))) << part;
    viewer->browser()->setSource(QUrl(QStringLiteral("Main.htm")));
    EXPECT_TRUE(viewer->browser()->toPlainText().contains(QStringLiteral("Справочники")));
    EXPECT_TRUE(viewer->browser()->isBackwardAvailable());

    // A missing page is said plainly, with its path.
    dialogs.clear();
    EXPECT_EQ(HelpViewer::showTopic(dialogs, &owner, folder.path(), QStringLiteral("Nope.htm")),
              nullptr);
    ASSERT_EQ(dialogs.messages().size(), 1);
    const MessageRequest box = dialogs.lastMessage();
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_EQ(box.caption, QStringLiteral("Справка"));
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Файл справки не найден:")));
    EXPECT_TRUE(box.text.contains(QStringLiteral("Help/Nope.htm")));
    EXPECT_FALSE(viewer->openTopic(QStringLiteral("Nope.htm")));
    EXPECT_TRUE(
        viewer->browser()->toPlainText().startsWith(QStringLiteral("Файл справки не найден")));
}

TEST(ScriptedDialogs, AnswersFromItsQueueThenWithTheDefault) {
    ScriptedDialogs dialogs;
    dialogs.answer({MsgResult::No, MsgResult::Yes});
    EXPECT_FALSE(dialogs.ask(nullptr, QStringLiteral("Первый?"), QStringLiteral("Вопрос")));
    EXPECT_TRUE(dialogs.ask(nullptr, QStringLiteral("Второй?"), QStringLiteral("Вопрос")));
    EXPECT_FALSE(dialogs.ask(nullptr, QStringLiteral("Третий?"), QStringLiteral("Вопрос"),
                             MsgIcon::Warning, MsgResult::No));
    dialogs.error(nullptr, QStringLiteral("Ошибка."), QStringLiteral("Заголовок"));
    ASSERT_EQ(dialogs.shown().size(), 4);
    EXPECT_FALSE(dialogs.shown().at(1).answeredByDefault);
    EXPECT_TRUE(dialogs.shown().at(2).answeredByDefault);
    EXPECT_EQ(dialogs.shown().at(2).answer, MsgResult::No);
    EXPECT_EQ(dialogs.shown().at(2).request.icon, MsgIcon::Warning);
    EXPECT_EQ(dialogs.texts(), QStringList({"Первый?", "Второй?", "Третий?", "Ошибка."}));
    EXPECT_EQ(dialogs.lastMessage().caption, QStringLiteral("Заголовок"));
    EXPECT_EQ(dialogs.lastMessage().icon, MsgIcon::Error);

    QDialog unhandled;
    unhandled.setObjectName(QStringLiteral("SomeForm"));
    EXPECT_EQ(dialogs.exec(unhandled), QDialog::Rejected);
    EXPECT_EQ(dialogs.unhandledExecs(), QStringList({"QDialog"}));
    dialogs.onExec(QStringLiteral("SomeForm"), [](QDialog&) { return int(QDialog::Accepted); });
    EXPECT_EQ(dialogs.exec(unhandled), QDialog::Accepted);
    EXPECT_EQ(unhandled.result(), QDialog::Accepted);

    dialogs.clear();
    EXPECT_TRUE(dialogs.shown().isEmpty());
    EXPECT_TRUE(dialogs.lastMessage().text.isEmpty());
    EXPECT_EQ(dialogs.exec(unhandled), QDialog::Accepted) << "handlers stay";
}

// Last: it changes the application's language and locale for the rest of the run.
TEST(RussianUi, QtSpeaksRussianWithAFontThatHasCyrillic) {
    installRussianTranslations(*qApp);
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
    EXPECT_EQ(QLocale().territory(), QLocale::Russia);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    EXPECT_TRUE(fontShowsCyrillic(QApplication::font()));
    EXPECT_FALSE(cyrillicFontFamily().isEmpty());
}
