#include "net/ssl_server.h"

#include <cstdio>

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include "net/ssl_context.h"

static X509 *make_certificate(EVP_PKEY *key, const char *common_name)
{
  X509 *certificate = X509_new();
  if (!certificate)
    return nullptr;
  bool ok = X509_set_version(certificate, 2) == 1;
  unsigned char serial[16];
  if (ok && RAND_bytes(serial, sizeof(serial)) == 1) {
    serial[0] &= 0x7f; // keep the serial number positive
    BIGNUM *number = BN_bin2bn(serial, sizeof(serial), nullptr);
    ok = number && BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate));
    BN_free(number);
  } else {
    ok = false;
  }
  ok = ok && X509_gmtime_adj(X509_getm_notBefore(certificate), -24L * 3600) &&
       X509_gmtime_adj(X509_getm_notAfter(certificate), 365L * 24 * 3600) && X509_set_pubkey(certificate, key) == 1;
  X509_NAME *name = X509_get_subject_name(certificate);
  ok = ok && name &&
       X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, (const unsigned char *)"Ombrith", -1, -1, 0) == 1 &&
       X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, (const unsigned char *)common_name, -1, -1, 0) == 1 &&
       X509_set_issuer_name(certificate, name) == 1 && X509_sign(certificate, key, EVP_sha256()) > 0;
  if (!ok) {
    X509_free(certificate);
    return nullptr;
  }
  return certificate;
}

SSL_CTX *vesk_ssl_make_self_signed_server_context(const char *common_name, char *error, int error_size)
{
  if (!common_name || !*common_name)
    common_name = "localhost";
  ERR_clear_error();
  SSL_CTX *context = SSL_CTX_new(TLS_method());
  EVP_PKEY *key = context ? EVP_RSA_gen(2048) : nullptr;
  X509 *certificate = key ? make_certificate(key, common_name) : nullptr;
  bool ok = certificate && SSL_CTX_use_certificate(context, certificate) == 1 &&
            SSL_CTX_use_PrivateKey(context, key) == 1 && SSL_CTX_check_private_key(context) == 1 &&
            SSL_CTX_set_cipher_list(context, global_ssl_cipher_parms) == 1;
  X509_free(certificate);
  EVP_PKEY_free(key);
  if (!ok) {
    if (error && error_size > 0)
      vesk_ssl_take_error_text(error, error_size);
    SSL_CTX_free(context);
    return nullptr;
  }
  SSL_CTX_set_options(context, SSL_OP_NO_SSLv3);
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  vesk_ssl_install_dh_callback(context);
  return context;
}
