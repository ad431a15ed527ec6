#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace rekoda {

// Threads kept for the whole of a run: starting one per group cost more
// than what it saved. Two uses: a task in the background (a group being
// put in place while the next is written), and a loop whose steps run at
// once (a group's syncs, each waiting on the disk).
class WorkThreads {
 public:
  // threads: how many, besides the caller, take steps of a loop.
  explicit WorkThreads(std::size_t threads);
  ~WorkThreads();
  WorkThreads(const WorkThreads &) = delete;
  WorkThreads &operator=(const WorkThreads &) = delete;

  // Runs step(i) for every i below count, on the pool and the calling
  // thread, and returns when all are done. Without threads (none could be
  // started) the caller runs them all. A step that throws ends no thread:
  // the others finish, and the first exception is thrown here then.
  void forEach(std::size_t count, const std::function<void(std::size_t)> &step);

  // Runs a task on the background thread; wait() returns once it is done.
  // Run on the caller when there is no background thread. A task that
  // throws ends no thread: wait() throws its exception.
  void runInBackground(std::function<void()> task);
  void wait();

 private:
  void loopWorker();
  void runStep(const std::function<void(std::size_t)> &step, std::size_t i);
  void backgroundWorker();

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  bool quit_ = false;
  // The loop in hand.
  const std::function<void(std::size_t)> *step_ = nullptr;
  std::size_t count_ = 0, next_ = 0, finished_ = 0;
  unsigned long long loop_ = 0;  // which loop, so a worker takes each once
  // The background task in hand.
  std::function<void()> task_;
  bool taskDone_ = true;
  std::exception_ptr loopError_, taskError_;  // the first a step or the task threw
  std::vector<std::thread> loopThreads_;
  std::thread background_;
};

}  // namespace rekoda
