// The remote-control server of the main window: a local socket named "RVX5K8App" that only
// this user can reach. It hands every message to the main window's handler and sends the
// "RVX5K8 Conn State Changed" notification to every connected client.
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "capture/remote_protocol.h"

namespace zk {

class CRemoteServer : public QObject {
 public:
  using Handler = std::function<void(const RemoteMessage&)>;

  explicit CRemoteServer(Handler handler, QObject* parent = nullptr);
  ~CRemoteServer() override;

  // False when no private place exists or another instance already serves.
  bool Listen();
  QString ServerPath() const { return m_Server.fullServerName(); }
  int ClientCount() const { return static_cast<int>(m_Parsers.size()); }

  // Callable from any thread (the capture thread raises it); delivered on this object's thread.
  void NotifyConnStateChanged(std::int32_t vbusMv, std::uint32_t ccMv);

 private:
  QLocalServer m_Server;
  Handler m_Handler;
  std::map<QLocalSocket*, std::unique_ptr<RemoteMessageParser>> m_Parsers;

  void Accept();
  void Receive(QLocalSocket* socket);
  void Drop(QLocalSocket* socket);
  void Broadcast(const std::vector<std::uint8_t>& frame);
};

// The peer runs as this user (the socket's folder already keeps others out).
bool PeerIsThisUser(qintptr socketDescriptor);

}  // namespace zk
