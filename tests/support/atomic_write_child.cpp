// Writes a file over and over, alternating two known contents, until it is killed.
// Used by the test that kills a writing process at random moments.

#include <cstdio>
#include <string>

#include "platform/file_io.h"
#include "support/write_contents.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: atomic_write_child FILE\n");
    return 2;
  }
  const std::string first = kesta::test::WriteContents(0);
  const std::string second = kesta::test::WriteContents(1);
  std::puts("ready");
  std::fflush(stdout);
  for (unsigned long round = 0;; ++round) kesta::WriteFileAtomically(argv[1], round % 2 ? first : second);
}
