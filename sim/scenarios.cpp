#include "sim/scenarios.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <random>

#include "pd/message_header.h"
#include "record/file_path.h"

namespace zk::sim {

namespace {

// ---- USB PD vocabulary the scenarios speak ------------------------------------------------

enum : int {
  kCtrlGetSourceCap = 7,
  kCtrlGetSinkCap = 8,
  kCtrlDrSwap = 9,
  kCtrlVconnSwap = 11,
  kCtrlGetPpsStatus = 20,
};
enum : int { kDataSinkCapabilities = 4, kDataEprRequest = 9, kDataEprMode = 10 };
enum : int { kExtPpsStatus = 12, kExtExtendedControl = 16, kExtEprSourceCapabilities = 17 };
enum : int { kEprEnter = 1, kEprEnterAcknowledged = 2, kEprEnterSucceeded = 3, kEprExit = 5 };
enum : std::uint8_t { kEcdbKeepAlive = 3, kEcdbKeepAliveAck = 4 };

struct Pdo {
  std::uint32_t object;
  int millivolts;  // what VBUS settles at when it is requested (0: not a fixed supply)
  int maxMilliamps;
};

// 5, 9, 15 and 20 V at 3 A; the first one says unconstrained power and dual-role data.
constexpr Pdo kSprCaps[] = {
    {0x0A01912C, 5000, 3000}, {0x0002D12C, 9000, 3000}, {0x0004B12C, 15000, 3000}, {0x0006412C, 20000, 3000}};
// The same with two programmable supplies: 3.3-11 V 5 A and 3.3-21 V 3 A.
constexpr Pdo kPpsCaps[] = {{0x0A01912C, 5000, 3000},  {0x0002D12C, 9000, 3000}, {0x0004B12C, 15000, 3000},
                            {0x0006412C, 20000, 3000}, {0xC0DC2164, 0, 5000},    {0xC1A4213C, 0, 3000}};
// An EPR-capable 240 W source: 5 A fixed supplies, then after the seven SPR positions
// 28, 36 and 48 V and an adjustable 15-48 V supply.
constexpr Pdo kEprCaps[] = {{0x0A81912C, 5000, 3000},
                            {0x0002D1F4, 9000, 5000},
                            {0x0004B1F4, 15000, 5000},
                            {0x000641F4, 20000, 5000},
                            {0, 0, 0},
                            {0, 0, 0},
                            {0, 0, 0},
                            {0x0008C1F4, 28000, 5000},
                            {0x000B41F4, 36000, 5000},
                            {0x000F01F4, 48000, 5000},
                            {0xD3C096F0, 0, 0}};
constexpr int kSprInEpr = 4;
constexpr std::uint32_t kSinkCaps[] = {0x1401912C, 0x0002D12C, 0x0004B12C, 0x0006412C};

constexpr std::uint32_t kRdoUsbComm = 1u << 25;
constexpr std::uint32_t kRdoNoSuspend = 1u << 24;
constexpr std::uint32_t kRdoEprCapable = 1u << 22;

std::uint32_t FixedRdo(int position, int operatingMa, int maxMa, std::uint32_t flags) {
  return (static_cast<std::uint32_t>(position) << 28) | flags | (static_cast<std::uint32_t>(operatingMa / 10) << 10) |
         static_cast<std::uint32_t>(maxMa / 10);
}

std::uint32_t PpsRdo(int position, int millivolts, int milliamps) {
  return (static_cast<std::uint32_t>(position) << 28) | kRdoUsbComm | kRdoNoSuspend |
         (static_cast<std::uint32_t>(millivolts / 20) << 9) | static_cast<std::uint32_t>(milliamps / 50);
}

std::uint32_t EprModeObject(int action, int data) {
  return (static_cast<std::uint32_t>(action) << 24) | (static_cast<std::uint32_t>(data) << 16);
}

// Structured VDM header, version 2.0.
enum : int { kVdmReq = 0, kVdmAck = 1 };
enum : int {
  kVdmDiscoverIdentity = 1,
  kVdmDiscoverSvids = 2,
  kVdmDiscoverModes = 3,
  kVdmEnterMode = 4,
  kVdmExitMode = 5,
  kVdmAttention = 6,
  kVdmDpStatusUpdate = 16,
  kVdmDpConfigure = 17,
};
constexpr std::uint16_t kSvidPd = 0xFF00;
constexpr std::uint16_t kSvidDisplayPort = 0xFF01;

std::uint32_t Svdm(std::uint16_t svid, int commandType, int command, int position = 0) {
  return (static_cast<std::uint32_t>(svid) << 16) | 0x8000u | 0x2000u | (static_cast<std::uint32_t>(position) << 8) |
         (static_cast<std::uint32_t>(commandType) << 6) | static_cast<std::uint32_t>(command);
}

// A dock with DisplayPort: ID header (USB device, peripheral, modal, receptacle), cert
// stat, product, UFP VDO (USB 2 and 3.2, reconfigurable alternate modes, Gen 2).
constexpr std::uint32_t kDockIdentity[] = {0x54400F1E, 0x00000000, 0x7A010100, 0x65000012};
// A passive 5 A 50 V Type-C cable: ID header (passive cable, plug), cert stat, product, cable VDO.
constexpr std::uint32_t kCableIdentity[] = {0x18603C4A, 0x00000000, 0x00010200, 0x11082642};
constexpr std::uint32_t kDockSvids = 0xFF010000;
constexpr std::uint32_t kDpCapabilities = 0x001C0045;  // UFP_D, pin assignments C, D, E
constexpr std::uint32_t kDpStatusDfp = 0x00000001;
constexpr std::uint32_t kDpStatusUfp = 0x0000001A;
constexpr std::uint32_t kDpStatusHpdHigh = 0x0000009A;
constexpr std::uint32_t kDpConfigurePinC = 0x00000406;

// ---- Power seen by the box -----------------------------------------------------------------

class PowerModel {
 public:
  PowerModel(std::uint64_t seed, int ccChannel) : m_Rng(seed ^ 0x9E3779B97F4A7C15ull), m_CcChannel(ccChannel) {}

  // VBUS moves from where it is at `atUs` towards `mv` at `slewMvPerMs`.
  void SetVbus(std::int64_t atUs, int mv, int slewMvPerMs) {
    const int from = Vbus(atUs);
    m_Vbus.push_back({atUs, from, mv, std::max(1, slewMvPerMs)});
  }
  void SetLoad(std::int64_t atUs, int ma) { m_Load.push_back({atUs, ma}); }
  void SetVconn(bool on) { m_Vconn = on; }
  int VbusTarget() const { return m_Vbus.empty() ? 0 : m_Vbus.back().to; }

  PowerReading operator()(std::int64_t us) {
    while (m_Vbus.size() > 1 && m_Vbus[1].t0 <= us) m_Vbus.pop_front();
    while (m_Load.size() > 1 && m_Load[1].t0 <= us) m_Load.pop_front();
    PowerReading r;
    const int load = (m_Load.empty() || m_Load.front().t0 > us) ? 0 : m_Load.front().ma;
    const int vbus = Vbus(us);
    r.vbusMa = vbus > 3000 ? load + Noise(12) : Noise(2);
    // About 40 mOhm between the source and the box's shunt.
    r.vbusMv = std::max(0, vbus - r.vbusMa * 40 / 1000 + Noise(15));
    const int attachedCc = vbus > 3000 ? 1680 + Noise(8) : 0;
    const int vconn = m_Vconn && vbus > 3000 ? 4950 + Noise(10) : 0;
    r.cc1Mv = m_CcChannel == 0 ? attachedCc : vconn;
    r.cc2Mv = m_CcChannel == 0 ? vconn : attachedCc;
    const int vconnMa = vconn ? 35 + Noise(3) : 0;
    r.cc1Ma = m_CcChannel == 0 ? Noise(1) : vconnMa;
    r.cc2Ma = m_CcChannel == 0 ? vconnMa : Noise(1);
    return r;
  }

 private:
  struct Ramp {
    std::int64_t t0;
    int from, to, slew;
  };
  struct Step {
    std::int64_t t0;
    int ma;
  };

  int Vbus(std::int64_t us) const {
    const Ramp* ramp = nullptr;
    for (const Ramp& r : m_Vbus) {
      if (r.t0 <= us) ramp = &r;
    }
    if (!ramp) return m_Vbus.empty() ? 0 : m_Vbus.front().from;
    const std::int64_t moved = (us - ramp->t0) * ramp->slew / 1000;
    if (ramp->to >= ramp->from) return static_cast<int>(std::min<std::int64_t>(ramp->to, ramp->from + moved));
    return static_cast<int>(std::max<std::int64_t>(ramp->to, ramp->from - moved));
  }
  int Noise(int amplitude) {
    return static_cast<int>(m_Rng() % static_cast<std::uint64_t>(2 * amplitude + 1)) - amplitude;
  }

  std::mt19937_64 m_Rng;
  int m_CcChannel;
  bool m_Vconn = true;
  std::deque<Ramp> m_Vbus;
  std::deque<Step> m_Load;
};

// ---- A conversation between two ports and a cable -------------------------------------------

enum Endpoint : int { kPortA = 0, kPortB = 1, kCable = 2 };

struct Content {
  enum Shape { kControl, kData, kExtended } shape = kControl;
  int type = 0;
  std::vector<std::uint32_t> objects;
  std::uint16_t extHeader = 0;
  std::vector<std::uint8_t> extData;
};

Content Ctrl(int type) { return {Content::kControl, type, {}, 0, {}}; }
Content Data(int type, std::vector<std::uint32_t> objects) { return {Content::kData, type, std::move(objects), 0, {}}; }
Content Ext(int type, std::uint16_t extHeader, std::vector<std::uint8_t> bytes) {
  return {Content::kExtended, type, {}, extHeader, std::move(bytes)};
}

// What goes wrong with one transmission.
struct Impairment {
  bool corruptCrc = false;
  int truncateAfterBits = -1;
  int jitterNs = 15;
};

int KindSlot(int kind) { return kind == kKindSopP ? 1 : kind == kKindSopPP ? 2 : 0; }

class Session {
 public:
  Session(const ScenarioOptions& o, RecordSynthesizer& synth, PowerModel& power, std::int64_t endUs)
      : m_Synth(synth), m_Power(power), m_Rng(o.seed), m_Channel(o.channel & 1), m_EndUs(endUs) {
    m_Ports[kPortA] = {1, 1, {}};  // the charger: Source, DFP, VCONN source
    m_Ports[kPortB] = {0, 0, {}};
    m_Ports[kCable] = {0, 0, {}};
  }

  bool Done() const { return m_Now >= m_EndUs; }
  std::int64_t Now() const { return m_Now; }
  PowerModel& Power() { return m_Power; }
  std::int64_t Random(std::int64_t lo, std::int64_t hi) {
    return lo + static_cast<std::int64_t>(m_Rng() % static_cast<std::uint64_t>(hi - lo + 1));
  }
  void Wait(std::int64_t us) { m_Now += us; }
  void WaitAround(std::int64_t lo, std::int64_t hi) { m_Now += Random(lo, hi); }

  int Source() const { return m_Ports[kPortA].power ? kPortA : kPortB; }
  int Sink() const { return 1 - Source(); }
  int Dfp() const { return m_Ports[kPortA].data ? kPortA : kPortB; }
  int Ufp() const { return 1 - Dfp(); }
  int VconnSource() const { return m_VconnSource; }

  void SwapDataRoles() {
    m_Ports[kPortA].data ^= 1;
    m_Ports[kPortB].data ^= 1;
  }
  void SetPowerRole(int port, int role) { m_Ports[port].power = role; }
  void SetVconnSource(int port) { m_VconnSource = port; }
  void ResetIds(int slot) {
    for (Port& p : m_Ports) p.ids[static_cast<std::size_t>(slot)] = 0;
  }
  void ResetAllIds() {
    for (int s = 0; s < 3; ++s) ResetIds(s);
  }

  bool contract = false;
  bool epr = false;

  // Sends a message; the addressee answers GoodCRC some 100 to 200 us after its end unless
  // the message arrived damaged. True when it was acknowledged.
  bool Send(int from, int kind, const Content& c, const Impairment& imp = {}) {
    if (Done()) return false;
    const int to = Addressee(from, kind);
    const PdMessageSpec m = Build(from, kind, c, m_Ports[from].ids[static_cast<std::size_t>(KindSlot(kind))]);
    BmcOptions o = Line(from, imp);
    o.corruptCrc = imp.corruptCrc;
    o.truncateAfterBits = imp.truncateAfterBits;
    PutOnLine(m, o);
    if (imp.corruptCrc || imp.truncateAfterBits >= 0) return false;
    WaitAround(100, 200);
    const PdMessageSpec ack = Build(to, kind, Ctrl(kCtrlGoodCrc), HeaderMessageId(m.header));
    PutOnLine(ack, Line(to, {}));
    int& id = m_Ports[from].ids[static_cast<std::size_t>(KindSlot(kind))];
    id = (id + 1) % 8;
    return true;
  }

  void SendOrderedSet(int from, int kind) {
    if (Done()) return;
    PutOnLine(BareOrderedSet(kind), Line(from, {}));
  }

  // A burst of short pulses: a connector being touched, a load switching.
  void Noise() {
    if (Done()) return;
    BmcWaveform w;
    w.tickDiv = m_Synth.TickDiv();
    const int edges = static_cast<int>(Random(3, 14));
    std::uint64_t t = 0;
    for (int i = 0; i < edges; ++i) {
      w.edges.push_back(t);
      const std::int64_t ns = Random(150, 1000);
      t += static_cast<std::uint64_t>(std::max<std::int64_t>(1, ns * 48 / 1000 / w.tickDiv));
    }
    SynthPacket expected;
    expected.kind = kKindTooShort;
    expected.complete = false;
    const SynthPacket p = m_Synth.Transmit(m_Channel, m_Now, w, expected);
    m_Now = EndOf(p, w);
  }

 private:
  struct Port {
    int power = 0;
    int data = 0;
    std::array<int, 3> ids{};
  };

  int Addressee(int from, int kind) const {
    if (kind == kKindSop) return 1 - from;
    return from == kCable ? m_VconnSource : kCable;
  }

  PdMessageSpec Build(int from, int kind, const Content& c, int id) const {
    PortRoles roles{};
    if (from == kCable) {
      roles = kCablePlug;
    } else if (kind == kKindSop) {
      roles = {m_Ports[from].power, m_Ports[from].data};
    }
    switch (c.shape) {
      case Content::kControl: return ControlMessage(kind, c.type, kRev30, roles, id);
      case Content::kData: return DataMessage(kind, c.type, kRev30, roles, id, c.objects);
      case Content::kExtended: return ExtendedMessage(kind, c.type, kRev30, roles, id, c.extHeader, c.extData);
    }
    return {};
  }

  // Every transmitter runs at its own rate, a little off the nominal 300 kbps.
  BmcOptions Line(int from, const Impairment& imp) {
    static constexpr int kRates[] = {299100, 301700, 296400};
    BmcOptions o;
    o.tickDiv = m_Synth.TickDiv();
    o.bitRate = kRates[from];
    o.jitterNs = imp.jitterNs;
    o.seed = m_Rng();
    return o;
  }

  std::int64_t EndOf(const SynthPacket& p, const BmcWaveform& w) const {
    return p.timeUs + static_cast<std::int64_t>(w.Length() * static_cast<std::uint64_t>(w.tickDiv) / 48) + 1;
  }

  void PutOnLine(const PdMessageSpec& m, const BmcOptions& o) {
    const BmcWaveform w = EncodeMessage(m, o);
    const SynthPacket p = m_Synth.Transmit(m_Channel, m_Now, w, ExpectedPacket(m, o));
    m_Now = EndOf(p, w);
  }

  RecordSynthesizer& m_Synth;
  PowerModel& m_Power;
  std::mt19937_64 m_Rng;
  int m_Channel;
  std::int64_t m_EndUs;
  std::int64_t m_Now = 0;
  std::array<Port, 3> m_Ports{};
  int m_VconnSource = kPortA;
};

// ---- Building blocks of the conversations ---------------------------------------------------

std::vector<std::uint32_t> Objects(const Pdo* pdos, int count) {
  std::vector<std::uint32_t> out;
  for (int i = 0; i < count; ++i) out.push_back(pdos[i].object);
  return out;
}

// The source moves VBUS after Accept and says PS_RDY once it is there.
void Transition(Session& s, int millivolts, int loadMa) {
  s.WaitAround(300, 900);
  s.Send(s.Source(), kKindSop, Ctrl(kCtrlAccept));
  const int slew = 30;  // mV per ms
  const int delta = std::abs(millivolts - s.Power().VbusTarget());
  s.Power().SetVbus(s.Now() + 2000, millivolts, slew);
  s.Wait(2000 + static_cast<std::int64_t>(delta) * 1000 / slew + s.Random(5000, 15000));
  s.Send(s.Source(), kKindSop, Ctrl(kCtrlPsRdy));
  s.Power().SetLoad(s.Now() + s.Random(2000, 8000), loadMa);
}

void RequestFixed(Session& s, const Pdo* caps, int position, int loadMa, std::uint32_t flags = 0) {
  const Pdo& pdo = caps[position - 1];
  s.WaitAround(1500, 3500);
  s.Send(s.Sink(), kKindSop,
         Data(kDataRequest,
              {FixedRdo(position, pdo.maxMilliamps, pdo.maxMilliamps, kRdoUsbComm | kRdoNoSuspend | flags)}));
  Transition(s, pdo.millivolts, loadMa);
}

void Negotiate(Session& s, const Pdo* caps, int count, int position, int loadMa, std::uint32_t flags = 0) {
  s.Send(s.Source(), kKindSop, Data(kDataSourceCapabilities, Objects(caps, count)));
  RequestFixed(s, caps, position, loadMa, flags);
  s.contract = true;
}

void EnsureContract(Session& s) {
  if (!s.contract) Negotiate(s, kSprCaps, 4, 1, 500);
}

// ---- The scenarios --------------------------------------------------------------------------

void SprEpisode(Session& s) {
  s.Power().SetLoad(s.Now(), 80);
  Negotiate(s, kSprCaps, 4, 1, static_cast<int>(s.Random(600, 1200)));
  s.WaitAround(300000, 700000);
  RequestFixed(s, kSprCaps, 2, static_cast<int>(s.Random(1500, 2500)));
  s.WaitAround(300000, 700000);
  RequestFixed(s, kSprCaps, 4, static_cast<int>(s.Random(2200, 2900)));
  s.WaitAround(50000, 150000);
  s.Send(s.Source(), kKindSop, Ctrl(kCtrlGetSinkCap));
  s.WaitAround(500, 1500);
  s.Send(s.Sink(), kKindSop, Data(kDataSinkCapabilities, {std::begin(kSinkCaps), std::end(kSinkCaps)}));
  s.WaitAround(500000, 1500000);
}

void PpsEpisode(Session& s) {
  Negotiate(s, kPpsCaps, 6, 1, 500);
  s.WaitAround(50000, 150000);
  int mv = 5000;
  const int steps = static_cast<int>(s.Random(8, 14));
  for (int i = 0; i < steps && !s.Done(); ++i) {
    mv = std::clamp(mv + static_cast<int>(s.Random(-2, 6)) * 100, 3300, 11000);
    const int ma = static_cast<int>(s.Random(20, 60)) * 50;
    s.Send(s.Sink(), kKindSop, Data(kDataRequest, {PpsRdo(5, mv, ma)}));
    s.WaitAround(300, 800);
    s.Send(s.Source(), kKindSop, Ctrl(kCtrlAccept));
    s.Power().SetVbus(s.Now() + 1000, mv, 500);
    s.WaitAround(8000, 15000);
    s.Send(s.Source(), kKindSop, Ctrl(kCtrlPsRdy));
    s.Power().SetLoad(s.Now() + 2000, ma * 9 / 10);
    if (i % 3 == 2) {
      s.WaitAround(20000, 60000);
      s.Send(s.Sink(), kKindSop, Ctrl(kCtrlGetPpsStatus));
      s.WaitAround(500, 1500);
      const int outMv = mv - static_cast<int>(s.Random(0, 60));
      s.Send(s.Source(), kKindSop,
             Ext(kExtPpsStatus, MakeExtendedHeader(4, true, 0, false),
                 {static_cast<std::uint8_t>(outMv / 20), static_cast<std::uint8_t>((outMv / 20) >> 8),
                  static_cast<std::uint8_t>(ma * 9 / 10 / 50), 0x00}));
    }
    s.WaitAround(150000, 400000);
  }
}

void EprEpisode(Session& s) {
  Negotiate(s, kEprCaps, kSprInEpr, 4, 2000, kRdoEprCapable);
  s.WaitAround(30000, 80000);
  s.Send(s.Sink(), kKindSop, Data(kDataEprMode, {EprModeObject(kEprEnter, 140)}));
  s.WaitAround(500, 1500);
  s.Send(s.Source(), kKindSop, Data(kDataEprMode, {EprModeObject(kEprEnterAcknowledged, 0)}));
  // Before EPR the source makes sure the cable is rated for 5 A and 50 V.
  s.WaitAround(500, 1500);
  s.Send(s.VconnSource(), kKindSopP, Data(kDataVendorDefined, {Svdm(kSvidPd, kVdmReq, kVdmDiscoverIdentity)}));
  s.WaitAround(300, 800);
  std::vector<std::uint32_t> cable = {Svdm(kSvidPd, kVdmAck, kVdmDiscoverIdentity)};
  cable.insert(cable.end(), std::begin(kCableIdentity), std::end(kCableIdentity));
  s.Send(kCable, kKindSopP, Data(kDataVendorDefined, cable));
  s.WaitAround(1000, 3000);
  s.Send(s.Source(), kKindSop, Data(kDataEprMode, {EprModeObject(kEprEnterSucceeded, 0)}));
  s.epr = true;

  // EPR_Source_Capabilities: 44 bytes in two chunks, the second one asked for by the sink.
  std::vector<std::uint8_t> caps;
  for (const Pdo& p : kEprCaps) {
    for (int i = 0; i < 4; ++i) caps.push_back(static_cast<std::uint8_t>(p.object >> (8 * i)));
  }
  const int size = static_cast<int>(caps.size());
  s.WaitAround(1000, 3000);
  s.Send(s.Source(), kKindSop,
         Ext(kExtEprSourceCapabilities, MakeExtendedHeader(size, true, 0, false),
             std::vector<std::uint8_t>(caps.begin(), caps.begin() + 26)));
  s.WaitAround(200, 600);
  s.Send(s.Sink(), kKindSop, Ext(kExtEprSourceCapabilities, MakeExtendedHeader(0, true, 1, true), {}));
  s.WaitAround(200, 600);
  s.Send(s.Source(), kKindSop,
         Ext(kExtEprSourceCapabilities, MakeExtendedHeader(size, true, 1, false),
             std::vector<std::uint8_t>(caps.begin() + 26, caps.end())));

  for (int position : {8, 9, 10, 8}) {
    const Pdo& pdo = kEprCaps[position - 1];
    s.WaitAround(2000, 5000);
    s.Send(s.Sink(), kKindSop,
           Data(kDataEprRequest,
                {FixedRdo(position, 5000, 5000, kRdoUsbComm | kRdoNoSuspend | kRdoEprCapable), pdo.object}));
    Transition(s, pdo.millivolts, static_cast<int>(s.Random(3000, 4800)));
    // The sink keeps EPR alive well inside the source's 1 s limit.
    for (int k = 0; k < 3 && !s.Done(); ++k) {
      s.WaitAround(300000, 450000);
      s.Send(s.Sink(), kKindSop, Ext(kExtExtendedControl, MakeExtendedHeader(2, true, 0, false), {kEcdbKeepAlive, 0}));
      s.WaitAround(400, 1200);
      s.Send(s.Source(), kKindSop,
             Ext(kExtExtendedControl, MakeExtendedHeader(2, true, 0, false), {kEcdbKeepAliveAck, 0}));
    }
  }
  // Back to SPR, so that what follows starts from a plain contract.
  s.WaitAround(50000, 100000);
  s.Send(s.Sink(), kKindSop, Data(kDataEprMode, {EprModeObject(kEprExit, 0)}));
  s.epr = false;
  s.WaitAround(1000, 3000);
  Negotiate(s, kSprCaps, 4, 4, 2000);
  s.WaitAround(300000, 800000);
}

// The DFP's request and the responder's acknowledgement, each with its GoodCRC.
void VdmExchange(Session& s, int kind, int responder, std::uint16_t svid, int command, int position,
                 std::vector<std::uint32_t> request, std::vector<std::uint32_t> answer) {
  request.insert(request.begin(), Svdm(svid, kVdmReq, command, position));
  s.Send(kind == kKindSop ? s.Dfp() : s.VconnSource(), kind, Data(kDataVendorDefined, request));
  s.WaitAround(500, 2500);
  answer.insert(answer.begin(), Svdm(svid, kVdmAck, command, position));
  s.Send(responder, kind, Data(kDataVendorDefined, answer));
  s.WaitAround(1000, 4000);
}

void VdmEpisode(Session& s) {
  EnsureContract(s);
  s.WaitAround(20000, 60000);
  VdmExchange(s, kKindSopP, kCable, kSvidPd, kVdmDiscoverIdentity, 0, {},
              {std::begin(kCableIdentity), std::end(kCableIdentity)});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidPd, kVdmDiscoverIdentity, 0, {},
              {std::begin(kDockIdentity), std::end(kDockIdentity)});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidPd, kVdmDiscoverSvids, 0, {}, {kDockSvids});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmDiscoverModes, 0, {}, {kDpCapabilities});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmEnterMode, 1, {}, {});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmDpStatusUpdate, 1, {kDpStatusDfp}, {kDpStatusUfp});
  VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmDpConfigure, 1, {kDpConfigurePinC}, {});
  // The monitor raises HPD; the DFP reads the new status each time.
  for (int i = 0; i < 3 && !s.Done(); ++i) {
    s.WaitAround(200000, 600000);
    s.Send(s.Ufp(), kKindSop,
           Data(kDataVendorDefined, {Svdm(kSvidDisplayPort, kVdmReq, kVdmAttention, 1), kDpStatusHpdHigh}));
    s.WaitAround(1000, 3000);
    VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmDpStatusUpdate, 1, {kDpStatusDfp}, {kDpStatusHpdHigh});
  }
  s.WaitAround(300000, 800000);
  VdmExchange(s, kKindSop, s.Ufp(), kSvidDisplayPort, kVdmExitMode, 1, {}, {});
  s.WaitAround(300000, 800000);
}

void SwapEpisode(Session& s) {
  EnsureContract(s);
  s.WaitAround(50000, 150000);
  // DR_Swap, asked for by the UFP.
  s.Send(s.Ufp(), kKindSop, Ctrl(kCtrlDrSwap));
  s.WaitAround(300, 900);
  s.Send(s.Dfp(), kKindSop, Ctrl(kCtrlAccept));
  s.SwapDataRoles();
  s.WaitAround(100000, 300000);

  // PR_Swap, asked for by the sink: the old source lets VBUS go and says PS_RDY as a
  // sink, then the new source brings it back and says PS_RDY as the source.
  const int oldSource = s.Source(), newSource = s.Sink();
  s.Send(newSource, kKindSop, Ctrl(kCtrlPrSwap));
  s.WaitAround(300, 900);
  s.Send(oldSource, kKindSop, Ctrl(kCtrlAccept));
  s.WaitAround(20000, 30000);
  s.Power().SetLoad(s.Now(), 0);
  s.Power().SetVbus(s.Now(), 0, 200);
  s.WaitAround(35000, 45000);
  s.SetPowerRole(oldSource, 0);
  s.Send(oldSource, kKindSop, Ctrl(kCtrlPsRdy));
  s.WaitAround(5000, 15000);
  s.SetPowerRole(newSource, 1);
  s.Power().SetVbus(s.Now(), 5000, 100);
  s.WaitAround(60000, 80000);
  s.Send(newSource, kKindSop, Ctrl(kCtrlPsRdy));
  s.contract = false;
  s.WaitAround(20000, 40000);
  Negotiate(s, kSprCaps, 4, 1, 900);
  s.WaitAround(100000, 300000);

  // VCONN_Swap: the new VCONN source switches VCONN on and says PS_RDY.
  const int newVconn = s.VconnSource() == kPortA ? kPortB : kPortA;
  s.Send(newVconn, kKindSop, Ctrl(kCtrlVconnSwap));
  s.WaitAround(300, 900);
  s.Send(s.VconnSource(), kKindSop, Ctrl(kCtrlAccept));
  s.WaitAround(2000, 5000);
  s.SetVconnSource(newVconn);
  s.Send(newVconn, kKindSop, Ctrl(kCtrlPsRdy));
  s.WaitAround(500000, 1000000);
}

void ErrorsEpisode(Session& s) {
  EnsureContract(s);
  s.WaitAround(20000, 80000);
  s.Noise();
  s.WaitAround(5000, 20000);
  s.Noise();
  s.WaitAround(20000, 80000);

  // A damaged message gets no GoodCRC, and the sender tries again with the same ID.
  const std::vector<std::uint32_t> caps = Objects(kSprCaps, 4);
  s.Send(s.Source(), kKindSop, Data(kDataSourceCapabilities, caps), Impairment{true, -1, 15});
  s.WaitAround(1000, 1200);
  s.Send(s.Source(), kKindSop, Data(kDataSourceCapabilities, caps));
  s.WaitAround(1500, 3000);
  const std::vector<std::uint32_t> rdo = {FixedRdo(1, 3000, 3000, kRdoUsbComm | kRdoNoSuspend)};
  s.Send(s.Sink(), kKindSop, Data(kDataRequest, rdo), Impairment{false, kPreambleBits + 20 + 5 * 14, 15});
  s.WaitAround(1000, 1200);
  s.Send(s.Sink(), kKindSop, Data(kDataRequest, rdo), Impairment{false, -1, 80});
  Transition(s, 5000, 900);
  s.WaitAround(100000, 300000);

  // Soft reset: both message ID counters start again at 0.
  s.ResetIds(KindSlot(kKindSop));
  s.Send(s.Sink(), kKindSop, Ctrl(kCtrlSoftReset));
  s.WaitAround(300, 900);
  s.Send(s.Source(), kKindSop, Ctrl(kCtrlAccept));
  s.WaitAround(10000, 30000);
  Negotiate(s, kSprCaps, 4, 2, 1500);
  s.WaitAround(200000, 400000);

  // Cable reset from the VCONN source; the cable forgets its message IDs.
  s.SendOrderedSet(s.VconnSource(), kKindCableReset);
  s.ResetIds(KindSlot(kKindSopP));
  s.WaitAround(50000, 100000);

  // Hard reset: VBUS goes to 0 V and comes back, and the negotiation starts over.
  s.SendOrderedSet(s.Sink(), kKindHardReset);
  s.ResetAllIds();
  s.contract = false;
  s.Power().SetLoad(s.Now(), 0);
  s.WaitAround(25000, 35000);
  s.Power().SetVbus(s.Now(), 0, 300);
  s.WaitAround(700000, 900000);
  s.Power().SetVbus(s.Now(), 5000, 100);
  s.WaitAround(150000, 250000);
  Negotiate(s, kSprCaps, 4, 1, 700);
  s.WaitAround(300000, 700000);
}

// Messages back to back, each with its GoodCRC, for throughput measurements.
void DenseEpisode(Session& s) {
  EnsureContract(s);
  for (int i = 0; i < 100 && !s.Done(); ++i) {
    s.WaitAround(30, 80);
    s.Send(s.Sink(), kKindSop, Ctrl(kCtrlGetSourceCap));
    s.WaitAround(30, 80);
    s.Send(s.Source(), kKindSop, Data(kDataSourceCapabilities, Objects(kPpsCaps, 6)));
    s.WaitAround(30, 80);
    s.Send(s.Sink(), kKindSop, Data(kDataRequest, {FixedRdo(1, 3000, 3000, kRdoUsbComm | kRdoNoSuspend)}));
    s.WaitAround(30, 80);
    s.Send(s.Source(), kKindSop, Ctrl(kCtrlAccept));
    s.WaitAround(30, 80);
    s.Send(s.Source(), kKindSop, Ctrl(kCtrlPsRdy));
  }
}

void MixedEpisode(Session& s);

using Episode = void (*)(Session&);

struct ScenarioRow {
  std::string_view name;
  std::string_view summary;
  Episode episode;
};

constexpr ScenarioRow kScenarioRows[] = {
    {"spr", "Source_Capabilities, Request, Accept, PS_RDY; VBUS 5 V, 9 V, 20 V under load", SprEpisode},
    {"pps", "programmable supply requests at changing voltages, PPS status", PpsEpisode},
    {"epr", "EPR_Mode, cable check, chunked EPR_Source_Capabilities, EPR_Request, keep-alive", EprEpisode},
    {"vdm", "Discover Identity/SVIDs/Modes, DisplayPort Enter Mode, Status, Configure, Attention", VdmEpisode},
    {"swap", "DR_Swap, PR_Swap with both PS_RDY, VCONN_Swap", SwapEpisode},
    {"errors", "noise, bad CRC, truncated message, Soft Reset, Cable Reset, Hard Reset", ErrorsEpisode},
    {"dense", "back-to-back messages with GoodCRC", DenseEpisode},
    {"mixed", "all of the above over a long session", MixedEpisode},
};

void MixedEpisode(Session& s) {
  static constexpr Episode kOrder[] = {SprEpisode,  PpsEpisode,    VdmEpisode,  EprEpisode,
                                       SwapEpisode, ErrorsEpisode, DenseEpisode};
  for (Episode e : kOrder) {
    if (s.Done()) return;
    e(s);
    s.WaitAround(200000, 500000);
  }
}

const ScenarioRow* FindScenario(std::string_view name) {
  for (const ScenarioRow& r : kScenarioRows) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

}  // namespace

const std::vector<ScenarioInfo>& Scenarios() {
  static const std::vector<ScenarioInfo> list = [] {
    std::vector<ScenarioInfo> v;
    for (const ScenarioRow& r : kScenarioRows) v.push_back({r.name, r.summary});
    return v;
  }();
  return list;
}

bool IsScenario(std::string_view name) { return FindScenario(name) != nullptr; }

std::uint32_t ScenarioClockStart(std::uint64_t seed) {
  std::mt19937_64 rng(seed * 0x2545F4914F6CDD1Dull + 1);
  return static_cast<std::uint32_t>(rng());
}

bool RunScenario(const ScenarioOptions& options, const RecordSink& records, const PacketSink& packets) {
  const ScenarioRow* row = FindScenario(options.name);
  if (!row) return false;
  const std::int64_t endUs = static_cast<std::int64_t>(std::max(0.0, options.seconds) * 1e6);
  SynthOptions so;
  so.tickDiv = options.tickDiv;
  so.sampleIntervalUs = options.sampleIntervalUs;
  so.clockStartUs =
      options.clockStartUs < 0 ? ScenarioClockStart(options.seed) : static_cast<std::uint32_t>(options.clockStartUs);
  so.channelsAtStart = 1 << (options.channel & 1);
  PowerModel power(options.seed, options.channel & 1);
  RecordSynthesizer synth(
      so, records, [&power](std::int64_t us) { return power(us); }, packets);
  Session session(options, synth, power, endUs);

  // The plug goes in a moment after the capture starts; the source switches VBUS on and
  // waits the usual time before its first Source_Capabilities.
  session.WaitAround(20000, 60000);
  power.SetVbus(session.Now(), 5000, 100);
  session.WaitAround(150000, 250000);
  while (!session.Done()) row->episode(session);
  synth.AdvanceTo(endUs);
  synth.Finish();
  return true;
}

bool WriteScenarioFile(const ScenarioOptions& options, const std::string& path, std::string& error,
                       const PacketSink& packets) {
  if (!IsScenario(options.name)) {
    error = "unknown scenario '" + options.name + "'";
    return false;
  }
  std::FILE* f = OpenFile(path, "wb");
  if (!f) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  static constexpr std::size_t kBufferBytes = 1 << 20;
  std::vector<char> buffer(kBufferBytes);
  std::setvbuf(f, buffer.data(), _IOFBF, buffer.size());
  bool ok = true;
  RunScenario(
      options,
      [&](const Record& r) {
        if (ok && std::fwrite(r.data(), 1, r.size(), f) != r.size()) ok = false;
      },
      packets);
  const int savedErrno = errno;
  if (std::fclose(f) != 0 || !ok) {
    error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
    return false;
  }
  return true;
}

}  // namespace zk::sim
