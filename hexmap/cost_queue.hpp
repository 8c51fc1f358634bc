// The open cells of PathFinder's searches, ordered by an int64 key (a cost so far plus an
// estimate). Cheap steps go to circular buckets, dear ones to a binary heap. Neither allocates:
// both work in storage their owner sized for the grid.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace hexmap::detail {

// Circular buckets, one key each: every open key lies within the bucket count of the lowest.
// A bucket is a stack of fixed-size chunks taken from one pool. A cell whose key falls is
// pushed again and its old entry left behind; `key_of` tells a current entry from such a
// stale one, which is skipped when it surfaces and dropped when the pool runs dry.
template <typename KeyOf>
class BucketQueue {
 public:
  static constexpr int32_t kChunk = 32;  // entries a chunk holds
  struct Bucket {
    int32_t chunk;  // the top chunk, -1 for none; the chunks below it are full
    int32_t fill;   // entries in the top chunk
  };
  // Chunks for `cells` current entries however they spread over `buckets` buckets.
  static constexpr size_t chunks_needed(size_t cells, size_t buckets) {
    return cells / kChunk + std::min(cells, buckets) + 2;
  }

  // `entries` holds `chunks` chunks, `links` one int per chunk, `buckets` a power of two of
  // them, and `spill` room for one int per cell.
  BucketQueue(int32_t* entries, int32_t* links, int32_t chunks, Bucket* buckets,
              uint32_t bucket_count, int32_t* spill, KeyOf key_of, int64_t first_key)
      : entries_(entries),
        links_(links),
        buckets_(buckets),
        mask_(bucket_count - 1),
        spill_(spill),
        key_of_(key_of),
        low_(first_key) {
    std::fill(buckets_, buckets_ + bucket_count, Bucket{-1, 0});
    for (int32_t c = 0; c < chunks; ++c)
      links_[c] = c + 1 < chunks ? c + 1 : -1;
    free_ = chunks > 0 ? 0 : -1;
  }

  void push(int32_t cell, int64_t key) {
    Bucket& b = buckets_[static_cast<uint64_t>(key) & mask_];
    if (b.chunk < 0 || b.fill == kChunk) {
      if (free_ < 0) drop_stale();
      if (b.chunk < 0 || b.fill == kChunk) open_chunk(b);
    }
    entries_[static_cast<size_t>(b.chunk) * kChunk + static_cast<size_t>(b.fill++)] = cell;
    ++count_;
  }

  // The current entry with the lowest key, when that key is at most `limit`.
  bool pop(int64_t limit, int32_t& cell, int64_t& key) {
    while (count_ > 0 && low_ <= limit) {
      Bucket& b = buckets_[static_cast<uint64_t>(low_) & mask_];
      if (b.chunk < 0) {
        ++low_;
        continue;
      }
      const int32_t c = take(b);
      if (key_of_(c) == low_) {
        cell = c;
        key = low_;
        return true;
      }
    }
    return false;
  }

 private:
  void open_chunk(Bucket& b) {
    const int32_t c = free_;
    free_ = links_[c];
    links_[c] = b.chunk;
    b.chunk = c;
    b.fill = 0;
  }
  int32_t take(Bucket& b) {
    const int32_t cell =
        entries_[static_cast<size_t>(b.chunk) * kChunk + static_cast<size_t>(--b.fill)];
    --count_;
    if (b.fill == 0) {
      const int32_t c = b.chunk;
      b.chunk = links_[c];
      b.fill = b.chunk >= 0 ? kChunk : 0;
      links_[c] = free_;
      free_ = c;
    }
    return cell;
  }
  // Empties every bucket of its stale entries; a cell has one current entry at most, so the
  // pool then holds the rest with room to spare.
  void drop_stale() {
    for (uint64_t k = 0; k <= mask_; ++k) {
      Bucket& b = buckets_[k];
      const int64_t key = low_ + static_cast<int64_t>((k - static_cast<uint64_t>(low_)) & mask_);
      size_t kept = 0;
      while (b.chunk >= 0) {
        const int32_t c = take(b);
        if (key_of_(c) == key) spill_[kept++] = c;
      }
      for (size_t i = 0; i < kept; ++i) {
        if (b.chunk < 0 || b.fill == kChunk) open_chunk(b);
        entries_[static_cast<size_t>(b.chunk) * kChunk + static_cast<size_t>(b.fill++)] = spill_[i];
        ++count_;
      }
    }
  }

  int32_t* entries_;
  int32_t* links_;
  Bucket* buckets_;
  uint64_t mask_;
  int32_t* spill_;
  KeyOf key_of_;
  int64_t low_;
  int32_t free_ = -1;
  size_t count_ = 0;
};

// A binary heap of cells by key; `slots` gives each open cell's place in it.
class HeapQueue {
 public:
  HeapQueue(int64_t* keys, int32_t* cells, int32_t* slots)
      : keys_(keys), cells_(cells), slots_(slots) {}

  void push(int32_t cell, int64_t key) { rise(size_++, cell, key); }
  void decrease(int32_t cell, int64_t key) { rise(static_cast<size_t>(slots_[cell]), cell, key); }
  bool pop(int64_t limit, int32_t& cell, int64_t& key) {
    if (size_ == 0 || keys_[0] > limit) return false;
    cell = cells_[0];
    key = keys_[0];
    if (--size_ > 0) sink(keys_[size_], cells_[size_]);
    return true;
  }

 private:
  void place(size_t slot, int32_t cell, int64_t key) {
    keys_[slot] = key;
    cells_[slot] = cell;
    slots_[cell] = static_cast<int32_t>(slot);
  }
  void rise(size_t slot, int32_t cell, int64_t key) {
    while (slot > 0 && keys_[(slot - 1) / 2] > key) {
      place(slot, cells_[(slot - 1) / 2], keys_[(slot - 1) / 2]);
      slot = (slot - 1) / 2;
    }
    place(slot, cell, key);
  }
  void sink(int64_t key, int32_t cell) {
    size_t slot = 0;
    for (size_t child = 1; child < size_; child = 2 * slot + 1) {
      if (child + 1 < size_ && keys_[child + 1] < keys_[child]) ++child;
      if (key <= keys_[child]) break;
      place(slot, cells_[child], keys_[child]);
      slot = child;
    }
    place(slot, cell, key);
  }

  int64_t* keys_;
  int32_t* cells_;
  int32_t* slots_;
  size_t size_ = 0;
};

}  // namespace hexmap::detail
