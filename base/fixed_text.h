// FixedText<N>: a text in a buffer of N bytes, as the programs hand texts to
// the platform (paths, profile values, formatted messages). It always holds at
// most N-1 characters and a terminating NUL, so nothing can write past its end.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace qv {

template <std::size_t N>
class FixedText {
  static_assert(N >= 1, "a fixed text needs room for its NUL");

 public:
  static constexpr std::size_t kCapacity = N - 1;  // characters, without the NUL

  FixedText() { buffer_[0] = '\0'; }
  explicit FixedText(std::string_view text) { Assign(text); }

  // Takes as much of the text as fits: the rest is cut, like a platform call
  // that copies into a buffer of N bytes. The text ends at an embedded NUL.
  void Assign(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    length_ = std::min(text.size(), kCapacity);
    std::memcpy(buffer_, text.data(), length_);
    buffer_[length_] = '\0';
  }

  // Takes the text only when it fits whole; otherwise leaves this text as it
  // was and returns false.
  [[nodiscard]] bool TryAssign(std::string_view text) {
    if (text.size() > kCapacity || text.find('\0') != std::string_view::npos) return false;
    Assign(text);
    return true;
  }

  // Appends as much as fits; returns false when something had to be cut.
  bool Append(std::string_view text) {
    const std::size_t room = kCapacity - length_;
    const std::size_t take = std::min(text.size(), room);
    std::memcpy(buffer_ + length_, text.data(), take);
    length_ += take;
    buffer_[length_] = '\0';
    return take == text.size();
  }

  // Lets a platform call fill the buffer: fill(char* buffer, size bytes). The
  // result is taken up to the first NUL and never beyond the buffer.
  template <class Fill>
  void FillWith(Fill&& fill) {
    buffer_[kCapacity] = '\0';
    fill(buffer_, N);
    buffer_[kCapacity] = '\0';
    length_ = std::strlen(buffer_);
  }

  const char* c_str() const { return buffer_; }
  std::string_view view() const { return {buffer_, length_}; }
  std::string str() const { return std::string(view()); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }

  friend bool operator==(const FixedText& a, std::string_view b) { return a.view() == b; }

 private:
  char buffer_[N];
  std::size_t length_ = 0;
};

// The size in which texts cross into the platform: 255 characters and a NUL.
using Text256 = FixedText<256>;

}  // namespace qv
