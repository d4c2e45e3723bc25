#pragma once
// Text from one encoding to another through the C library's iconv, for the game's code pages and for
// language files written in another encoding than UTF-8.

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <string>
#include <string_view>

namespace kesta {

// An iconv descriptor for the length of one conversion: descriptors keep state and must not be shared
// between threads, and opening one costs little next to showing the text.
class Iconv {
 public:
  Iconv(const std::string& to, const std::string& from) : m_cd(::iconv_open(to.c_str(), from.c_str())) {}
  ~Iconv() {
    if (IsOpen()) ::iconv_close(m_cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool IsOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  int LastError() const { return m_error; }

  // Converts in[from...] onto the end of out and returns where it stopped: in.size(), or the offset of
  // the first sequence it cannot convert (LastError() says why). Anything held back by a stateful page
  // is written out.
  std::size_t Convert(std::string_view in, std::size_t from, std::string& out) {
    char* inPtr = const_cast<char*>(in.data()) + from;
    std::size_t inLeft = in.size() - from;
    for (;;) {
      const std::size_t used = out.size();
      out.resize(used + inLeft * 4 + 16);
      char* outPtr = out.data() + used;
      std::size_t outLeft = out.size() - used;
      const std::size_t result = ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
      m_error = result == static_cast<std::size_t>(-1) ? errno : 0;
      out.resize(out.size() - outLeft);
      if (m_error == E2BIG) continue;
      Flush(out);
      return in.size() - inLeft;
    }
  }

 private:
  void Flush(std::string& out) {
    const std::size_t used = out.size();
    out.resize(used + 32);
    char* outPtr = out.data() + used;
    std::size_t outLeft = 32;
    ::iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft);
    out.resize(out.size() - outLeft);
  }

  iconv_t m_cd;
  int m_error = 0;
};

}  // namespace kesta
