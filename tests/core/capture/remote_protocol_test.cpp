#include "capture/remote_protocol.h"

#include <gtest/gtest.h>

#include <random>

#include "capture/driver_installer.h"
#include "record/record_format.h"

namespace zk {
namespace {

std::vector<std::uint8_t> Concat(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(RemoteProtocol, MessagesSurviveAnyCutting) {
  const std::vector<std::uint8_t> stream =
      Concat({EncodeRemoteMessage(kRemoteSetFileName, "abc"), EncodeRemoteMessage(kRemoteSetFolder, "/data/x"),
              EncodeRemoteMessage(kRemoteRun), EncodeConnStateChanged(5000, (400u << 16) | 1680u)});
  for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{7}, stream.size()}) {
    RemoteMessageParser parser;
    for (std::size_t i = 0; i < stream.size(); i += step) {
      ASSERT_TRUE(parser.Feed(stream.data() + i, std::min(step, stream.size() - i)));
    }
    std::vector<RemoteMessage> got;
    while (auto m = parser.Next()) got.push_back(*m);
    ASSERT_EQ(got.size(), 4u) << step;
    EXPECT_EQ(got[0].type, kRemoteSetFileName);
    EXPECT_EQ(RemoteText(got[0]), "abc");
    EXPECT_EQ(RemoteText(got[1]), "/data/x");
    EXPECT_EQ(got[2].type, kRemoteRun);
    EXPECT_TRUE(got[2].payload.empty());
    const auto state = DecodeConnStateChanged(got[3]);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->first, 5000);
    EXPECT_EQ(state->second, (400u << 16) | 1680u);
  }
}

TEST(RemoteProtocol, OversizedFrameDropsThePeer) {
  RemoteMessageParser parser;
  std::vector<std::uint8_t> frame = EncodeRemoteMessage(kRemoteRun);
  WriteU32(frame.data() + 4, kMaxRemotePayload + 1);
  EXPECT_FALSE(parser.Feed(frame.data(), frame.size()));
  EXPECT_TRUE(parser.Failed());
  const std::vector<std::uint8_t> good = EncodeRemoteMessage(kRemoteStop);
  EXPECT_FALSE(parser.Feed(good.data(), good.size()));
  EXPECT_FALSE(parser.Next().has_value());
}

TEST(RemoteProtocol, RandomBytesNeverCrash) {
  std::mt19937 rng(7);
  for (int round = 0; round < 200; ++round) {
    RemoteMessageParser parser;
    std::vector<std::uint8_t> junk(rng() % 600);
    for (auto& b : junk) b = static_cast<std::uint8_t>(rng() % 4 == 0 ? rng() : 0);
    parser.Feed(junk.data(), junk.size());
    while (auto m = parser.Next()) {
      EXPECT_LE(m->payload.size(), kMaxRemotePayload);
      DecodeConnStateChanged(*m);
    }
  }
}

TEST(RemoteProtocol, TextStopsAtNulAndNamesAreNotPaths) {
  RemoteMessage m{kRemoteSetFileName, std::string("ab\0cd", 5)};
  EXPECT_EQ(RemoteText(m), "ab");
  EXPECT_TRUE(IsAcceptableRemoteFileName("capture 01"));
  EXPECT_FALSE(IsAcceptableRemoteFileName("../etc/x"));
  EXPECT_FALSE(IsAcceptableRemoteFileName(".."));
}

TEST(RemoteProtocol, SocketLivesInAPrivateFolder) {
  const std::string path = RemoteSocketPath(true);
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.find("RVX5K8App"), std::string::npos);
  EXPECT_EQ(RemoteSocketPath(false), path);
}

TEST(DriverInstaller, StartsTheScriptOrSaysItIsMissing) {
  std::string startedPath, startedArgument;
  InstallerPlatform platform;
  platform.exists = [](const std::string&) { return false; };
  platform.start = [&](const std::string& p, const std::string& a) {
    startedPath = p;
    startedArgument = a;
    return true;
  };
  EXPECT_EQ(RunDriverInstaller(platform), "Driver Installer files not found.\n\n \"./driver/install-udev-rule.sh\"");
  EXPECT_TRUE(startedPath.empty());
  platform.exists = [](const std::string&) { return true; };
  EXPECT_EQ(RunDriverInstaller(platform), "");
  EXPECT_EQ(startedPath, "./driver/install-udev-rule.sh");
  EXPECT_EQ(startedArgument, "FromZKApp");
}

}  // namespace
}  // namespace zk
