#pragma once
// Failures carry a text meant for the user; every file operation catches them and reports the text.

#include <stdexcept>
#include <string>

namespace kesta {

class EKestaError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace kesta
