#include "capture/qt/remote_server.h"

#include <sys/socket.h>
#include <unistd.h>

namespace zk {

bool PeerIsThisUser(qintptr socketDescriptor) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
    return false;
  }
  return credentials.uid == ::getuid();
}

CRemoteServer::CRemoteServer(Handler handler, QObject* parent) : QObject(parent), m_Handler(std::move(handler)) {
  connect(&m_Server, &QLocalServer::newConnection, this, [this] { Accept(); });
}

CRemoteServer::~CRemoteServer() {
  for (auto& [socket, parser] : m_Parsers) {
    socket->disconnect(this);
    socket->deleteLater();
  }
}

bool CRemoteServer::Listen() {
  const QString path = QString::fromStdString(RemoteSocketPath(true));
  if (path.isEmpty()) return false;
  // A socket that still answers belongs to a running instance; one that does not is stale.
  QLocalSocket probe;
  probe.connectToServer(path);
  if (probe.waitForConnected(100)) return false;
  QLocalServer::removeServer(path);
  m_Server.setSocketOptions(QLocalServer::UserAccessOption);
  return m_Server.listen(path);
}

void CRemoteServer::Accept() {
  while (QLocalSocket* socket = m_Server.nextPendingConnection()) {
    if (!PeerIsThisUser(socket->socketDescriptor())) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    m_Parsers[socket] = std::make_unique<RemoteMessageParser>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Receive(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] { Drop(socket); });
    if (socket->bytesAvailable() > 0) Receive(socket);
  }
}

void CRemoteServer::Receive(QLocalSocket* socket) {
  const auto it = m_Parsers.find(socket);
  if (it == m_Parsers.end()) return;
  const QByteArray bytes = socket->readAll();
  if (!it->second->Feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                        static_cast<std::size_t>(bytes.size()))) {
    Drop(socket);
    return;
  }
  // The handler may run a capture step; the parser stays alive while we drain it.
  RemoteMessageParser* parser = it->second.get();
  while (std::optional<RemoteMessage> m = parser->Next()) {
    if (m_Handler) m_Handler(*m);
    if (m_Parsers.find(socket) == m_Parsers.end()) return;
  }
}

void CRemoteServer::Drop(QLocalSocket* socket) {
  const auto it = m_Parsers.find(socket);
  if (it == m_Parsers.end()) return;
  m_Parsers.erase(it);
  socket->disconnect(this);
  socket->abort();
  socket->deleteLater();
}

void CRemoteServer::Broadcast(const std::vector<std::uint8_t>& frame) {
  for (auto& [socket, parser] : m_Parsers) {
    socket->write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
  }
}

void CRemoteServer::NotifyConnStateChanged(std::int32_t vbusMv, std::uint32_t ccMv) {
  const std::vector<std::uint8_t> frame = EncodeConnStateChanged(vbusMv, ccMv);
  QMetaObject::invokeMethod(
      this, [this, frame] { Broadcast(frame); }, Qt::QueuedConnection);
}

}  // namespace zk
