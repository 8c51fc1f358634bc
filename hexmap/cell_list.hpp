// A list of cell indices sized once per grid, for the searches' queues and lists of written
// cells: pushing allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hexmap::detail {

// A list of cell indices with room for every cell of the grid.
class CellList {
 public:
  void resize(int32_t cell_count) {
    items_.assign(static_cast<size_t>(cell_count), 0);
    size_ = 0;
  }
  void push(int32_t index) { items_[size_++] = index; }
  void clear() { size_ = 0; }
  [[nodiscard]] size_t size() const { return size_; }
  [[nodiscard]] const int32_t* begin() const { return items_.data(); }
  [[nodiscard]] const int32_t* end() const { return items_.data() + size_; }
  // For a loop that keeps the size in a register and pushes through the pointer.
  [[nodiscard]] int32_t* data() { return items_.data(); }
  void set_size(size_t size) { size_ = size; }

 private:
  std::vector<int32_t> items_;
  size_t size_ = 0;
};

}  // namespace hexmap::detail
