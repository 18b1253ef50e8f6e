// Received message elements in words: what an encoder's answer to a request holds, for people
// (a one-line value) and for programs (named fields). Knows the layout of every element this
// library builds and of the acknowledgement an encoder sends.
#ifndef RDS_UECP_ELEMENT_DESCRIPTION_H_
#define RDS_UECP_ELEMENT_DESCRIPTION_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uecp {

struct ElementDescription {
  std::string name;  // the element's short name: "PS", "RT", "RDS level", ...
  std::string text;  // its value in words, e.g. "\" RADIO  \"" or "1000 mV"
  // The value's parts under stable keys ("pi", "ps", "dsn", ...), values as plain text: numbers
  // in decimal (codes in hexadecimal as 0x..), characters as received.
  std::vector<std::pair<std::string, std::string>> fields;
};

// Describes one element: element (its code first, then the DSN, PSN and MEL bytes it has and its
// data) and its whole length. Nothing for an unknown code or bytes that do not make exactly one
// element of that code.
std::optional<ElementDescription> DescribeElement(const std::uint8_t* element, std::size_t length);

// The length of the element at the start of a message field of `available` bytes, read from its
// code and MEL; 0 for an unknown code or an element that runs past the field. Splits an answer's
// message field into the elements DescribeElement takes.
std::size_t ElementSize(const std::uint8_t* field, std::size_t available);

}  // namespace uecp

#endif  // RDS_UECP_ELEMENT_DESCRIPTION_H_
