#pragma once
// The address other players reach a server on when it listens on the local network only.

#include <string>

namespace kesta {

// The machine's own host name resolved by the system's name service: the last IPv4 address of the
// answer in dotted decimal, or "" when the name cannot be resolved.
std::string LocalIPv4Address();

}  // namespace kesta
