#include "net/network_socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "app/debug_log.h"

int vesk_network_socket::error_code_from_errno(int e)
{
  switch (e) {
  case 0:
    return VESK_NET_NO_ERROR;
  case EBADF:
  case EINVAL:
  case ENOTSOCK:
    return VESK_NET_BAD_ARGUMENT;
  case EFAULT:
    return VESK_NET_FAULT;
  case ENFILE:
  case EMFILE:
    return VESK_NET_NO_DESCRIPTORS;
  case ENOMEM:
  case ENOBUFS:
    return VESK_NET_NO_MEMORY;
  case EMSGSIZE:
    return VESK_NET_TOO_BIG;
  case EADDRINUSE:
    return VESK_NET_ADDRESS_IN_USE;
  case EPIPE:
  case ESHUTDOWN:
    return VESK_NET_BROKEN_PIPE;
  case ECONNABORTED:
  case ECONNRESET:
    return VESK_NET_CONNECTION_RESET;
  case EHOSTDOWN:
    return VESK_NET_HOST_DOWN;
  case EHOSTUNREACH:
    return VESK_NET_HOST_UNREACHABLE;
  case ENETDOWN:
    return VESK_NET_NETWORK_DOWN;
  case ENETUNREACH:
    return VESK_NET_NETWORK_UNREACHABLE;
  case ENETRESET:
    return VESK_NET_NETWORK_RESET;
  case EAGAIN:
    return VESK_NET_WOULD_BLOCK;
  case EINPROGRESS:
    return VESK_NET_IN_PROGRESS;
  case EINTR:
    return VESK_NET_INTERRUPTED;
  case ECONNREFUSED:
    return VESK_NET_REFUSED;
  case ETIMEDOUT:
    return VESK_NET_TIMEOUT;
  case EALREADY:
    return VESK_NET_ALREADY;
  case EISCONN:
    return VESK_NET_IS_CONNECTED;
  case ENOTCONN:
    return VESK_NET_NOT_CONNECTED;
  default:
    return VESK_NET_UNKNOWN_ERROR;
  }
}

int vesk_network_socket::get_error_value() { return error_code_from_errno(errno); }

int vesk_network_socket::is_generic_retry_error_code(int code)
{
  return code == VESK_NET_NO_ERROR || code == VESK_NET_WOULD_BLOCK || code == VESK_NET_IN_PROGRESS ||
         code == VESK_NET_INTERRUPTED;
}

const char *vesk_network_socket::get_error_code_string(int code)
{
  switch (code) {
  case VESK_NET_NO_ERROR:
    return "no error";
  case VESK_NET_UNINITIALIZED:
    return "network socket subsystem uninitialized";
  case VESK_NET_BAD_ARGUMENT:
    return "bad function argument";
  case VESK_NET_FAULT:
    return "address/segmentation fault";
  case VESK_NET_NO_DESCRIPTORS:
    return "out of file descriptors";
  case VESK_NET_NO_MEMORY:
    return "oom or buffer space";
  case VESK_NET_TOO_BIG:
    return "data too big for operation";
  case VESK_NET_ADDRESS_IN_USE:
    return "address in use";
  case VESK_NET_BROKEN_PIPE:
    return "broken network pipe";
  case VESK_NET_CONNECTION_RESET:
    return "connection aborted/reset";
  case VESK_NET_HOST_DOWN:
    return "remote host down";
  case VESK_NET_HOST_UNREACHABLE:
    return "remote host unreachable";
  case VESK_NET_NETWORK_DOWN:
    return "network down";
  case VESK_NET_NETWORK_UNREACHABLE:
    return "network unreachable";
  case VESK_NET_NETWORK_RESET:
    return "network was reset";
  case VESK_NET_WOULD_BLOCK:
    return "would block";
  case VESK_NET_IN_PROGRESS:
    return "in progress";
  case VESK_NET_INTERRUPTED:
    return "interrupted";
  case VESK_NET_REFUSED:
    return "connection refused";
  case VESK_NET_TIMEOUT:
    return "timeout";
  case VESK_NET_ALREADY:
    return "already done";
  case VESK_NET_IS_CONNECTED:
    return "already is connected";
  case VESK_NET_NOT_CONNECTED:
    return "is not connected";
  default:
    return "unknown error";
  }
}

int vesk_network_socket::open(int family, int type, int protocol)
{
  close();
  fd = ::socket(family, type | SOCK_CLOEXEC, protocol);
  return fd >= 0 ? 1 : 0;
}

int vesk_network_socket::connect(const struct sockaddr *address, socklen_t length)
{
  if (::connect(fd, address, length) == 0)
    return 0;
  return get_error_value();
}

int vesk_network_socket::read(void *buffer, int size)
{
  ssize_t n = ::recv(fd, buffer, (size_t)size, 0);
  if (n >= 0)
    return (int)n;
  return get_error_value();
}

int vesk_network_socket::write(const void *data, int length)
{
  ssize_t n = ::send(fd, data, (size_t)length, MSG_NOSIGNAL);
  if (n >= 0)
    return (int)n;
  return get_error_value();
}

int vesk_network_socket::select(int count, fd_set *read_set, fd_set *write_set, fd_set *exception_set,
                                struct timeval *timeout)
{
  int n = ::select(count, read_set, write_set, exception_set, timeout);
  if (n >= 0)
    return n;
  return get_error_value();
}

int vesk_network_socket::wait(int events, int ms, int *ready)
{
  if (ready)
    *ready = 0;
  struct pollfd p;
  p.fd = fd;
  p.events = POLLPRI;
  if (events & VESK_WAIT_READ)
    p.events |= POLLIN;
  if (events & VESK_WAIT_WRITE)
    p.events |= POLLOUT;
  p.revents = 0;
  int n = ::poll(&p, 1, ms < 0 ? -1 : ms);
  if (n < 0)
    return get_error_value();
  if (n == 0)
    return 0;
  int seen = 0;
  if (p.revents & POLLIN)
    seen |= VESK_WAIT_READ;
  if (p.revents & POLLOUT)
    seen |= VESK_WAIT_WRITE;
  if (p.revents & (POLLPRI | POLLNVAL))
    seen |= VESK_WAIT_EXCEPTION;
  if (p.revents & (POLLERR | POLLHUP))
    seen |= VESK_WAIT_HANGUP;
  if (ready)
    *ready = seen;
  return 1;
}

void vesk_network_socket::close()
{
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

void vesk_network_socket::shutdown()
{
  if (fd >= 0)
    ::shutdown(fd, SHUT_RDWR);
}

int vesk_network_socket::set_blocking()
{
  int flags = fd >= 0 ? fcntl(fd, F_GETFL, 0) : -1;
  if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    library_code_notify("Error in vesk_network_socket::set_blocking(), setting blocking mode failed.", 2, 0);
    return 0;
  }
  return 1;
}

int vesk_network_socket::set_nonblocking()
{
  int flags = fd >= 0 ? fcntl(fd, F_GETFL, 0) : -1;
  if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) < 0) {
    library_code_notify("Error in vesk_network_socket::set_nonblocking(), setting nonblocking mode failed.", 2, 0);
    return 0;
  }
  return 1;
}

int vesk_network_socket::get_socket_error()
{
  int value = 0;
  socklen_t length = sizeof(value);
  if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &value, &length) < 0)
    return get_error_value();
  return value ? error_code_from_errno(value) : 0;
}

int vesk_network_socket::bind_port(int port, uint32_t address_host_order)
{
  struct sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_port = htons((uint16_t)port);
  a.sin_addr.s_addr = htonl(address_host_order);
  if (::bind(fd, reinterpret_cast<struct sockaddr *>(&a), sizeof(a)) == 0)
    return 0;
  return get_error_value();
}

int vesk_network_socket::listen()
{
  if (::listen(fd, 3) == 0)
    return 0;
  return get_error_value();
}

int vesk_network_socket::accept(vesk_network_socket &client, struct sockaddr_in *from)
{
  struct sockaddr_in a = {};
  socklen_t length = sizeof(a);
  int n = ::accept4(fd, reinterpret_cast<struct sockaddr *>(&a), &length, SOCK_CLOEXEC);
  if (n < 0)
    return get_error_value();
  client.close();
  client.fd = n;
  if (from)
    *from = a;
  return 1;
}

int vesk_network_socket::set_reuse_port_mode()
{
  int on = 1;
  if (::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on)) == 0)
    return 0;
  return get_error_value();
}

int vesk_network_socket::get_local_port()
{
  struct sockaddr_in a = {};
  socklen_t length = sizeof(a);
  if (fd < 0 || ::getsockname(fd, reinterpret_cast<struct sockaddr *>(&a), &length) < 0)
    return 0;
  return ntohs(a.sin_port);
}
