#include "report/exports.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace report {
namespace {

// Column widths of a sheet are in characters; a character of the default font is about 2 mm.
constexpr double kMmPerChar = 2.0;

QString failure(const QString& path, const QString& why) {
    return QStringLiteral("Не удалось записать файл «%1»: %2").arg(path, why);
}

lxw_datetime toLxw(const QDate& d, const QTime& t = QTime(0, 0)) {
    return lxw_datetime{d.year(), d.month(),  d.day(),
                        t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
}

// Writes the workbook and owns it until it is closed, also on an exception.
class Workbook {
public:
    explicit Workbook(const QByteArray& path) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE; // rows go to disk as they are written
        m_book = workbook_new_opt(path.constData(), &options);
    }
    ~Workbook() {
        if (m_book)
            workbook_close(m_book);
    }
    lxw_workbook* get() const { return m_book; }
    lxw_error close() {
        lxw_error error = workbook_close(m_book);
        m_book = nullptr;
        return error;
    }

private:
    lxw_workbook* m_book = nullptr;
};

void writeCell(lxw_worksheet* sheet, int row, int col, const QVariant& v, lxw_format* date,
               lxw_format* dateTime, lxw_format* text) {
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return;
    case QMetaType::QDate: {
        if (!v.toDate().isValid())
            return;
        lxw_datetime dt = toLxw(v.toDate());
        worksheet_write_datetime(sheet, row, col, &dt, date);
        return;
    }
    case QMetaType::QDateTime: {
        const QDateTime value = v.toDateTime();
        if (!value.isValid())
            return;
        lxw_datetime dt = toLxw(value.date(), value.time());
        worksheet_write_datetime(sheet, row, col, &dt, dateTime);
        return;
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::Double:
    case QMetaType::Float:
        worksheet_write_number(sheet, row, col, v.toDouble(), nullptr);
        return;
    default: {
        const QString s = v.toString();
        if (s.isEmpty())
            return;
        worksheet_write_string(sheet, row, col, s.toUtf8().constData(),
                               s.contains(QLatin1Char('\n')) ? text : nullptr);
    }
    }
}

} // namespace

void exportXlsx(const PreparedReport& report, const QString& path, const ProgressFn& progress) {
    const QFileInfo target(path);
    // The workbook is written beside the target and moved over it once complete.
    QTemporaryFile temp(
        target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX.xlsx").arg(target.fileName())));
    if (!temp.open())
        throw ExportError(failure(path, temp.errorString()));
    temp.setAutoRemove(false);
    const QString tempPath = temp.fileName();
    temp.close();
    bool moved = false;
    struct Cleanup {
        const QString& path;
        bool& moved;
        ~Cleanup() {
            if (!moved)
                QFile::remove(path);
        }
    } cleanup{tempPath, moved};

    const ExportTable& table = report.table;
    {
        Workbook book(QFile::encodeName(tempPath));
        if (!book.get())
            throw ExportError(failure(path, QStringLiteral("книга не создана")));
        lxw_worksheet* sheet = workbook_add_worksheet(book.get(), "Отчёт");
        lxw_format* date = workbook_add_format(book.get());
        format_set_num_format(date, "dd.mm.yyyy");
        lxw_format* dateTime = workbook_add_format(book.get());
        format_set_num_format(dateTime, "dd.mm.yyyy hh:mm");
        lxw_format* caption = workbook_add_format(book.get());
        format_set_bold(caption);
        format_set_text_wrap(caption);
        lxw_format* wrapped = workbook_add_format(book.get());
        format_set_text_wrap(wrapped);
        for (int c = 0; c < table.columns.size(); ++c)
            worksheet_set_column(sheet, c, c, std::max(4.0, table.columns[c].widthMm / kMmPerChar),
                                 nullptr);
        int row = 0;
        for (const QString& text : table.headerTexts)
            worksheet_write_string(sheet, row++, 0, text.toUtf8().constData(), nullptr);
        if (!table.headerTexts.isEmpty())
            ++row;
        bool anyCaption = false;
        for (const auto& column : table.columns)
            anyCaption = anyCaption || !column.caption.isEmpty();
        if (anyCaption) {
            for (int c = 0; c < table.columns.size(); ++c)
                worksheet_write_string(sheet, row, c, table.columns[c].caption.toUtf8().constData(),
                                       caption);
            ++row;
        }
        const int rows = static_cast<int>(table.rows.size());
        for (int r = 0; r < rows; ++r, ++row) {
            if (progress && r % 1000 == 0 && !progress(r, rows))
                throw Cancelled();
            const QVector<QVariant>& values = table.rows[r];
            for (int c = 0; c < values.size(); ++c)
                writeCell(sheet, row, c, values[c], date, dateTime, wrapped);
        }
        const lxw_error error = book.close();
        if (error != LXW_NO_ERROR)
            throw ExportError(failure(path, QString::fromUtf8(lxw_strerror(error))));
    }
    if (std::rename(QFile::encodeName(tempPath).constData(), QFile::encodeName(path).constData()) !=
        0)
        throw ExportError(failure(path, QString::fromLocal8Bit(std::strerror(errno))));
    moved = true;
}

} // namespace report
