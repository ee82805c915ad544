#include "capture/qt/remote_server.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>

namespace zk {
namespace {

template <typename Pred>
bool Pump(Pred pred, int ms = 2000) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

class RemoteServerTest : public ::testing::Test {
 protected:
  std::filesystem::path runtime =
      std::filesystem::path(::testing::TempDir()) / ("zk_remote_" + std::to_string(::getpid()));
  std::vector<RemoteMessage> received;

  void SetUp() override {
    std::filesystem::remove_all(runtime);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(runtime); }

  static void Send(QLocalSocket& socket, const std::vector<std::uint8_t>& frame) {
    socket.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
    socket.flush();
  }
};

TEST_F(RemoteServerTest, DeliversMessagesAndNotifiesEveryClient) {
  CRemoteServer server([this](const RemoteMessage& m) { received.push_back(m); });
  ASSERT_TRUE(server.Listen());
  EXPECT_EQ(server.ServerPath().toStdString(), (runtime / "RVX5K8App").string());
  // A second instance does not take the name over.
  CRemoteServer second(nullptr);
  EXPECT_FALSE(second.Listen());

  QLocalSocket a, b;
  a.connectToServer(server.ServerPath());
  b.connectToServer(server.ServerPath());
  ASSERT_TRUE(a.waitForConnected(1000));
  ASSERT_TRUE(b.waitForConnected(1000));
  ASSERT_TRUE(Pump([&] { return server.ClientCount() == 2; }));

  std::vector<std::uint8_t> frames = EncodeRemoteMessage(kRemoteSetFileName, "abc");
  const std::vector<std::uint8_t> run = EncodeRemoteMessage(kRemoteRun);
  frames.insert(frames.end(), run.begin(), run.end());
  Send(a, frames);
  ASSERT_TRUE(Pump([&] { return received.size() == 2; }));
  EXPECT_EQ(RemoteText(received[0]), "abc");
  EXPECT_EQ(received[1].type, kRemoteRun);

  server.NotifyConnStateChanged(5000, 1680);
  for (QLocalSocket* s : {&a, &b}) {
    ASSERT_TRUE(Pump([&] { return s->bytesAvailable() >= 16; })) << (s == &a ? "a" : "b");
    RemoteMessageParser parser;
    const QByteArray bytes = s->readAll();
    parser.Feed(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
    const std::optional<RemoteMessage> m = parser.Next();
    ASSERT_TRUE(m.has_value());
    const auto state = DecodeConnStateChanged(*m);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->first, 5000);
  }
}

TEST_F(RemoteServerTest, MalformedClientIsDropped) {
  CRemoteServer server([this](const RemoteMessage& m) { received.push_back(m); });
  ASSERT_TRUE(server.Listen());
  QLocalSocket c;
  c.connectToServer(server.ServerPath());
  ASSERT_TRUE(c.waitForConnected(1000));
  std::vector<std::uint8_t> frame = EncodeRemoteMessage(kRemoteRun);
  frame[6] = 0x7F;  // announces megabytes
  Send(c, frame);
  ASSERT_TRUE(Pump([&] { return c.state() == QLocalSocket::UnconnectedState || server.ClientCount() == 0; }));
  EXPECT_TRUE(received.empty());
}

}  // namespace
}  // namespace zk

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
