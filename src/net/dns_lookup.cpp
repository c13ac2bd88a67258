#include "net/dns_lookup.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>

// Reads the integer at *p (optional sign for the first one only), 0-255.
// Advances *p past it and adds its digits to *digits. 0 if there is none or
// it is out of range.
static int read_octet(const char **p, bool allow_sign, int *digits, unsigned *value)
{
  const char *s = *p;
  bool negative = false;
  if (allow_sign && (*s == '+' || *s == '-')) {
    negative = *s == '-';
    ++s;
  }
  if (*s < '0' || *s > '9')
    return 0;
  unsigned v = 0;
  while (*s >= '0' && *s <= '9') {
    if (v <= 255)
      v = v * 10 + (unsigned)(*s - '0');
    ++*digits;
    ++s;
  }
  if (v > 255 || (negative && v != 0))
    return 0;
  *value = v;
  *p = s;
  return 1;
}

// Parses a dotted address into its four parts; 1 on success.
static int parse_dotted(const char *text, unsigned part[4])
{
  if (!text)
    return 0;
  const char *p = text;
  int digits = 0;
  int dots = 0;
  if (!read_octet(&p, true, &digits, &part[0]))
    return 0;
  while (*p) {
    if (*p != '.')
      return 0;
    ++p;
    ++dots;
    unsigned v = 0;
    if (!read_octet(&p, false, &digits, &v))
      return 0;
    if (dots <= 3)
      part[dots] = v;
  }
  return dots == 3 && digits >= 4 && digits <= 12;
}

int vesk_dns_is_string_an_ip_address(const char *text)
{
  unsigned part[4];
  return parse_dotted(text, part);
}

int vesk_dns_blocking_lookup(const char *name, struct sockaddr_in *address)
{
  if (!name || !address)
    return 0;
  unsigned part[4];
  if (parse_dotted(name, part)) {
    address->sin_family = AF_INET;
    address->sin_addr.s_addr = htonl((part[0] << 24) | (part[1] << 16) | (part[2] << 8) | part[3]);
    return 1;
  }
  struct addrinfo hints;
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_INET;
  struct addrinfo *answers = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &answers) != 0 || !answers)
    return 0;
  int found = 0;
  for (struct addrinfo *a = answers; a; a = a->ai_next) {
    if (a->ai_family == AF_INET && a->ai_addr && a->ai_addrlen >= sizeof(struct sockaddr_in)) {
      address->sin_family = AF_INET;
      address->sin_addr = reinterpret_cast<struct sockaddr_in *>(a->ai_addr)->sin_addr;
      found = 1;
      break;
    }
  }
  freeaddrinfo(answers);
  return found;
}
