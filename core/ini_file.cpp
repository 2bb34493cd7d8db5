#include "core/ini_file.h"

#include "core/win1251.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The profile functions of Windows trim blanks and tabs around names and values; nothing else
// (a no-break space is part of the value).
bool isIniSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == u'\r';
}

QString trimIni(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isIniSpace(text.at(begin)))
        ++begin;
    while (end > begin && isIniSpace(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool isQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool isQuoted(const QString& text) {
    return text.size() >= 2 && isQuote(text.front()) && text.back() == text.front();
}

// Windows drops one pair of matching quotes around a value.
QString unquote(const QString& value) {
    return isQuoted(value) ? value.mid(1, value.size() - 2) : value;
}

// The reverse of trimming and unquoting, so that every value reads back as it was written.
QString quoteIfNeeded(const QString& value) {
    if (value.isEmpty())
        return value;
    if (isIniSpace(value.front()) || isIniSpace(value.back()) || isQuoted(value))
        return u'"' + value + u'"';
    return value;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

QByteArray encode(const QString& text, const QString& path) {
    QString bad;
    if (!win1251::fits(text, &bad))
        throw IniError(
            QStringLiteral("Текст «%1» нельзя записать в файл настроек «%2»: символ «%3» "
                           "не входит в кодировку Windows-1251.")
                .arg(text.left(60), path, bad));
    return *win1251::encode(text);
}

} // namespace

IniError::IniError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

// The file as a list of lines. Each line keeps its bytes as read, so lines that are not
// touched are written back exactly, whatever they hold.
class IniFile::Document {
public:
    static Document load(const QString& path) {
        Document doc;
        doc.m_path = path;
        QFile file(path);
        if (!file.exists())
            return doc;
        if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
            if (!QFile::exists(path))
                return doc; // removed meanwhile: as good as missing
            throw IniError(QStringLiteral("Не удалось прочитать файл настроек «%1»: %2")
                               .arg(path, file.errorString()));
        }
        doc.m_existed = true;
        doc.m_original = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw IniError(QStringLiteral("Не удалось прочитать файл настроек «%1»: %2")
                               .arg(path, file.errorString()));
        doc.parse();
        return doc;
    }

    QString value(const QString& section, const QString& key, bool* found) const {
        const qsizetype i = findEntry(section, key);
        *found = i >= 0;
        return i >= 0 ? m_lines.at(i).value : QString();
    }

    bool hasSection(const QString& section) const {
        for (const Line& line : m_lines) {
            if (line.kind == Line::Section && sameName(line.name, section))
                return true;
        }
        return false;
    }

    QStringList sections() const {
        QStringList names;
        for (const Line& line : m_lines) {
            if (line.kind == Line::Section && !names.contains(line.name, Qt::CaseInsensitive))
                names.append(line.name);
        }
        return names;
    }

    QList<std::pair<QString, QString>> entries(const QString& section) const {
        QList<std::pair<QString, QString>> result;
        QStringList seen;
        forEachEntry(section, [&](qsizetype i) {
            const Line& line = m_lines.at(i);
            if (seen.contains(line.name, Qt::CaseInsensitive))
                return;
            seen.append(line.name);
            result.append({line.name, line.value});
        });
        return result;
    }

    void apply(const Change& change) {
        switch (change.kind) {
        case Change::Kind::Write:
            write(change.section, change.key, change.value);
            break;
        case Change::Kind::EraseKey:
            eraseKey(change.section, change.key);
            break;
        case Change::Kind::EraseSection:
            eraseSection(change.section);
            break;
        }
    }

    // Replaces the file unless nothing changed. QSaveFile writes a temporary file beside it,
    // syncs it to disk and renames it over the original, so readers see the old file or the
    // new one, never half of it.
    void save() const {
        QByteArray bytes;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            bytes += m_lines.at(i).raw;
            if (i + 1 < m_lines.size() && !m_lines.at(i).raw.endsWith('\n'))
                bytes += eol();
        }
        if (bytes == m_original && (m_existed || bytes.isEmpty()))
            return;
        QSaveFile file(m_path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.commit()) {
            throw IniError(QStringLiteral("Не удалось записать файл настроек «%1»: %2")
                               .arg(m_path, file.errorString()));
        }
    }

private:
    struct Line {
        enum Kind { Other, Section, Entry };
        QByteArray raw; // as in the file, line ending included
        Kind kind = Other;
        QString name; // section name or key
        QString value;
    };

    void parse() {
        qsizetype start = 0;
        while (start < m_original.size()) {
            qsizetype end = m_original.indexOf('\n', start);
            end = end < 0 ? m_original.size() : end + 1;
            m_lines.append(parseLine(m_original.mid(start, end - start)));
            start = end;
        }
        m_eol = m_original.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    }

    static Line parseLine(const QByteArray& raw) {
        Line line;
        line.raw = raw;
        QByteArray body = raw;
        while (body.endsWith('\n') || body.endsWith('\r'))
            body.chop(1);
        const QString text =
            trimIni(win1251::decode(body.constData(), static_cast<int>(body.size())));
        if (text.isEmpty() || text.front() == u';' || text.front() == u'#')
            return line;
        if (text.front() == u'[') {
            const qsizetype close = text.indexOf(u']');
            if (close > 0) {
                line.kind = Line::Section;
                line.name = trimIni(text.mid(1, close - 1));
            }
            return line;
        }
        const qsizetype eq = text.indexOf(u'=');
        if (eq > 0) {
            line.kind = Line::Entry;
            line.name = trimIni(text.left(eq));
            line.value = unquote(trimIni(text.mid(eq + 1)));
        }
        return line;
    }

    // Calls fn with the index of every entry of the section, in every block of that name.
    template <typename Fn> void forEachEntry(const QString& section, Fn fn) const {
        bool inside = false;
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            const Line& line = m_lines.at(i);
            if (line.kind == Line::Section)
                inside = sameName(line.name, section);
            else if (inside && line.kind == Line::Entry)
                fn(i);
        }
    }

    qsizetype findEntry(const QString& section, const QString& key) const {
        qsizetype found = -1;
        forEachEntry(section, [&](qsizetype i) {
            if (found < 0 && sameName(m_lines.at(i).name, key))
                found = i;
        });
        return found;
    }

    QByteArray eol() const { return m_eol; }

    Line makeLine(Line::Kind kind, const QString& name, const QString& value = {}) const {
        Line line;
        line.kind = kind;
        line.name = name;
        line.value = value;
        const QString text =
            kind == Line::Section ? u'[' + name + u']' : name + u'=' + quoteIfNeeded(value);
        line.raw = encode(text, m_path) + eol();
        return line;
    }

    void write(const QString& section, const QString& key, const QString& value) {
        const qsizetype existing = findEntry(section, key);
        if (existing >= 0) {
            // Keep the key's spelling and the line's own ending.
            Line& line = m_lines[existing];
            const QByteArray ending = line.raw.endsWith("\r\n") ? QByteArray("\r\n")
                                      : line.raw.endsWith('\n') ? QByteArray("\n")
                                                                : QByteArray();
            Line updated = makeLine(Line::Entry, line.name, value);
            updated.raw.chop(eol().size());
            updated.raw += ending;
            line = updated;
            return;
        }
        // A new key goes right after the last key of the section's first block.
        qsizetype header = -1;
        for (qsizetype i = 0; i < m_lines.size() && header < 0; ++i) {
            if (m_lines.at(i).kind == Line::Section && sameName(m_lines.at(i).name, section))
                header = i;
        }
        if (header >= 0) {
            qsizetype insertAt = header + 1;
            for (qsizetype i = header + 1;
                 i < m_lines.size() && m_lines.at(i).kind != Line::Section; ++i) {
                if (m_lines.at(i).kind == Line::Entry)
                    insertAt = i + 1;
            }
            Line line = makeLine(Line::Entry, key, value);
            if (!m_lines.at(insertAt - 1).raw.endsWith('\n'))
                m_lines[insertAt - 1].raw += eol();
            m_lines.insert(insertAt, line);
            return;
        }
        // A new section goes at the end, after a blank line.
        if (!m_lines.isEmpty() && !m_lines.last().raw.trimmed().isEmpty()) {
            Line blank;
            blank.raw = eol();
            if (!m_lines.last().raw.endsWith('\n'))
                m_lines.last().raw += eol();
            m_lines.append(blank);
        }
        m_lines.append(makeLine(Line::Section, section));
        m_lines.append(makeLine(Line::Entry, key, value));
    }

    void eraseKey(const QString& section, const QString& key) {
        QList<qsizetype> doomed;
        forEachEntry(section, [&](qsizetype i) {
            if (sameName(m_lines.at(i).name, key))
                doomed.append(i);
        });
        for (qsizetype k = doomed.size() - 1; k >= 0; --k)
            m_lines.removeAt(doomed.at(k));
    }

    // Drops every block of the section: its header and all lines up to the next header.
    void eraseSection(const QString& section) {
        QList<Line> kept;
        bool inside = false;
        for (const Line& line : std::as_const(m_lines)) {
            if (line.kind == Line::Section)
                inside = sameName(line.name, section);
            if (!inside)
                kept.append(line);
        }
        m_lines = kept;
    }

    QString m_path;
    bool m_existed = false;
    QByteArray m_original;
    QByteArray m_eol = "\n";
    QList<Line> m_lines;
};

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

// The file as it is on disk, with the writes of an open batch applied, so that a batch's own
// writes read back before it is written.
IniFile::Document IniFile::current() const {
    Document doc = Document::load(m_path);
    for (const Change& change : m_pending)
        doc.apply(change);
    return doc;
}

namespace {

void checkSection(const QString& section) {
    if (section.isEmpty() || trimIni(section) != section || section.contains(u']') ||
        hasLineBreak(section))
        throw IniError(
            QStringLiteral("Недопустимое имя раздела «%1» в файле настроек.").arg(section));
}

void checkKey(const QString& section, const QString& key) {
    if (key.isEmpty() || trimIni(key) != key || key.contains(u'=') || hasLineBreak(key) ||
        key.front() == u'[' || key.front() == u';' || key.front() == u'#')
        throw IniError(QStringLiteral("Недопустимое имя ключа «%1» в разделе [%2] файла настроек.")
                           .arg(key, section));
}

} // namespace

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const Document doc = current();
    bool found = false;
    const QString value = doc.value(section, key, &found);
    return found ? value : defaultValue;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    const QString text = readString(section, key);
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    const Document doc = current();
    bool found = false;
    doc.value(section, key, &found);
    return found;
}

bool IniFile::hasSection(const QString& section) const {
    const Document doc = current();
    return doc.hasSection(section);
}

QStringList IniFile::keys(const QString& section) const {
    QStringList names;
    for (const auto& entry : readSection(section))
        names.append(entry.first);
    return names;
}

QStringList IniFile::sections() const {
    const Document doc = current();
    return doc.sections();
}

QList<std::pair<QString, QString>> IniFile::readSection(const QString& section) const {
    const Document doc = current();
    return doc.entries(section);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    checkSection(section);
    checkKey(section, key);
    if (hasLineBreak(value))
        throw IniError(QStringLiteral("Значение ключа %1 в разделе [%2] файла настроек не может "
                                      "содержать перевод строки.")
                           .arg(key, section));
    // Refuse text the code page cannot hold now, not only when the batch is written.
    encode(section, m_path);
    encode(key, m_path);
    encode(value, m_path);
    apply({Change::Kind::Write, section, key, value});
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::eraseKey(const QString& section, const QString& key) {
    apply({Change::Kind::EraseKey, section, key, {}});
}

void IniFile::eraseSection(const QString& section) {
    apply({Change::Kind::EraseSection, section, {}, {}});
}

void IniFile::apply(Change change) {
    if (m_inBatch) {
        m_pending.append(std::move(change));
        return;
    }
    // Read the file again right before writing it, so that what others wrote meanwhile stays.
    Document doc = Document::load(m_path);
    doc.apply(change);
    doc.save();
}

void IniFile::beginBatch() {
    if (m_inBatch)
        throw std::logic_error("IniFile: batches do not nest");
    m_inBatch = true;
}

void IniFile::endBatch() {
    if (!m_inBatch)
        throw std::logic_error("IniFile: endBatch without beginBatch");
    const QList<Change> changes = std::exchange(m_pending, {});
    m_inBatch = false;
    Document doc = Document::load(m_path);
    for (const Change& change : changes)
        doc.apply(change);
    doc.save();
}

void IniFile::cancelBatch() {
    m_pending.clear();
    m_inBatch = false;
}

IniFile::Batch::Batch(IniFile& ini) : m_ini(ini) {
    m_ini.beginBatch();
}

IniFile::Batch::~Batch() {
    if (m_open)
        m_ini.cancelBatch();
}

void IniFile::Batch::commit() {
    m_open = false;
    m_ini.endBatch();
}
