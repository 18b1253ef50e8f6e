#include "sender/element_values.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "sender/arguments.h"

namespace sender {
namespace {

const char* const kProgrammeTypeNames[32] = {
    "None",
    "News",
    "Current Affairs",
    "Information",
    "Sport",
    "Education",
    "Drama",
    "Culture",
    "Science",
    "Varied",
    "Pop Music",
    "Rock Music",
    "Easy Listening",
    "Light Classical",
    "Serious Classical",
    "Other Music",
    "Weather",
    "Finance",
    "Children's Programmes",
    "Social Affairs",
    "Religion",
    "Phone In",
    "Travel",
    "Leisure",
    "Jazz Music",
    "Country Music",
    "National Music",
    "Oldies Music",
    "Folk Music",
    "Documentary",
    "Alarm Test",
    "Alarm",
};

// Letters and digits only, in lower case: how names are compared.
std::string Folded(const std::string& text) {
  std::string folded;
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
      folded.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
  }
  return folded;
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian), and back.
long DaysFromCivil(long year, long month, long day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long year_of_era = year - era * 400;
  const long day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

// NOLINTNEXTLINE(bugprone-easily-swappable-parameters): year, month, day, as dates are written
void CivilFromDays(long days, long* year, long* month, long* day) {
  days += 719468;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long day_of_era = days - era * 146097;
  const long year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long month_index = (5 * day_of_year + 2) / 153;
  *day = day_of_year - (153 * month_index + 2) / 5 + 1;
  *month = month_index < 10 ? month_index + 3 : month_index - 9;
  *year = year_of_era + era * 400 + (*month <= 2 ? 1 : 0);
}

bool ValidDate(long year, long month, long day) {
  if (month < 1 || month > 12 || day < 1) return false;
  long next_year = year;
  long next_month = month + 1;
  if (next_month == 13) {
    next_month = 1;
    ++next_year;
  }
  return day <= DaysFromCivil(next_year, next_month, 1) - DaysFromCivil(year, month, 1);
}

}  // namespace

bool ParseProgrammeType(const std::string& text, std::uint8_t* type) {
  long number = 0;
  if (ParseInteger(text, 0, 31, &number)) {
    *type = static_cast<std::uint8_t>(number);
    return true;
  }
  const std::string wanted = Folded(text);
  for (std::uint8_t i = 0; i < 32; ++i) {
    const std::string name = Folded(kProgrammeTypeNames[i]);
    // "Children's Programmes" is also known as just "Children's".
    if (!wanted.empty() && (wanted == name || (i == 18 && wanted == "childrens"))) {
      *type = i;
      return true;
    }
  }
  return false;
}

const char* ProgrammeTypeName(std::uint8_t type) {
  return type < 32 ? kProgrammeTypeNames[type] : "?";
}

bool CheckRdsText(const std::string& option, std::string* text, std::size_t max_length,
                  bool truncate, std::string* error) {
  for (const char c : *text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", byte);
      *error = option + ": control character " + code + " cannot be shown on a receiver";
      return false;
    }
  }
  if (text->size() <= max_length) return true;
  if (truncate) {
    text->resize(max_length);
    return true;
  }
  *error = option + ": '" + *text + "' has " + std::to_string(text->size()) +
           " characters, at most " + std::to_string(max_length) + " fit (--truncate cuts it)";
  return false;
}

bool ParseClockTime(const std::string& text, std::vector<std::uint8_t>* bytes, std::string* error) {
  *error =
      "--rtc needs 'now' or a time YYYY-MM-DDThh:mm[:ss[.ff]] with Z or +hh:mm, not '" + text + "'";
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int used = 0;
  // Field widths bound each number, and the count of fields and characters read is checked, so
  // a bad date is refused, never half read.
  // NOLINTNEXTLINE(cert-err34-c)
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d%n", &year, &month, &day, &hour, &minute,
                  &used) != 5 ||
      used != 16) {
    return false;
  }
  std::size_t at = 16;
  int second = 0;
  int centisecond = 0;
  if (at < text.size() && text[at] == ':') {
    if (at + 3 > text.size() || std::isdigit(static_cast<unsigned char>(text[at + 1])) == 0 ||
        std::isdigit(static_cast<unsigned char>(text[at + 2])) == 0) {
      return false;
    }
    second = (text[at + 1] - '0') * 10 + (text[at + 2] - '0');
    at += 3;
    if (at < text.size() && text[at] == '.') {
      ++at;
      int digits = 0;
      while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0) {
        if (digits < 2) centisecond = centisecond * 10 + (text[at] - '0');
        ++digits;
        ++at;
      }
      if (digits == 0) return false;
      if (digits == 1) centisecond *= 10;
    }
  }
  int offset_minutes = 0;
  const std::string zone = text.substr(at);
  if (zone != "Z") {
    int offset_hours = 0;
    int offset_rest = 0;
    int zone_used = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') ||
        // NOLINTNEXTLINE(cert-err34-c): widths bound, fields and characters counted, as above
        std::sscanf(zone.c_str() + 1, "%2d:%2d%n", &offset_hours, &offset_rest, &zone_used) != 2 ||
        zone_used != 5) {
      return false;
    }
    offset_minutes = offset_hours * 60 + offset_rest;
    if (offset_minutes % 30 != 0 || offset_minutes > 15 * 60) {
      *error =
          "--rtc: the clock carries the local offset in whole half hours up to 15:30, not " + zone;
      return false;
    }
    if (zone[0] == '-') offset_minutes = -offset_minutes;
  }
  if (year < 2000 || year > 2099 || !ValidDate(year, month, day) || hour > 23 || minute > 59 ||
      second > 59) {
    *error = "--rtc: " + text + " is no time of 2000 to 2099";
    return false;
  }
  // The element carries UTC; the local time given is offset from it.
  long minutes = DaysFromCivil(year, month, day) * 1440 + long{hour} * 60 + minute - offset_minutes;
  long utc_year = 0;
  long utc_month = 0;
  long utc_day = 0;
  CivilFromDays(minutes / 1440, &utc_year, &utc_month, &utc_day);
  minutes %= 1440;
  const int half_hours = std::abs(offset_minutes) / 30;
  *bytes = {static_cast<std::uint8_t>(utc_year % 100),
            static_cast<std::uint8_t>(utc_month),
            static_cast<std::uint8_t>(utc_day),
            static_cast<std::uint8_t>(minutes / 60),
            static_cast<std::uint8_t>(minutes % 60),
            static_cast<std::uint8_t>(second),
            static_cast<std::uint8_t>(centisecond),
            static_cast<std::uint8_t>((offset_minutes < 0 ? 0x20 : 0x00) | half_hours)};
  error->clear();
  return true;
}

bool ParseFrequencies(const std::string& text, std::vector<float>* frequencies,
                      std::string* error) {
  frequencies->clear();
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::string item =
        text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    double value = 0;
    if (!ParseDecimal(item, 0, 1e6, &value)) {
      *error = "--af: '" + item + "' is not a frequency";
      return false;
    }
    const bool fm = value < 150;
    const bool in_band = fm ? value >= 87.55 && value <= 107.95
                            : (value >= 153 && value <= 279) || (value >= 531 && value <= 1602);
    if (!in_band) {
      *error = "--af: " + item +
               (fm ? " MHz is outside the FM band 87.6-107.9 MHz"
                   : " kHz is outside LF 153-279 kHz and MF 531-1602 kHz");
      return false;
    }
    frequencies->push_back(static_cast<float>(value));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (frequencies->size() > 25) {
    *error = "--af: " + std::to_string(frequencies->size()) +
             " frequencies; an RDS list holds at most 25";
    return false;
  }
  return true;
}

bool ParseProgrammeItem(const std::string& text, std::uint16_t* code) {
  long raw = 0;
  if (text.rfind("0x", 0) == 0 && ParseInteger(text, 0, 0xFFFF, &raw)) {
    *code = static_cast<std::uint16_t>(raw);
    return true;
  }
  int day = 0;
  int hour = 0;
  int minute = 0;
  int used = 0;
  // NOLINTNEXTLINE(cert-err34-c): widths bound, fields and characters counted, as above
  if (std::sscanf(text.c_str(), "%2d,%2d:%2d%n", &day, &hour, &minute, &used) != 3 ||
      static_cast<std::size_t>(used) != text.size() || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59) {
    return false;
  }
  *code = static_cast<std::uint16_t>(day << 11 | hour << 6 | minute);
  return true;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char pair[4];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(pair, sizeof pair, "%02X", byte);
    text += pair;
  }
  return text;
}

bool ParseHexBytes(const std::string& text, std::vector<std::uint8_t>* bytes) {
  bytes->clear();
  std::string digits;
  for (const char c : text) {
    if (c == ' ' || c == ':' || c == '.') continue;
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
    digits.push_back(c);
  }
  if (digits.empty() || digits.size() % 2 != 0) return false;
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    bytes->push_back(
        static_cast<std::uint8_t>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
  }
  return true;
}

}  // namespace sender
