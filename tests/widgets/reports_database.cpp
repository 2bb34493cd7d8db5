#include "grid_fixture.h"

TestDatabase* ReportsDatabase::s_db = nullptr;
