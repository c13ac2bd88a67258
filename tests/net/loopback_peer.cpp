#include "loopback_peer.h"

#include <arpa/inet.h>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/ssl_context.h"
#include "net/ssl_server.h"
#include "net/tcp_socket.h"

static long long now_ms()
{
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

long long test_now_ms() { return now_ms(); }

void ignore_broken_pipe() { std::signal(SIGPIPE, SIG_IGN); }

struct sockaddr_in loopback_address()
{
  struct sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

loopback_listener::loopback_listener(int backlog) : fd_(-1), port_(0)
{
  fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  struct sockaddr_in a = loopback_address();
  socklen_t length = sizeof(a);
  if (fd_ >= 0 && bind(fd_, reinterpret_cast<struct sockaddr *>(&a), sizeof(a)) == 0 && listen(fd_, backlog) == 0 &&
      getsockname(fd_, reinterpret_cast<struct sockaddr *>(&a), &length) == 0)
    port_ = ntohs(a.sin_port);
}

loopback_listener::~loopback_listener()
{
  if (fd_ >= 0)
    close(fd_);
}

int loopback_listener::accept_fd(int timeout_ms)
{
  struct pollfd p = {fd_, POLLIN, 0};
  if (poll(&p, 1, timeout_ms) != 1)
    return -1;
  return accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

int unused_port()
{
  loopback_listener l;
  return l.port();
}

SSL_CTX *test_server_context()
{
  static SSL_CTX *context = vesk_ssl_make_self_signed_server_context("localhost");
  return context;
}

SSL *tls_accept(SSL_CTX *context, int fd)
{
  SSL *ssl = SSL_new(context);
  if (!ssl)
    return nullptr;
  SSL_set_fd(ssl, fd);
  if (SSL_accept(ssl) != 1) {
    SSL_free(ssl);
    return nullptr;
  }
  return ssl;
}

std::string client_read(vesk_tcp_socket &socket, size_t count, int timeout_ms)
{
  std::string got;
  long long deadline = now_ms() + timeout_ms;
  char buffer[65536];
  while (got.size() < count && now_ms() < deadline) {
    int n = socket.blocking_read(buffer, sizeof(buffer) < count - got.size() ? (int)sizeof(buffer)
                                                                             : (int)(count - got.size()),
                                 100);
    if (n < 0)
      break;
    got.append(buffer, (size_t)n);
  }
  return got;
}

int client_read_until_end(vesk_tcp_socket &socket, int timeout_ms)
{
  long long deadline = now_ms() + timeout_ms;
  char buffer[4096];
  int n = 0;
  while (now_ms() < deadline) {
    n = socket.blocking_read(buffer, sizeof(buffer), 100);
    if (n < 0)
      break;
  }
  return n;
}

bool peer_thread::wait_released(int timeout_ms)
{
  long long deadline = now_ms() + timeout_ms;
  while (!released.load()) {
    if (now_ms() >= deadline)
      return false;
    struct timespec t = {0, 1000000};
    nanosleep(&t, nullptr);
  }
  return true;
}
