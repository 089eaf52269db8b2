#include "routes/SpeedTables.h"
#include <gtest/gtest.h>
TEST(X, Y) {}
