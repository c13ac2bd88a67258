// Word-oriented string helpers: stepping through words, case-insensitive word
// comparison and abbreviation matching, number tests, bounded copies, base64
// and the URL finder used by the text view.
#ifndef OMBRITH_UTIL_STRINGS_H
#define OMBRITH_UTIL_STRINGS_H

#include "util/buffer.h"

// 1 if text starts like a signed decimal number; *value gets the number.
int is_int(const char *text, int *value = nullptr);

// Start of the word after the first one, or null when there is none.
const char *next_arg(const char *text);
char *next_arg(char *text);

int wordcmp(const char *a, const char *b);
int multiword_wordcmp(const char *word, const char *list);

// Length of the abbreviation if it is a prefix of word (ignoring case), else 0.
int is_abbrev(const char *abbreviation, const char *word);
// As above, but an abbreviation shorter than `minimum` must be the whole word.
int is_abbrev(const char *abbreviation, const char *word, int minimum);

int safe_strcpy(char *dest, const char *src, int size);

int base64_encode(Buffer &out, const void *data, int count);
int base64_encode(Buffer &out, const char *text);

// Finds the URL covering `position` in `line`; 1 with the URL in `out` and its
// first and last index in *start and *end, else 0.
int vesk_extract_url_from_string(Buffer &out, const char *line, int position, int *start, int *end);

#endif
