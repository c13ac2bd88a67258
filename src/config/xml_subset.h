// The small XML subset the configuration files are stored in: elements only,
// one line of text or nested elements per element, three entity escapes and
// an optional one-line header. Reading is streamed: the caller asks for the
// next tag and then reads the element's data, descends into it or skips it.
// Both sides keep a stack of open tags to check that closing tags match.
#ifndef OMBRITH_CONFIG_XML_SUBSET_H
#define OMBRITH_CONFIG_XML_SUBSET_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

// Longest tag text kept on a tag stack; longer text is cut.
enum { VESK_XML_TAG_TEXT_MAX = 999 };

class vesk_xml_reader {
public:
  vesk_xml_reader();
  // Next character as 0..255, or -1 at the end of the input.
  virtual int internal_get_character_function() = 0;
  virtual ~vesk_xml_reader();

  // 1 when `line` is a valid "<?xml version=... encoding=...?>" header.
  int check_xml_header_string(const char *line);

  // Reads up to and including the next tag. 1 for an opening tag (its text,
  // without brackets, goes to dest and onto the tag stack); 0 for a closing
  // tag (popped), at the end of the input or when the tag cannot be read.
  int read_tag(char *dest, int size);
  // Reads the element's text and its closing tag. 1 on success; on failure
  // the closing tag stays unread.
  int read_data(char *dest, int size);
  int read_data(int *dest);
  // Consumes everything up to and including the closing tag of the element
  // opened last.
  void skip_data();
  // Reads a hex-coded CDATA section and then the rest of the element; the
  // number of bytes decoded (0 on failure).
  int read_cdata(unsigned char *dest, int size);

  // Turns "&lt;", "&gt;", "&amp;" and numeric references "&#N;" (N 1..255,
  // written by the writer for bytes outside 32..126) back in place.
  static void compact_string(char *text);

  void pop_stack_entry(const char *closing_text);
  int read_block(char *dest, int size, int reading_tag);

  int stack_depth() const { return (int)tag_stack.size(); }
  const char *stack_top() const { return tag_stack.empty() ? nullptr : tag_stack.back().c_str(); }

protected:
  // Reads one character, honouring a character pushed back by unget().
  int get();
  void unget(int c) { pushed_back = c; }

private:
  void push_stack_entry(const char *text);

  std::vector<std::string> tag_stack;
  int pushed_back;
};

// Reads from an open file; the caller opens and closes it.
class vesk_xml_file_reader : public vesk_xml_reader {
public:
  explicit vesk_xml_file_reader(FILE *file);
  int internal_get_character_function() override;
  ~vesk_xml_file_reader() override;

private:
  FILE *file;
};

// Reads from a block of memory (not copied; it must outlive the reader).
class vesk_xml_memory_reader : public vesk_xml_reader {
public:
  vesk_xml_memory_reader(const void *data, size_t length);
  int internal_get_character_function() override;

private:
  const unsigned char *data;
  size_t length;
  size_t position;
};

class vesk_xml_writer {
public:
  vesk_xml_writer();
  // Writes a NUL-terminated string; the number of characters written, 0 or
  // less on failure.
  virtual int internal_print_function(const char *text) = 0;
  virtual ~vesk_xml_writer();

  int print_standard_header();
  void start_tag(const char *name, int block, const char *attributes = nullptr);
  void write_string(const char *text);
  void end_tag(const char *expected_name, int indent);
  void write_isolated_tag(const char *name, const char *attributes = nullptr);
  void write_cdata(const unsigned char *data, int length);
  void print_indent();
  void print_blank_line();

  // One value element on one line: <key>value</key>.
  void write_value(const char *key, const char *value);
  void write_value(const char *key, int value);

  // 1 once the sink refused a write; the output is then incomplete.
  int write_failed() const { return failed; }

  int indent_level;

protected:
  int print(const char *text);

private:
  std::vector<std::string> tag_stack;
  int failed;
};

// Writes to an open file; the caller opens and closes it.
class vesk_xml_file_writer : public vesk_xml_writer {
public:
  explicit vesk_xml_file_writer(FILE *file);
  int internal_print_function(const char *text) override;
  ~vesk_xml_file_writer() override;

private:
  FILE *file;
};

// The escaped form of a text as the writer writes it: "&", "<" and ">" as
// entities, tab, newline, carriage return and bytes from 127 up as numeric
// references, other control characters (which XML cannot carry) as "?".
std::string vesk_xml_escape(const char *text);

#endif
