// A TLS server context with a self-signed certificate made in memory, for the
// local demo server and for tests that need a TLS peer. Nothing is read from
// or written to disk.
#ifndef OMBRITH_NET_SSL_SERVER_H
#define OMBRITH_NET_SSL_SERVER_H

#include <openssl/ssl.h>

// A new server context (general method, the client's cipher list, the
// Diffie-Hellman groups, partial writes allowed) presenting a fresh RSA-2048
// certificate for common_name, valid from a day ago for a year. Null on
// failure, with the library's error text in `error` when given.
SSL_CTX *vesk_ssl_make_self_signed_server_context(const char *common_name, char *error = nullptr,
                                                  int error_size = 0);

#endif
