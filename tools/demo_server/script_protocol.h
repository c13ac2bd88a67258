// Shared by the demo server's script mode and the test harness that drives
// it: escaping of arbitrary bytes into one printable line and back, and the
// coloured text a flood sends.
//
// Escapes:
//   \\  backslash        \n  newline (10)     \r  carriage return (13)
//   \t  tab (9)          \e  escape (27)      \xHH  any byte, two hex digits
// Every other byte from 0x20 to 0x7e stands for itself.
#ifndef OMBRITH_DEMO_SERVER_SCRIPT_PROTOCOL_H
#define OMBRITH_DEMO_SERVER_SCRIPT_PROTOCOL_H

#include <string>

inline std::string script_escape(const std::string &bytes)
{
  static const char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    switch (c) {
    case '\\':
      out += "\\\\";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\t':
      out += "\\t";
      break;
    case 27:
      out += "\\e";
      break;
    default:
      if (c >= 0x20 && c <= 0x7e) {
        out += (char)c;
      } else {
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 15];
      }
    }
  }
  return out;
}

// Decodes `text` into *bytes; false (with a reason in *error) on a bad escape.
inline bool script_unescape(const std::string &text, std::string *bytes, std::string *error = nullptr)
{
  auto hex_value = [](char c) -> int {
    if (c >= '0' && c <= '9')
      return c - '0';
    if (c >= 'a' && c <= 'f')
      return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
      return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i + 1 >= text.size()) {
      if (error)
        *error = "backslash at the end";
      return false;
    }
    char e = text[++i];
    switch (e) {
    case '\\':
      out += '\\';
      break;
    case 'n':
      out += '\n';
      break;
    case 'r':
      out += '\r';
      break;
    case 't':
      out += '\t';
      break;
    case 'e':
      out += (char)27;
      break;
    case 'x': {
      int hi = i + 1 < text.size() ? hex_value(text[i + 1]) : -1;
      int lo = i + 2 < text.size() ? hex_value(text[i + 2]) : -1;
      if (hi < 0 || lo < 0) {
        if (error)
          *error = "\\x needs two hex digits";
        return false;
      }
      out += (char)(hi * 16 + lo);
      i += 2;
      break;
    }
    default:
      if (error)
        *error = std::string("unknown escape \\") + e;
      return false;
    }
  }
  *bytes = out;
  return true;
}

// The text of a flood: `count` bytes starting `offset` bytes into an endless
// repetition of a few coloured lines (no ';', no telnet bytes).
inline std::string flood_text(unsigned long long offset, size_t count)
{
  static const char *const lines[] = {
      "\x1b[1m\x1b[36mThe Great Hall of Ombrith\x1b[0m\r\n",
      "\x1b[37mTorchlight flickers over banners of \x1b[31mcrimson\x1b[37m and \x1b[33mgold\x1b[37m, and the "
      "flagstones are worn smooth by countless feet.\r\n",
      "\x1b[32mA town guard\x1b[37m stands here, watching the doors.\r\n",
      "\x1b[1m\x1b[33mGandor says, 'Well met, traveller!'\x1b[0m\r\n",
      "\x1b[35mA faint humming comes from the \x1b[1m\x1b[35mcrystal orb\x1b[0m\x1b[35m on the altar.\x1b[0m\r\n",
      "\x1b[2m\x1b[34mSomewhere far below, water drips onto stone.\x1b[0m\r\n",
      "\x1b[32m[Exits: north east south west up]\x1b[0m\r\n",
      "\x1b[1m\x1b[31mYou are hungry.\x1b[0m\r\n",
  };
  static const std::string cycle = [] {
    std::string s;
    for (const char *line : lines)
      s += line;
    return s;
  }();
  std::string out;
  out.reserve(count);
  size_t at = (size_t)(offset % cycle.size());
  while (out.size() < count) {
    size_t n = count - out.size() < cycle.size() - at ? count - out.size() : cycle.size() - at;
    out.append(cycle, at, n);
    at = 0;
  }
  return out;
}

#endif
