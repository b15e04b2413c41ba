#include <gtest/gtest.h>
#include "engine/text/DXLEdit.h"
TEST(Placeholder, Builds) { SUCCEED(); }
