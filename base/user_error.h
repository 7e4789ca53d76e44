#pragma once

#include <stdexcept>
#include <string>

// A failure the operator is told about: what() is the text of the error box,
// before the closing full stop is added. File operations throw it; handlers
// let it pass; the one place that dispatches window messages (and the
// start-up sequence) catches it and shows it.
class UserError : public std::runtime_error {
 public:
  explicit UserError(const std::string& text) : std::runtime_error(text) {}
};
