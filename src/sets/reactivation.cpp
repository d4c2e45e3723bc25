// Coming back to the program after the game (or anything else) rewrote the game files: when the
// graphics file changed since we last looked, every file is read again into the pages, unless the pages
// hold changes of the user's, which a reload must never throw away.

#include <QDateTime>
#include <QGuiApplication>
#include <QScopedValueRollback>

#include "documents/graphics_document.h"
#include "platform/file_times.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

void TFrmKESTA::ConnectReactivation() {
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) JvAppEvents1Activate();
  });
}

void TFrmKESTA::JvAppEvents1Activate() {
  // The check's own questions take the focus away and give it back: one check at a time, or the same
  // question would stack up.
  // Before start-up found the game there is nothing to reload.
  if (m_busy || m_reactivationRunning || m_gameFolder.empty()) return;
  const std::filesystem::path graphics = GamePathOf(GraphicsDocument::kCatalogKey);
  QDateTime written;
  // A graphics file whose time cannot be read now (gone, being replaced) tells nothing of a change; a
  // reload of every file at each activation would only repeat its failure.
  if (!GetLastWriteTime(graphics, written) || written == m_graphicsTimeStamp) return;
  const QScopedValueRollback running(m_reactivationRunning, true);

  if (OptionToggleOn(OptionToggle::ReloadSettings) &&
      m_dialogs->ShowMessage(MessageKind::Information, LookupMessage("ReloadAll"), MessageButtons::YesNo) !=
          DialogAnswer::Yes) {
    // The pages stay as they are; Apply would write them over the outside change.
    EnableApplyCancel(true, false);
    m_graphicsTimeStamp = written;
    return;
  }
  // The time stamp stays old, so the check comes back at the next activation.
  if (ApplyEnabled()) return;

  // Only the aspect is kept from the page: when the file holds another one, it is written back at once.
  if (LoadGraphicsSettings(graphics, true)) ApplyGraphicsSettings(graphics);
  for (std::string_view key : WholeSetOrder())
    if (key != GraphicsDocument::kCatalogKey) m_gameFiles->Load(key, GamePathOf(key));
  EnableApplyCancel(false, false);
  // The time read before any write of ours: a write-back of the aspect is seen, and read, next time.
  m_graphicsTimeStamp = written;
}

}  // namespace kesta
