// The program-wide Apply and Cancel, and the modified state.

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include "launch/launcher.h"
#include "platform/game_paths.h"
#include "sets/game_file_set.h"
#include "ui/command_table.h"
#include "ui/dialog_service.h"
#include "ui/hourglass.h"
#include "ui/main_window.h"

namespace kesta {

void TFrmKESTA::EnableApplyCancel(bool apply, bool cancel) {
  m_commands->SetEnabled(command::kApply, apply);
  m_commands->SetEnabled(command::kCancel, cancel);
}

bool TFrmKESTA::ApplyEnabled() const { return m_commands->Enabled(command::kApply); }
bool TFrmKESTA::CancelEnabled() const { return m_commands->Enabled(command::kCancel); }

void TFrmKESTA::dxButtonApplyClick() {
  if (!m_launcher->ConfirmApplyWhileGameRuns()) return;
  RunWithHourglass([this] {
    bool allWritten = true;
    for (std::string_view key : WholeSetOrder()) allWritten &= m_gameFiles->Apply(key, GamePathOf(key));
    // A file that was not written keeps the pages marked modified, so the edits are not lost from view.
    if (!allWritten) return;
    ShowStatusMessage(LookupMessage("Applyed"));
    EnableApplyCancel(false, false);
  });
}

void TFrmKESTA::dxButtonCancelClick() {
  RunWithHourglass([this] {
    for (std::string_view key : WholeSetOrder())
      if (const auto path = m_gameFiles->RememberedPath(key)) m_gameFiles->Load(key, *path);
    EnableApplyCancel(false, false);
  });
}

}  // namespace kesta
