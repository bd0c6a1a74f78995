#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <system_error>
#include <thread>
#include <vector>

namespace tavora {

// The rows of a comparison of every pair of n items (row i holds the pairs (i, j) with
// j > i), handed out one at a time to the calling thread and its helpers, with the pairs
// compared so far.
class TPairWork {
 public:
  using TProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

  explicit TPairWork(std::size_t n) : n_(n), total_(n < 2 ? 0 : std::uint64_t{n} * (n - 1) / 2) {}

  // The value of every row, row(i, scratch) computed on Threads threads (the calling one and
  // helpers), each with a TScratch of its own. Progress hears (0, total) first, then the
  // pairs done about every Every on the calling thread, then (total, total); an exception
  // from row or Progress stops every thread and is rethrown once all have ended.
  template <typename TScratch, typename TRow>
  static std::vector<double> Rows(std::size_t n, unsigned Threads, const TRow& row,
                                  const TProgress& Progress, std::chrono::milliseconds Every) {
    std::vector<double> rows(n);
    TPairWork work(n);
    auto compute = [&](bool reports) {
      TScratch scratch;
      auto last = std::chrono::steady_clock::now();
      if (reports && Progress) Progress(0, work.Total());
      for (std::size_t i; !work.Stopped() && (i = work.NextRow()) < n;) {
        rows[i] = row(i, scratch);
        work.RowDone(i);
        if (reports && Progress && std::chrono::steady_clock::now() - last >= Every) {
          Progress(work.Done(), work.Total());
          last = std::chrono::steady_clock::now();
        }
      }
    };
    work.Run(Threads > 1 ? Threads - 1 : 0, compute);
    if (Progress) Progress(work.Total(), work.Total());
    return rows;
  }

 private:
  std::size_t NextRow() { return next_.fetch_add(1, std::memory_order_relaxed); }
  void RowDone(std::size_t i) { done_.fetch_add(n_ - 1 - i, std::memory_order_relaxed); }
  [[nodiscard]] bool Stopped() const { return stop_.load(std::memory_order_relaxed); }
  [[nodiscard]] std::uint64_t Done() const { return done_.load(std::memory_order_relaxed); }
  [[nodiscard]] std::uint64_t Total() const { return total_; }

  // Runs compute(false) on helper threads and compute(true) on the calling thread; an
  // exception stops the others and is rethrown once every thread has ended (the calling
  // thread's first).
  template <typename TCompute>
  void Run(unsigned helpers, TCompute& compute) {
    std::vector<std::thread> threads;
    std::vector<std::exception_ptr> errors(helpers + 1);
    auto guarded = [&](std::size_t k) {
      try {
        compute(k == 0);
      } catch (...) {
        errors[k] = std::current_exception();
        stop_ = true;
      }
    };
    try {
      for (unsigned t = 1; t <= helpers; ++t) threads.emplace_back(guarded, t);
    } catch (const std::system_error&) {
      // Fewer threads than asked for: the calling thread does the rest.
    }
    guarded(0);
    for (std::thread& thread : threads) thread.join();
    for (const std::exception_ptr& error : errors)
      if (error) std::rethrow_exception(error);
  }

  std::size_t n_;
  std::uint64_t total_;
  std::atomic<std::size_t> next_{0};
  std::atomic<std::uint64_t> done_{0};
  std::atomic<bool> stop_{false};
};

}  // namespace tavora
