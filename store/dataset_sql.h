#pragma once

#include <QString>

namespace fb {
class Dataset;
}

namespace store {

// The statements of one live list: what it selects, how it re-reads a row, how it writes, and
// the generator that gives new rows their key.
struct DatasetSql {
    QString select;
    QString refresh;
    QString insert;
    QString update;
    QString remove;
    QString generator;
};

// Gives the dataset its statements.
void bind(fb::Dataset& dataset, const DatasetSql& sql);

} // namespace store
