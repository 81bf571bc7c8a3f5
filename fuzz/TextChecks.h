// Checks of texts shared by the harnesses of the text files: what the
// program shows or writes must be well-formed UTF-8 and one line.
#pragma once

#include <string>

#include "Require.h"

// Well-formed UTF-8: no stray continuation bytes, no cut sequences, no
// overlong forms, no surrogates, nothing above U+10FFFF.
inline bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t c = 0, least = 0;
    if (b < 0x80) {
      ++i;
      continue;
    }
    if ((b & 0xE0) == 0xC0) {
      length = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, c = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, c = b & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

inline bool HasLineEnd(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}

// Code points, not bytes.
inline size_t CharacterCount(const std::string& utf8) {
  size_t n = 0;
  for (const char ch : utf8)
    if ((static_cast<unsigned char>(ch) & 0xC0) != 0x80) ++n;
  return n;
}

// A text shown on the screen or written into a file: UTF-8 and one line.
inline void RequireOneLineOfUtf8(const std::string& text, const char* what) {
  Require(IsUtf8(text), what);
  Require(!HasLineEnd(text), what);
}
