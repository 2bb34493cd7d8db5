#include "books/text_helpers.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
    QString input;
    QString expected;
};

TEST(CollapseCharRuns, KeepsTheFirstOfEachRunAndNothingElseChanges) {
    const QList<TextCase> cases = {
        {"", ""},
        {" ", " "},
        {"   ", " "},
        {"ООО  Ромашка", "ООО Ромашка"},
        {"a     b  c d", "a b c d"},
        {" leading", " leading"},
        {"trailing ", "trailing "},
        {"  both   ends  ", " both ends "},
        {"tab\t\tstays", "tab\t\tstays"},
        {"no runs", "no runs"},
        {" \t  mixed", " \t mixed"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(CollapseCharRuns(c.input, u' '), c.expected) << c.input.toStdString();
    EXPECT_EQ(CollapseCharRuns("aaa-bb--c", u'-'), "aaa-bb-c");
    EXPECT_EQ(CollapseCharRuns("aaabba", u'a'), "abba");
}

TEST(ReplaceAllText, ReplacesEveryOccurrenceWithoutOverlapOrRescan) {
    struct Case {
        QString text, find, replacement, expected;
    };
    const QList<Case> cases = {
        {"base_m.FBK and old_m.FBK", "_m.FBK", ".fdb", "base.fdb and old.fdb"}, // twice
        {"no match here", "xyz", "!", "no match here"},
        {"text", "", "!", "text"}, // empty find changes nothing
        {"", "a", "b", ""},
        {"aaaa", "aa", "b", "bb"}, // no overlap
        {"aaa", "aa", "b", "ba"},
        {"abab", "ab", "abab", "abababab"}, // replacement not scanned again
        {"a.b", "a", "aa", "aa.b"},
        {"Case case CASE", "case", "X", "Case X CASE"}, // letter case counts
        {"remove-me-too", "-", "", "removemetoo"},
        {"Дата_m.FBK", "_m.FBK", ".fdb", "Дата.fdb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceAllText(c.text, c.find, c.replacement), c.expected)
            << c.text.toStdString() << " / " << c.find.toStdString();
}

TEST(DeleteCharSet, RemovesTheSetAndKeepsTheOrderOfTheRest) {
    const QSet<QChar> controls = controlChars();
    const QList<TextCase> cases = {
        {"", ""},
        {QString::fromLatin1("\x01\x02\t\n\r\x1f", 6), ""}, // only control characters
        {QStringLiteral("Line\r\n"), "Line"},
        {QString::fromLatin1("a\0b", 3), "ab"},
        {QStringLiteral("\tgbak: \x7f keeps DEL and blanks \u00a0"),
         QStringLiteral("gbak: \x7f keeps DEL and blanks \u00a0")},
        {QStringLiteral("кириллица"), QStringLiteral("кириллица")},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(DeleteCharSet(c.input, controls), c.expected) << c.input.toStdString();
    EXPECT_EQ(DeleteCharSet("a-b_c", QSet<QChar>{u'-', u'_'}), "abc");
    EXPECT_EQ(DeleteCharSet("a-b_c", QSet<QChar>{}), "a-b_c");
    EXPECT_EQ(DeleteCharSet("a1b2c3", [](QChar c) { return c.isDigit(); }), "abc");
}

TEST(ControlChars, AreExactlyCodesZeroToThirtyOne) {
    const QSet<QChar> controls = controlChars();
    EXPECT_EQ(controls.size(), 32);
    for (int code = 0; code < 128; ++code) {
        EXPECT_EQ(controls.contains(QChar(code)), code < 32) << code;
        EXPECT_EQ(isControlChar(QChar(code)), code < 32) << code;
        EXPECT_EQ(isBlankOrControl(QChar(code)), code <= 32) << code;
    }
    EXPECT_FALSE(isBlankOrControl(QChar(0xA0)));
}

TEST(TrimBlanksAndControls, CutsBothEndsOnly) {
    const QList<TextCase> cases = {
        {"", ""},
        {"   ", ""},
        {QString::fromLatin1("\t \x01 \n", 5), ""},
        {"  ООО  Ромашка  ", "ООО  Ромашка"},
        {QStringLiteral("\tname\r\n"), "name"},
        {QStringLiteral("\u00a0name\u00a0"), QStringLiteral("\u00a0name\u00a0")},
        {"a", "a"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(trimBlanksAndControls(c.input), c.expected) << c.input.toStdString();
}

TEST(CutLeadingBlanksAndControls, KeepsTheEnd) {
    const QList<TextCase> cases = {
        {"", ""},     {" ", ""},
        {" a", "a"},  {QStringLiteral("\t\n  Отчёт  "), QStringLiteral("Отчёт  ")},
        {"a ", "a "}, {"a  b", "a  b"},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(cutLeadingBlanksAndControls(c.input), c.expected) << c.input.toStdString();
}

// What the name check does to a typed name before comparing it: collapse, then trim.
TEST(NameNormalisation, CollapseThenTrim) {
    EXPECT_EQ(trimBlanksAndControls(CollapseCharRuns("   ", u' ')), "");
    EXPECT_EQ(trimBlanksAndControls(CollapseCharRuns("  Налог   на  прибыль ", u' ')),
              "Налог на прибыль");
}

} // namespace
