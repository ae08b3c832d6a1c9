#include <mutex>
#include <new>
#include <vector>

#include "model/records.h"

namespace paginor::cell_extras {

namespace detail {
std::atomic<CellExtras*> chunks[kChunkCount];
}  // namespace detail

namespace {

constexpr uint32_t kChunkSize = 1u << detail::kChunkBits;

struct Store {
  std::mutex lock;
  std::vector<uint32_t> free;  // entries given back
  uint32_t next = 1;           // the first entry never handed out; handle 0 means none
  size_t live = 0;
};

Store& store() {
  static Store* s = new Store;  // lives as long as the cells of static documents
  return *s;
}

uint32_t take(Store& s) {
  if (!s.free.empty()) {
    const uint32_t h = s.free.back();
    s.free.pop_back();
    return h;
  }
  const uint32_t chunk = s.next >> detail::kChunkBits;
  if (chunk >= detail::kChunkCount) throw std::bad_alloc();
  if (!detail::chunks[chunk].load(std::memory_order_relaxed)) {
    // Room for every entry of the new chunk to come back, so that giving one back (from a
    // destructor) never allocates.
    s.free.reserve(static_cast<size_t>(chunk + 1) * kChunkSize);
    detail::chunks[chunk].store(new CellExtras[kChunkSize], std::memory_order_release);
  }
  return s.next++;
}

}  // namespace

uint32_t make() {
  Store& s = store();
  std::lock_guard<std::mutex> g(s.lock);
  const uint32_t h = take(s);
  ++s.live;
  return h;
}

uint32_t copy(uint32_t handle) {
  const CellExtras& from = at(handle);
  const uint32_t h = make();
  CellExtras& to = at(h);
  to.text = from.text;
  to.code = from.code;
  to.number = from.number;
  to.footnoteId = from.footnoteId;
  to.pictureIndex = from.pictureIndex;
  if (from.carrier) to.carrier = std::make_unique<ParagraphFormat>(*from.carrier);
  return h;
}

void release(uint32_t handle) {
  at(handle) = CellExtras();
  Store& s = store();
  std::lock_guard<std::mutex> g(s.lock);
  s.free.push_back(handle);
  --s.live;
}

size_t liveCount() {
  Store& s = store();
  std::lock_guard<std::mutex> g(s.lock);
  return s.live;
}

}  // namespace paginor::cell_extras
