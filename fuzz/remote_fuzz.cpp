// Remote-control byte streams through the message parser, in pieces of every size, and
// the parsed messages through the payload readers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "capture/remote_protocol.h"
#include "fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zk;
  fuzz::Reader in(data, size);
  const std::size_t piece = 1 + in.Byte() % 64;
  RemoteMessageParser parser;
  while (in.Left()) {
    const std::size_t n = piece < in.Left() ? piece : in.Left();
    const bool ok = parser.Feed(in.Here(), n);
    in.Skip(n);
    while (auto m = parser.Next()) {
      if (m->payload.size() > kMaxRemotePayload) std::abort();
      RemoteText(*m);
      DecodeConnStateChanged(*m);
      IsAcceptableRemoteFileName(m->payload);
    }
    if (!ok) break;
  }
  return 0;
}
