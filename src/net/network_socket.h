// A thin wrapper over one POSIX socket descriptor that turns the system's
// error numbers into the small set of negative codes the rest of the network
// code works with.
#ifndef OMBRITH_NET_NETWORK_SOCKET_H
#define OMBRITH_NET_NETWORK_SOCKET_H

#include <cstdint>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>

// Error codes of the network layer. Every failing operation reports one of
// these; -1 stands for any system error without a code of its own.
enum {
  VESK_NET_UNKNOWN_ERROR = -1,
  VESK_NET_NO_ERROR = -2,
  VESK_NET_UNINITIALIZED = -10,
  VESK_NET_BAD_ARGUMENT = -11,
  VESK_NET_FAULT = -12,
  VESK_NET_NO_DESCRIPTORS = -13,
  VESK_NET_NO_MEMORY = -14,
  VESK_NET_TOO_BIG = -15,
  VESK_NET_ADDRESS_IN_USE = -16,
  VESK_NET_BROKEN_PIPE = -20,
  VESK_NET_CONNECTION_RESET = -21,
  VESK_NET_HOST_DOWN = -22,
  VESK_NET_HOST_UNREACHABLE = -23,
  VESK_NET_NETWORK_DOWN = -24,
  VESK_NET_NETWORK_UNREACHABLE = -25,
  VESK_NET_NETWORK_RESET = -26,
  VESK_NET_WOULD_BLOCK = -30,
  VESK_NET_IN_PROGRESS = -31,
  VESK_NET_INTERRUPTED = -32,
  VESK_NET_REFUSED = -40,
  VESK_NET_TIMEOUT = -41,
  VESK_NET_ALREADY = -42,
  VESK_NET_IS_CONNECTED = -43,
  VESK_NET_NOT_CONNECTED = -44,
};

// Readiness flags of vesk_network_socket::wait.
enum {
  VESK_WAIT_READ = 1,
  VESK_WAIT_WRITE = 2,
  VESK_WAIT_EXCEPTION = 4, // urgent data or an invalid descriptor
  VESK_WAIT_HANGUP = 8,    // error or hang-up reported by the system
};

class vesk_network_socket {
public:
  int fd;

  vesk_network_socket() : fd(-1) {}
  ~vesk_network_socket() { close(); }
  vesk_network_socket(const vesk_network_socket &) = delete;
  vesk_network_socket &operator=(const vesk_network_socket &) = delete;

  // 1 with a new descriptor, 0 on failure.
  int open(int family, int type, int protocol);
  // 0 when connected, otherwise an error code.
  int connect(const struct sockaddr *address, socklen_t length);
  // Byte count (0 at the end of the stream) or an error code.
  int read(void *buffer, int size);
  // Byte count or an error code. Never raises the broken-pipe signal.
  int write(const void *data, int length);
  // The ready count, 0 on time-out, or an error code.
  int select(int count, fd_set *read_set, fd_set *write_set, fd_set *exception_set, struct timeval *timeout);
  // Waits up to ms milliseconds (negative: without limit) for the readiness
  // in `events` (VESK_WAIT_READ / VESK_WAIT_WRITE). Returns 1 with the
  // readiness seen in *ready, 0 on time-out, or an error code. Unlike select
  // it works for descriptors of any number.
  int wait(int events, int ms, int *ready);
  void close();
  void shutdown();
  int set_blocking();
  int set_nonblocking();
  // The pending error of a connect started without blocking, as a code
  // (0 when there is none).
  int get_socket_error();

  // Server side; the client does not use these.
  int bind_port(int port, uint32_t address_host_order = INADDR_ANY);
  int listen();
  // 1 with the new connection's descriptor in `client`, or an error code.
  int accept(vesk_network_socket &client, struct sockaddr_in *from = nullptr);
  int set_reuse_port_mode();
  // The local port the socket is bound to, or 0.
  int get_local_port();

  // The code for the current error number.
  static int get_error_value();
  static int error_code_from_errno(int error_number);
  static int is_generic_retry_error_code(int code);
  static const char *get_error_code_string(int code);
};

#endif
