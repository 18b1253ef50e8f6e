// The words of a command (from the command line or a script line), read option by option:
// "--name VALUE", "--name=VALUE" or a flag "--name".
#ifndef RDS_SENDER_ARGUMENTS_H_
#define RDS_SENDER_ARGUMENTS_H_

#include <cstddef>
#include <string>
#include <vector>

namespace sender {

class Arguments {
 public:
  explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

  [[nodiscard]] bool AtEnd() const { return index_ >= words_.size(); }
  // The option name of the current word ("--ps" of "--ps=RADIO"), or the word itself.
  [[nodiscard]] std::string Name() const;
  // Consumes the current word as a flag; false (with the reason) when it came with "=VALUE".
  [[nodiscard]] bool TakeFlag(std::string* error);
  // Consumes the current word and its value (after '=' or the next word); false (with the
  // reason) when there is none.
  [[nodiscard]] bool TakeValue(std::string* value, std::string* error);
  // Consumes the current word as it is (an operand such as a file name).
  std::string TakeWord() { return words_[index_++]; }

 private:
  std::vector<std::string> words_;
  std::size_t index_ = 0;
};

// How an option parser fared with the current word.
enum class Parsed { kNotMine, kTaken, kFailed };

// Whole-text numbers: "12x", "" and values outside [low, high] are refused. Integers take a
// 0x prefix for hexadecimal.
[[nodiscard]] bool ParseInteger(const std::string& text, long low, long high, long* value);
[[nodiscard]] bool ParseDecimal(const std::string& text, double low, double high, double* value);

// "on"/"off" (also 1/0, yes/no, true/false).
[[nodiscard]] bool ParseOnOff(const std::string& text, bool* on);

// Splits a script line into words: blanks separate, "double" or 'single' quotes keep blanks,
// a backslash in double quotes escapes the next character; '#' outside quotes starts a comment.
// False with the reason on an unclosed quote.
[[nodiscard]] bool SplitWords(const std::string& line, std::vector<std::string>* words,
                              std::string* error);

}  // namespace sender

#endif  // RDS_SENDER_ARGUMENTS_H_
