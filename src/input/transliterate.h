// Conversion of toolkit text (UTF-8) into the client's 8-bit text: every
// character outside printable ASCII becomes a fixed ASCII look-alike ("EU"
// for the euro sign, "ae" for a-diaeresis, plain quotes for typographic
// ones), or its decimal number in brackets when there is none.
#ifndef OMBRITH_INPUT_TRANSLITERATE_H
#define OMBRITH_INPUT_TRANSLITERATE_H

#include <string>

#include <wx/string.h>

#include "util/buffer.h"

// Decodes the character at the start of a NUL-terminated byte string into
// *value and returns the start of the next one, or null (with *value 0) at
// the terminating NUL. Malformed input never stops the decoding: a stray
// continuation byte gives its low 6 bits, a sequence cut short gives the
// bits gathered so far, and the bytes 248-255 give '.'.
const char *utf8_extract_glyph(const char *text, int *value);

// The ASCII replacement of one decoded character value.
void utf8_transliterate_value(int value, std::string &output);

// Appends the transliteration of UTF-8 bytes to `output`.
void utf8_transliterate(const char *utf8, std::string &output);

// Appends the transliteration of the source to the output. The Buffer forms
// keep at most 5999 characters: what does not fit is dropped, and a
// replacement of several characters is cut at the limit. The source may be
// the output.
void wx_utf8_buffer_print(const wxString &source, wxString &output);
void wx_utf8_buffer_print(const wxString &source, Buffer &output);
void wx_utf8_buffer_print(const char *utf8, Buffer &output);

// A new string holding the transliteration of the source.
wxString wx_unicode_destroy(const wxString &source);

#endif
