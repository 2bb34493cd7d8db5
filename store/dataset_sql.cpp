#include "store/dataset_sql.h"

#include "fb/dataset.h"

namespace store {

void bind(fb::Dataset& dataset, const DatasetSql& sql) {
    dataset.setSelectSql(sql.select);
    dataset.setRefreshSql(sql.refresh);
    dataset.setInsertSql(sql.insert);
    dataset.setUpdateSql(sql.update);
    dataset.setDeleteSql(sql.remove);
    dataset.setGenerator(sql.generator);
}

} // namespace store
