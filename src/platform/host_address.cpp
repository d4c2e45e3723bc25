#include "platform/host_address.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <memory>

namespace kesta {

std::string LocalIPv4Address() {
  std::array<char, 256> name{};
  if (gethostname(name.data(), name.size() - 1) != 0) return {};
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one answer per address, not one per socket type
  addrinfo* found = nullptr;
  if (getaddrinfo(name.data(), nullptr, &hints, &found) != 0) return {};
  const std::unique_ptr<addrinfo, void (*)(addrinfo*)> answer(found, freeaddrinfo);
  std::string last;
  for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET) continue;
    std::array<char, INET_ADDRSTRLEN> text{};
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text.data(), text.size())) last = text.data();
  }
  return last;
}

}  // namespace kesta
