#pragma once

#include "fb/named_params.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace Firebird {
class IStatement;
class IResultSet;
class IMessageMetadata;
} // namespace Firebird

namespace fb {

class Attachment;
class Transaction;

// A prepared statement with named parameters (:NAME, ?NAME; a name may repeat). Prepared on
// first use and kept prepared, so repeated executions cost one round trip each. Values cross
// as QVariant: a null QVariant is SQL NULL; integers, text, text blobs, dates and timestamps
// convert both ways (timestamps as local QDateTime, DATE columns as QDate).
class Statement {
public:
    Statement(Transaction& transaction, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    const QString& sql() const { return m_sqlText; }
    void prepare();

    // Parameters keep their values between executions until set again.
    const QStringList& paramNames() const { return m_parsed.paramNames; }
    bool hasParam(const QString& name) const;
    void setParam(const QString& name, const QVariant& value); // every occurrence
    void setParam(int index, const QVariant& value);
    void clearParams();

    // Runs a statement that returns at most one row (DML, EXECUTE PROCEDURE, RETURNING).
    void execute();
    // Opens a cursor; fetch() moves to the next row and returns false at the end.
    void open();
    bool fetch();
    void close();
    bool isOpen() const { return m_cursor != nullptr; }

    int columnCount() const { return m_columns.size(); }
    QString columnName(int column) const;
    int columnIndex(const QString& name) const; // -1 when absent
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    bool isNull(int column) const { return !value(column).isValid(); }
    const QVector<QVariant>& row() const { return m_row; }

private:
    struct Column {
        QString name;
        unsigned type = 0;
        int subType = 0;
        int scale = 0;
        unsigned length = 0;
        unsigned offset = 0;
        unsigned nullOffset = 0;
    };

    // Type, scale, length and place in the message of every column the metadata describes.
    static void readLayout(Firebird::IMessageMetadata* meta, QVector<Column>& columns);
    void ensureStarted();
    bool inputLayoutFits() const;
    void buildInputMessage();
    void readRow();
    QVariant readValue(const Column& column) const;
    void writeParam(int index, unsigned char* buffer, const Column& column);
    QString readBlob(const unsigned char* quad, bool text, QByteArray* raw) const;
    void writeBlob(unsigned char* quad, const QByteArray& data);
    QByteArray encodeText(const QString& text);
    [[noreturn]] void raiseParamError(int index, const QString& why);
    void releaseMetadata();

    Transaction& m_transaction;
    Attachment& m_attachment;
    QString m_sqlText;
    ParsedSql m_parsed;
    Firebird::IStatement* m_statement = nullptr;
    Firebird::IResultSet* m_cursor = nullptr;
    Firebird::IMessageMetadata* m_inMeta = nullptr;
    Firebird::IMessageMetadata* m_outMeta = nullptr;
    QVector<QVariant> m_params;
    QVector<Column> m_inColumns;
    QByteArray m_inBuffer;
    QVector<Column> m_columns;
    QByteArray m_outBuffer;
    QVector<QVariant> m_row;
};

} // namespace fb
