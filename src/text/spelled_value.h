// A value that is one of a few kinds, read from a text and kept together with
// that text: the code asks the value, a file is written back from the text, so
// a save returns exactly the bytes that were read, an unknown or differently
// spelled text included. The two only ever change together.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tanavo {

// Parse gives the value of any text; Spell gives the text a value is set as.
template <typename T, T (*Parse)(std::string_view), const char* (*Spell)(T)>
class SpelledValue {
 public:
  SpelledValue() : value_(Parse(text_)) {}
  SpelledValue(std::string text) : text_(std::move(text)), value_(Parse(text_)) {}
  SpelledValue(const char* text) : SpelledValue(std::string(text)) {}
  // Set from a value: written with its own spelling, and parsed back from it
  // so that a value without a spelling of its own cannot stand beside a text
  // that says otherwise.
  SpelledValue(T value) : SpelledValue(std::string(Spell(value))) {}

  T Value() const { return value_; }
  const std::string& Text() const { return text_; }

  friend bool operator==(const SpelledValue& a, T b) { return a.value_ == b; }
  friend bool operator!=(const SpelledValue& a, T b) { return a.value_ != b; }

 private:
  std::string text_;
  T value_;
};

}  // namespace tanavo
