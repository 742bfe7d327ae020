#include "analysis/ordered_jobs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace marvolen {
namespace {

// Work of uneven length, so that later jobs often finish first.
std::int64_t Busy(std::int64_t job) {
  std::int64_t x = job;
  for (std::int64_t k = 0; k < (job % 7) * 20000; ++k) x = (x * 6364136223846793005 + 1) >> 1;
  return x;
}

TEST(RunJobsInOrderTest, ResultsArriveInJobOrderAndWithinTheWindow) {
  for (const int workers : {1, 2, 4}) {
    std::atomic<std::int64_t> begun{0};
    std::int64_t taken = 0, mostAhead = 0;
    std::vector<std::int64_t> order;
    RunJobsInOrder<std::string>(
        500, workers, 3,
        [&](std::int64_t job, int worker) {
          EXPECT_GE(worker, 0);
          EXPECT_LT(worker, workers);
          ++begun;
          Busy(job);
          return std::to_string(job);
        },
        [&](std::int64_t job, std::string result) {
          EXPECT_EQ(result, std::to_string(job));
          order.push_back(job);
          ++taken;
          mostAhead = std::max(mostAhead, begun.load() - taken);
        });
    ASSERT_EQ(order.size(), 500u);
    for (std::int64_t k = 0; k < 500; ++k) ASSERT_EQ(order[k], k);
    // Jobs begun but not taken: never more than the window (of at least
    // one per worker).
    EXPECT_LE(mostAhead, std::max(3, workers)) << workers << " workers";
  }
}

TEST(RunJobsInOrderTest, NoJobsNothingTaken) {
  int calls = 0;
  RunJobsInOrder<int>(
      0, 2, 4, [&](std::int64_t, int) { return ++calls; }, [&](std::int64_t, int) { ++calls; });
  EXPECT_EQ(calls, 0);
}

TEST(RunJobsInOrderTest, AFailureStopsTheRunAndReachesTheCaller) {
  for (const int workers : {1, 2, 3}) {
    std::vector<std::int64_t> order;
    // In a job.
    EXPECT_THROW(RunJobsInOrder<std::int64_t>(
                     1000, workers, 4,
                     [](std::int64_t job, int) {
                       if (job == 40) throw std::bad_alloc();
                       return job;
                     },
                     [&](std::int64_t job, std::int64_t) { order.push_back(job); }),
                 std::bad_alloc);
    // Nothing after the failed job is taken.
    ASSERT_LE(order.size(), 40u);
    for (std::size_t k = 0; k < order.size(); ++k) EXPECT_EQ(order[k], static_cast<int>(k));
    // In taking a result: the workers stop too.
    std::atomic<int> begun{0};
    EXPECT_THROW(RunJobsInOrder<std::int64_t>(
                     100000, workers, 4,
                     [&](std::int64_t job, int) {
                       ++begun;
                       return job;
                     },
                     [](std::int64_t job, std::int64_t) {
                       if (job == 10) throw std::runtime_error("full");
                     }),
                 std::runtime_error);
    EXPECT_LE(begun.load(), 11 + std::max(4, workers));
  }
}

}  // namespace
}  // namespace marvolen
