// A TCP client socket with optional TLS: a four-state connection machine,
// a time-bounded blocking connect, and non-blocking and blocking transfers.
#ifndef OMBRITH_NET_TCP_SOCKET_H
#define OMBRITH_NET_TCP_SOCKET_H

#include <netinet/in.h>
#include <openssl/ssl.h>

#include "net/network_socket.h"

enum {
  SOCKET_UNCONNECTED = 1,
  SOCKET_CONNECTING = 2,     // TCP connect in progress
  SOCKET_SSL_CONNECTING = 4, // TLS handshake in progress
  SOCKET_CONNECTED = 8,
};

class vesk_tcp_socket {
public:
  SSL *ssl;          // TLS object of the current connection, or null
  int ssl_enabled;   // use TLS on the next connect
  vesk_network_socket socket;
  struct sockaddr_in address; // address of the last connect
  int state;
  int read_error;  // code of the last failed read; 0 after a clean end of stream
  int write_error; // code of the last failed write or connect

  vesk_tcp_socket();
  ~vesk_tcp_socket();
  vesk_tcp_socket(const vesk_tcp_socket &) = delete;
  vesk_tcp_socket &operator=(const vesk_tcp_socket &) = delete;

  int enable_ssl();
  int disable_ssl();

  // 1 connected (TLS included), 0 in progress, negative on failure.
  int start_nonblocking_connect(const struct sockaddr_in *address, int port);
  // 1 connected, -1 failed, 0 when the TLS object could not be made (the
  // socket then stays in its connecting state). The TCP connect and the TLS
  // handshake are each bounded by ms milliseconds; negative waits without
  // limit.
  int blocking_connect(const struct sockaddr_in *address, int port, int ms);
  // Advances a connect in progress without waiting: 1, 0 or -1.
  int retry_nonblocking_connect();
  // The state, after advancing a TCP connect in progress.
  int get_connection_status();

  // Bytes transferred (> 0), 0 when nothing can be done now, -1 when the
  // connection is gone (the socket is then closed and unconnected;
  // read_error / write_error say why). Writes may be partial.
  int nonblocking_read(char *buffer, int size);
  int nonblocking_write(const char *data, int length);
  int blocking_read(char *buffer, int size, int ms);
  int blocking_write(const char *data, int length, int ms);

  void disconnect_close();

  // TLS step after the TCP connect; with blocking set it waits for the
  // handshake, at most timeout_ms milliseconds (negative: without limit).
  int ssl_try_connect(int blocking, int timeout_ms = -1);
  // One handshake attempt: 1 done, 0 the library waits for the peer, -1 failed.
  int ssl_retry_connect();

private:
  int wait_until_ready(int what, int ms, int &error);
  // Runs the handshake to its end, at most timeout_ms milliseconds
  // (negative: without limit); the connect fails with VESK_NET_TIMEOUT when
  // the time runs out.
  int ssl_wait_handshake(int timeout_ms);
  void fail_connect(int code);
  int check_connect_result();
  int ssl_wants_write; // the last handshake attempt waits to write, not to read
};

#endif
