#include "net/tcp_socket.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <openssl/err.h>

#include "app/debug_log.h"
#include "net/ssl_context.h"

static long long monotonic_ms()
{
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

// Milliseconds left until `deadline`, or -1 (no limit) when ms is negative.
static int remaining_ms(int ms, long long deadline)
{
  if (ms < 0)
    return -1;
  long long left = deadline - monotonic_ms();
  return left > 0 ? (int)left : 0;
}

// Notifies the library's pending error text as "%s - err code %d.".
static void notify_ssl_error_text(int code)
{
  char text[256];
  vesk_ssl_take_error_text(text, sizeof(text));
  char message[320];
  std::snprintf(message, sizeof(message), "%s - err code %d.", text, code);
  library_code_notify(message, 0x100, 0);
}

// True when a failed TLS read or write means the peer ended the stream
// without a failure of its own: a TLS close, or the transport ending (the
// library reports that as a system error with no error number, or as an
// unexpected end of file).
static bool ssl_end_of_stream(int error, int saved_errno)
{
  if (error == SSL_ERROR_ZERO_RETURN)
    return true;
  unsigned long queued = ERR_peek_error();
  if (error == SSL_ERROR_SYSCALL && saved_errno == 0 && queued == 0)
    return true;
  return error == SSL_ERROR_SSL && ERR_GET_LIB(queued) == ERR_LIB_SSL &&
         ERR_GET_REASON(queued) == SSL_R_UNEXPECTED_EOF_WHILE_READING;
}

vesk_tcp_socket::vesk_tcp_socket()
    : ssl(nullptr), ssl_enabled(0), state(SOCKET_UNCONNECTED), read_error(0), write_error(0), ssl_wants_write(0)
{
  std::memset(&address, 0, sizeof(address));
}

vesk_tcp_socket::~vesk_tcp_socket()
{
  if (socket.fd >= 0) {
    library_code_notify("Error in ~vesk_tcp_socket(), socket not closed.", 2, 0);
    socket.close();
  }
  if (ssl) {
    SSL_free(ssl);
    ssl = nullptr;
  }
}

int vesk_tcp_socket::enable_ssl()
{
  if (state != SOCKET_UNCONNECTED) {
    library_code_notify("Error in vesk_tcp_socket::enable_ssl(), socket not in unconnected state.", 2, 0);
    return 0;
  }
  if (ssl_enabled)
    library_code_notify("Error in vesk_server_socket_writeable::make_ssl_capable(), socket already SSL enabled.", 2,
                        0);
  ssl_enabled = 1;
  return 1;
}

int vesk_tcp_socket::disable_ssl()
{
  if (state != SOCKET_UNCONNECTED) {
    library_code_notify("Error in vesk_tcp_socket::disable_ssl(), socket not in unconnected state.", 2, 0);
    return 0;
  }
  ssl_enabled = 0;
  if (ssl) {
    SSL_free(ssl);
    ssl = nullptr;
  }
  return 1;
}

void vesk_tcp_socket::fail_connect(int code)
{
  write_error = code;
  state = SOCKET_UNCONNECTED;
  socket.close();
}

int vesk_tcp_socket::start_nonblocking_connect(const struct sockaddr_in *to, int port)
{
  if (state == SOCKET_CONNECTING || state == SOCKET_SSL_CONNECTING) {
    write_error = VESK_NET_IN_PROGRESS;
    return -1;
  }
  if (state == SOCKET_CONNECTED) {
    write_error = VESK_NET_IS_CONNECTED;
    return -1;
  }
  if (!to) {
    write_error = VESK_NET_BAD_ARGUMENT;
    return -1;
  }
  if (socket.fd >= 0) {
    library_code_notify("Error in vesk_tcp_socket::start_nonblocking_connect(), socket not closed.", 2, 0);
    socket.close();
  }
  if (!socket.open(AF_INET, SOCK_STREAM, 0)) {
    library_code_notify("Error in vesk_tcp_socket::start_nonblocking_connect(), unable to create new socket?", 1, 0);
    write_error = VESK_NET_NO_DESCRIPTORS;
    return -1;
  }
  state = SOCKET_CONNECTING;
  address = *to;
  address.sin_family = AF_INET;
  address.sin_port = htons((uint16_t)port);
  socket.set_nonblocking();
  int code = socket.connect(reinterpret_cast<const struct sockaddr *>(&address), sizeof(address));
  if (code == 0 || code == VESK_NET_IS_CONNECTED) {
    write_error = 0;
    return ssl_try_connect(0);
  }
  write_error = code;
  if (vesk_network_socket::is_generic_retry_error_code(code) || code == VESK_NET_ALREADY)
    return 0;
  state = SOCKET_UNCONNECTED;
  socket.close();
  return code;
}

// The TCP connect has reported readiness: 0 if it succeeded, otherwise the
// connection is failed with the reason and -1 returned.
int vesk_tcp_socket::check_connect_result()
{
  int code = socket.get_socket_error();
  if (code != 0) {
    fail_connect(code);
    return -1;
  }
  return 0;
}

int vesk_tcp_socket::blocking_connect(const struct sockaddr_in *to, int port, int ms)
{
  int r = start_nonblocking_connect(to, port);
  if (r == 1)
    return 1;
  if (r < 0)
    return -1;
  if (state == SOCKET_SSL_CONNECTING) {
    // The TCP connect finished at once and the handshake has begun.
    return ssl_wait_handshake(ms);
  }
  long long deadline = monotonic_ms() + (ms > 0 ? ms : 0);
  for (;;) {
    int ready = 0;
    int n = socket.wait(VESK_WAIT_WRITE, remaining_ms(ms, deadline), &ready);
    if (n == VESK_NET_INTERRUPTED)
      continue;
    if (n < 0) {
      fail_connect(n);
      return -1;
    }
    if (n == 0) {
      fail_connect(VESK_NET_TIMEOUT);
      return -1;
    }
    if (ready & VESK_WAIT_EXCEPTION) {
      fail_connect(VESK_NET_CONNECTION_RESET);
      return -1;
    }
    // A refused or unreachable peer also shows as writable: the socket's
    // pending error tells.
    if (check_connect_result() < 0)
      return -1;
    if (!(ready & VESK_WAIT_WRITE)) {
      fail_connect(VESK_NET_CONNECTION_RESET);
      return -1;
    }
    return ssl_try_connect(1, ms);
  }
}

int vesk_tcp_socket::retry_nonblocking_connect()
{
  switch (state) {
  case SOCKET_CONNECTED:
    write_error = VESK_NET_IS_CONNECTED;
    return -1;
  case SOCKET_SSL_CONNECTING:
    return ssl_retry_connect();
  case SOCKET_CONNECTING:
    break;
  default:
    write_error = VESK_NET_NOT_CONNECTED;
    return -1;
  }
  int ready = 0;
  int n = socket.wait(VESK_WAIT_WRITE, 0, &ready);
  if (n == 0)
    return 0;
  if (n < 0) {
    write_error = n;
    if (vesk_network_socket::is_generic_retry_error_code(n))
      return 0;
    state = SOCKET_UNCONNECTED;
    socket.close();
    return -1;
  }
  if (ready & VESK_WAIT_EXCEPTION) {
    fail_connect(VESK_NET_CONNECTION_RESET);
    return -1;
  }
  if (check_connect_result() < 0)
    return -1;
  if (!(ready & VESK_WAIT_WRITE)) {
    fail_connect(VESK_NET_CONNECTION_RESET);
    return -1;
  }
  return ssl_try_connect(0);
}

int vesk_tcp_socket::get_connection_status()
{
  if (state == SOCKET_CONNECTING)
    retry_nonblocking_connect();
  return state;
}

int vesk_tcp_socket::ssl_try_connect(int blocking, int timeout_ms)
{
  if (!ssl_enabled) {
    state = SOCKET_CONNECTED;
    return 1;
  }
  const char *failure = nullptr;
  if (state != SOCKET_CONNECTING) {
    failure = "Error in vesk_tcp_socket::ssl_try_connect(), socket not in connecting state.";
  } else {
    if (ssl) {
      SSL_free(ssl);
      ssl = nullptr;
    }
    if (global_ssl_context)
      ssl = SSL_new(global_ssl_context);
    if (!ssl) {
      library_code_notify(
          "Unable to allocate SSL struct in vesk_tcp_socket::ssl_try_connect(), did you run vesk_ssl_startup()?", 2,
          0);
      notify_ssl_error_text(0);
      return 0;
    }
    if (!SSL_set_cipher_list(ssl, global_ssl_cipher_parms))
      failure = "Error in vesk_tcp_socket::ssl_try_connect(), unable to set cipher list?";
    else if (!SSL_set_fd(ssl, socket.fd))
      failure = "Error in vesk_tcp_socket::ssl_try_connect(), set_fd failed?";
  }
  if (failure) {
    library_code_notify(failure, 2, 0);
    ERR_clear_error();
    fail_connect(VESK_NET_CONNECTION_RESET);
    return -1;
  }
  state = SOCKET_SSL_CONNECTING;
  if (!blocking)
    return ssl_retry_connect();
  return ssl_wait_handshake(timeout_ms);
}

int vesk_tcp_socket::ssl_wait_handshake(int timeout_ms)
{
  // Wait for the handshake, but not for ever: a peer that accepts the TCP
  // connection and then says nothing must not hold the caller.
  long long deadline = monotonic_ms() + (timeout_ms > 0 ? timeout_ms : 0);
  for (;;) {
    int r = ssl_retry_connect();
    if (r != 0)
      return r;
    int left = remaining_ms(timeout_ms, deadline);
    int n = left == 0 ? 0 : socket.wait(ssl_wants_write ? VESK_WAIT_WRITE : VESK_WAIT_READ, left, nullptr);
    if (n == VESK_NET_INTERRUPTED)
      continue;
    if (n < 0) {
      fail_connect(n);
      return -1;
    }
    if (n == 0) {
      library_code_notify("Error in vesk_tcp_socket::ssl_try_connect(), TLS handshake timed out.", 2, 0);
      fail_connect(VESK_NET_TIMEOUT);
      return -1;
    }
  }
}

int vesk_tcp_socket::ssl_retry_connect()
{
  if (!ssl) {
    library_code_notify("Error in vesk_tcp_socket::ssl_retry_connect(), NULL ssl context?", 2, 0);
    write_error = VESK_NET_CONNECTION_RESET;
    return -1;
  }
  ERR_clear_error();
  int r = SSL_connect(ssl);
  if (r == 1) {
    state = SOCKET_CONNECTED;
    return 1;
  }
  int e = SSL_get_error(ssl, r);
  if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) {
    ssl_wants_write = e == SSL_ERROR_WANT_WRITE;
    return 0;
  }
  if (r == 0) {
    library_code_notify("Warning in vesk_tcp_socket::ssl_retry_connect(), SSL connect failed due to protocol issue.",
                        0x80, 0);
    ERR_clear_error();
  } else if (e == SSL_ERROR_ZERO_RETURN) {
    library_code_notify("Controlled ssl close in vesk_tcp_socket::ssl_retry_connect(), bailing.", 0x80, 0);
    ERR_clear_error();
  } else {
    library_code_notify("SSL connect failed in vesk_tcp_socket::ssl_retry_connect().", 0x80, 0);
    notify_ssl_error_text(e);
  }
  write_error = VESK_NET_CONNECTION_RESET;
  return -1;
}

int vesk_tcp_socket::nonblocking_read(char *buffer, int size)
{
  if (state != SOCKET_CONNECTED) {
    read_error = VESK_NET_NOT_CONNECTED;
    return -1;
  }
  if (!buffer || size < 1)
    return 0;
  if (ssl_enabled && ssl) {
    ERR_clear_error();
    errno = 0;
    int n = SSL_read(ssl, buffer, size);
    if (n > 0)
      return n;
    int saved_errno = errno;
    int e = SSL_get_error(ssl, n);
    if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)
      return 0;
    if (ssl_end_of_stream(e, saved_errno)) {
      read_error = 0;
      ERR_clear_error();
    } else {
      library_code_notify("Unexpected ssl close in vesk_tcp_socket::nonblocking_read().", 0x100, 0);
      notify_ssl_error_text(e);
      read_error = VESK_NET_CONNECTION_RESET;
    }
    state = SOCKET_UNCONNECTED;
    socket.close();
    return -1;
  }
  int n = socket.read(buffer, size);
  if (n > 0)
    return n;
  if (n == 0) {
    read_error = 0;
  } else {
    read_error = n;
    if (vesk_network_socket::is_generic_retry_error_code(n))
      return 0;
  }
  state = SOCKET_UNCONNECTED;
  socket.close();
  return -1;
}

int vesk_tcp_socket::nonblocking_write(const char *data, int length)
{
  if (state != SOCKET_CONNECTED) {
    write_error = VESK_NET_NOT_CONNECTED;
    return -1;
  }
  if (!data || length < 1)
    return 0;
  if (ssl_enabled && ssl) {
    ERR_clear_error();
    int n = SSL_write(ssl, data, length);
    if (n > 0)
      return n;
    int e = SSL_get_error(ssl, n);
    if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)
      return 0;
    if (e == SSL_ERROR_ZERO_RETURN) {
      write_error = 0;
      library_code_notify("Clean SSL shutdown in vesk_tcp_socket::nonblocking_write().", 0x100, 0);
    } else {
      write_error = VESK_NET_CONNECTION_RESET;
      library_code_notify("Unexpected ssl close in vesk_tcp_socket::nonblocking_write().", 0x100, 0);
    }
    ERR_clear_error();
    state = SOCKET_UNCONNECTED;
    socket.close();
    return -1;
  }
  int n = socket.write(data, length);
  if (n >= 0)
    return n;
  write_error = n;
  if (vesk_network_socket::is_generic_retry_error_code(n))
    return 0;
  state = SOCKET_UNCONNECTED;
  socket.close();
  return -1;
}

// Waits up to ms for the socket to become ready for `what`: 1 ready, 0 not
// yet (or an interrupted wait), -1 the connection failed (the error goes to
// `error` and the socket is closed).
int vesk_tcp_socket::wait_until_ready(int what, int ms, int &error)
{
  int ready = 0;
  int n = socket.wait(what, ms, &ready);
  if (n == 0)
    return 0;
  if (n < 0) {
    if (vesk_network_socket::is_generic_retry_error_code(n))
      return 0;
    error = n;
  } else if ((ready & VESK_WAIT_EXCEPTION) && !(ready & what)) {
    error = VESK_NET_CONNECTION_RESET;
  } else {
    return 1;
  }
  state = SOCKET_UNCONNECTED;
  socket.close();
  return -1;
}

int vesk_tcp_socket::blocking_read(char *buffer, int size, int ms)
{
  if (state != SOCKET_CONNECTED) {
    read_error = VESK_NET_NOT_CONNECTED;
    return -1;
  }
  if (!buffer || size < 1)
    return 0;
  if (ssl_enabled && ssl) {
    // Bytes the library already holds would not wake the wait below.
    int r = nonblocking_read(buffer, size);
    if (r != 0)
      return r;
  }
  int r = wait_until_ready(VESK_WAIT_READ, ms, read_error);
  return r > 0 ? nonblocking_read(buffer, size) : r;
}

int vesk_tcp_socket::blocking_write(const char *data, int length, int ms)
{
  if (state != SOCKET_CONNECTED) {
    write_error = VESK_NET_NOT_CONNECTED;
    return -1;
  }
  if (!data || length < 1)
    return 0;
  int r = wait_until_ready(VESK_WAIT_WRITE, ms, write_error);
  return r > 0 ? nonblocking_write(data, length) : r;
}

void vesk_tcp_socket::disconnect_close()
{
  state = SOCKET_UNCONNECTED;
  socket.close();
}
