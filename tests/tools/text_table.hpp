// Test tables written as text, one row a line and fields separated by '|', so that rows with
// long exact messages stay one line each.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace hexmap::tool {

// The rows of `table`; blank lines are skipped. A row's last field must not be empty.
inline std::vector<std::vector<std::string>> text_table(std::string_view table) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines{std::string(table)};
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    rows.emplace_back();
    for (std::string field; std::getline(fields, field, '|');)
      rows.back().push_back(field);
  }
  return rows;
}

}  // namespace hexmap::tool
