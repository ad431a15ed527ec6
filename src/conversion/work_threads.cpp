#include "conversion/work_threads.h"

#include "buffer/variable.h"

#include <system_error>
#include <utility>

namespace rekoda {

WorkThreads::WorkThreads(std::size_t threads) {
  try {
    background_ = std::thread([this] { backgroundWorker(); });
    for (std::size_t i = 0; i < threads; ++i)
      loopThreads_.emplace_back([this] { loopWorker(); });
  } catch (const std::system_error &) {
    // Fewer threads than asked, or none: the caller does the rest.
  }
}

WorkThreads::~WorkThreads() {
  {
    // What the last task threw has no one left to hear it.
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return taskDone_; });
  }
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
  for (std::thread &t : loopThreads_)
    t.join();
  if (background_.joinable())
    background_.join();
}

void WorkThreads::forEach(std::size_t count, const std::function<void(std::size_t)> &step) {
  std::unique_lock lock(mutex_);
  step_ = &step;
  count_ = count;
  next_ = 0;
  finished_ = 0;
  ++loop_;
  wake_.notify_all();
  loopError_ = nullptr;
  // The caller takes steps too.
  while (next_ < count_) {
    const std::size_t i = next_++;
    lock.unlock();
    runStep(step, i);
    lock.lock();
    ++finished_;
  }
  // Never gone while a worker still holds the step.
  done_.wait(lock, [this] { return finished_ == count_; });
  step_ = nullptr;
  if (loopError_)
    std::rethrow_exception(std::exchange(loopError_, nullptr));
}

void WorkThreads::runStep(const std::function<void(std::size_t)> &step, std::size_t i) {
  try {
    step(i);
  } catch (...) {
    std::lock_guard lock(mutex_);
    if (!loopError_)
      loopError_ = std::current_exception();
  }
}

void WorkThreads::loopWorker() {
  std::unique_lock lock(mutex_);
  unsigned long long seen = 0;
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || (step_ && loop_ != seen && next_ < count_); });
    if (quit_) {
      ReleaseThreadBuffers();  // a step may have read files
      return;
    }
    seen = loop_;
    while (step_ && next_ < count_) {
      const std::size_t i = next_++;
      const auto *step = step_;
      lock.unlock();
      runStep(*step, i);
      lock.lock();
      if (++finished_ == count_)
        done_.notify_all();
    }
  }
}

void WorkThreads::runInBackground(std::function<void()> task) {
  wait();
  if (!background_.joinable()) {
    task();  // on the caller: what it throws goes to the caller
    return;
  }
  {
    std::lock_guard lock(mutex_);
    task_ = std::move(task);
    taskDone_ = false;
  }
  wake_.notify_all();
}

void WorkThreads::wait() {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return taskDone_; });
  if (taskError_)
    std::rethrow_exception(std::exchange(taskError_, nullptr));
}

void WorkThreads::backgroundWorker() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !taskDone_; });
    if (quit_ && taskDone_)
      return;
    std::function<void()> task = std::move(task_);
    lock.unlock();
    std::exception_ptr error;
    try {
      task();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    taskError_ = error;
    taskDone_ = true;
    done_.notify_all();
  }
}

}  // namespace rekoda
