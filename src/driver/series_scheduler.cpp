#include "driver/series_scheduler.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/termination_signals.h"

namespace ringsmooth {
namespace {

// Batches of `width` series computed ahead by worker threads into a ring of slots, and written
// in order by the calling thread. Batch b goes to slot b % slots; a worker takes batch b only
// once batch b - slots has been written, so a slot is never overwritten before it is written
// out. One slot more than workers lets the writer work on one while every worker computes.
class ParallelPipeline {
 public:
  ParallelPipeline(const SeriesSource& source, SeriesWriter& writer, int width)
      : source_(source),
        writer_(writer),
        width_(width),
        batches_((source.table.seriesCount + width - 1) / width),
        slots_(std::min(batches_, source.settings.jobs + 1)),
        ready_(static_cast<std::size_t>(slots_), -1) {
    for (int i = 0; i < slots_; ++i) slot_.push_back(makeSeriesBatch(source.outputs, width));
  }

  void run() {
    const int workers = std::min(source_.settings.jobs, batches_);
    // Every work area is made before the first thread starts.
    for (int w = 0; w < workers; ++w) {
      computers_.push_back(std::make_unique_for_overwrite<SeriesComputer>());
    }
    {
      // The workers are started with the termination signals blocked, and keep them so.
      const TerminationSignalsBlocked blocked;
      for (const auto& computer : computers_) {
        threads_.emplace_back([this, area = computer.get()] { work(*area); });
      }
    }
    try {
      writeInOrder();
    } catch (...) {
      finish();
      throw;
    }
    finish();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  // The next batch for a worker, once its slot is free; -1 when there is none or the run stops.
  int takeBatch() {
    std::unique_lock<std::mutex> lock(mutex_);
    slotFree_.wait(lock, [&] { return stop_ || next_ >= batches_ || next_ - written_ < slots_; });
    if (stop_ || next_ >= batches_) return -1;
    return next_++;
  }

  void work(SeriesComputer& computer) {
    for (int b; (b = takeBatch()) >= 0;) {
      const int first = b * width_;
      try {
        computer.compute(source_, first, std::min(width_, source_.table.seriesCount - first),
                         *slot_[index(b)]);
      } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
        stop_ = true;
        batchReady_.notify_all();
        slotFree_.notify_all();
        return;
      }
      std::lock_guard<std::mutex> lock(mutex_);
      ready_[index(b)] = b;
      batchReady_.notify_all();
    }
  }

  void writeInOrder() {
    for (int b = 0; b < batches_; ++b) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        batchReady_.wait(lock, [&] { return stop_ || ready_[index(b)] == b; });
        if (ready_[index(b)] != b) return;  // a worker failed
      }
      writer_.write(*slot_[index(b)]);
      std::lock_guard<std::mutex> lock(mutex_);
      ready_[index(b)] = -1;
      ++written_;
      slotFree_.notify_all();
    }
  }

  void finish() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    slotFree_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  std::size_t index(int b) const { return static_cast<std::size_t>(b % slots_); }

  const SeriesSource& source_;
  SeriesWriter& writer_;
  const int width_;
  const int batches_;
  const int slots_;
  std::vector<std::unique_ptr<SeriesBatch>> slot_;
  std::vector<int> ready_;  // per slot: the batch it holds, computed and not yet written; or -1
  std::vector<std::unique_ptr<SeriesComputer>> computers_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable batchReady_;
  std::condition_variable slotFree_;
  int next_ = 0;     // the next batch a worker takes
  int written_ = 0;  // batches written
  bool stop_ = false;
  std::exception_ptr failure_;
};

}  // namespace

void processAllSeries(const SeriesSource& source, const SeriesDestination& destination) {
  const SeriesTable& table = source.table;
  // Made once for the run, before the first series; nothing is allocated per series.
  const auto writer = std::make_unique<SeriesWriter>(table, source.settings, destination);
  const int width = memcofBatchWidth();
  // A table of a few batches is done before threads would pay for their start.
  constexpr int FEWEST_BATCHES_FOR_THREADS = 4;
  if (source.settings.jobs > 1 && table.seriesCount > FEWEST_BATCHES_FOR_THREADS * width) {
    ParallelPipeline(source, *writer, width).run();
    return;
  }
  const auto computer = std::make_unique_for_overwrite<SeriesComputer>();
  const auto batch = makeSeriesBatch(source.outputs, width);
  for (int first = 0; first < table.seriesCount; first += width) {
    const int count = std::min(width, table.seriesCount - first);
    computer->compute(source, first, count, *batch);
    writer->write(*batch);
  }
}

}  // namespace ringsmooth
