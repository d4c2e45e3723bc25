// Writes a file over and over, alternating two known contents, until it is killed.
// Used by the tests that kill a writing process at random moments.
//   atomic_write_child FILE                              the two contents of write_contents.h
//   atomic_write_child --ini FILE SECTION KEY FIRST SECOND
//       the settings file's way: StoreIniValue sets KEY to SECOND, WriteIniValue sets it back to FIRST

#include <cstdio>
#include <string>

#include "platform/file_io.h"
#include "settings/ini_file.h"
#include "support/write_contents.h"

namespace {

void SayReady() {
  std::puts("ready");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 7 && std::string(argv[1]) == "--ini") {
    SayReady();
    for (;;) {
      kesta::StoreIniValue(argv[2], argv[3], argv[4], argv[6]);
      kesta::WriteIniValue(argv[2], argv[3], argv[4], argv[5]);
    }
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: atomic_write_child FILE | --ini FILE SECTION KEY FIRST SECOND\n");
    return 2;
  }
  const std::string first = kesta::test::WriteContents(0);
  const std::string second = kesta::test::WriteContents(1);
  SayReady();
  for (unsigned long round = 0;; ++round) kesta::WriteFileAtomically(argv[1], round % 2 ? first : second);
}
