// The process-wide TLS context of the client, the cipher list it uses, and
// the cached Diffie-Hellman groups a server side hands out for DHE key
// exchange.
#ifndef OMBRITH_NET_SSL_CONTEXT_H
#define OMBRITH_NET_SSL_CONTEXT_H

#include <openssl/evp.h>
#include <openssl/ssl.h>

extern SSL_CTX *global_ssl_context;
extern const char *global_ssl_cipher_parms;

// Initialises the library and creates global_ssl_context (once; later calls
// return 1 at once). 1 on success, 0 on failure (the library's error text is
// notified).
int vesk_ssl_startup();

// The built-in group of `keylength` bits (512, 768, 1024, 1536, 2048, 3072
// or 4096; generator 2), built on first use and kept for the life of the
// process; null for any other length. The result is borrowed: callers that
// hand it to the library take their own reference. `ssl` may be null.
EVP_PKEY *get_tmp_dh_callback(SSL *ssl, int is_export, int keylength);

// Makes a context choose a temporary Diffie-Hellman group per connection,
// sized to the strength of the certificate it presents. Only a server side
// ever uses it; on a client context it is inert.
void vesk_ssl_install_dh_callback(SSL_CTX *context);

// Takes the oldest error off the library's error queue (and drops the rest)
// and writes its text into `out`; "no error text" when the queue is empty.
void vesk_ssl_take_error_text(char *out, int size);

#endif
