#include "fb/statement.h"

#include "fb/attachment.h"
#include "fb/status.h"
#include "fb/transaction.h"
#include "fb/win1251.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <firebird/Interface.h>
#include <ibase.h>

#include <cmath>
#include <cstring>

using namespace Firebird;

namespace fb {
namespace {

constexpr unsigned kSegment = 32000;

template <typename T> T readAs(const unsigned char* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}
template <typename T> void writeAs(unsigned char* p, T value) {
    std::memcpy(p, &value, sizeof value);
}

bool isTextType(unsigned type) {
    return type == SQL_TEXT || type == SQL_VARYING;
}

QDateTime toDateTime(const QVariant& value, bool* ok) {
    *ok = true;
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    // A whole day is midnight of that day, also where a daylight-saving change skips it.
    if (value.typeId() == QMetaType::QDate)
        return QDateTime(value.toDate(), QTime(0, 0), Qt::UTC);
    const QDateTime parsed = QDateTime::fromString(value.toString(), Qt::ISODate);
    *ok = parsed.isValid();
    return parsed;
}

} // namespace

Statement::Statement(Transaction& transaction, const QString& sql)
    : m_transaction(transaction), m_attachment(transaction.attachment()), m_sqlText(sql),
      m_parsed(parseNamedParams(sql)) {
    m_params.resize(m_parsed.paramNames.size());
}

Statement::~Statement() {
    try {
        close();
    } catch (const Error&) {
        // Closing a cursor of a dead connection: nothing to clean up on the engine's side.
    }
    releaseMetadata();
    if (m_statement) {
        Status status;
        try {
            m_statement->free(&status);
        } catch (const FbException&) {
            m_statement->release();
        }
    }
}

void Statement::releaseMetadata() {
    if (m_inMeta)
        m_inMeta->release();
    if (m_outMeta)
        m_outMeta->release();
    m_inMeta = m_outMeta = nullptr;
}

bool Statement::hasParam(const QString& name) const {
    return m_parsed.paramNames.contains(name.toUpper());
}

void Statement::setParam(const QString& name, const QVariant& value) {
    const QString key = name.toUpper();
    bool found = false;
    for (int i = 0; i < m_parsed.paramNames.size(); ++i) {
        if (m_parsed.paramNames.at(i) == key) {
            m_params[i] = value;
            found = true;
        }
    }
    if (!found)
        m_attachment.raise(Error(QStringLiteral("В запросе нет параметра %1.").arg(name)));
}

void Statement::setParam(int index, const QVariant& value) {
    if (index < 0 || index >= m_params.size())
        m_attachment.raise(Error(QStringLiteral("В запросе нет параметра номер %1.").arg(index)));
    m_params[index] = value;
}

void Statement::clearParams() {
    for (QVariant& value : m_params)
        value = QVariant();
}

void Statement::ensureStarted() {
    m_transaction.startIfNeeded();
}

void Statement::prepare() {
    if (m_statement)
        return;
    ensureStarted();
    Status status;
    try {
        const QByteArray sql = encodeText(m_parsed.sql);
        m_statement =
            m_attachment.handle()->prepare(&status, m_transaction.handle(), 0, sql.constData(),
                                           SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        m_outMeta = m_statement->getOutputMetadata(&status);
        readLayout(m_outMeta, m_columns);
        for (int i = 0; i < m_columns.size(); ++i)
            m_columns[i].name =
                fromWin1251(QByteArray(m_outMeta->getAlias(&status, static_cast<unsigned>(i))));
        m_outBuffer.fill(0, m_outMeta->getMessageLength(&status));
        m_row.resize(m_columns.size());
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
}

void Statement::readLayout(IMessageMetadata* meta, QVector<Column>& columns) {
    Status status;
    const unsigned count = meta->getCount(&status);
    columns.resize(count);
    for (unsigned i = 0; i < count; ++i) {
        Column& c = columns[i];
        c.type = meta->getType(&status, i);
        c.subType = meta->getSubType(&status, i);
        c.scale = meta->getScale(&status, i);
        c.length = meta->getLength(&status, i);
        c.offset = meta->getOffset(&status, i);
        c.nullOffset = meta->getNullOffset(&status, i);
    }
}

bool Statement::inputLayoutFits() const {
    if (!m_inMeta || m_inColumns.size() != m_params.size())
        return false;
    for (int i = 0; i < m_inColumns.size(); ++i) {
        const QVariant& v = m_params.at(i);
        if (m_inColumns.at(i).type == SQL_VARYING && v.isValid() &&
            static_cast<unsigned>(v.toString().size()) > m_inColumns.at(i).length)
            return false;
    }
    return true;
}

void Statement::buildInputMessage() {
    // Repeated executions (the schedule engine calls one statement many thousand times) keep
    // the message layout as long as every text value fits into it.
    if (inputLayoutFits()) {
        m_inBuffer.fill(0);
        auto* buffer = reinterpret_cast<unsigned char*>(m_inBuffer.data());
        for (int i = 0; i < m_inColumns.size(); ++i)
            writeParam(i, buffer, m_inColumns.at(i));
        return;
    }
    Status status;
    IMessageMetadata* declared = m_statement->getInputMetadata(&status);
    const unsigned count = declared->getCount(&status);
    if (count != static_cast<unsigned>(m_params.size())) {
        declared->release();
        m_attachment.raise(Error(QStringLiteral("Число параметров запроса не совпадает.")));
    }
    // Text parameters take the length of their value, so that an over-long value reaches the
    // engine and is refused there with its own message instead of being cut here.
    IMetadataBuilder* builder = declared->getBuilder(&status);
    for (unsigned i = 0; i < count; ++i) {
        const unsigned type = declared->getType(&status, i);
        if (isTextType(type)) {
            const QVariant& v = m_params.at(static_cast<int>(i));
            const int bytes = v.isValid() ? static_cast<int>(v.toString().size()) : 0;
            const unsigned declaredLength = declared->getLength(&status, i);
            builder->setType(&status, i, SQL_VARYING);
            builder->setLength(&status, i, std::max<unsigned>(declaredLength, bytes));
        }
    }
    declared->release();
    if (m_inMeta)
        m_inMeta->release();
    m_inMeta = builder->getMetadata(&status);
    builder->release();
    readLayout(m_inMeta, m_inColumns);
    m_inBuffer.fill(0, m_inMeta->getMessageLength(&status));
    auto* buffer = reinterpret_cast<unsigned char*>(m_inBuffer.data());
    for (unsigned i = 0; i < count; ++i)
        writeParam(static_cast<int>(i), buffer, m_inColumns.at(i));
}

QByteArray Statement::encodeText(const QString& text) {
    try {
        return toWin1251(text);
    } catch (const Error& e) {
        // Through the attachment, so that its hooks learn of this client-side error too.
        m_attachment.raise(e);
    }
}

void Statement::raiseParamError(int index, const QString& why) {
    const QString name = m_parsed.paramNames.value(index);
    m_attachment.raise(Error(QStringLiteral("Неверное значение параметра %1: %2")
                                 .arg(name.isEmpty() ? QString::number(index + 1) : name, why)));
}

void Statement::writeParam(int index, unsigned char* buffer, const Column& c) {
    const QVariant& v = m_params.at(index);
    unsigned char* p = buffer + c.offset;
    const bool isNull = !v.isValid() || v.isNull();
    writeAs<short>(buffer + c.nullOffset, isNull ? -1 : 0);
    if (isNull)
        return;
    bool ok = true;
    switch (c.type) {
    case SQL_SHORT:
    case SQL_LONG:
    case SQL_INT64: {
        qint64 n;
        if (c.scale == 0) {
            n = v.toLongLong(&ok);
        } else {
            const double d = v.toDouble(&ok);
            n = std::llround(d * std::pow(10.0, -c.scale));
        }
        if (!ok)
            raiseParamError(index, QStringLiteral("ожидалось число"));
        if (c.type == SQL_SHORT)
            writeAs<qint16>(p, static_cast<qint16>(n));
        else if (c.type == SQL_LONG)
            writeAs<qint32>(p, static_cast<qint32>(n));
        else
            writeAs<qint64>(p, n);
        break;
    }
    case SQL_FLOAT:
        writeAs<float>(p, static_cast<float>(v.toDouble(&ok)));
        break;
    case SQL_DOUBLE:
        writeAs<double>(p, v.toDouble(&ok));
        break;
    case SQL_BOOLEAN:
        writeAs<unsigned char>(p, v.toBool() ? 1 : 0);
        break;
    case SQL_VARYING: {
        const QByteArray bytes = encodeText(v.toString());
        writeAs<unsigned short>(p, static_cast<unsigned short>(bytes.size()));
        std::memcpy(p + 2, bytes.constData(), bytes.size());
        break;
    }
    case SQL_TIMESTAMP: {
        const QDateTime dt = toDateTime(v, &ok);
        if (!ok)
            raiseParamError(index, QStringLiteral("ожидалась дата"));
        ISC_TIMESTAMP ts;
        const QDate d = dt.date();
        const QTime t = dt.time();
        ts.timestamp_date = util()->encodeDate(d.year(), d.month(), d.day());
        ts.timestamp_time = util()->encodeTime(t.hour(), t.minute(), t.second(), t.msec() * 10);
        writeAs<ISC_TIMESTAMP>(p, ts);
        break;
    }
    case SQL_TYPE_DATE: {
        const QDate d = toDateTime(v, &ok).date();
        if (!ok)
            raiseParamError(index, QStringLiteral("ожидалась дата"));
        writeAs<ISC_DATE>(p, util()->encodeDate(d.year(), d.month(), d.day()));
        break;
    }
    case SQL_TYPE_TIME: {
        const QTime t = v.toTime();
        writeAs<ISC_TIME>(p, util()->encodeTime(t.hour(), t.minute(), t.second(), t.msec() * 10));
        break;
    }
    case SQL_BLOB: {
        const QByteArray data =
            v.typeId() == QMetaType::QByteArray ? v.toByteArray() : encodeText(v.toString());
        writeBlob(p, data);
        break;
    }
    default:
        raiseParamError(index, QStringLiteral("тип параметра не поддерживается"));
    }
    if (!ok)
        raiseParamError(index, QStringLiteral("ожидалось число"));
}

void Statement::writeBlob(unsigned char* quad, const QByteArray& data) {
    Status status;
    IBlob* blob = nullptr;
    try {
        ISC_QUAD id;
        blob = m_attachment.handle()->createBlob(&status, m_transaction.handle(), &id, 0, nullptr);
        for (qsizetype done = 0; done < data.size(); done += kSegment) {
            const unsigned chunk =
                static_cast<unsigned>(std::min<qsizetype>(kSegment, data.size() - done));
            blob->putSegment(&status, chunk, data.constData() + done);
        }
        blob->close(&status);
        blob = nullptr;
        writeAs<ISC_QUAD>(quad, id);
    } catch (const FbException& e) {
        if (blob)
            blob->release();
        m_attachment.raise(e);
    }
}

QString Statement::readBlob(const unsigned char* quadPtr, bool text, QByteArray* raw) const {
    Status status;
    IBlob* blob = nullptr;
    QByteArray data;
    try {
        ISC_QUAD id = readAs<ISC_QUAD>(quadPtr);
        blob = m_attachment.handle()->openBlob(&status, m_transaction.handle(), &id, 0, nullptr);
        char buffer[kSegment];
        for (;;) {
            unsigned got = 0;
            const int result = blob->getSegment(&status, sizeof buffer, buffer, &got);
            if (result == IStatus::RESULT_NO_DATA)
                break;
            data.append(buffer, got);
        }
        blob->close(&status);
        blob = nullptr;
    } catch (const FbException& e) {
        if (blob)
            blob->release();
        m_attachment.raise(e);
    }
    if (raw)
        *raw = data;
    return text ? fromWin1251(data) : QString();
}

void Statement::execute() {
    prepare();
    ensureStarted();
    close();
    Status status;
    try {
        buildInputMessage();
        const bool hasOutput = !m_columns.isEmpty();
        m_statement->execute(&status, m_transaction.handle(), m_inMeta, m_inBuffer.data(),
                             hasOutput ? m_outMeta : nullptr,
                             hasOutput ? m_outBuffer.data() : nullptr);
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
    if (!m_columns.isEmpty())
        readRow();
}

void Statement::open() {
    prepare();
    ensureStarted();
    close();
    Status status;
    try {
        buildInputMessage();
        m_cursor = m_statement->openCursor(&status, m_transaction.handle(), m_inMeta,
                                           m_inBuffer.data(), m_outMeta, 0);
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
}

bool Statement::fetch() {
    if (!m_cursor)
        return false;
    Status status;
    int result = IStatus::RESULT_NO_DATA;
    try {
        result = m_cursor->fetchNext(&status, m_outBuffer.data());
    } catch (const FbException& e) {
        m_attachment.raise(e);
    }
    if (result != IStatus::RESULT_OK) {
        close();
        return false;
    }
    readRow();
    return true;
}

void Statement::close() {
    if (!m_cursor)
        return;
    IResultSet* cursor = m_cursor;
    m_cursor = nullptr;
    Status status;
    try {
        cursor->close(&status);
    } catch (const FbException& e) {
        cursor->release();
        m_attachment.raise(e);
    }
}

void Statement::readRow() {
    for (int i = 0; i < m_columns.size(); ++i)
        m_row[i] = readValue(m_columns.at(i));
}

QVariant Statement::readValue(const Column& c) const {
    const auto* buffer = reinterpret_cast<const unsigned char*>(m_outBuffer.constData());
    if (readAs<short>(buffer + c.nullOffset) != 0)
        return QVariant();
    const unsigned char* p = buffer + c.offset;
    auto scaled = [&](qint64 n) -> QVariant {
        if (c.scale == 0)
            return c.type == SQL_INT64 ? QVariant(static_cast<qlonglong>(n))
                                       : QVariant(static_cast<int>(n));
        return QVariant(static_cast<double>(n) * std::pow(10.0, c.scale));
    };
    switch (c.type) {
    case SQL_SHORT:
        return scaled(readAs<qint16>(p));
    case SQL_LONG:
        return scaled(readAs<qint32>(p));
    case SQL_INT64:
        return scaled(readAs<qint64>(p));
    case SQL_FLOAT:
        return QVariant(static_cast<double>(readAs<float>(p)));
    case SQL_DOUBLE:
        return QVariant(readAs<double>(p));
    case SQL_BOOLEAN:
        return QVariant(readAs<unsigned char>(p) != 0);
    case SQL_TEXT: {
        QString s = fromWin1251(reinterpret_cast<const char*>(p), static_cast<int>(c.length));
        while (s.endsWith(QLatin1Char(' ')))
            s.chop(1);
        return s;
    }
    case SQL_VARYING: {
        const auto length = readAs<unsigned short>(p);
        return fromWin1251(reinterpret_cast<const char*>(p + 2), length);
    }
    case SQL_TIMESTAMP: {
        const auto ts = readAs<ISC_TIMESTAMP>(p);
        unsigned y, m, d, hh, mm, ss, frac;
        util()->decodeDate(ts.timestamp_date, &y, &m, &d);
        util()->decodeTime(ts.timestamp_time, &hh, &mm, &ss, &frac);
        return QDateTime(QDate(y, m, d), QTime(hh, mm, ss, frac / 10));
    }
    case SQL_TYPE_DATE: {
        unsigned y, m, d;
        util()->decodeDate(readAs<ISC_DATE>(p), &y, &m, &d);
        return QDate(y, m, d);
    }
    case SQL_TYPE_TIME: {
        unsigned hh, mm, ss, frac;
        util()->decodeTime(readAs<ISC_TIME>(p), &hh, &mm, &ss, &frac);
        return QTime(hh, mm, ss, frac / 10);
    }
    case SQL_BLOB: {
        QByteArray raw;
        const bool text = c.subType == 1;
        const QString s = readBlob(p, text, &raw);
        return text ? QVariant(s) : QVariant(raw);
    }
    default:
        return QVariant();
    }
}

QString Statement::columnName(int column) const {
    return m_columns.value(column).name;
}

int Statement::columnIndex(const QString& name) const {
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant Statement::value(int column) const {
    return m_row.value(column);
}

QVariant Statement::value(const QString& name) const {
    return m_row.value(columnIndex(name));
}

} // namespace fb
