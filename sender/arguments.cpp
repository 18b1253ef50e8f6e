#include "sender/arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace sender {

std::string Arguments::Name() const {
  if (AtEnd()) return "";
  const std::string& word = words_[index_];
  const std::size_t equals = word.find('=');
  if (word.rfind("--", 0) != 0 || equals == std::string::npos) return word;
  return word.substr(0, equals);
}

bool Arguments::TakeFlag(std::string* error) {
  const std::string name = Name();
  const bool has_value = words_[index_].size() != name.size();
  ++index_;
  if (has_value) *error = name + " takes no value";
  return !has_value;
}

bool Arguments::TakeValue(std::string* value, std::string* error) {
  const std::string name = Name();
  const std::string& word = words_[index_++];
  if (word.size() != name.size()) {
    *value = word.substr(name.size() + 1);
    return true;
  }
  if (AtEnd()) {
    *error = name + " needs a value";
    return false;
  }
  *value = words_[index_++];
  return true;
}

bool ParseInteger(const std::string& text, long low, long high, long* value) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const long parsed = std::strtol(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

bool ParseDecimal(const std::string& text, double low, double high, double* value) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < low || parsed > high) {
    return false;
  }
  *value = parsed;
  return true;
}

bool ParseOnOff(const std::string& text, bool* on) {
  if (text == "on" || text == "1" || text == "yes" || text == "true") {
    *on = true;
    return true;
  }
  if (text == "off" || text == "0" || text == "no" || text == "false") {
    *on = false;
    return true;
  }
  return false;
}

bool SplitWords(const std::string& line, std::vector<std::string>* words, std::string* error) {
  words->clear();
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && quote == '"' && i + 1 < line.size()) {
        word.push_back(line[++i]);
      } else {
        word.push_back(c);
      }
      continue;
    }
    if (c == '#' && !in_word) break;  // a comment starts a word, never inside one
    if (c == ' ' || c == '\t' || c == '\r') {
      if (in_word) words->push_back(word);
      word.clear();
      in_word = false;
      continue;
    }
    in_word = true;
    if (c == '"' || c == '\'') {
      quote = c;
    } else {
      word.push_back(c);
    }
  }
  if (quote != 0) {
    *error = std::string("unclosed ") + quote + " quote";
    return false;
  }
  if (in_word) words->push_back(word);
  return true;
}

}  // namespace sender
