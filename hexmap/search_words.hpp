// The bucketed A* search's word per cell, kept between searches.
#pragma once

#include <cstdint>

namespace hexmap::detail {

// Per cell and per search, for the bucketed search: the epoch of the search that last met the cell
// (high half) and, in steps (G / 10), the cost a step must arrive below to matter there (low
// half): the G of an opened cell, kNoEntry for a cell nothing can enter (and for the start,
// G 0), kNotOpened for a cell met but not yet opened. So a neighbour already met and not
// reached more cheaply is passed over after one subtraction and one compare. Holds nothing an
// earlier search could leave stale, since callers may change any cell between searches.
using SideWord = uint64_t;
inline constexpr uint32_t kNoEntry = 0;  // every step arrives with G / 10 >= 1
inline constexpr uint32_t kNotOpened = 0xFFFFFFFFu;
inline constexpr int kEpochShift = 32;

}  // namespace hexmap::detail
