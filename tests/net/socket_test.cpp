// The socket layer on loopback: error codes, the dotted-address rule, name
// lookup, plain and TLS connects, reads and writes, and the ways a
// connection fails or ends.
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <string>
#include <unistd.h>

#include "loopback_peer.h"
#include "net/dns_lookup.h"
#include "net/network_socket.h"
#include "net/ssl_context.h"
#include "net/ssl_server.h"
#include "net/tcp_socket.h"
#include "test_support.h"

namespace {

class SocketTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ignore_broken_pipe();
    ASSERT_EQ(1, vesk_ssl_startup());
  }
};

// A pattern that shows lost, doubled or reordered bytes.
std::string pattern(size_t n)
{
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i)
    s[i] = (char)('a' + (i * 7 + i / 4093) % 26);
  return s;
}

} // namespace

TEST(NetworkErrorCodes, SystemErrorsMapToCodesAndTexts)
{
  struct row {
    int error_number;
    int code;
    const char *text;
  };
  const row table[] = {
      {0, -2, "no error"},
      {EBADF, -11, "bad function argument"},
      {EINVAL, -11, "bad function argument"},
      {ENOTSOCK, -11, "bad function argument"},
      {EFAULT, -12, "address/segmentation fault"},
      {ENFILE, -13, "out of file descriptors"},
      {EMFILE, -13, "out of file descriptors"},
      {ENOMEM, -14, "oom or buffer space"},
      {ENOBUFS, -14, "oom or buffer space"},
      {EMSGSIZE, -15, "data too big for operation"},
      {EADDRINUSE, -16, "address in use"},
      {EPIPE, -20, "broken network pipe"},
      {ESHUTDOWN, -20, "broken network pipe"},
      {ECONNABORTED, -21, "connection aborted/reset"},
      {ECONNRESET, -21, "connection aborted/reset"},
      {EHOSTDOWN, -22, "remote host down"},
      {EHOSTUNREACH, -23, "remote host unreachable"},
      {ENETDOWN, -24, "network down"},
      {ENETUNREACH, -25, "network unreachable"},
      {ENETRESET, -26, "network was reset"},
      {EAGAIN, -30, "would block"},
      {EINPROGRESS, -31, "in progress"},
      {EINTR, -32, "interrupted"},
      {ECONNREFUSED, -40, "connection refused"},
      {ETIMEDOUT, -41, "timeout"},
      {EALREADY, -42, "already done"},
      {EISCONN, -43, "already is connected"},
      {ENOTCONN, -44, "is not connected"},
      {ENOENT, -1, "unknown error"},
  };
  for (const row &r : table) {
    int code = vesk_network_socket::error_code_from_errno(r.error_number);
    EXPECT_EQ(r.code, code) << "errno " << r.error_number;
    EXPECT_STREQ(r.text, vesk_network_socket::get_error_code_string(code)) << "errno " << r.error_number;
  }
  EXPECT_STREQ("network socket subsystem uninitialized", vesk_network_socket::get_error_code_string(-10));
  EXPECT_STREQ("unknown error", vesk_network_socket::get_error_code_string(-3));
  EXPECT_STREQ("unknown error", vesk_network_socket::get_error_code_string(0));

  for (int code = -50; code <= 0; ++code) {
    bool retry = code == -2 || code == -30 || code == -31 || code == -32;
    EXPECT_EQ(retry ? 1 : 0, vesk_network_socket::is_generic_retry_error_code(code)) << code;
  }
}

TEST(DottedAddress, OnlyFourNumbersUpTo255WithFourToTwelveDigits)
{
  struct row {
    const char *text;
    int dotted;
  };
  const row table[] = {
      {"10.0.0.1", 1},         {"255.255.255.255", 1}, {"1.2.3.4", 1},
      {"0.0.0.0", 1},          {"01.02.03.04", 1},     {"+1.2.3.4", 1},
      {"256.1.1.1", 0},        {"1.2.3", 0},           {"1.2.3.4.5", 0},
      {"1.2.3.x", 0},          {"-1.2.3.4", 0},        {"001.002.003.0004", 0},
      {"1.2.3.256", 0},        {"1..2.3", 0},          {"1.2.3.", 0},
      {".1.2.3", 0},           {"1.2.3.4 ", 0},        {"localhost", 0},
      {"", 0},                 {"1.2.3.99999999999", 0},
  };
  for (const row &r : table)
    EXPECT_EQ(r.dotted, vesk_dns_is_string_an_ip_address(r.text)) << "'" << r.text << "'";
  EXPECT_EQ(0, vesk_dns_is_string_an_ip_address(nullptr));
}

TEST(DnsLookup, DottedAddressesNeedNoResolverAndNamesDo)
{
  struct sockaddr_in a = {};
  a.sin_port = htons(4321);
  ASSERT_EQ(1, vesk_dns_blocking_lookup("01.2.3.255", &a));
  EXPECT_EQ(AF_INET, a.sin_family);
  EXPECT_EQ(htonl(0x010203ff), a.sin_addr.s_addr);
  EXPECT_EQ(htons(4321), a.sin_port) << "the port is left alone";

  struct sockaddr_in b = {};
  ASSERT_EQ(1, vesk_dns_blocking_lookup("localhost", &b));
  EXPECT_EQ(htonl(INADDR_LOOPBACK), b.sin_addr.s_addr);

  EXPECT_EQ(0, vesk_dns_blocking_lookup("no-such-host.invalid", &b));
}

TEST_F(SocketTest, UnconnectedSocketRefusesTransfersAndAcceptsTlsSwitch)
{
  vesk_tcp_socket s;
  EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
  EXPECT_EQ(-1, s.socket.fd);
  char buffer[16];
  EXPECT_EQ(-1, s.nonblocking_read(buffer, sizeof(buffer)));
  EXPECT_EQ(VESK_NET_NOT_CONNECTED, s.read_error);
  EXPECT_EQ(-1, s.blocking_write("x", 1, 10));
  EXPECT_EQ(VESK_NET_NOT_CONNECTED, s.write_error);
  EXPECT_EQ(-1, s.retry_nonblocking_connect());

  log_capture log;
  EXPECT_EQ(1, s.enable_ssl());
  EXPECT_EQ(1, s.enable_ssl());
  EXPECT_NE(std::string::npos, log.text().find("socket already SSL enabled."));
  EXPECT_EQ(1, s.disable_ssl());
  EXPECT_EQ(0, s.ssl_enabled);
}

TEST_F(SocketTest, PlainConnectExchangeNothingToReadAndPeerClose)
{
  loopback_listener listener;
  std::string peer_got;
  peer_thread peer([&](peer_thread &self) {
    int fd = listener.accept_fd();
    if (fd < 0)
      return;
    (void)!write(fd, "hello", 5);
    char buffer[64];
    ssize_t r = read(fd, buffer, sizeof(buffer));
    if (r > 0)
      peer_got.assign(buffer, (size_t)r);
    self.wait_released();
    close(fd);
  });

  vesk_tcp_socket s;
  struct sockaddr_in a = loopback_address();
  ASSERT_EQ(1, s.blocking_connect(&a, listener.port(), 5000));
  EXPECT_EQ(SOCKET_CONNECTED, s.state);
  EXPECT_EQ(SOCKET_CONNECTED, s.get_connection_status());
  EXPECT_EQ(htons((uint16_t)listener.port()), s.address.sin_port);

  EXPECT_EQ("hello", client_read(s, 5));
  char buffer[64];
  EXPECT_EQ(0, s.nonblocking_read(buffer, sizeof(buffer))) << "nothing to read";
  EXPECT_EQ(SOCKET_CONNECTED, s.state);
  EXPECT_EQ(0, s.nonblocking_read(buffer, 0));
  EXPECT_EQ(0, s.nonblocking_write(nullptr, 3));

  EXPECT_EQ(5, s.blocking_write("ping\n", 5, 1000));
  peer.join();
  EXPECT_EQ("ping\n", peer_got);

  EXPECT_EQ(-1, client_read_until_end(s));
  EXPECT_EQ(0, s.read_error) << "a clean end of stream";
  EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
  EXPECT_EQ(-1, s.socket.fd);
  EXPECT_EQ(-1, s.nonblocking_read(buffer, sizeof(buffer)));
  EXPECT_EQ(VESK_NET_NOT_CONNECTED, s.read_error);
}

TEST_F(SocketTest, RefusedPortFailsBothWays)
{
  int port = unused_port();
  struct sockaddr_in a = loopback_address();

  vesk_tcp_socket blocking;
  EXPECT_EQ(-1, blocking.blocking_connect(&a, port, 5000));
  EXPECT_EQ(VESK_NET_REFUSED, blocking.write_error);
  EXPECT_EQ(SOCKET_UNCONNECTED, blocking.state);
  EXPECT_EQ(-1, blocking.socket.fd);

  vesk_tcp_socket nonblocking;
  int r = nonblocking.start_nonblocking_connect(&a, port);
  for (long long deadline = test_now_ms() + 10000; r == 0 && test_now_ms() < deadline;) {
    nonblocking.socket.wait(VESK_WAIT_WRITE, 100, nullptr);
    r = nonblocking.retry_nonblocking_connect();
  }
  EXPECT_LT(r, 0);
  EXPECT_EQ(VESK_NET_REFUSED, nonblocking.write_error);
  EXPECT_EQ(SOCKET_UNCONNECTED, nonblocking.state);
  EXPECT_EQ(-1, nonblocking.socket.fd);
}

TEST_F(SocketTest, TcpConnectThatNeverCompletesTimesOut)
{
  // A listener whose accept queue is full drops further connection requests.
  loopback_listener listener(0);
  struct sockaddr_in a = loopback_address();
  vesk_tcp_socket filler;
  ASSERT_EQ(1, filler.blocking_connect(&a, listener.port(), 5000));

  vesk_tcp_socket s;
  EXPECT_EQ(-1, s.blocking_connect(&a, listener.port(), 200));
  EXPECT_EQ(VESK_NET_TIMEOUT, s.write_error);
  EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
  EXPECT_EQ(-1, s.socket.fd);
  filler.disconnect_close();
}

TEST_F(SocketTest, NonblockingConnectPlainAndTls)
{
  for (int tls : {0, 1}) {
    SCOPED_TRACE(tls ? "TLS" : "plain");
    loopback_listener listener;
    peer_thread peer([&](peer_thread &) {
      int fd = listener.accept_fd();
      if (fd < 0)
        return;
      SSL *ssl = tls ? tls_accept(test_server_context(), fd) : nullptr;
      if (tls && ssl)
        SSL_write(ssl, "ok", 2);
      else if (!tls)
        (void)!write(fd, "ok", 2);
      char c;
      (void)!read(fd, &c, 1); // until the client hangs up
      SSL_free(ssl);
      close(fd);
    });
    vesk_tcp_socket s;
    if (tls)
      s.enable_ssl();
    struct sockaddr_in a = loopback_address();
    int r = s.start_nonblocking_connect(&a, listener.port());
    ASSERT_GE(r, 0);
    for (long long deadline = test_now_ms() + 10000; r == 0 && test_now_ms() < deadline;) {
      s.socket.wait(s.state == SOCKET_CONNECTING ? VESK_WAIT_WRITE : VESK_WAIT_READ, 100, nullptr);
      r = s.retry_nonblocking_connect();
    }
    EXPECT_EQ(1, r);
    EXPECT_EQ(SOCKET_CONNECTED, s.state);
    EXPECT_EQ(-1, s.retry_nonblocking_connect());
    EXPECT_EQ(VESK_NET_IS_CONNECTED, s.write_error);
    EXPECT_EQ(-1, s.start_nonblocking_connect(&a, listener.port())) << "connect while connected";
    EXPECT_EQ(VESK_NET_IS_CONNECTED, s.write_error);
    {
      log_capture log(1);
      EXPECT_EQ(0, s.enable_ssl());
      EXPECT_NE(std::string::npos, log.text().find("enable_ssl(), socket not in unconnected state."));
    }
    EXPECT_EQ("ok", client_read(s, 2));
    s.disconnect_close();
    EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
    peer.join();
  }
}

TEST_F(SocketTest, TlsConnectExchangeAndEndOfStream)
{
  // The peer ends with a TLS close notice, or just drops the TCP connection:
  // both are the end of the stream, not an error.
  for (int notify : {1, 0}) {
    SCOPED_TRACE(notify ? "close notice" : "TCP close only");
    loopback_listener listener;
    std::string peer_got;
    peer_thread peer([&](peer_thread &) {
      int fd = listener.accept_fd();
      SSL *ssl = fd >= 0 ? tls_accept(test_server_context(), fd) : nullptr;
      if (ssl) {
        SSL_write(ssl, "welcome\n", 8);
        char buffer[64];
        int n = SSL_read(ssl, buffer, sizeof(buffer));
        if (n > 0)
          peer_got.assign(buffer, (size_t)n);
        if (notify)
          SSL_shutdown(ssl);
        SSL_free(ssl);
      }
      if (fd >= 0)
        close(fd);
    });
    vesk_tcp_socket s;
    ASSERT_EQ(1, s.enable_ssl());
    struct sockaddr_in a = loopback_address();
    ASSERT_EQ(1, s.blocking_connect(&a, listener.port(), 5000));
    EXPECT_EQ(SOCKET_CONNECTED, s.state);
    ASSERT_NE(nullptr, s.ssl);
    EXPECT_EQ("welcome\n", client_read(s, 8));
    EXPECT_EQ(6, s.nonblocking_write("hello\n", 6));
    EXPECT_EQ(-1, client_read_until_end(s));
    EXPECT_EQ(0, s.read_error);
    EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
    EXPECT_EQ(-1, s.socket.fd);
    EXPECT_NE(nullptr, s.ssl) << "the TLS object stays until the next connect";
    peer.join();
    EXPECT_EQ("hello\n", peer_got);
  }
}

TEST_F(SocketTest, TlsHandshakeWithSilentPeerTimesOut)
{
  loopback_listener listener;
  peer_thread peer([&](peer_thread &self) {
    int fd = listener.accept_fd();
    // Accept and say nothing until the client has given up.
    self.wait_released();
    if (fd >= 0)
      close(fd);
  });
  log_capture log(1);
  vesk_tcp_socket s;
  s.enable_ssl();
  struct sockaddr_in a = loopback_address();
  EXPECT_EQ(-1, s.blocking_connect(&a, listener.port(), 300));
  peer.join();
  EXPECT_EQ(VESK_NET_TIMEOUT, s.write_error);
  EXPECT_EQ(SOCKET_UNCONNECTED, s.state);
  EXPECT_EQ(-1, s.socket.fd);
  EXPECT_NE(std::string::npos, log.text().find("TLS handshake timed out"));
}

TEST_F(SocketTest, TlsWithoutContextLeavesConnectInProgress)
{
  loopback_listener listener;
  SSL_CTX *saved = global_ssl_context;
  global_ssl_context = nullptr;
  vesk_tcp_socket s;
  s.enable_ssl();
  struct sockaddr_in a = loopback_address();
  int r;
  {
    log_capture log(1);
    r = s.blocking_connect(&a, listener.port(), 5000);
    EXPECT_NE(std::string::npos, log.text().find("did you run vesk_ssl_startup()?"));
  }
  global_ssl_context = saved;
  EXPECT_EQ(0, r);
  EXPECT_EQ(SOCKET_CONNECTING, s.state);
  EXPECT_GE(s.socket.fd, 0);
  s.disconnect_close();
}

TEST_F(SocketTest, PartialWritesLoseNothingPlainAndTls)
{
  const std::string data = pattern(8 << 20);
  for (int tls : {0, 1}) {
    SCOPED_TRACE(tls ? "TLS" : "plain");
    loopback_listener listener;
    std::string peer_got;
    peer_thread peer([&](peer_thread &self) {
      int fd = listener.accept_fd();
      SSL *ssl = (fd >= 0 && tls) ? tls_accept(test_server_context(), fd) : nullptr;
      self.wait_released();
      char buffer[65536];
      for (;;) {
        int n = ssl ? SSL_read(ssl, buffer, sizeof(buffer)) : (int)read(fd, buffer, sizeof(buffer));
        if (n <= 0)
          break;
        peer_got.append(buffer, (size_t)n);
      }
      SSL_free(ssl);
      if (fd >= 0)
        close(fd);
    });
    vesk_tcp_socket s;
    if (tls)
      s.enable_ssl();
    struct sockaddr_in a = loopback_address();
    ASSERT_EQ(1, s.blocking_connect(&a, listener.port(), 5000));

    // Write as the game connection does: offer everything not yet taken,
    // keep the rest. The peer reads nothing until a write took nothing.
    size_t offset = 0;
    int partial_writes = 0;
    int refused_writes = 0;
    while (offset < data.size()) {
      size_t asked = std::min<size_t>(100000, data.size() - offset);
      int n = s.nonblocking_write(data.data() + offset, (int)asked);
      ASSERT_GE(n, 0) << "write error " << s.write_error;
      if (n == 0) {
        ++refused_writes;
        peer.release();
        s.socket.wait(VESK_WAIT_WRITE, 100, nullptr);
        continue;
      }
      if ((size_t)n < asked)
        ++partial_writes;
      offset += (size_t)n;
    }
    // Hang up only after the peer has read everything: closing a socket with
    // unread bytes (a TLS session ticket, say) would reset the connection.
    s.socket.shutdown();
    peer.join();
    s.disconnect_close();
    EXPECT_GT(refused_writes, 0) << "the socket never filled up";
    EXPECT_GT(partial_writes, 0);
    EXPECT_EQ(data.size(), peer_got.size());
    EXPECT_TRUE(peer_got == data) << "bytes lost, doubled or reordered";
  }
}

TEST_F(SocketTest, DiffieHellmanGroupsAreBuiltOnceAndOddLengthsRefused)
{
  log_capture log(1);
  for (int bits : {512, 768, 1024, 1536, 2048, 3072, 4096}) {
    EVP_PKEY *group = get_tmp_dh_callback(nullptr, 0, bits);
    ASSERT_NE(nullptr, group) << bits;
    EXPECT_EQ(bits, EVP_PKEY_get_bits(group));
    EXPECT_EQ(group, get_tmp_dh_callback(nullptr, 0, bits)) << "cached";
  }
  EXPECT_EQ(nullptr, get_tmp_dh_callback(nullptr, 1, 1000));
  get_tmp_dh_callback(nullptr, 0, 512);
  std::string text = log.text();
  EXPECT_NE(std::string::npos,
            text.find("Warning in get_tmp_dh_callback(), unsupported key length 1000, export 1.\n"));
  EXPECT_NE(std::string::npos,
            text.find("Warning in get_tmp_dh_callback(), requested short key length  512, export 0.\n"));
}

TEST_F(SocketTest, ServerContextOffersDiffieHellmanKeyExchange)
{
  // A server that allows only a DHE cipher can complete a handshake only if
  // its context hands out a group.
  SSL_CTX *server = vesk_ssl_make_self_signed_server_context("localhost");
  ASSERT_NE(nullptr, server);
  SSL_CTX_set_max_proto_version(server, TLS1_2_VERSION);
  ASSERT_EQ(1, SSL_CTX_set_cipher_list(server, "DHE-RSA-AES256-GCM-SHA384"));
  loopback_listener listener;
  peer_thread peer([&](peer_thread &) {
    int fd = listener.accept_fd();
    SSL *ssl = fd >= 0 ? tls_accept(server, fd) : nullptr;
    if (ssl)
      SSL_write(ssl, "x", 1);
    char c;
    if (fd >= 0)
      (void)!read(fd, &c, 1);
    SSL_free(ssl);
    if (fd >= 0)
      close(fd);
  });
  vesk_tcp_socket s;
  s.enable_ssl();
  struct sockaddr_in a = loopback_address();
  EXPECT_EQ(1, s.blocking_connect(&a, listener.port(), 5000));
  if (s.ssl && s.state == SOCKET_CONNECTED) {
    EXPECT_STREQ("DHE-RSA-AES256-GCM-SHA384", SSL_get_cipher_name(s.ssl));
  }
  s.disconnect_close();
  peer.join();
  SSL_CTX_free(server);
}
