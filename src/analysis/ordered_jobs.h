// Numbered jobs done on several threads, their results taken in job order on
// the calling thread.
//
// Workers take the jobs in increasing order; a job is begun only while fewer
// than `window` jobs are begun and not yet taken, so no more than `window`
// results are held at a time however fast the workers are. Everything the
// caller sees (the results, its own progress reports, its messages) happens
// on the calling thread.
#ifndef MARVOLEN_ANALYSIS_ORDERED_JOBS_H_
#define MARVOLEN_ANALYSIS_ORDERED_JOBS_H_

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace marvolen {

// Compute work(job, worker) for job = 0 .. jobCount - 1 on `workers` threads
// (worker = 0 .. workers - 1; with one worker, on the calling thread) and
// pass every result to take(job, result) on the calling thread, in job order.
// An exception from `work` or `take` stops the run: no further job begins,
// every thread ends, and the first exception is rethrown to the caller.
template <typename Result, typename Work, typename Take>
void RunJobsInOrder(std::int64_t jobCount, int workers, int window, Work work, Take take) {
  if (workers <= 1) {
    for (std::int64_t job = 0; job < jobCount; ++job) take(job, work(job, 0));
    return;
  }
  if (window < workers) window = workers;

  std::mutex mutex;
  std::condition_variable workerWake;                // a job may begin, or the run stops
  std::condition_variable takerWake;                 // a result is there, or the run stops
  std::int64_t next = 0;                             // the next job to begin
  std::int64_t taken = 0;                            // the jobs taken so far
  std::vector<std::optional<Result>> slots(window);  // by job % window
  std::exception_ptr failure;
  bool stop = false;

  auto fail = [&](std::exception_ptr e) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!failure) failure = e;
    stop = true;
    workerWake.notify_all();
    takerWake.notify_all();
  };
  auto worker = [&](int w) {
    for (;;) {
      std::int64_t job;
      {
        std::unique_lock<std::mutex> lock(mutex);
        workerWake.wait(lock, [&] { return stop || next >= jobCount || next < taken + window; });
        if (stop || next >= jobCount) return;
        job = next++;
      }
      try {
        Result result = work(job, w);
        std::lock_guard<std::mutex> lock(mutex);
        slots[job % window].emplace(std::move(result));
        takerWake.notify_all();
      } catch (...) {
        fail(std::current_exception());
        return;
      }
    }
  };

  // Stops and joins the threads however the calling thread leaves.
  struct Threads {
    std::vector<std::thread> threads;
    std::function<void()> stopAll;
    ~Threads() {
      stopAll();
      for (std::thread& t : threads) t.join();
    }
  } threads;
  threads.stopAll = [&] {
    std::lock_guard<std::mutex> lock(mutex);
    stop = true;
    workerWake.notify_all();
  };
  // With fewer threads than asked for (the system refuses more), the jobs
  // go to those there are; with none, to the calling thread.
  for (int w = 0; w < workers; ++w) {
    try {
      threads.threads.emplace_back(worker, w);
    } catch (const std::system_error&) {
      break;
    }
  }
  if (threads.threads.empty()) {
    for (std::int64_t job = 0; job < jobCount; ++job) take(job, work(job, 0));
    return;
  }

  for (std::int64_t job = 0; job < jobCount; ++job) {
    std::optional<Result> result;
    {
      std::unique_lock<std::mutex> lock(mutex);
      takerWake.wait(lock, [&] { return stop || slots[job % window].has_value(); });
      if (stop) break;
      result.swap(slots[job % window]);
      taken = job + 1;
      workerWake.notify_all();
    }
    try {
      take(job, std::move(*result));
    } catch (...) {
      fail(std::current_exception());
      break;
    }
  }
  threads.stopAll();
  for (std::thread& t : threads.threads) t.join();
  threads.threads.clear();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_ORDERED_JOBS_H_
