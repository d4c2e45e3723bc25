#pragma once
// Our stdin replaced by an empty pipe until the end of the scope, so that a child given /dev/null instead
// of our stdin shows the difference wherever the tests run (ctest and shells often give /dev/null).

#include <fcntl.h>
#include <unistd.h>

namespace kesta::test {

class ScopedPipeStdin {
 public:
  ScopedPipeStdin() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return;
    m_saved = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 3);
    ::dup2(ends[0], STDIN_FILENO);
    ::close(ends[0]);
    m_writeEnd = ends[1];
  }
  ~ScopedPipeStdin() {
    if (m_writeEnd < 0) return;
    if (m_saved >= 0) {
      ::dup2(m_saved, STDIN_FILENO);
      ::close(m_saved);
    } else {
      ::close(STDIN_FILENO);
    }
    ::close(m_writeEnd);
  }
  ScopedPipeStdin(const ScopedPipeStdin&) = delete;
  ScopedPipeStdin& operator=(const ScopedPipeStdin&) = delete;

 private:
  int m_saved = -1;
  int m_writeEnd = -1;
};

}  // namespace kesta::test
