#pragma once

#include <QMap>
#include <QPoint>
#include <QSize>
#include <QString>

#include <optional>

class IniFile;

// A grid column's stored layout: its place among the columns and its width (-1: hidden).
struct ColumnState {
    int position = 0;
    int width = 0;
    bool operator==(const ColumnState&) const = default;
};

// The layout a window keeps between runs. Everything is optional: a restore applies only what
// was stored, and the window keeps its designed layout for the rest.
struct FormState {
    static constexpr int kNormal = 0;
    static constexpr int kMaximized = 2;

    std::optional<int> windowState; // kNormal or kMaximized
    std::optional<QSize> size;
    std::optional<QPoint> position;
    QMap<QString, int> properties;                   // e.g. "Panel_Organizations.Height"
    QMap<QString, QMap<QString, ColumnState>> grids; // grid name -> field name -> layout

    bool operator==(const FormState&) const = default;
};

// One window's state in the settings file, under a path such as "MAIN_WINDOW\" that names its
// section. The section holds only this window's keys; other sections are never touched.
class FormStateStorage {
public:
    FormStateStorage(IniFile& ini, const QString& path);

    const QString& section() const { return m_section; }

    // Replaces the window's keys in one file replacement. The section always gets the storage's
    // version mark, so a window that keeps nothing else still leaves its section behind.
    // Throws IniError (the file stays as it was) or std::invalid_argument for names the key
    // scheme cannot carry.
    void save(const FormState& state);

    // Only the values found; missing or unreadable values are left out.
    FormState load() const;

private:
    IniFile& m_ini;
    QString m_section;
};
