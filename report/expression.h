#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <QVector>

namespace report {

class RowSource;

// A text of a report object split into literal parts and bracketed expressions:
//   [DataSet."FIELD"]  a field of the current row of a data set
//   [Page], [TotalPages], [Date], [Time], [Line] (row number in the data band)
//   [Count]            rows of the data band in the group (in a group footer) or the report
//   [Sum(DataSet."FIELD")]  the sum of a field over the same rows
// Anything else in brackets is kept as written. Field and data set names are compared without
// regard to case; a field the data set lacks gives an empty text.
struct ExprToken {
    enum Kind { Literal, Field, Page, TotalPages, Date, Time, Line, Count, Sum };
    Kind kind = Literal;
    QString text;        // literal text, or the data set name of a field
    QString field;       // field name
    int fieldIndex = -1; // resolved against the bound source; -1: not there
};

// Marks the place of the page count until the last page is known.
inline const QString kTotalPagesMark = QStringLiteral("\x01TP\x01");

class Expression {
public:
    Expression() = default;
    explicit Expression(const QString& text);

    // Resolves field names against the data set of that name (others stay empty).
    void bind(const QString& dataSetName, const RowSource* source);

    bool isEmpty() const { return m_tokens.isEmpty(); }
    bool isConstant() const { return m_constant; }
    bool hasPageTokens() const { return m_pageTokens; }
    // The whole text is one field of the bound data set: exports may keep its typed value.
    int singleFieldIndex() const;
    const QVector<ExprToken>& tokens() const { return m_tokens; }
    // Field indexes of the Sum tokens, in order; the engine keeps one running sum for each.
    QVector<int> sumFields() const;

    struct Context {
        const RowSource* source = nullptr;
        int row = -1;
        int page = 0;       // 0: not yet known ([Page] stays empty)
        int totalPages = 0; // 0: not yet known ([TotalPages] gives kTotalPagesMark)
        QDate date;
        QTime time;
        int line = 0;
        int count = 0;
        const QVector<double>* sums = nullptr; // running sums in the order of sumFields()
        QString dateFormat;
    };
    QString evaluate(const Context& context) const;

private:
    QVector<ExprToken> m_tokens;
    bool m_constant = true;
    bool m_pageTokens = false;
};

// The text of a value as a report shows it: dates in the given display format (dd.MM.yyyy
// when empty), whole numbers without decimals.
QString formatValue(const QVariant& value, const QString& dateFormat);

} // namespace report
