#pragma once
// The program's version: what --version prints, what the update check compares with the server's and what
// the build gives its package.

#include <string_view>

namespace kesta {

inline constexpr std::string_view kProgramVersion = "3.0.3";

}  // namespace kesta
