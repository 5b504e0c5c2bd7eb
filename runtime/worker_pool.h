#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace tavelune {

// Threads started once and kept, for one piece of work at a time split across the cores:
// the caller's thread is worker 0, and Size() - 1 threads of the pool are the others.
class WorkerPool {
 public:
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  // A WebAssembly build without threads: the caller's thread does all the work.
  static constexpr bool kThreadsAvailable = false;
#else
  static constexpr bool kThreadsAvailable = true;
#endif
  using Job = void (*)(void* context, int worker);

  explicit WorkerPool(int workers);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  int Size() const { return static_cast<int>(threads_.size()) + 1; }
  // Runs job(context, w) for every worker w, and returns once all have. Allocates nothing.
  // Where another run is under way (a caller on another thread), it returns false at once
  // and nothing runs.
  bool TryRun(Job job, void* context);

 private:
  void Serve(int worker);

  std::mutex run_;  // one run at a time
  std::mutex mutex_;
  std::condition_variable start_, done_;
  Job job_ = nullptr;
  void* context_ = nullptr;
  unsigned long generation_ = 0;
  int busy_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// How many threads paint a figure: TAVELUNE_THREADS where it is set (1 is a single thread),
// else the processor's cores, at most kMaxWorkers. A value that is not a whole number from
// 1 to kMaxWorkers stops the program with a message and status 2.
int WorkerCount();
inline constexpr int kMaxWorkers = 16;

// The process's pool, of WorkerCount() workers, started on first use.
WorkerPool& ProcessWorkers();

}  // namespace tavelune
