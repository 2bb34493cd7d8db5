#include "core/form_state.h"

#include "core/ini_file.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <stdexcept>
#include <utility>

// Key scheme of a window's section:
//   Version=1
//   WindowState=0|2, Width=, Height=, Left=, Top=
//   Prop.<property>=<int>
//   Grid.<grid>.<field>.Position=, Grid.<grid>.<field>.Width=
namespace {

constexpr int kVersion = 1;

const QString kVersionKey = QStringLiteral("Version");
const QString kWindowStateKey = QStringLiteral("WindowState");
const QString kWidthKey = QStringLiteral("Width");
const QString kHeightKey = QStringLiteral("Height");
const QString kLeftKey = QStringLiteral("Left");
const QString kTopKey = QStringLiteral("Top");
const QString kPropPrefix = QStringLiteral("Prop.");
const QString kGridPrefix = QStringLiteral("Grid.");
const QString kPositionSuffix = QStringLiteral(".Position");
const QString kColumnWidthSuffix = QStringLiteral(".Width");

bool is(const QString& key, const QString& name) {
    return key.compare(name, Qt::CaseInsensitive) == 0;
}

std::optional<int> toInt(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString sectionOf(const QString& path) {
    QString section = path;
    while (section.endsWith(u'\\'))
        section.chop(1);
    if (section.isEmpty())
        throw std::invalid_argument("FormStateStorage: the path names no section");
    return section;
}

struct PartialColumn {
    std::optional<int> position;
    std::optional<int> width;
};

} // namespace

FormStateStorage::FormStateStorage(IniFile& ini, const QString& path)
    : m_ini(ini), m_section(sectionOf(path)) {}

void FormStateStorage::save(const FormState& state) {
    QList<std::pair<QString, int>> values;
    values.append({kVersionKey, kVersion});
    if (state.windowState)
        values.append({kWindowStateKey, *state.windowState});
    if (state.size) {
        values.append({kWidthKey, state.size->width()});
        values.append({kHeightKey, state.size->height()});
    }
    if (state.position) {
        values.append({kLeftKey, state.position->x()});
        values.append({kTopKey, state.position->y()});
    }
    for (auto it = state.properties.cbegin(); it != state.properties.cend(); ++it) {
        if (it.key().isEmpty())
            throw std::invalid_argument("FormStateStorage: empty property name");
        values.append({kPropPrefix + it.key(), it.value()});
    }
    for (auto grid = state.grids.cbegin(); grid != state.grids.cend(); ++grid) {
        // The first dot after the prefix ends the grid name.
        if (grid.key().isEmpty() || grid.key().contains(u'.'))
            throw std::invalid_argument("FormStateStorage: a grid name must be non-empty and "
                                        "have no dot");
        for (auto column = grid->cbegin(); column != grid->cend(); ++column) {
            if (column.key().isEmpty())
                throw std::invalid_argument("FormStateStorage: empty field name");
            const QString stem = kGridPrefix + grid.key() + u'.' + column.key();
            values.append({stem + kPositionSuffix, column->position});
            values.append({stem + kColumnWidthSuffix, column->width});
        }
    }

    IniFile::Batch batch(m_ini);
    // Keys of an earlier save that this state no longer has (a column gone, no placement) go,
    // so that a restore does not bring them back.
    for (const QString& key : m_ini.keys(m_section)) {
        const bool kept = std::any_of(values.cbegin(), values.cend(),
                                      [&](const auto& value) { return is(value.first, key); });
        if (!kept)
            m_ini.eraseKey(m_section, key);
    }
    for (const auto& [key, value] : values)
        m_ini.writeInteger(m_section, key, value);
    batch.commit();
}

FormState FormStateStorage::load() const {
    FormState state;
    std::optional<int> width, height, left, top;
    QMap<QString, QMap<QString, PartialColumn>> columns;

    for (const auto& [key, text] : m_ini.readSection(m_section)) {
        const std::optional<int> value = toInt(text);
        if (!value)
            continue;
        if (is(key, kWindowStateKey)) {
            if (*value == FormState::kNormal || *value == FormState::kMaximized)
                state.windowState = *value;
        } else if (is(key, kWidthKey)) {
            width = value;
        } else if (is(key, kHeightKey)) {
            height = value;
        } else if (is(key, kLeftKey)) {
            left = value;
        } else if (is(key, kTopKey)) {
            top = value;
        } else if (key.startsWith(kPropPrefix, Qt::CaseInsensitive)) {
            const QString name = key.mid(kPropPrefix.size());
            if (!name.isEmpty())
                state.properties.insert(name, *value);
        } else if (key.startsWith(kGridPrefix, Qt::CaseInsensitive)) {
            const bool isPosition = key.endsWith(kPositionSuffix, Qt::CaseInsensitive);
            const bool isWidth = key.endsWith(kColumnWidthSuffix, Qt::CaseInsensitive);
            if (!isPosition && !isWidth)
                continue;
            const QString stem = key.mid(
                kGridPrefix.size(), key.size() - kGridPrefix.size() -
                                        (isPosition ? kPositionSuffix : kColumnWidthSuffix).size());
            const qsizetype dot = stem.indexOf(u'.');
            if (dot <= 0 || dot == stem.size() - 1)
                continue;
            PartialColumn& column = columns[stem.left(dot)][stem.mid(dot + 1)];
            if (isPosition && *value >= 0)
                column.position = value;
            if (isWidth && *value >= -1)
                column.width = value;
        }
    }

    if (width && height && *width > 0 && *height > 0)
        state.size = QSize(*width, *height);
    if (left && top)
        state.position = QPoint(*left, *top);
    for (auto grid = columns.cbegin(); grid != columns.cend(); ++grid) {
        for (auto column = grid->cbegin(); column != grid->cend(); ++column) {
            if (column->position && column->width)
                state.grids[grid.key()].insert(column.key(), {*column->position, *column->width});
        }
    }
    return state;
}
