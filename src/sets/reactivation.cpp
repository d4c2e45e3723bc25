// Coming back to the program after the game (or anything else) rewrote the game files: when the
// graphics file changed since we last looked, every file is read again into the pages, unless the pages
// hold changes of the user's, which a reload must never throw away.

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QWindow>
#include <utility>

#include "app/tray_and_options.h"
#include "documents/graphics_document.h"
#include "platform/file_times.h"
#include "sets/game_file_set.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace kesta {

namespace {

// Tells the player's returns from another program apart from the focus coming back from a box of ours.
// Closing a box that holds the focus can make the application inactive and active again (X11 does, at
// once or after its focus delay): taken for a return, the question just answered would be asked anew.
class TReturnWatch : public QObject {
 public:
  explicit TReturnWatch(TFrmKESTA* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, &TReturnWatch::StateChanged);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if ((type == QEvent::Hide || type == QEvent::WindowDeactivate) && watched->isWidgetType()) {
      const auto* closed = static_cast<const QWidget*>(watched);
      // Hidden while it holds the focus, or losing it because it is being hidden: depending on the
      // platform, Qt gives the focus back to the window under it before or after the hide.
      const bool heldFocus =
          type == QEvent::WindowDeactivate
              ? closed->isHidden()
              : closed->windowHandle() && closed->windowHandle() == QGuiApplication::focusWindow();
      if (closed != m_window && closed->isWindow() && heldFocus) m_ownWindowClosed.start();
    }
    return false;
  }

 private:
  // Longer than X11's wait for the focus to come back before it reports the application inactive.
  static constexpr qint64 kOwnCloseMilliseconds = 1000;

  void StateChanged(Qt::ApplicationState state) {
    if (state == Qt::ApplicationInactive) {
      m_leftForOwnWindow =
          m_ownWindowClosed.isValid() && !m_ownWindowClosed.hasExpired(kOwnCloseMilliseconds);
    } else if (state == Qt::ApplicationActive) {
      // Queued: the check's boxes must not open inside Qt's own handling of the activation, where
      // closing them is what makes the application inactive and active again.
      if (!std::exchange(m_leftForOwnWindow, false))
        QMetaObject::invokeMethod(m_window, &TFrmKESTA::JvAppEvents1Activate, Qt::QueuedConnection);
    }
  }

  TFrmKESTA* m_window;
  QElapsedTimer m_ownWindowClosed;  // when a window of ours that held the focus last closed
  bool m_leftForOwnWindow = false;  // the application's last deactivation was that closing
};

}  // namespace

void TFrmKESTA::ConnectReactivation() { new TReturnWatch(this); }

void TFrmKESTA::JvAppEvents1Activate() {
  // The check's own questions take the focus away and give it back: one check at a time, or the same
  // question would stack up.
  // Before start-up found the game there is nothing to reload.
  if (m_busy || m_reactivationRunning || GameFolder().empty()) return;
  const std::filesystem::path graphics = GamePathOf(GraphicsDocument::kCatalogKey);
  QDateTime written;
  // A graphics file whose time cannot be read now (gone, being replaced) tells nothing of a change; a
  // reload of every file at each activation would only repeat its failure.
  if (!GetLastWriteTime(graphics, written) || written == m_graphicsTimeStamp) return;
  const QScopedValueRollback running(m_reactivationRunning, true);

  if (m_tray->OptionToggleOn(OptionToggle::ReloadSettings) &&
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
