// What the window forwards to the page area and the status bar, and the update check.

#include "ui/main_window.h"

#include "sets/configuration_commands.h"
#include "ui/page_area.h"
#include "ui/window_status.h"
#include "update/update_page.h"

namespace kesta {

void TFrmKESTA::CheckForUpdate(bool atStartUp) {
  // The page is built on its first showing, and only for a check that looks for something; the check
  // itself decides whether it stays in front.
  if (!UpdateCheckHasWork(*this, atStartUp)) return;
  const QWidget* before = m_pageArea->ActivePage();
  m_pageArea->ShowPage("TabSheetUpdate");
  if (before) m_pageArea->ShowPage(before->objectName());
  if (auto* page = findChild<TUpdatePage*>()) page->Check(atStartUp);
}

void TFrmKESTA::OpenPage(const QString& page, PageOpening how) { m_pageArea->OpenPage(page, how); }

void TFrmKESTA::RefreshPages(std::string_view catalogKey) { m_pageArea->RefreshPages(catalogKey); }

void TFrmKESTA::UndoApply(std::optional<std::uint64_t> number) { m_configuration->UndoApply(number); }

bool TFrmKESTA::ShowPreviewPicture(const QString& name) { return m_pageArea->ShowPreviewPicture(name); }

void TFrmKESTA::ShowStatusMessage(const QString& text) { m_status->ShowStatusMessage(text); }

}  // namespace kesta
