#pragma once
// One window per user: two windows on the same game files would each overwrite the other's Apply. The
// first start listens on a local socket in the user's runtime folder; a later start asks it to come to
// the front and ends.

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace kesta {

class TSingleInstance {
 public:
  // The socket in the user's own runtime folder ($XDG_RUNTIME_DIR, which only the user may enter).
  TSingleInstance();
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // True when this process is now the one instance. False when another one runs: it has been asked to
  // show its window, and this start ends. A socket left by an instance that was killed is taken over.
  // Where no socket can be made at all, the program starts unguarded rather than not at all.
  bool ClaimOrWake();
  // What a later start asks for; until it is set, requests are answered and ignored (the window is
  // about to be shown anyway).
  void OnShowRequested(std::function<void()> show) { m_show = std::move(show); }
  // Stops listening, before this instance starts its own successor.
  void Release();

  QString ServerName() const { return m_serverName; }

 private:
  bool WakeRunningInstance() const;
  void Serve();

  QString m_serverName;
  std::unique_ptr<QLockFile> m_claimLock;  // one start at a time decides who is first
  QLocalServer m_server;
  std::function<void()> m_show;
};

}  // namespace kesta
