#include "bench/workloads.h"

#include <gtest/gtest.h>

TEST(WorkloadsTest, Placeholder) {}
