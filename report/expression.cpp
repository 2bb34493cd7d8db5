#include "report/expression.h"

#include "report/row_source.h"

#include <cmath>

namespace report {
namespace {

// DataSet."FIELD" with optional angle brackets around it, as aggregate arguments are written.
bool parseFieldRef(QStringView ref, QString& dataSet, QString& field) {
    ref = ref.trimmed();
    if (ref.startsWith(u'<') && ref.endsWith(u'>'))
        ref = ref.mid(1, ref.size() - 2).trimmed();
    const qsizetype dot = ref.indexOf(u".\"");
    if (dot <= 0 || !ref.endsWith(u'"') || ref.size() < dot + 3)
        return false;
    dataSet = ref.left(dot).trimmed().toString();
    field = ref.mid(dot + 2, ref.size() - dot - 3).toString();
    return !dataSet.isEmpty() && !field.isEmpty() && !field.contains(u'"');
}

bool parseToken(QStringView inner, ExprToken& token) {
    const QString word = inner.trimmed().toString().toLower();
    static const struct {
        const char* name;
        ExprToken::Kind kind;
    } keywords[] = {{"page", ExprToken::Page},
                    {"page#", ExprToken::Page},
                    {"totalpages", ExprToken::TotalPages},
                    {"totalpages#", ExprToken::TotalPages},
                    {"date", ExprToken::Date},
                    {"time", ExprToken::Time},
                    {"line", ExprToken::Line},
                    {"line#", ExprToken::Line},
                    {"count", ExprToken::Count}};
    for (const auto& k : keywords) {
        if (word == QLatin1String(k.name)) {
            token.kind = k.kind;
            return true;
        }
    }
    if (word.startsWith(QLatin1String("count(")) && word.endsWith(u')')) {
        token.kind = ExprToken::Count;
        return true;
    }
    if (word.startsWith(QLatin1String("sum(")) && word.endsWith(u')')) {
        QStringView arg = inner.trimmed();
        arg = arg.mid(4, arg.size() - 5);
        // Sum(<ds."F">, MasterData1): the band argument is accepted and not needed.
        const qsizetype comma = arg.lastIndexOf(u',');
        if (comma > 0 && arg.mid(comma).indexOf(u'"') < 0)
            arg = arg.left(comma);
        if (!parseFieldRef(arg, token.text, token.field))
            return false;
        token.kind = ExprToken::Sum;
        return true;
    }
    if (parseFieldRef(inner, token.text, token.field)) {
        token.kind = ExprToken::Field;
        return true;
    }
    return false;
}

void appendLiteral(QVector<ExprToken>& tokens, QStringView text) {
    if (text.isEmpty())
        return;
    if (!tokens.isEmpty() && tokens.back().kind == ExprToken::Literal) {
        tokens.back().text += text;
        return;
    }
    ExprToken t;
    t.text = text.toString();
    tokens.push_back(t);
}

} // namespace

Expression::Expression(const QString& text) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype open = text.indexOf(u'[', pos);
        if (open < 0) {
            appendLiteral(m_tokens, QStringView(text).mid(pos));
            break;
        }
        // A field name may hold brackets inside its quotes; the closing bracket is the first
        // one outside quotes.
        qsizetype close = -1;
        bool quoted = false;
        for (qsizetype i = open + 1; i < text.size(); ++i) {
            if (text[i] == u'"')
                quoted = !quoted;
            else if (text[i] == u']' && !quoted) {
                close = i;
                break;
            }
        }
        if (close < 0) {
            appendLiteral(m_tokens, QStringView(text).mid(pos));
            break;
        }
        appendLiteral(m_tokens, QStringView(text).mid(pos, open - pos));
        ExprToken token;
        if (parseToken(QStringView(text).mid(open + 1, close - open - 1), token)) {
            m_tokens.push_back(token);
            m_constant = false;
            if (token.kind == ExprToken::Page || token.kind == ExprToken::TotalPages)
                m_pageTokens = true;
        } else {
            appendLiteral(m_tokens, QStringView(text).mid(open, close - open + 1));
        }
        pos = close + 1;
    }
}

void Expression::bind(const QString& dataSetName, const RowSource* source) {
    for (ExprToken& t : m_tokens) {
        if (t.kind != ExprToken::Field && t.kind != ExprToken::Sum)
            continue;
        t.fieldIndex = source && t.text.compare(dataSetName, Qt::CaseInsensitive) == 0
                           ? source->fieldIndex(t.field)
                           : -1;
    }
}

int Expression::singleFieldIndex() const {
    if (m_tokens.size() == 1 && m_tokens[0].kind == ExprToken::Field)
        return m_tokens[0].fieldIndex;
    return -1;
}

QVector<int> Expression::sumFields() const {
    QVector<int> fields;
    for (const ExprToken& t : m_tokens) {
        if (t.kind == ExprToken::Sum)
            fields.push_back(t.fieldIndex);
    }
    return fields;
}

QString Expression::evaluate(const Context& c) const {
    if (m_tokens.size() == 1 && m_tokens[0].kind == ExprToken::Literal)
        return m_tokens[0].text;
    QString out;
    int sumSlot = 0;
    for (const ExprToken& t : m_tokens) {
        switch (t.kind) {
        case ExprToken::Literal:
            out += t.text;
            break;
        case ExprToken::Field:
            if (c.source && t.fieldIndex >= 0 && c.row >= 0)
                out += formatValue(c.source->value(c.row, t.fieldIndex), c.dateFormat);
            break;
        case ExprToken::Page:
            if (c.page > 0)
                out += QString::number(c.page);
            break;
        case ExprToken::TotalPages:
            out += c.totalPages > 0 ? QString::number(c.totalPages) : kTotalPagesMark;
            break;
        case ExprToken::Date:
            out += formatValue(c.date, c.dateFormat);
            break;
        case ExprToken::Time:
            out += c.time.toString(QStringLiteral("hh:mm:ss"));
            break;
        case ExprToken::Line:
            out += QString::number(c.line);
            break;
        case ExprToken::Count:
            out += QString::number(c.count);
            break;
        case ExprToken::Sum:
            out += formatValue(c.sums && sumSlot < c.sums->size() ? (*c.sums)[sumSlot] : 0.0,
                               QString());
            ++sumSlot;
            break;
        }
    }
    return out;
}

QString formatValue(const QVariant& value, const QString& dateFormat) {
    const QString format = dateFormat.isEmpty() ? QStringLiteral("dd.MM.yyyy") : dateFormat;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return {};
    case QMetaType::QDate:
        return value.toDate().toString(format);
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dateFormat.isEmpty() && dt.time() != QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
        return dt.toString(format);
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        const double v = value.toDouble();
        if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
            return QString::number(static_cast<qint64>(v));
        return QString::number(v, 'f', 2);
    }
    default:
        return value.toString();
    }
}

} // namespace report
