#include "driver/index_store.h"

#include "core/zero_pages.h"

namespace ringsmooth {

void IndexStoreDeleter::operator()(IndexStore* store) const {
  releasePages(store, sizeof(IndexStore));
}

IndexStorePtr makeIndexStore(int seriesCount) {
  // A plain aggregate of numbers: zeroed memory is a valid, fully zeroed object.
  IndexStorePtr store(static_cast<IndexStore*>(zeroPages(sizeof(IndexStore))));
  store->seriesCount = seriesCount;
  return store;
}

}  // namespace ringsmooth
