#include "decoder/station/station_summary.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "decoder/station/country_table.h"
#include "decoder/station/language_table.h"
#include "decoder/station/pty_table.h"
#include "decoder/station/rbds_callsign.h"
#include "decoder/station/rtplus_table.h"

namespace decoder {
namespace {

constexpr double kBitsPerSecond = 1187.5;
constexpr int kBitsPerGroup = 104;

// printf-style on purpose, like the report's fields; the format attribute lets the compiler
// check every call's arguments.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void Appendf(std::string& out, const char* format, ...) {  // NOLINT(cert-dcl50-cpp)
  char text[256];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (size >= 0 && static_cast<std::size_t>(size) < sizeof text) {
    out.append(text, static_cast<std::size_t>(size));
  } else if (size > 0) {  // longer than the buffer: format again straight into the output
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(size) + 1);
    std::vsnprintf(&out[at], static_cast<std::size_t>(size) + 1, format, again);
    out.pop_back();
  }
  va_end(again);
}

// A text between double quotes, with the quote, the backslash and a line break escaped so that
// one value never spans two lines of the summary.
void AppendQuoted(const std::string& text, std::string& out) {
  out.push_back('"');
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

void AppendLabel(const char* label, std::string& out) { Appendf(out, "  %-13s", label); }

void AppendKiloHertzList(const AfList& list, std::string& out) {
  bool fm = false;
  for (int i = 0; i < list.Size(); ++i) {
    const std::int32_t khz = list.KiloHertz(i);
    if (khz >= 87500) {
      Appendf(out, "%s%.1f", fm ? " " : "", khz / 1000.0);
      fm = true;
    }
  }
  if (fm) out += " MHz";
  bool lf_mf = false;
  for (int i = 0; i < list.Size(); ++i) {
    const std::int32_t khz = list.KiloHertz(i);
    if (khz < 87500) {
      Appendf(out, "%s%d", fm || lf_mf ? " " : "", static_cast<int>(khz));
      lf_mf = true;
    }
  }
  if (lf_mf) out += " kHz";
  if (list.Size() == 0) out += "none (the station says it has no alternatives)";
}

const char* Flag(bool on) { return on ? "on" : "off"; }

double Percent(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

}  // namespace

void StationSummary::Changes::Add(std::string text, double seconds) {
  if (kept.size() < kMaxChanges) {
    kept.push_back({std::move(text), seconds});
  } else {
    ++dropped;
  }
}

void StationSummary::CountPi(std::uint16_t pi) {
  for (int i = 0; i < pi_count_; ++i) {
    if (pis_[i].pi == pi) {
      ++pis_[i].groups;
      return;
    }
  }
  if (pi_count_ == kMaxPis) {
    ++untallied_pi_groups_;
    return;
  }
  pis_[pi_count_++] = {pi, 1};
}

void StationSummary::OnGroup(const ReceivedGroup& received) {
  const DecodedGroup& group = decoder_.Decode(received);
  const double seconds = static_cast<double>(received.first_bit) / kBitsPerSecond;
  ++groups_;
  for (int block = 0; block < 4; ++block) {
    if (!received.Has(block)) {
      ++groups_with_missing_blocks_;
      break;
    }
  }
  if (group.has_pi) CountPi(group.pi);
  if (!group.has_type) {
    ++groups_without_type_;
    return;
  }
  ++groups_by_code_[group.code];
  has_basic_ = true;
  tp_ = group.tp;
  pty_ = group.pty;
  if (group.Has(DecodedGroup::kTrafficFlags)) {
    has_traffic_flags_ = true;
    ta_ = group.ta;
    is_music_ = group.is_music;
    ++traffic_groups_;
    if (group.ta) ++ta_on_groups_;
  }
  if (group.Has(DecodedGroup::kPsNew)) {
    scratch_.clear();
    decoder_.Ps().AppendUtf8(scratch_);
    ps_changes_.Add(scratch_, seconds);
  }
  if (group.Has(DecodedGroup::kRadiotextNew)) {
    scratch_.clear();
    decoder_.Radiotext(group.radiotext_version).AppendUtf8(scratch_);
    rt_changes_[group.radiotext_version].Add(scratch_, seconds);
  }
  if (group.Has(DecodedGroup::kPtynNew)) {
    scratch_.clear();
    decoder_.Ptyn().AppendUtf8(scratch_);
    ptyn_changes_.Add(scratch_, seconds);
  }
  if (group.Has(DecodedGroup::kClockTime)) {
    ++clock_groups_;
    last_clock_ = group.clock;
    last_clock_seconds_ = seconds;
  }
}

bool StationSummary::Write(const ReceptionStats& stats, ReportSink& sink) const {
  const std::string text = Text(stats);
  return sink.Write(text.data(), text.size());
}

std::string StationSummary::Text(const ReceptionStats& stats) const {
  std::string out = "Station\n";
  AppendStation(out);
  out += "Reception\n";
  AppendReception(stats, out);
  return out;
}

void StationSummary::AppendStation(std::string& out) const {
  AppendIdentity(out);
  AppendTexts(out);
  AppendServices(out);
  AppendOtherNetworks(out);
}

void StationSummary::AppendIdentity(std::string& out) const {
  int main = -1;
  for (int i = 0; i < pi_count_; ++i) {
    if (main < 0 || pis_[i].groups > pis_[main].groups) main = i;
  }
  AppendLabel("PI", out);
  if (main < 0) {
    out += "not received\n";
  } else {
    const std::uint16_t pi = pis_[main].pi;
    Appendf(out, "0x%04X", pi);
    if (decoder_.HasEcc()) {
      const char* country = CountryCode(pi, static_cast<std::uint8_t>(decoder_.Ecc()));
      Appendf(out, ", country %s (ECC 0x%02X)", country != nullptr ? country : "unknown",
              decoder_.Ecc());
    }
    out += "\n";
    for (int i = 0; i < pi_count_; ++i) {
      if (i == main) continue;
      AppendLabel("", out);
      Appendf(out, "also 0x%04X in %lld groups\n", pis_[i].pi,
              static_cast<long long>(pis_[i].groups));
    }
    if (untallied_pi_groups_ > 0) {
      AppendLabel("", out);
      Appendf(out, "and %lld groups with further PI codes\n",
              static_cast<long long>(untallied_pi_groups_));
    }
    // North American PI codes stand for call letters; elsewhere they mean nothing of the sort.
    if (decoder_.NorthAmerican() || !decoder_.RegionKnown()) {
      AppendLabel("Call sign", out);
      const RbdsPi rbds = DescribeRbdsPi(pi);
      switch (rbds.kind) {
        case RbdsPiKind::kCallSign:
          out += rbds.letters;
          if (rbds.uncertain) out += " (uncertain: a PI 1xxx may be another station's 0xxx-9xxx)";
          break;
        case RbdsPiKind::kThreeLetterCall:
          out += "a three-letter call (its table is not held)";
          break;
        case RbdsPiKind::kLinkedNetwork:
          Appendf(out, "none (the PI of a linked network, coverage area %d)", rbds.coverage_area);
          break;
        case RbdsPiKind::kNone:
          out += "none";
          break;
      }
      out += decoder_.RegionKnown() ? "\n" : ", if the station is North American (no ECC)\n";
    }
  }
  AppendLabel("PTY", out);
  if (!has_basic_) {
    out += "not received\n";
  } else if (decoder_.RegionKnown()) {
    Appendf(out, "%d %s\n", pty_, decoder_.PtyName(pty_));
  } else {
    Appendf(out, "%d %s (RDS) / %s (RBDS)\n", pty_, RdsPtyName(pty_), RbdsPtyName(pty_));
  }
}

void StationSummary::AppendTexts(std::string& out) const {
  const auto append_changes = [&out](const char* label, const Changes& changes) {
    AppendLabel(label, out);
    if (changes.kept.empty()) out += "not received\n";
    for (std::size_t i = 0; i < changes.kept.size(); ++i) {
      if (i > 0) AppendLabel("", out);
      AppendQuoted(changes.kept[i].text, out);
      Appendf(out, " at %.1f s\n", changes.kept[i].seconds);
    }
    if (changes.dropped > 0) {
      AppendLabel("", out);
      Appendf(out, "and %lld later changes\n", static_cast<long long>(changes.dropped));
    }
  };
  append_changes("PS", ps_changes_);
  append_changes("PTYN", ptyn_changes_);
  append_changes("RT (2A)", rt_changes_[0]);
  append_changes("RT (2B)", rt_changes_[1]);
}

void StationSummary::AppendServices(std::string& out) const {
  AppendLabel("TP/TA", out);
  if (has_traffic_flags_) {
    Appendf(out, "TP %s, TA %s (TA on in %lld of %lld groups)\n", Flag(tp_), Flag(ta_),
            static_cast<long long>(ta_on_groups_), static_cast<long long>(traffic_groups_));
  } else if (has_basic_) {
    Appendf(out, "TP %s, TA not received\n", Flag(tp_));
  } else {
    out += "not received\n";
  }
  AppendLabel("MS", out);
  out += has_traffic_flags_ ? (is_music_ ? "music\n" : "speech\n") : "not received\n";
  AppendLabel("DI", out);
  if (decoder_.HasDecoderId()) {
    const int di = decoder_.DecoderId();
    Appendf(out, "%s, %s, %s, %s\n", di & 1 ? "stereo" : "mono",
            di & 2 ? "artificial head" : "no artificial head",
            di & 4 ? "compressed" : "not compressed", di & 8 ? "dynamic PTY" : "static PTY");
  } else {
    out += "not received whole\n";
  }
  AppendLabel("AF", out);
  if (decoder_.Af().Known()) {
    AppendKiloHertzList(decoder_.Af(), out);
    out += "\n";
  } else {
    out += "not received whole\n";
  }
  AppendLabel("CT", out);
  if (clock_groups_ > 0) {
    const ClockTime& ct = last_clock_;
    AppendUtcDate(ct, out);
    const int offset = ct.offset_minutes < 0 ? -ct.offset_minutes : ct.offset_minutes;
    Appendf(out, " %02d:%02d UTC, local %04d-%02d-%02d %02d:%02d (UTC%c%02d:%02d); ", ct.utc_hour,
            ct.utc_minute, ct.year, ct.month, ct.day, ct.hour, ct.minute,
            ct.offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
    Appendf(out, "%lld received, the last at %.1f s\n", static_cast<long long>(clock_groups_),
            last_clock_seconds_);
  } else {
    out += "not received\n";
  }
  AppendLabel("PIN", out);
  if (decoder_.HasPin()) {
    const std::uint16_t pin = decoder_.Pin();
    Appendf(out, "0x%04X, day %d %02d:%02d\n", pin, pin >> 11, (pin >> 6) & 0x1F, pin & 0x3F);
  } else {
    out += "not received\n";
  }
  AppendLabel("Language", out);
  if (decoder_.HasLanguage()) {
    const char* name = LanguageName(decoder_.Language());
    Appendf(out, "%s (0x%02X)\n", name != nullptr ? name : "unassigned", decoder_.Language());
  } else {
    out += "not received\n";
  }
  AppendLabel("ODA", out);
  if (decoder_.AppCount() == 0) out += "none announced\n";
  for (int i = 0; i < decoder_.AppCount(); ++i) {
    const OpenDataApp& app = decoder_.App(i);
    const char* name = OdaApplicationName(app.aid);
    if (i > 0) AppendLabel("", out);
    Appendf(out, "%s (AID 0x%04X) in group %d%c\n", name != nullptr ? name : "unknown", app.aid,
            app.group_code >> 1, app.group_code & 1 ? 'B' : 'A');
  }
  if (decoder_.AppsOverflowed() > 0) {
    AppendLabel("", out);
    Appendf(out, "and %lld announcements of further applications\n",
            static_cast<long long>(decoder_.AppsOverflowed()));
  }
  if (decoder_.RtPlusTagCount() > 0) {
    AppendLabel("RT+", out);
    for (int i = 0; i < decoder_.RtPlusTagCount(); ++i) {
      const RtPlusTag& tag = decoder_.RtPlusTagAt(i);
      if (i > 0) out += ", ";
      Appendf(out, "%s ", RtPlusContentTypeName(tag.content_type));
      std::string text;
      if (decoder_.AppendRtPlusText(tag, text)) {
        AppendQuoted(text, out);
      } else {
        Appendf(out, "(characters %d-%d not received)", tag.start, tag.start + tag.length - 1);
      }
    }
    out += "\n";
  }
}

void StationSummary::AppendOtherNetworks(std::string& out) const {
  const OtherNetworks& networks = decoder_.Networks();
  AppendLabel("EON", out);
  if (networks.Size() == 0) out += "none\n";
  for (int i = 0; i < networks.Size(); ++i) {
    const OtherNetwork& on = networks.At(i);
    if (i > 0) AppendLabel("", out);
    Appendf(out, "0x%04X", on.pi);
    if (on.ps.Complete()) {
      std::string ps;
      on.ps.AppendUtf8(ps);
      out += " ";
      AppendQuoted(ps, out);
    }
    Appendf(out, " TP %s", Flag(on.tp));
    if (on.has_ta) Appendf(out, " TA %s", Flag(on.ta));
    if (on.pty >= 0) Appendf(out, " PTY %d %s", on.pty, decoder_.PtyName(on.pty));
    if (on.af.Known()) {
      out += " AF ";
      AppendKiloHertzList(on.af, out);
    }
    for (int m = 0; m < on.mapped_count; ++m) {
      // The other network's frequency when this station is tuned to the first one.
      Appendf(out, " %.1f->", on.tuned_khz[m] / 1000.0);
      if (on.mapped_khz[m] >= 87500) {
        Appendf(out, "%.1f", on.mapped_khz[m] / 1000.0);
      } else {
        Appendf(out, "%d kHz", static_cast<int>(on.mapped_khz[m]));
      }
    }
    if (on.has_pin) Appendf(out, " PIN 0x%04X", on.pin);
    out += "\n";
  }
  if (networks.Overflowed() > 0) {
    AppendLabel("", out);
    Appendf(out, "and %lld groups about further networks\n",
            static_cast<long long>(networks.Overflowed()));
  }
}

void StationSummary::AppendReception(const ReceptionStats& stats, std::string& out) const {
  AppendLabel("Capture", out);
  Appendf(out, "%lld bits, %.1f s\n", static_cast<long long>(stats.bits),
          static_cast<double>(stats.bits) / kBitsPerSecond);
  AppendLabel("Groups", out);
  Appendf(out, "%lld (%lld with a block missing, %lld without block B)\n",
          static_cast<long long>(groups_), static_cast<long long>(groups_with_missing_blocks_),
          static_cast<long long>(groups_without_type_));
  bool any = false;
  for (int code = 0; code < 32; ++code) {
    if (groups_by_code_[code] == 0) continue;
    if (!any) AppendLabel("", out);
    Appendf(out, "%s%d%c %lld", any ? ", " : "", code >> 1, code & 1 ? 'B' : 'A',
            static_cast<long long>(groups_by_code_[code]));
    any = true;
  }
  if (any) out += "\n";
  AppendLabel("Blocks", out);
  Appendf(out, "%lld while synchronised: %lld clean, %lld corrected, %lld unusable\n",
          static_cast<long long>(stats.blocks), static_cast<long long>(stats.clean_blocks),
          static_cast<long long>(stats.corrected_blocks),
          static_cast<long long>(stats.error_blocks));
  AppendLabel("BLER", out);
  Appendf(out, "%.2f %% of blocks arrived with errors, %.2f %% unusable\n",
          Percent(stats.corrected_blocks + stats.error_blocks, stats.blocks),
          Percent(stats.error_blocks, stats.blocks));
  AppendLabel("Slips", out);
  Appendf(out, "%lld\n", static_cast<long long>(stats.slips));
  AppendLabel("Without sync", out);
  Appendf(out, "%lld bits, %.1f s (%.0f groups' worth)\n",
          static_cast<long long>(stats.bits_without_sync),
          static_cast<double>(stats.bits_without_sync) / kBitsPerSecond,
          static_cast<double>(stats.bits_without_sync) / kBitsPerGroup);
}

}  // namespace decoder
