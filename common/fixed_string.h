// A NUL-terminated 8-bit string in a buffer of fixed size.
//
// Every limit of both programs is a FixedString size, and this is the only
// code that writes into such a buffer: an append that would go past the end
// writes nothing and reports false, so a value is either whole or refused.
#ifndef COMMON_FIXED_STRING_H_
#define COMMON_FIXED_STRING_H_

#include <stddef.h>
#include <string.h>

template <size_t Size>
class FixedString {
  static_assert(Size >= 1, "a buffer needs room for its NUL");

 public:
  // The buffer size in bytes; the longest content is one less.
  static constexpr size_t kSize = Size;
  static constexpr size_t kMaxLength = Size - 1;

  FixedString() { clear(); }

  const char* c_str() const { return data_; }
  size_t length() const { return length_; }
  bool empty() const { return length_ == 0; }
  char operator[](size_t i) const { return data_[i]; }

  void clear() {
    length_ = 0;
    data_[0] = '\0';
  }

  bool append(const char* text, size_t n) {
    if (n > kMaxLength - length_) return false;
    memcpy(data_ + length_, text, n);
    length_ += n;
    data_[length_] = '\0';
    return true;
  }
  bool append(const char* text) { return append(text, strlen(text)); }
  bool append(char c) { return append(&c, 1); }

  bool assign(const char* text) {
    clear();
    return append(text);
  }

  // Ends the string at `n` (a NUL is stored there); no-op when n >= length.
  void truncate(size_t n) {
    if (n >= length_) return;
    length_ = n;
    data_[n] = '\0';
  }

  // Lets a platform call write straight into the buffer. `write(buffer, Size)`
  // returns the length of what it wrote, 0 for failure, or Size or more when
  // the buffer is too small (the Win32 convention). Only 1 to Size-1 is
  // success; on anything else the buffer is never read and the string is empty.
  template <class Write>
  bool fill(Write write) {
    const size_t n = static_cast<size_t>(write(data_, Size));
    if (n == 0 || n >= Size) {
      clear();
      return false;
    }
    data_[n] = '\0';
    length_ = strlen(data_);  // a call may report more than it wrote
    return true;
  }

 private:
  char data_[Size];
  size_t length_;
};

#endif  // COMMON_FIXED_STRING_H_
