#include "net/ssl_context.h"

#include <cstdio>
#include <mutex>

#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/err.h>
#include <openssl/param_build.h>
#include <openssl/x509.h>

#include "app/debug_log.h"

SSL_CTX *global_ssl_context = nullptr;
const char *global_ssl_cipher_parms = "HIGH:@STRENGTH:!aNULL";

void vesk_ssl_take_error_text(char *out, int size)
{
  if (!out || size < 1)
    return;
  unsigned long code = ERR_get_error();
  if (code)
    ERR_error_string_n(code, out, (size_t)size);
  else
    std::snprintf(out, (size_t)size, "no error text");
  ERR_clear_error();
}

int vesk_ssl_startup()
{
  if (global_ssl_context)
    return 1;
  char text[256];
  if (!OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr)) {
    vesk_ssl_take_error_text(text, sizeof(text));
    library_code_notify(text, 1, 0);
    return 0;
  }
  // The general method negotiates the best version both sides speak.
  const SSL_METHOD *method = TLS_method();
  SSL_CTX *context = method ? SSL_CTX_new(method) : nullptr;
  if (!context) {
    vesk_ssl_take_error_text(text, sizeof(text));
    library_code_notify(text, 1, 0);
    return 0;
  }
  // SSL version 2 is gone from the library; refuse version 3 as well.
  SSL_CTX_set_options(context, SSL_OP_NO_SSLv2 | SSL_OP_NO_SSLv3);
  // Writes may be partial (the caller keeps the rest and offers it again,
  // possibly from a moved buffer with more data appended).
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  if (!SSL_CTX_set_cipher_list(context, global_ssl_cipher_parms)) {
    vesk_ssl_take_error_text(text, sizeof(text));
    library_code_notify(text, 1, 0);
    SSL_CTX_free(context);
    return 0;
  }
  vesk_ssl_install_dh_callback(context);
  global_ssl_context = context;
  return 1;
}

// 512 bits is below every published group; this one is a safe prime made for
// the client with generator 2.
static const char dh512_prime_hex[] = "c98d959b80abe69e43b24721035fffb81d0dae65a915c85b6457744f96517eb3"
                                      "f48024768d6936f5afcf037bff07e85cd5c9a1f55d97def7a8c7042df68c804f";

static std::mutex dh_cache_lock;
static EVP_PKEY *dh_cache[7];
static const int dh_lengths[7] = {512, 768, 1024, 1536, 2048, 3072, 4096};

static BIGNUM *dh_prime(int keylength)
{
  switch (keylength) {
  case 512: {
    BIGNUM *p = nullptr;
    return BN_hex2bn(&p, dh512_prime_hex) ? p : nullptr;
  }
  case 768:
    return BN_get_rfc2409_prime_768(nullptr);
  case 1024:
    return BN_get_rfc2409_prime_1024(nullptr);
  case 1536:
    return BN_get_rfc3526_prime_1536(nullptr);
  case 2048:
    return BN_get_rfc3526_prime_2048(nullptr);
  case 3072:
    return BN_get_rfc3526_prime_3072(nullptr);
  case 4096:
    return BN_get_rfc3526_prime_4096(nullptr);
  default:
    return nullptr;
  }
}

static EVP_PKEY *build_dh_group(int keylength)
{
  BIGNUM *p = dh_prime(keylength);
  BIGNUM *g = BN_new();
  OSSL_PARAM_BLD *builder = OSSL_PARAM_BLD_new();
  OSSL_PARAM *params = nullptr;
  EVP_PKEY_CTX *maker = nullptr;
  EVP_PKEY *group = nullptr;
  if (p && g && builder && BN_set_word(g, 2) && OSSL_PARAM_BLD_push_BN(builder, OSSL_PKEY_PARAM_FFC_P, p) &&
      OSSL_PARAM_BLD_push_BN(builder, OSSL_PKEY_PARAM_FFC_G, g) && (params = OSSL_PARAM_BLD_to_param(builder)) &&
      (maker = EVP_PKEY_CTX_new_from_name(nullptr, "DH", nullptr)) && EVP_PKEY_fromdata_init(maker) > 0) {
    if (EVP_PKEY_fromdata(maker, &group, EVP_PKEY_KEY_PARAMETERS, params) <= 0)
      group = nullptr;
  }
  EVP_PKEY_CTX_free(maker);
  OSSL_PARAM_free(params);
  OSSL_PARAM_BLD_free(builder);
  BN_free(g);
  BN_free(p);
  if (!group) {
    char text[256];
    vesk_ssl_take_error_text(text, sizeof(text));
    library_code_notify(text, 1, 0);
  }
  return group;
}

EVP_PKEY *get_tmp_dh_callback(SSL *, int is_export, int keylength)
{
  char text[200];
  if (keylength < 1024) {
    std::snprintf(text, sizeof(text), "Warning in get_tmp_dh_callback(), requested short key length %4d, export %d.",
                  keylength, is_export);
    library_code_notify(text, 0x80, 0);
  }
  for (int i = 0; i < 7; ++i) {
    if (dh_lengths[i] != keylength)
      continue;
    std::lock_guard<std::mutex> hold(dh_cache_lock);
    if (!dh_cache[i])
      dh_cache[i] = build_dh_group(keylength);
    return dh_cache[i];
  }
  std::snprintf(text, sizeof(text), "Warning in get_tmp_dh_callback(), unsupported key length %4d, export %d.",
                keylength, is_export);
  library_code_notify(text, 0x40, 0);
  return nullptr;
}

// Picks the group for one connection while its client hello is read, before
// the cipher is chosen: as strong as the certificate the server presents.
static int choose_dh_group(SSL *ssl, int *, void *)
{
  int bits = 0;
  if (X509 *certificate = SSL_get_certificate(ssl))
    if (EVP_PKEY *key = X509_get0_pubkey(certificate))
      bits = EVP_PKEY_get_security_bits(key);
  int keylength = bits >= 128 ? 3072 : bits >= 112 ? 2048 : 1024;
  EVP_PKEY *group = get_tmp_dh_callback(ssl, 0, keylength);
  if (group && EVP_PKEY_up_ref(group)) {
    // The library takes the reference unless its security level refuses the
    // group, in which case DHE is simply not offered.
    if (!SSL_set0_tmp_dh_pkey(ssl, group)) {
      EVP_PKEY_free(group);
      ERR_clear_error();
    }
  }
  return SSL_CLIENT_HELLO_SUCCESS;
}

void vesk_ssl_install_dh_callback(SSL_CTX *context)
{
  if (context)
    SSL_CTX_set_client_hello_cb(context, choose_dh_group, nullptr);
}
