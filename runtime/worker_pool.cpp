#include "runtime/worker_pool.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tavelune {

WorkerPool::WorkerPool(int workers) {
  if (!kThreadsAvailable) return;
  for (int w = 1; w < workers; ++w) threads_.emplace_back(&WorkerPool::Serve, this, w);
}

WorkerPool::~WorkerPool() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  start_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

bool WorkerPool::TryRun(Job job, void* context) {
  const std::unique_lock run(run_, std::try_to_lock);
  if (!run.owns_lock()) return false;
  {
    const std::lock_guard lock(mutex_);
    job_ = job;
    context_ = context;
    busy_ = static_cast<int>(threads_.size());
    ++generation_;
  }
  start_.notify_all();
  job(context, 0);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [this] { return busy_ == 0; });
  return true;
}

void WorkerPool::Serve(int worker) {
  unsigned long seen = 0;
  for (;;) {
    Job job;
    void* context;
    {
      std::unique_lock lock(mutex_);
      start_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      job = job_;
      context = context_;
    }
    job(context, worker);
    {
      const std::lock_guard lock(mutex_);
      --busy_;
    }
    done_.notify_one();
  }
}

namespace {

int CountFromEnvironment() {
  const char* wanted = std::getenv("TAVELUNE_THREADS");
  if (!WorkerPool::kThreadsAvailable) return 1;
  if (wanted == nullptr || *wanted == '\0') {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores < unsigned(kMaxWorkers) ? cores : unsigned(kMaxWorkers));
  }
  char* end = nullptr;
  const long n = std::strtol(wanted, &end, 10);
  if (*end != '\0' || n < 1 || n > kMaxWorkers) {
    std::fprintf(stderr, "tavelune: TAVELUNE_THREADS=%s is not a number of threads from 1 to %d\n", wanted,
                 kMaxWorkers);
    std::exit(2);
  }
  return static_cast<int>(n);
}

}  // namespace

int WorkerCount() {
  static const int count = CountFromEnvironment();
  return count;
}

WorkerPool& ProcessWorkers() {
  static WorkerPool pool(WorkerCount());
  return pool;
}

}  // namespace tavelune
