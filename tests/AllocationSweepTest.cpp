#include "support/Sweep.h"

#include <gtest/gtest.h>

#include <cstdio>

// Every registered allocating operation, failed at each of its allocation
// points in both modes, must throw std::bad_alloc to the caller and leave its
// container exactly as it was, with nothing leaked.
TEST(AllocationFailure, EveryAllocationPointLeavesContainersIntact) {
  std::size_t points = 0;
  for (const SweepRow& row : sweepRows()) {
    SweepResult r = sweep(row);
    points += r.failurePoints;
    for (const std::string& fault : r.faults)
      ADD_FAILURE() << row.name << ": " << fault;
  }
  std::printf("allocation-failure sweep: %zu failure points over %zu "
              "operations\n",
              points, sweepRows().size());
  EXPECT_GT(points, 0u);
}
