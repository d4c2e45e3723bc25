#pragma once
// What every fuzz target needs: a check that stops the run so libFuzzer keeps the input, and message
// texts that are their own keys.

#include <cstdlib>
#include <string>
#include <string_view>

namespace kesta::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

inline std::string Lookup(std::string_view key) { return std::string(key); }

}  // namespace kesta::fuzz
