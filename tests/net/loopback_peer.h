// Peers on 127.0.0.1 for the socket tests: a listening socket on a free port
// and a TLS server context with a certificate made at run time.
#ifndef OMBRITH_TESTS_NET_LOOPBACK_PEER_H
#define OMBRITH_TESTS_NET_LOOPBACK_PEER_H

#include <atomic>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <string>
#include <thread>

class vesk_tcp_socket;

class loopback_listener {
public:
  explicit loopback_listener(int backlog = 8);
  ~loopback_listener();
  int port() const { return port_; }
  // One accepted connection as a blocking descriptor, or -1 after timeout_ms.
  int accept_fd(int timeout_ms = 10000);

private:
  int fd_;
  int port_;
};

// Monotonic milliseconds, for deadlines.
long long test_now_ms();

// 127.0.0.1 with the port left 0.
struct sockaddr_in loopback_address();
// A port on which nothing listens (bound once, then released).
int unused_port();

// The tests' TLS server context (made once per process).
SSL_CTX *test_server_context();
// Runs the server side of a handshake on a blocking descriptor; null on failure.
SSL *tls_accept(SSL_CTX *context, int fd);

// Reads from the client until `count` bytes arrived, the connection ended, or
// timeout_ms passed.
std::string client_read(vesk_tcp_socket &socket, size_t count, int timeout_ms = 10000);
// Reads until the connection ends (-1) or timeout_ms passed; returns the
// last result (-1 when it ended).
int client_read_until_end(vesk_tcp_socket &socket, int timeout_ms = 10000);

// A peer running on its own thread. The peer may wait for the test's
// go-ahead (wait_released); leaving the scope gives it and joins, so a failed
// assertion never leaves a thread behind.
class peer_thread {
public:
  template <class F> explicit peer_thread(F body) : released(false), thread([this, body] { body(*this); }) {}
  ~peer_thread() { join(); }
  void release() { released = true; }
  void join()
  {
    release();
    if (thread.joinable())
      thread.join();
  }
  // Polls for the go-ahead; false if it did not come within timeout_ms.
  bool wait_released(int timeout_ms = 20000);

private:
  std::atomic<bool> released;
  std::thread thread;
};

// Ignores the broken-pipe signal for the whole test program.
void ignore_broken_pipe();

#endif
