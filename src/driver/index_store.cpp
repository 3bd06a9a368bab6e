#include "driver/index_store.h"

#include <algorithm>

#include "core/zero_pages.h"

namespace ringsmooth {

namespace {

std::size_t valuesBytes(const IndexStore& store) {
  return static_cast<std::size_t>(store.seriesCount) * static_cast<std::size_t>(store.stride) *
         sizeof(double);
}

}  // namespace

void IndexStoreDeleter::operator()(IndexStore* store) const {
  if (store->values != nullptr) releasePages(store->values, valuesBytes(*store));
  delete store;
}

TakingSpan IndexStore::takingSpan() const {
  TakingSpan span;
  for (int k = 0; k < seriesCount; ++k) {
    if (taking[k] == 0 || yearCount[k] <= 0) continue;
    const int last = firstYear[k] + yearCount[k] - 1;
    span.first = span.series > 0 ? std::min(span.first, firstYear[k]) : firstYear[k];
    span.last = span.series > 0 ? std::max(span.last, last) : last;
    span.years += yearCount[k];
    ++span.series;
  }
  return span;
}

IndexStorePtr makeIndexStore(int seriesCount, int longestSeries) {
  IndexStorePtr store(new IndexStore{});
  store->seriesCount = std::max(seriesCount, 0);
  store->stride = std::clamp(longestSeries, 1, MAX_YEARS);
  // The columns are used nearly whole, one after another: on large pages a store of 3.0
  // million indices (699 series of 500 to 8,000 years) costs a handful of faults instead of
  // thousands.
  const std::size_t bytes = valuesBytes(*store);
  if (bytes > 0) store->values = static_cast<double*>(zeroPages(bytes, true));
  return store;
}

}  // namespace ringsmooth
