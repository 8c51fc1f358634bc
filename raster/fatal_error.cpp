// The runtime error report that ends the program.
#include <cstdio>
#include <cstdlib>

#include "raster/internal.hpp"

namespace raster {
namespace {

std::string_view message_for(int error) {
  switch (error) {
    case kIllegalFunctionCall:
      return "illegal function call";
    case kFileNotFound:
      return "file not found";
    case kFileIoError:
      return "file I/O error";
    case kOutOfMemory:
      return "out of memory";
    case kOutOfBounds:
      return "out of bounds array access";
    default:
      return "unknown error";
  }
}

}  // namespace

std::string fatal_error_text(int error, int line, std::string_view module,
                             std::string_view procedure) {
  // Appended piece by piece: g++ 12 warns (falsely) about operator+ on a literal.
  std::string text = "\r\nAborting due to runtime error ";
  text += std::to_string(error);
  text += " (";
  text += message_for(error);
  text += ")";
  const bool line_known = line > 0;
  if (line_known) {
    text += " at line ";
    text += std::to_string(line);
  }
  if (!module.empty()) {
    text += line_known ? " of " : " in ";
    text += module;
    if (!procedure.empty()) {
      text += "::";
      text += procedure;
    }
    text += "()";
  }
  text += "\r\n\r\n";
  return text;
}

void fatal_error(int error, int line, std::string_view module, std::string_view procedure) {
  const std::string text = fatal_error_text(error, line, module, procedure);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  std::exit(error);
}

}  // namespace raster
