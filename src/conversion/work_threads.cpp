#include "conversion/work_threads.h"

#include <system_error>

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
  wait();
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
  // The caller takes steps too.
  while (next_ < count_) {
    const std::size_t i = next_++;
    lock.unlock();
    step(i);
    lock.lock();
    ++finished_;
  }
  done_.wait(lock, [this] { return finished_ == count_; });
  step_ = nullptr;
}

void WorkThreads::loopWorker() {
  std::unique_lock lock(mutex_);
  unsigned long long seen = 0;
  for (;;) {
    wake_.wait(lock, [&] { return quit_ || (step_ && loop_ != seen && next_ < count_); });
    if (quit_)
      return;
    seen = loop_;
    while (step_ && next_ < count_) {
      const std::size_t i = next_++;
      const auto *step = step_;
      lock.unlock();
      (*step)(i);
      lock.lock();
      if (++finished_ == count_)
        done_.notify_all();
    }
  }
}

void WorkThreads::runInBackground(std::function<void()> task) {
  wait();
  if (!background_.joinable()) {
    task();
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
}

void WorkThreads::backgroundWorker() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !taskDone_; });
    if (quit_ && taskDone_)
      return;
    std::function<void()> task = std::move(task_);
    lock.unlock();
    task();
    lock.lock();
    taskDone_ = true;
    done_.notify_all();
  }
}

}  // namespace rekoda
