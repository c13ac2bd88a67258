// IPv4 name lookup and the dotted-address test.
#ifndef OMBRITH_NET_DNS_LOOKUP_H
#define OMBRITH_NET_DNS_LOOKUP_H

#include <netinet/in.h>

// 1 if text is a dotted IPv4 address: an integer 0-255 (optional sign), then
// only digits and dots, every dot followed by an integer 0-255, exactly three
// dots and 4 to 12 digits in all. Otherwise 0.
int vesk_dns_is_string_an_ip_address(const char *text);

// 1 with the address stored in *address (family set to IPv4, port left
// alone), or 0. Dotted addresses are converted directly; other names go to
// the system resolver, which may block.
int vesk_dns_blocking_lookup(const char *name, struct sockaddr_in *address);

#endif
