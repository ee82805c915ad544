#include "interchange/sigrok_session.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>

namespace zk::interchange {

namespace {

constexpr std::size_t kMaxMetadataBytes = 1u << 20;
constexpr std::size_t kReadBlock = 1u << 20;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

bool ParseInt(std::string_view s, long long& v) {
  s = Trim(s);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size();
}

std::string ZipErrorText(zip_t* za) { return zip_error_strerror(zip_get_error(za)); }

// Chunk number of an archive member "<capture>-<n>"; 0 for the member "<capture>" itself
// (older files hold one unnumbered chunk); -1 for any other member.
long long ChunkNumber(std::string_view member, std::string_view capture) {
  if (member == capture) return 0;
  if (member.size() <= capture.size() + 1 || member.substr(0, capture.size()) != capture ||
      member[capture.size()] != '-')
    return -1;
  long long n = 0;
  const std::string_view digits = member.substr(capture.size() + 1);
  if (digits.find_first_not_of("0123456789") != std::string_view::npos || !ParseInt(digits, n) || n < 1) return -1;
  return n;
}

}  // namespace

const LogicChannel* LogicSession::FindChannel(std::string_view name) const {
  for (const LogicChannel& c : channels) {
    if (c.name == name) return &c;
  }
  for (const LogicChannel& c : channels) {
    if (EqualNoCase(c.name, name)) return &c;
  }
  return nullptr;
}

bool ParseSampleRate(std::string_view text, std::uint64_t& hz) {
  std::string_view s = Trim(text);
  std::uint64_t mantissa = 0;
  int fractionDigits = 0;
  bool digits = false, point = false;
  constexpr std::uint64_t kLimit = std::numeric_limits<std::uint64_t>::max() / 10;
  while (!s.empty()) {
    const char c = s.front();
    if (c >= '0' && c <= '9') {
      if (mantissa > kLimit) return false;
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      digits = true;
      if (point) ++fractionDigits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
    s.remove_prefix(1);
  }
  if (!digits) return false;
  s = Trim(s);
  int exponent = 0;
  if (!s.empty()) {
    switch (s.front()) {
      case 'k':
      case 'K':
        exponent = 3;
        s.remove_prefix(1);
        break;
      case 'M':
        exponent = 6;
        s.remove_prefix(1);
        break;
      case 'G':
        exponent = 9;
        s.remove_prefix(1);
        break;
      default: break;
    }
  }
  if (!s.empty() && !EqualNoCase(s, "hz")) return false;
  exponent -= fractionDigits;
  for (; exponent > 0; --exponent) {
    if (mantissa > kLimit) return false;
    mantissa *= 10;
  }
  for (; exponent < 0; ++exponent) {
    if (mantissa % 10 != 0) return false;  // a fraction of a hertz
    mantissa /= 10;
  }
  if (mantissa == 0) return false;
  hz = mantissa;
  return true;
}

std::string SampleRateText(std::uint64_t hz) {
  struct Prefix {
    std::uint64_t scale;
    const char* unit;
  };
  static constexpr Prefix kPrefixes[] = {{1000000000, "GHz"}, {1000000, "MHz"}, {1000, "kHz"}, {1, "Hz"}};
  for (const Prefix& p : kPrefixes) {
    if (hz < p.scale && p.scale != 1) continue;
    std::string text = std::to_string(hz / p.scale);
    std::uint64_t rest = hz % p.scale;
    if (rest != 0) {
      std::string fraction = std::to_string(rest);
      fraction.insert(0, std::to_string(p.scale).size() - 1 - fraction.size(), '0');
      while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
      text += "." + fraction;
    }
    return text + " " + p.unit;
  }
  return "0 Hz";
}

bool ParseLogicMetadata(std::string_view text, LogicSession& session, std::string& error) {
  session = LogicSession{};
  session.captureFile.clear();
  bool inDevice = false, sawDevice = false, sawRate = false;
  while (!text.empty()) {
    const std::size_t nl = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, nl));
    text.remove_prefix(std::min(nl + 1, text.size()));
    if (line.empty() || line.front() == '#' || line.front() == ';') continue;
    if (line.front() == '[') {
      // Only the first device's logic data is read.
      inDevice = !sawDevice && line == "[device 1]";
      sawDevice = sawDevice || inDevice;
      continue;
    }
    if (!inDevice) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    const std::string_view value = Trim(line.substr(eq + 1));
    long long n = 0;
    if (key == "capturefile") {
      session.captureFile = std::string(value);
    } else if (key == "samplerate") {
      if (!ParseSampleRate(value, session.sampleRate)) {
        error = "the sample rate '" + std::string(value) + "' is not a rate";
        return false;
      }
      sawRate = true;
    } else if (key == "unitsize") {
      if (!ParseInt(value, n) || n < 1 || n > 8) {
        error = "unit size '" + std::string(value) + "' is not 1 to 8 bytes";
        return false;
      }
      session.unitSize = static_cast<int>(n);
    } else if (key.size() > 5 && key.substr(0, 5) == "probe" && ParseInt(key.substr(5), n)) {
      if (n < 1 || n > 64) {
        error = "channel number " + std::to_string(n) + " is out of range";
        return false;
      }
      session.channels.push_back(LogicChannel{static_cast<int>(n - 1), std::string(value)});
    }
  }
  if (!sawDevice) {
    error = "the metadata has no [device 1] section";
    return false;
  }
  if (session.captureFile.empty() || session.channels.empty()) {
    error = "the capture holds no logic channels";
    return false;
  }
  if (!sawRate) {
    error = "the metadata gives no sample rate";
    return false;
  }
  for (const LogicChannel& c : session.channels) {
    if (c.bit >= session.unitSize * 8) {
      error = "channel '" + c.name + "' lies beyond the " + std::to_string(session.unitSize) + "-byte samples";
      return false;
    }
  }
  return true;
}

struct LogicSessionReader::Archive {
  zip_t* zip = nullptr;
  ~Archive() {
    if (zip) zip_discard(zip);
  }
};

LogicSessionReader::LogicSessionReader() = default;
LogicSessionReader::~LogicSessionReader() = default;

bool LogicSessionReader::Open(const std::string& path, std::string& error) {
  m_Archive = std::make_unique<Archive>();
  m_Chunks.clear();
  m_SampleBytes = 0;
  int code = 0;
  m_Archive->zip = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!m_Archive->zip) {
    zip_error_t ze;
    zip_error_init_with_code(&ze, code);
    error = "cannot open '" + path + "' as a session archive: " + zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return false;
  }
  zip_t* za = m_Archive->zip;
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat(za, "metadata", 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_INDEX)) {
    error = "'" + path + "' holds no metadata file";
    return false;
  }
  if (st.size > kMaxMetadataBytes) {
    error = "the metadata file is implausibly large";
    return false;
  }
  std::string text(static_cast<std::size_t>(st.size), '\0');
  zip_file_t* f = zip_fopen_index(za, st.index, 0);
  if (!f) {
    error = "cannot read the metadata: " + ZipErrorText(za);
    return false;
  }
  const zip_int64_t got = zip_fread(f, text.data(), text.size());
  zip_fclose(f);
  if (got < 0 || static_cast<std::uint64_t>(got) != st.size) {
    error = "cannot read the metadata";
    return false;
  }
  if (!ParseLogicMetadata(text, m_Session, error)) return false;

  std::vector<std::pair<long long, std::uint64_t>> chunks;
  const zip_int64_t entries = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    const char* name = zip_get_name(za, static_cast<zip_uint64_t>(i), 0);
    if (!name) continue;
    const long long n = ChunkNumber(name, m_Session.captureFile);
    if (n >= 0) chunks.emplace_back(n, static_cast<std::uint64_t>(i));
  }
  std::sort(chunks.begin(), chunks.end());
  for (const auto& c : chunks) {
    m_Chunks.push_back(c.second);
    zip_stat_t chunk;
    zip_stat_init(&chunk);
    if (zip_stat_index(za, c.second, 0, &chunk) == 0 && (chunk.valid & ZIP_STAT_SIZE)) m_SampleBytes += chunk.size;
  }
  if (m_Chunks.empty()) {
    error = "'" + path + "' holds no logic data (" + m_Session.captureFile + "-1 ...)";
    return false;
  }
  return true;
}

bool LogicSessionReader::ReadSamples(const SampleSink& sink, std::string& error) {
  if (!m_Archive || !m_Archive->zip) {
    error = "no session is open";
    return false;
  }
  const auto unit = static_cast<std::size_t>(m_Session.unitSize);
  std::vector<std::uint8_t> buf(kReadBlock + unit);
  std::size_t carry = 0;  // bytes of a sample begun in the previous read
  for (std::uint64_t index : m_Chunks) {
    zip_file_t* f = zip_fopen_index(m_Archive->zip, index, 0);
    if (!f) {
      error = "cannot read logic data: " + ZipErrorText(m_Archive->zip);
      return false;
    }
    for (;;) {
      const zip_int64_t got = zip_fread(f, buf.data() + carry, kReadBlock);
      if (got < 0) {
        error = std::string("logic data is damaged: ") + zip_error_strerror(zip_file_get_error(f));
        zip_fclose(f);
        return false;
      }
      if (got == 0) break;
      const std::size_t have = carry + static_cast<std::size_t>(got);
      const std::size_t whole = have / unit;
      if (whole > 0 && !sink(buf.data(), whole)) {
        zip_fclose(f);
        return true;
      }
      carry = have - whole * unit;
      std::copy(buf.begin() + static_cast<std::ptrdiff_t>(whole * unit),
                buf.begin() + static_cast<std::ptrdiff_t>(have), buf.begin());
    }
    zip_fclose(f);
  }
  return true;
}

bool WriteLogicSession(const std::string& path, const LogicSession& session, const std::vector<std::uint8_t>& samples,
                       std::string& error, std::size_t chunkBytes) {
  int code = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!za) {
    error = "cannot create '" + path + "'";
    return false;
  }
  std::string metadata = "[global]\nsigrok version=0.5.2\n\n[device 1]\ncapturefile=" + session.captureFile +
                         "\ntotal probes=" + std::to_string(session.channels.size()) +
                         "\nsamplerate=" + SampleRateText(session.sampleRate) + "\ntotal analog=0\n";
  for (const LogicChannel& c : session.channels) {
    metadata += "probe" + std::to_string(c.bit + 1) + "=" + c.name + "\n";
  }
  metadata += "unitsize=" + std::to_string(session.unitSize) + "\n";
  // The sources copy nothing: every buffer outlives zip_close below.
  static const char kVersion[] = "2";
  auto add = [&](const std::string& name, const void* data, std::size_t size) {
    zip_source_t* src = zip_source_buffer(za, data, size, 0);
    if (!src) return false;
    if (zip_file_add(za, name.c_str(), src, ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(src);
      return false;
    }
    return true;
  };
  bool ok = add("version", kVersion, 1) && add("metadata", metadata.data(), metadata.size());
  const std::size_t unit = static_cast<std::size_t>(std::max(1, session.unitSize));
  const std::size_t step = std::max(unit, chunkBytes / unit * unit);
  for (std::size_t pos = 0, n = 1; ok && pos < samples.size(); pos += step, ++n) {
    ok = add(session.captureFile + "-" + std::to_string(n), samples.data() + pos, std::min(step, samples.size() - pos));
  }
  if (!ok) {
    error = "cannot add to '" + path + "': " + ZipErrorText(za);
    zip_discard(za);
    return false;
  }
  if (zip_close(za) != 0) {
    error = "cannot write '" + path + "': " + ZipErrorText(za);
    zip_discard(za);
    return false;
  }
  return true;
}

}  // namespace zk::interchange
