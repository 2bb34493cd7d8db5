#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>
#include <utility>

// A failure to read or write the settings file; message() is ready to show to the user.
class IniError : public std::runtime_error {
public:
    explicit IniError(const QString& message);
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// One INI file in the Windows-1251 code page, as the Windows profile functions see it:
// "[section]" headers, "key=value" lines, ";" and "#" comments. Section and key names compare
// without regard to letter case and keep the spelling they were written with.
//
// Nothing is cached: every read parses the file as it is on disk now, and every write parses it
// again, changes only the keys it was asked to change and replaces the file atomically. So two
// writers of different keys never undo each other's work. A missing file reads as empty; lines
// that mean nothing (garbage, keys outside a section) are ignored but kept byte for byte.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    // Reads throw IniError only when the file exists but cannot be read.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = {}) const;
    // A value that is not a decimal int gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool hasKey(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    // Keys of the section in file order, each once (its first spelling).
    QStringList keys(const QString& section) const;
    QStringList sections() const;
    // The section's keys with their values in one read of the file, first occurrence of each.
    QList<std::pair<QString, QString>> readSection(const QString& section) const;

    // Outside a batch each write replaces the file at once. Inside a batch the writes are
    // collected and applied together by endBatch(). A value the code page cannot hold, or a
    // failure to write the file, throws IniError and leaves the file as it was.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void eraseKey(const QString& section, const QString& key);
    void eraseSection(const QString& section);

    // Batches do not nest. endBatch() writes everything collected in one file replacement (and
    // ends the batch even when that throws); cancelBatch() drops it.
    void beginBatch();
    void endBatch();
    void cancelBatch();
    bool inBatch() const { return m_inBatch; }

    // Scoped batch: commit() writes; leaving the scope without commit() drops the writes, so a
    // failure halfway through a window's state leaves the file as it was.
    class Batch {
    public:
        explicit Batch(IniFile& ini);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        void commit();

    private:
        IniFile& m_ini;
        bool m_open = true;
    };

private:
    struct Change {
        enum class Kind { Write, EraseKey, EraseSection };
        Kind kind;
        QString section;
        QString key;
        QString value;
    };
    class Document;

    Document current() const;
    void apply(Change change);

    QString m_path;
    bool m_inBatch = false;
    QList<Change> m_pending;
};
