// A set of cell indices that hands out its lowest member, for open lists ordered by index.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace hexmap::detail {

// A set of cell indices that hands out its lowest member: a 64-ary tree of bit words, one
// find-first-set per level, with no more levels than the grid needs (a sparse set pays one
// word per level on every change). The lowest word that may hold a member is remembered, so
// most look-ups read one word.
class LowestIndexSet {
 public:
  static constexpr int kLevels = 4;  // 64^4 members: the largest grid
  LowestIndexSet() = default;
  LowestIndexSet(const LowestIndexSet&) = delete;  // the level pointers would alias
  LowestIndexSet& operator=(const LowestIndexSet&) = delete;
  LowestIndexSet(LowestIndexSet&&) noexcept = default;  // moving keeps the words in place
  LowestIndexSet& operator=(LowestIndexSet&&) noexcept = default;

  void resize(uint32_t count) {
    for (std::vector<uint64_t>& level : storage_)
      level = {};
    uint32_t words = count;
    levels_used_ = 0;
    do {
      words = std::max<uint32_t>((words + 63) / 64, 1);
      storage_[levels_used_].assign(words, 0);
      levels_[levels_used_] = storage_[levels_used_].data();
      ++levels_used_;
    } while (words > 1);
    top_ = levels_[levels_used_ - 1];
    low_word_ = 0;
  }
  [[nodiscard]] bool empty() const { return *top_ == 0; }

  // The finest word alone on the common path; the words above change only when it empties
  // or fills. A word that already holds members lies at or above low_word_.
  [[gnu::always_inline]] void insert(uint32_t i) {
    uint64_t& w = levels_[0][i >> 6];
    const uint64_t had = w;
    w = had | (uint64_t{1} << (i & 63));
    if (had == 0) insert_above(i);
  }
  [[gnu::always_inline]] void erase(uint32_t i) {
    uint64_t& w = levels_[0][i >> 6];
    w &= ~(uint64_t{1} << (i & 63));
    if (w == 0) erase_above(i);
  }
  // Removes the lowest member into `i`; false when the set is empty. Most calls read one word.
  [[nodiscard, gnu::always_inline]] bool take_lowest(uint32_t& i) {
    uint64_t& w = levels_[0][low_word_];
    if (w == 0) [[unlikely]] {
      if (empty()) return false;
      i = lowest_from_top();
      erase(i);
      return true;
    }
    i = (low_word_ << 6) | static_cast<uint32_t>(std::countr_zero(w));
    w &= w - 1;
    if (w == 0) erase_above(i);
    return true;
  }
  // Empties the set, visiting only the words that hold members.
  void clear() {
    clear_below(levels_used_ - 1, 0);
    low_word_ = 0;
  }

 private:
  [[gnu::noinline]] void insert_above(uint32_t i) {
    low_word_ = std::min(low_word_, i >> 6);
    for (int level = 1; level < levels_used_; ++level) {
      i >>= 6;
      uint64_t& w = levels_[level][i >> 6];
      const bool had_members = w != 0;
      w |= uint64_t{1} << (i & 63);
      if (had_members) return;
    }
  }
  [[gnu::noinline]] void erase_above(uint32_t i) {
    for (int level = 1; level < levels_used_; ++level) {
      i >>= 6;
      uint64_t& w = levels_[level][i >> 6];
      w &= ~(uint64_t{1} << (i & 63));
      if (w != 0) return;
    }
  }
  [[gnu::noinline]] uint32_t lowest_from_top() {
    uint32_t i = 0;
    for (int level = levels_used_; level-- > 0;) {
      i = (i << 6) | static_cast<uint32_t>(std::countr_zero(levels_[level][i]));
    }
    low_word_ = i >> 6;
    return i;
  }
  void clear_below(int level, uint32_t word) {
    uint64_t& w = levels_[level][word];
    if (level > 0) {
      for (uint64_t bits = w; bits != 0; bits &= bits - 1) {
        clear_below(level - 1, (word << 6) | static_cast<uint32_t>(std::countr_zero(bits)));
      }
    }
    w = 0;
  }

  std::array<std::vector<uint64_t>, kLevels> storage_;  // the finest first
  std::array<uint64_t*, kLevels> levels_{};
  int levels_used_ = 1;      // the last one is a single word
  uint64_t* top_ = nullptr;  // that word
  uint32_t low_word_ = 0;    // no member lies in a word below this one
};

}  // namespace hexmap::detail
