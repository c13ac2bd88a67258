#include "config/xml_subset.h"

#include <climits>
#include <cstring>

#include "app/debug_log.h"
#include "util/buffer.h"
#include "util/strings.h"

namespace {

const char STANDARD_HEADER[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
const char INDENT[] = "  ";

bool printable(int c) { return c >= 0x20 && c <= 0x7E; }

std::string cut_tag_text(const char *text)
{
  size_t n = std::strlen(text);
  const size_t limit = VESK_XML_TAG_TEXT_MAX;
  return std::string(text, n > limit ? limit : n);
}

// The leading signed decimal number of a text that starts like one,
// saturated to the range of an int.
int leading_int(const char *text)
{
  const char *p = text;
  bool negative = false;
  if (*p == '-' || *p == '+') {
    negative = *p == '-';
    ++p;
  }
  long long value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p - '0');
    if (value > (long long)INT_MAX + 1)
      value = (long long)INT_MAX + 1;
    ++p;
  }
  if (negative)
    value = -value;
  if (value > INT_MAX)
    value = INT_MAX;
  return (int)value;
}

bool starts_like_number(const char *text)
{
  return (text[0] >= '0' && text[0] <= '9') || (text[0] == '-' && text[1] >= '0' && text[1] <= '9') ||
         text[0] == '+';
}

} // namespace

std::string vesk_xml_escape(const char *text)
{
  std::string out;
  for (const unsigned char *p = (const unsigned char *)text; *p; ++p) {
    unsigned char c = *p;
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (printable(c))
      out += (char)c;
    else if (c == '\t' || c == '\n' || c == '\r' || c >= 0x7F)
      out += "&#" + std::to_string(c) + ";";
    else
      out += '?';
  }
  return out;
}

// ---------------------------------------------------------------- reader

vesk_xml_reader::vesk_xml_reader() : pushed_back(-1) {}

vesk_xml_reader::~vesk_xml_reader() { tag_stack.clear(); }

int vesk_xml_reader::get()
{
  if (pushed_back >= 0) {
    int c = pushed_back;
    pushed_back = -1;
    return c;
  }
  return internal_get_character_function();
}

void vesk_xml_reader::push_stack_entry(const char *text) { tag_stack.push_back(cut_tag_text(text)); }

void vesk_xml_reader::compact_string(char *text)
{
  if (!text)
    return;
  char *out = text;
  const char *in = text;
  while (*in) {
    if (*in != '&') {
      *out++ = *in++;
      continue;
    }
    if (std::strncmp(in, "&lt;", 4) == 0) {
      *out++ = '<';
      in += 4;
    } else if (std::strncmp(in, "&gt;", 4) == 0) {
      *out++ = '>';
      in += 4;
    } else if (std::strncmp(in, "&amp;", 5) == 0) {
      *out++ = '&';
      in += 5;
    } else {
      // A numeric reference of one to three decimal digits naming a byte.
      int value = 0, digits = 0;
      const char *p = in + 2;
      if (in[1] == '#') {
        while (digits < 3 && *p >= '0' && *p <= '9') {
          value = value * 10 + (*p - '0');
          ++p;
          ++digits;
        }
      }
      if (digits > 0 && *p == ';' && value >= 1 && value <= 255) {
        *out++ = (char)value;
        in = p + 1;
      } else {
        library_code_notify("Warning in vesk_xml_reader::compact_string(), unknown '&' conversion found?", 64, 0);
        *out++ = *in++;
      }
    }
  }
  *out = 0;
}

int vesk_xml_reader::read_block(char *dest, int size, int reading_tag)
{
  if (!dest) {
    library_code_notify("Error in vesk_xml_reader::read_block(), NULL dest?", 4, 0);
    return 0;
  }
  if (size <= 0) {
    library_code_notify("Error in vesk_xml_reader::read_block(), dest is too small?", 4, 0);
    return 0;
  }
  int stored = 0;
  int unprintable = 0;
  for (;;) {
    int c = get();
    if (c < 0) {
      library_code_notify(
          "Warning in vesk_xml_reader::read_block(), file corruption - got EOF before trailing bracket.", 64, 0);
      dest[stored] = 0;
      return 0;
    }
    if (c == '<' || c == '>') {
      if (reading_tag && c == '<')
        library_code_notify("Warning in vesk_xml_reader::read_block(), got second open bracket?", 64, 0);
      if (!reading_tag && c == '>')
        library_code_notify("Warning in vesk_xml_reader::read_block(), got second closing bracket?", 64, 0);
      break;
    }
    if (stored < size - 1) {
      dest[stored++] = (char)c;
      if (!printable(c))
        ++unprintable;
    }
  }
  dest[stored] = 0;
  if (unprintable)
    return 0;
  compact_string(dest);
  return 1;
}

void vesk_xml_reader::pop_stack_entry(const char *closing_text)
{
  if (!closing_text)
    closing_text = "";
  const char *name = closing_text;
  if (closing_text[0] != '/') {
    Buffer msg;
    msg.append("Warning in vesk_xml_reader::pop_stack_entry() - got bad closing tag '");
    msg.append(closing_text);
    msg.append("'?");
    library_code_notify(msg.text, 64, 0);
  } else {
    ++name;
  }
  if (tag_stack.empty()) {
    // A stray closing tag at the top level of a damaged file: it ends the
    // caller's loop (read_tag returns 0) and closes nothing.
    Buffer msg;
    msg.append("Warning in vesk_xml_reader::pop_stack_entry() - got closing tag '");
    msg.append(name);
    msg.append("' with no open tag.");
    library_code_notify(msg.text, 64, 0);
    return;
  }
  std::string top = tag_stack.back();
  tag_stack.pop_back();
  if (top != name) {
    Buffer msg;
    msg.append("Warning in vesk_xml_reader::pop_stack_entry() - popped tag '");
    msg.append(name);
    msg.append("' did not match expected tag '");
    msg.append(top.c_str());
    msg.append("'.");
    library_code_notify(msg.text, 64, 0);
  }
}

int vesk_xml_reader::read_tag(char *dest, int size)
{
  for (;;) {
    int c = get();
    if (c < 0)
      return 0;
    if (c == '<')
      break;
  }
  if (!read_block(dest, size, 1))
    return 0;
  if (dest[0] == '/') {
    pop_stack_entry(dest);
    return 0;
  }
  push_stack_entry(dest);
  return 1;
}

int vesk_xml_reader::read_data(char *dest, int size)
{
  if (!dest) {
    library_code_notify("Error in vesk_xml_reader::read_data(char[]), NULL dest?", 4, 0);
    return 0;
  }
  if (size <= 0) {
    library_code_notify("Error in vesk_xml_reader::read_data(char[]), dest is too small?", 4, 0);
    return 0;
  }
  if (!read_block(dest, size, 0))
    return 0;
  char closing[1000];
  read_block(closing, sizeof(closing), 1);
  pop_stack_entry(closing);
  return 1;
}

int vesk_xml_reader::read_data(int *dest)
{
  if (!dest) {
    library_code_notify("Error in vesk_xml_reader::read_data(int), NULL dest?", 4, 0);
    return 0;
  }
  char text[100];
  if (!read_block(text, sizeof(text), 0))
    return 0;
  int ok = 1;
  if (starts_like_number(text)) {
    *dest = leading_int(text);
  } else {
    Buffer msg;
    msg.append("Warning in vesk_xml_reader::read_data(int) - got non-number'");
    msg.append(text);
    msg.append("'.");
    library_code_notify(msg.text, 64, 0);
    ok = 0;
  }
  char closing[1000];
  read_block(closing, sizeof(closing), 1);
  pop_stack_entry(closing);
  return ok;
}

void vesk_xml_reader::skip_data()
{
  if (tag_stack.empty()) {
    library_code_notify(
        "Error in vesk_xml_reader::skip_data() - you must read at least the opening tag before skipping data.", 4, 0);
    return;
  }
  // The element to skip is the one on top now; it is closed when the stack
  // shrinks below this depth.
  const size_t depth = tag_stack.size();
  for (;;) {
    int c = get();
    if (c < 0) {
      library_code_notify("Warning in vesk_xml_reader::skip_data() - unable to read chunk?", 64, 0);
      return;
    }
    if (c == '>') {
      library_code_notify("Warning in vesk_xml_reader::skip_chunk(), got closing bracket?", 64, 0);
      continue;
    }
    if (c != '<')
      continue;
    char block[1000];
    if (!read_block(block, sizeof(block), 1)) {
      library_code_notify("Warning in vesk_xml_reader::skip_data() - unable to read block?", 64, 0);
      return;
    }
    if (block[0] == '!')
      continue;
    if (block[0] == '/') {
      bool closes_skipped = tag_stack.size() == depth;
      pop_stack_entry(block);
      if (closes_skipped)
        return;
      continue;
    }
    push_stack_entry(block);
  }
}

int vesk_xml_reader::read_cdata(unsigned char *dest, int size)
{
  if (!dest) {
    library_code_notify("Error in vesk_xml_reader::read_cdata(), NULL dest?", 4, 0);
    return 0;
  }
  if (size < 1) {
    library_code_notify("Error in vesk_xml_reader::read_cdata(), dest is too small?", 4, 0);
    return 0;
  }
  for (;;) {
    int c = get();
    if (c < 0)
      return 0;
    if (c == '<')
      break;
  }
  static const char header[] = "![CDATA[";
  int want = size - 1 < 8 ? size - 1 : 8;
  char got[9];
  for (int i = 0; i < want; ++i) {
    int c = get();
    if (c < 0)
      return 0;
    got[i] = (char)c;
  }
  if (want < 8 || std::memcmp(got, header, 8) != 0) {
    library_code_notify("Warning in vesk_xml_reader::read_cdata(), did not get ![CDATA[ header.", 64, 0);
    return 0;
  }
  int count = 0;
  int high = -1;
  int c = 0;
  while (count < size) {
    c = get();
    if (c < 0)
      return 0;
    if (c == '<' || c == '>')
      break;
    int nibble;
    if (c >= '0' && c <= '9')
      nibble = c - '0';
    else if (c >= 'a' && c <= 'f')
      nibble = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
      nibble = c - 'A' + 10;
    else
      continue;
    if (high < 0) {
      high = nibble;
    } else {
      dest[count++] = (unsigned char)(high << 4 | nibble);
      high = -1;
    }
  }
  if (count == size) {
    // The area is full: drop the rest of the section up to its end.
    do {
      c = get();
      if (c < 0)
        return 0;
    } while (c != '<' && c != '>');
  }
  // A "<" belongs to the element's closing tag, which skip_data has to see.
  if (c == '<')
    unget(c);
  skip_data();
  return count;
}

int vesk_xml_reader::check_xml_header_string(const char *line)
{
  if (!line || !wordcmp(line, "<?xml")) {
    library_code_notify("Warning in vesk_xml_reader::check_xml_header_string(), missing opening '<?xml' tag.", 128,
                        0);
    return 0;
  }
  bool got_version = false, got_encoding = false;
  const char *p = next_arg(line);
  while (p && *p && std::strncmp(p, "?>", 2) != 0) {
    bool version;
    if (std::strncmp(p, "version", 7) == 0) {
      version = true;
      p += 7;
    } else if (std::strncmp(p, "encoding", 8) == 0) {
      version = false;
      p += 8;
    } else {
      library_code_notify("Warning in vesk_xml_reader::check_xml_header_string(), unknown tag found.", 128, 0);
      return 0;
    }
    while (*p == ' ')
      ++p;
    if (*p != '=') {
      library_code_notify(version ? "Warning in vesk_xml_reader::check_xml_header_string(), 'version' tag found, "
                                    "but no version."
                                  : "Warning in vesk_xml_reader::check_xml_header_string(), 'encoding' tag found, "
                                    "but no encoding.",
                          128, 0);
      return 0;
    }
    ++p;
    while (*p == ' ')
      ++p;
    if (*p != '"') {
      library_code_notify(version ? "Warning in vesk_xml_reader::check_xml_header_string(), 'version' tag found, "
                                    "but no opening version quote."
                                  : "Warning in vesk_xml_reader::check_xml_header_string(), 'encoding' tag found, "
                                    "but no opening encoding quote.",
                          128, 0);
      return 0;
    }
    const char *closing = std::strchr(p + 1, '"');
    if (!closing) {
      library_code_notify(version ? "Warning in vesk_xml_reader::check_xml_header_string(), 'version' tag found, "
                                    "but no closing version quote."
                                  : "Warning in vesk_xml_reader::check_xml_header_string(), 'encoding' tag found, "
                                    "but no closing encoding quote.",
                          128, 0);
      return 0;
    }
    p = closing + 1;
    while (*p == ' ')
      ++p;
    (version ? got_version : got_encoding) = true;
  }
  if (got_version && got_encoding)
    return 1;
  if (got_version)
    library_code_notify("Warning in vesk_xml_reader::check_xml_header_string(), didn't get encoding.", 128, 0);
  else if (got_encoding)
    library_code_notify("Warning in vesk_xml_reader::check_xml_header_string(), didn't get version.", 128, 0);
  else
    library_code_notify("Warning in vesk_xml_reader::check_xml_header_string(), didn't get either version or "
                        "encoding.",
                        128, 0);
  return 0;
}

vesk_xml_file_reader::vesk_xml_file_reader(FILE *file) : file(file)
{
  if (!file)
    library_code_notify("Error in vesk_xml_file_reader::vesk_xml_file_reader(), NULL file handle.", 1, 0);
}

int vesk_xml_file_reader::internal_get_character_function()
{
  if (!file)
    return -1;
  int c = std::fgetc(file);
  return c == EOF ? -1 : c;
}

vesk_xml_file_reader::~vesk_xml_file_reader() { file = nullptr; }

vesk_xml_memory_reader::vesk_xml_memory_reader(const void *data, size_t length)
    : data(static_cast<const unsigned char *>(data)), length(data ? length : 0), position(0)
{
}

int vesk_xml_memory_reader::internal_get_character_function()
{
  if (position >= length)
    return -1;
  return data[position++];
}

// ---------------------------------------------------------------- writer

vesk_xml_writer::vesk_xml_writer() : indent_level(0), failed(0) {}

vesk_xml_writer::~vesk_xml_writer() { tag_stack.clear(); }

int vesk_xml_writer::print(const char *text)
{
  int written = internal_print_function(text);
  if (written <= 0 && text[0])
    failed = 1;
  return written;
}

int vesk_xml_writer::print_standard_header() { return print(STANDARD_HEADER); }

void vesk_xml_writer::print_indent()
{
  std::string indent;
  for (int i = 0; i < indent_level; ++i)
    indent += INDENT;
  if (!indent.empty())
    print(indent.c_str());
}

void vesk_xml_writer::print_blank_line() { print("\n"); }

void vesk_xml_writer::start_tag(const char *name, int block, const char *attributes)
{
  if (!name) {
    library_code_notify("Error in vesk_xml_writer::write_tag(), NULL tag.\n", 4, 0);
    return;
  }
  print_indent();
  std::string text = "<" + vesk_xml_escape(name);
  if (attributes) {
    text += " ";
    text += attributes;
  }
  text += block ? ">\n" : ">";
  print(text.c_str());
  tag_stack.push_back(cut_tag_text(name));
  ++indent_level;
}

void vesk_xml_writer::write_string(const char *text)
{
  if (!text) {
    library_code_notify("Error in vesk_xml_writer::write_string(), NULL data.\n", 4, 0);
    return;
  }
  std::string escaped = vesk_xml_escape(text);
  if (!escaped.empty())
    print(escaped.c_str());
}

void vesk_xml_writer::end_tag(const char *expected_name, int indent)
{
  if (indent_level > 0)
    --indent_level;
  if (indent && indent_level > 0)
    print_indent();
  std::string name;
  if (tag_stack.empty()) {
    library_code_notify("Error in vesk_xml_writer::end_tag(), tag stack empty.\n", 4, 0);
    name = "_BOGUS_ENDING_TAG_";
  } else {
    name = tag_stack.back();
    tag_stack.pop_back();
    if (expected_name && name != expected_name)
      library_code_notify("Warning in vesk_xml_writer::end_tag(), tried to close wrong tag.\n", 64, 0);
  }
  std::string text = "</" + vesk_xml_escape(name.c_str()) + ">\n";
  print(text.c_str());
}

void vesk_xml_writer::write_isolated_tag(const char *name, const char *attributes)
{
  if (!name) {
    library_code_notify("Error in vesk_xml_writer::write_string(), NULL data.\n", 4, 0);
    return;
  }
  print_indent();
  std::string text = "<" + vesk_xml_escape(name);
  if (attributes) {
    text += " ";
    text += attributes;
  }
  text += " />\n";
  print(text.c_str());
}

void vesk_xml_writer::write_cdata(const unsigned char *data, int length)
{
  static const char hex[] = "0123456789abcdef";
  std::string text = "<![CDATA[\n";
  for (int i = 0; data && i < length; ++i) {
    text += hex[data[i] >> 4];
    text += hex[data[i] & 15];
    if (i % 32 == 31)
      text += '\n';
  }
  if (length > 0 && length % 32 != 0)
    text += '\n';
  text += "]]>\n";
  print(text.c_str());
}

void vesk_xml_writer::write_value(const char *key, const char *value)
{
  start_tag(key, 0);
  write_string(value ? value : "");
  end_tag(key, 0);
}

void vesk_xml_writer::write_value(const char *key, int value)
{
  write_value(key, std::to_string(value).c_str());
}

vesk_xml_file_writer::vesk_xml_file_writer(FILE *file) : file(file)
{
  if (!file)
    library_code_notify("Error in vesk_xml_file_writer::vesk_xml_file_writer(), NULL file handle.\n", 1, 0);
}

int vesk_xml_file_writer::internal_print_function(const char *text)
{
  if (!file)
    return 0;
  size_t n = std::strlen(text);
  if (n == 0)
    return 0;
  size_t written = std::fwrite(text, 1, n, file);
  if (written != n || std::ferror(file))
    return 0;
  return (int)written;
}

vesk_xml_file_writer::~vesk_xml_file_writer() { file = nullptr; }
