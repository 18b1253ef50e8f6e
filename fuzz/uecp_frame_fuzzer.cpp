// Fuzz target: UECP frame assembly from random sets of message elements.
//
// The input chooses the two addresses, then element after element (class and every constructor
// argument, the clock reading for the clock elements), now and then a second offer of an
// element that a frame already owns. After every offer and after building, the frame must obey
// what an encoder relies on, checked here independently of the library's own code:
// - an element is accepted exactly when the message field stays within 255 bytes;
// - the raw frame has at most 263 bytes, the stuffed frame at most 524;
// - unstuffing the stuffed frame gives back a raw frame of MFL + 8 bytes: STA, the address
//   bytes, SQC 0, MFL, the accepted elements' bytes in order, a CRC that a bitwise CRC-CCITT
//   confirms, STP; 0xFD..0xFF appear between STA and STP only as stuffing;
// - every element's header bytes match its fields, and a MEL counts the bytes behind it;
// - building again gives the same bytes;
// - the simulator's deframer takes the stuffed frame as one good frame with that message field,
//   and its parser gives back every element (code, DSN, PSN, data) of a frame whose elements all
//   carry the header bytes UECP prescribes for their code.
// Ownership (every accepted element deleted once, refused ones by us) is left to the
// sanitizers' leak and double-free checks.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/scripted_clock.h"
#include "fuzz/uecp_reference.h"
#include "simulator/message_elements.h"
#include "simulator/uecp_link.h"
#include "uecp/uecp.h"

namespace {

using fuzz::FuzzInput;
using fuzz::ReferenceCrc;
using fuzz::Require;
using fuzz::Unstuff;

// Enough offers to overflow the 255-byte field several times over with the smallest elements.
constexpr int kMaxOffers = 96;

// DSN and PSN of a service element: mostly a real byte, sometimes a value wider than a byte,
// and absent only when the input allows elements that leave them out.
struct ServiceAddress {
  std::uint16_t data_set_number;
  std::uint16_t programme_service_number;
};

std::uint16_t HeaderField(FuzzInput& input, bool may_be_absent) {
  const std::uint8_t choice = input.U8();
  if (choice < 0x40 && may_be_absent) return uecp::kAbsent;
  if (choice < 0x48) return input.U16();
  return input.U8();
}

// Every value is read into its own variable first: the order in which a call's arguments are
// evaluated differs between compilers, and an input must make the same elements in every build.
ServiceAddress ReadServiceAddress(FuzzInput& input, bool may_be_absent) {
  const std::uint16_t data_set_number = HeaderField(input, may_be_absent);
  const std::uint16_t programme_service_number = HeaderField(input, may_be_absent);
  return {data_set_number, programme_service_number};
}

template <typename Element, typename Value>
std::unique_ptr<uecp::MessageElement> MakeServiceElement(Value value, FuzzInput& input,
                                                         bool may_be_absent) {
  const ServiceAddress address = ReadServiceAddress(input, may_be_absent);
  return std::make_unique<Element>(value, address.data_set_number,
                                   address.programme_service_number);
}

std::vector<float> ReadFrequencies(FuzzInput& input, std::uint8_t count) {
  std::vector<float> frequencies(count);
  for (float& f : frequencies) {
    // Mostly in or near the bands, now and then any bit pattern (NaN, infinities).
    const std::uint8_t kind = input.U8();
    if (kind < 0x60) {
      f = 87.0f + static_cast<float>(input.U16() % 220) / 10.0f;
    } else if (kind < 0xC0) {
      f = 140.0f + static_cast<float>(input.U16() % 1500);
    } else {
      f = input.Float();
    }
  }
  return frequencies;
}

std::unique_ptr<uecp::MessageElement> MakeElement(FuzzInput& input, bool may_be_absent) {
  switch (input.U8() % 15) {
    case 0:
      return MakeServiceElement<uecp::PiElement>(input.U16(), input, may_be_absent);
    case 1: {
      const std::string name = input.Text(12);
      return MakeServiceElement<uecp::PsElement>(name.c_str(), input, may_be_absent);
    }
    case 2:
      return MakeServiceElement<uecp::TaTpElement>(input.U8(), input, may_be_absent);
    case 3:
      return MakeServiceElement<uecp::DiElement>(input.U8(), input, may_be_absent);
    case 4:
      return MakeServiceElement<uecp::MsElement>(input.U8(), input, may_be_absent);
    case 5:
      return MakeServiceElement<uecp::PinElement>(input.U16(), input, may_be_absent);
    case 6:
      return MakeServiceElement<uecp::PtyElement>(input.U8(), input, may_be_absent);
    case 7:
      return std::make_unique<uecp::RtcCorrectionElement>(input.U16());
    case 8: {
      const std::string text = input.Text(80);
      const std::uint8_t transmissions = input.U8();
      const std::uint8_t buffer_configuration = input.U8();
      const std::uint8_t ab_flag = input.U8();
      const ServiceAddress address = ReadServiceAddress(input, may_be_absent);
      return std::make_unique<uecp::RtElement>(text.c_str(), transmissions, buffer_configuration,
                                               ab_flag, address.data_set_number,
                                               address.programme_service_number);
    }
    case 9:
      fuzz::ScriptClock(input);
      return std::make_unique<uecp::RtcElement>();
    case 10: {
      const std::uint16_t list_header = input.U16();
      const auto count = static_cast<std::uint8_t>(input.U8() % 32);
      const std::vector<float> frequencies = ReadFrequencies(input, count);
      const ServiceAddress address = ReadServiceAddress(input, may_be_absent);
      return std::make_unique<uecp::AfElement>(list_header, count, frequencies.data(),
                                               address.data_set_number,
                                               address.programme_service_number);
    }
    case 11:
      return std::make_unique<uecp::CtOnOffElement>(input.U8());
    case 12: {
      std::uint16_t values[5];
      for (std::uint16_t& value : values) value = input.U16();
      auto group = std::make_unique<uecp::FreeFormatGroupElement>();
      group->SetGroup(values[0], values[1], values[2], values[3], values[4]);
      return group;
    }
    case 13:
      fuzz::ScriptClock(input);
      return std::make_unique<uecp::CtGroupElement>();
    default: {
      const std::string name = input.Text(12);
      return MakeServiceElement<uecp::PtynElement>(name.c_str(), input, may_be_absent);
    }
  }
}

// The header bytes an element's fields announce, then (for a MEL) the count behind it.
void CheckElementBytes(const uecp::MessageElement& element) {
  const std::size_t length = element.EncodedLength();
  if (length == 0) return;
  const std::uint8_t* bytes = element.Data();
  Require(bytes != nullptr, "an element with bytes has a buffer");
  std::size_t position = 0;
  if (element.ElementCode() != 0) {
    Require(bytes[position++] == element.ElementCode(), "element starts with its MEC");
  }
  for (const std::uint16_t field : {element.DataSetNumber(), element.ProgrammeServiceNumber()}) {
    if (field == uecp::kAbsent) continue;
    Require(bytes[position++] == (field & 0xFF), "DSN and PSN bytes are the fields' low bytes");
  }
  if (element.ElementLength() != uecp::kAbsent) {
    const std::size_t after_mel = length - position - 1;
    Require(bytes[position] == after_mel, "MEL counts the bytes behind it");
  }
}

void CheckFrame(const uecp::UecpFrame& frame, std::uint16_t site, std::uint16_t encoder) {
  const std::size_t stuffed_length = frame.StuffedLength();
  // The library's constant and UECP's own figure, both: a changed constant must not hide.
  // NOLINTNEXTLINE(misc-redundant-expression)
  Require(stuffed_length <= uecp::kStuffedFrameCapacity && stuffed_length <= 524,
          "stuffed frame within 524 bytes");
  const std::vector<std::uint8_t> raw = Unstuff(frame.StuffedData(), stuffed_length);
  Require(raw.size() <= 263, "raw frame within 263 bytes");

  const std::size_t mfl = frame.MessageLength();
  Require(mfl <= 255 && raw.size() == mfl + 8, "raw frame is MFL + 8 bytes");
  const unsigned address = (site & 0x3FFu) * 64 + (encoder & 0x3Fu);
  Require(raw[1] == address >> 8 && raw[2] == (address & 0xFF), "address bytes");
  Require(raw[3] == 0 && raw[4] == mfl, "SQC 0 and MFL");

  std::size_t position = 5;
  for (const uecp::MessageElement* element = frame.FirstElement(); element != nullptr;
       element = element->Next()) {
    const std::size_t length = element->EncodedLength();
    Require(position + length <= 5 + mfl, "elements fit the message field");
    for (std::size_t i = 0; i < length; ++i) {
      Require(raw[position + i] == element->Data()[i], "message field holds the elements");
    }
    CheckElementBytes(*element);
    position += length;
  }
  Require(position == 5 + mfl, "MFL is the sum of the element lengths");

  const std::uint16_t crc = ReferenceCrc(&raw[1], mfl + 4);
  Require(raw[5 + mfl] == crc >> 8 && raw[6 + mfl] == (crc & 0xFF),
          "CRC over address to "
          "message field");
}

// Whether an element carries the header bytes UECP prescribes for its code: DSN and PSN for the
// service-related elements, none for the clock and free-format ones. The library lets a caller
// leave DSN or PSN out, which makes an element only a matching encoder understands.
bool HasStandardHeader(const uecp::MessageElement& element) {
  const bool has_dsn = element.DataSetNumber() != uecp::kAbsent;
  const bool has_psn = element.ProgrammeServiceNumber() != uecp::kAbsent;
  switch (element.ElementCode()) {
    case uecp::kMecRtcCorrection:
    case uecp::kMecRtc:
    case uecp::kMecCtOnOff:
    case uecp::kMecFreeFormatGroup:
      return !has_dsn && !has_psn;
    default:
      return has_dsn && has_psn;
  }
}

// The simulator, written independently of the library, must read the frame back.
void CheckAgainstSimulator(const uecp::UecpFrame& frame, std::uint16_t site,
                           std::uint16_t encoder) {
  std::vector<sim::FrameEvent> events;
  sim::Deframer deframer;
  deframer.Feed(frame.StuffedData(), frame.StuffedLength(),
                [&](const sim::FrameEvent& event) { events.push_back(event); });
  Require(events.size() == 1 && events[0].code == sim::ResponseCode::kOk,
          "simulator takes the frame as one good frame");
  const sim::FrameEvent& event = events[0];
  Require(event.address == ((site & 0x3FFu) << 6 | (encoder & 0x3Fu)) && event.sequence == 0,
          "simulator reads address and SQC");
  Require(event.message.size() == frame.MessageLength(), "simulator reads the whole field");

  std::vector<sim::Element> expected;
  for (const uecp::MessageElement* element = frame.FirstElement(); element != nullptr;
       element = element->Next()) {
    if (element->EncodedLength() == 0) continue;  // adds nothing to the field
    if (!HasStandardHeader(*element)) return;     // parsed by other rules: nothing to compare
    sim::Element e;
    e.code = element->ElementCode();
    e.has_service = element->DataSetNumber() != uecp::kAbsent;
    if (e.has_service) {
      e.dsn = static_cast<std::uint8_t>(element->DataSetNumber() & 0xFF);
      e.psn = static_cast<std::uint8_t>(element->ProgrammeServiceNumber() & 0xFF);
    }
    const std::size_t header =
        1u + (e.has_service ? 2u : 0u) + (element->ElementLength() != uecp::kAbsent ? 1u : 0u);
    e.data.assign(element->Data() + header, element->Data() + element->EncodedLength());
    expected.push_back(std::move(e));
  }
  const sim::ParsedMessage parsed = sim::ParseMessage(event.message.data(), event.message.size());
  Require(parsed.code == sim::ResponseCode::kOk, "simulator parses every element");
  Require(parsed.elements == expected, "simulator gives back the same elements");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The CRC routine itself on the raw input, against the bitwise reference.
  const std::size_t crc_count = size < 600 ? size : 600;
  Require(uecp::uecp_crc16(data, static_cast<int>(crc_count)) ==
              (crc_count == 0 ? 0 : ReferenceCrc(data, crc_count)),
          "uecp_crc16 equals the bitwise CRC-CCITT");

  FuzzInput input(data, size);
  const std::uint16_t site = input.U16();
  const std::uint16_t encoder = input.U16();
  // The top bit of the site address is never sent; it lets the input use elements without DSN
  // or PSN, which only a matching encoder can read, so the simulator check skips such frames.
  const bool may_be_absent = (site & 0x8000) != 0;
  uecp::UecpFrame frame(site, encoder);
  std::vector<uecp::MessageElement*> accepted;

  for (int offer = 0; offer < kMaxOffers && !input.Empty(); ++offer) {
    const std::uint8_t action = input.U8();
    if (action >= 0xF8 && !accepted.empty()) {
      // A second offer of an element the frame owns must be refused and change nothing.
      const std::uint16_t before = frame.MessageLength();
      Require(!frame.AddElement(accepted[action % accepted.size()]), "owned element refused");
      Require(frame.MessageLength() == before, "refusal changes nothing");
      continue;
    }
    if (action >= 0xF0) {
      frame.Build();  // a build in between must not disturb later appends
      CheckFrame(frame, site, encoder);
      continue;
    }
    std::unique_ptr<uecp::MessageElement> element = MakeElement(input, may_be_absent);
    const std::uint16_t before = frame.MessageLength();
    uecp::MessageElement* raw_pointer = element.get();
    const bool added = frame.AddElement(element);
    const std::size_t length = raw_pointer->EncodedLength();  // encoded by the offer
    Require(added == (before + length <= 255),
            "accepted exactly when the field stays within "
            "255 bytes");
    Require(frame.MessageLength() == (added ? before + length : before),
            "MFL grows by the "
            "accepted element only");
    Require(added == (element == nullptr), "unique_ptr released exactly on acceptance");
    if (added) accepted.push_back(raw_pointer);
  }

  frame.Build();
  CheckFrame(frame, site, encoder);
  CheckAgainstSimulator(frame, site, encoder);
  const std::vector<std::uint8_t> first(frame.StuffedData(),
                                        frame.StuffedData() + frame.StuffedLength());
  frame.Build();
  Require(first == std::vector<std::uint8_t>(frame.StuffedData(),
                                             frame.StuffedData() + frame.StuffedLength()),
          "building twice gives the same bytes");
  return 0;
}
