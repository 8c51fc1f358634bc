// A value or the reason it could not be had.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace hexmap::tool {

struct Failure {
  std::string reason;
  int line = 0;  // line of the input the reason is about; 0 = none
};

template <typename T>
class Outcome {
 public:
  Outcome(T value) : state_(std::move(value)) {}
  Outcome(Failure failure) : state_(std::move(failure)) {}

  explicit operator bool() const { return std::holds_alternative<T>(state_); }
  T& value() { return std::get<T>(state_); }
  const T& value() const { return std::get<T>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Failure& failure() const { return std::get<Failure>(state_); }

 private:
  std::variant<T, Failure> state_;
};

}  // namespace hexmap::tool
