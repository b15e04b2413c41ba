#include "content/LevelObjectTables.h"

namespace {
LevelObjectTables* g_tables = nullptr;
}

void SetLevelObjectTables(LevelObjectTables* tables) { g_tables = tables; }
LevelObjectTables* GetLevelObjectTables() { return g_tables; }
