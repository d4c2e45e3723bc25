#pragma once
// A stand-in for the desktop's handler: an xdg-open first on PATH, for as long as this object lives, that
// records the address it was given.

#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/scoped_env.h"
#include "support/temp_folder.h"

namespace kesta::test {

class FakeDesktopHandler {
 public:
  FakeDesktopHandler()
      : m_record(m_bin / "opened"),
        m_onPath("PATH",
                 (m_bin.Path().string() + ":" + (std::getenv("PATH") ? std::getenv("PATH") : "")).c_str()) {
    // Written under another name and renamed, so that a half-written record is never read.
    const std::filesystem::path fake =
        m_bin.Write("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.part\"\nmv \"$0.part\" \"" +
                                    m_record.string() + "\"\n");
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
  }

  // The address `open` handed over, once the handler has run (the handler is a detached process);
  // "<missing>" when it did not run within ten seconds.
  template <typename Command>
  std::string Opened(Command open) {
    std::filesystem::remove(m_record);
    open();
    for (int waited = 0; waited < 200 && !std::filesystem::exists(m_record); ++waited) QTest::qWait(50);
    return ReadBytes(m_record);
  }

 private:
  TempFolder m_bin;
  std::filesystem::path m_record;
  ScopedEnv m_onPath;
};

}  // namespace kesta::test
