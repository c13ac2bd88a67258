#include "tls_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <unistd.h>

#include <openssl/err.h>

#include "net/ssl_context.h"
#include "net/ssl_server.h"

// A connection whose handshake has not finished by then is dropped.
static const int handshake_limit_ms = 10000;
// After a clean close the server waits this long for the client to hang up.
static const int linger_limit_ms = 3000;
// A received "line" longer than this is delivered without waiting for its newline.
static const size_t longest_line = 65536;

long long demo_monotonic_ms()
{
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

demo_tls_server::demo_tls_server()
    : context(nullptr), bound_port(0), stopping(false), input_open(true), next_id(1), current_handler(nullptr)
{
}

demo_tls_server::~demo_tls_server()
{
  for (auto &c : clients)
    finish(*c);
  clients.clear();
  if (context)
    SSL_CTX_free(context);
}

bool demo_tls_server::open(int port, std::string *error)
{
  if (!vesk_ssl_startup()) {
    if (error)
      *error = "the TLS library could not be initialised";
    return false;
  }
  char text[256] = "";
  context = vesk_ssl_make_self_signed_server_context("localhost", text, sizeof(text));
  if (!context) {
    if (error)
      *error = std::string("could not make the certificate: ") + text;
    return false;
  }
  if (!listener.open(AF_INET, SOCK_STREAM, 0)) {
    if (error)
      *error = std::string("socket: ") + strerror(errno);
    return false;
  }
  listener.set_reuse_port_mode();
  int code = listener.bind_port(port, INADDR_LOOPBACK);
  if (code == 0)
    code = listener.listen();
  if (code != 0) {
    if (error)
      *error = std::string("cannot listen on 127.0.0.1 port ") + std::to_string(port) + ": " +
               vesk_network_socket::get_error_code_string(code);
    return false;
  }
  listener.set_nonblocking();
  bound_port = listener.get_local_port();
  return true;
}

void demo_tls_server::send(demo_client &client, const std::string &bytes)
{
  if (client.dead || client.close_requested)
    return;
  client.out += bytes;
}

void demo_tls_server::close_client(demo_client &client) { client.close_requested = true; }

void demo_tls_server::abort_client(demo_client &client)
{
  if (client.dead)
    return;
  if (client.socket.fd >= 0) {
    struct linger hard = {1, 0};
    setsockopt(client.socket.fd, SOL_SOCKET, SO_LINGER, &hard, sizeof(hard));
    client.socket.close();
  }
  client.dead = true;
  client.clean_end = false;
}

void demo_tls_server::finish(demo_client &client)
{
  if (client.ssl) {
    SSL_free(client.ssl);
    client.ssl = nullptr;
  }
  client.socket.close();
  client.dead = true;
}

void demo_tls_server::accept_client(demo_server_handler &handler)
{
  for (;;) {
    if (one_client_at_a_time && !clients.empty())
      return;
    auto client = std::make_unique<demo_client>();
    struct sockaddr_in from = {};
    int r = listener.accept(client->socket, &from);
    if (r != 1)
      return;
    client->socket.set_nonblocking();
    client->id = next_id++;
    char address[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &from.sin_addr, address, sizeof(address));
    client->peer = std::string(address) + ":" + std::to_string(ntohs(from.sin_port));
    client->ssl = SSL_new(context);
    if (!client->ssl || !SSL_set_fd(client->ssl, client->socket.fd)) {
      ERR_clear_error();
      finish(*client);
      continue;
    }
    SSL_set_accept_state(client->ssl);
    client->handshake_deadline = demo_monotonic_ms() + handshake_limit_ms;
    clients.push_back(std::move(client));
    handshake(*clients.back(), handler);
  }
}

void demo_tls_server::handshake(demo_client &client, demo_server_handler &handler)
{
  ERR_clear_error();
  int r = SSL_accept(client.ssl);
  if (r == 1) {
    client.established = true;
    handler.on_connected(client);
    return;
  }
  int e = SSL_get_error(client.ssl, r);
  if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)
    return;
  char text[256];
  vesk_ssl_take_error_text(text, sizeof(text));
  handler.on_handshake_failed(client, text);
  client.dead = true;
}

void demo_tls_server::read_lines(demo_client &client, demo_server_handler &handler)
{
  char buffer[16384];
  for (;;) {
    if (client.dead)
      return;
    ERR_clear_error();
    int n = SSL_read(client.ssl, buffer, sizeof(buffer));
    if (n <= 0) {
      int e = SSL_get_error(client.ssl, n);
      if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE)
        return;
      client.clean_end = e == SSL_ERROR_ZERO_RETURN;
      client.dead = true;
      ERR_clear_error();
      return;
    }
    client.partial.append(buffer, (size_t)n);
    size_t start = 0;
    for (;;) {
      size_t end = client.partial.find('\n', start);
      if (end == std::string::npos) {
        if (client.partial.size() - start < longest_line)
          break;
        end = start + longest_line;
        handler.on_line(client, client.partial.substr(start, end - start));
        start = end;
      } else {
        handler.on_line(client, client.partial.substr(start, end - start));
        start = end + 1;
      }
      if (client.dead)
        return;
    }
    client.partial.erase(0, start);
  }
}

void demo_tls_server::write_pending(demo_client &client, demo_server_handler &handler)
{
  for (int round = 0; round < 64 && !client.dead; ++round) {
    bool blocked = false;
    while (client.pending() > 0) {
      size_t n = client.pending() < 16384 ? client.pending() : 16384;
      ERR_clear_error();
      int w = SSL_write(client.ssl, client.out.data() + client.out_pos, (int)n);
      if (w > 0) {
        client.out_pos += (size_t)w;
        continue;
      }
      int e = SSL_get_error(client.ssl, w);
      ERR_clear_error();
      if (e == SSL_ERROR_WANT_WRITE || e == SSL_ERROR_WANT_READ) {
        blocked = true;
        break;
      }
      client.dead = true;
      return;
    }
    if (client.out_pos == client.out.size()) {
      client.out.clear();
      client.out_pos = 0;
    } else if (client.out_pos > (1u << 20)) {
      client.out.erase(0, client.out_pos);
      client.out_pos = 0;
    }
    size_t before = client.pending();
    handler.on_output_progress(client);
    if (blocked || client.pending() == before)
      break;
  }
}

void demo_tls_server::service(demo_client &client, demo_server_handler &handler, bool readable)
{
  if (client.dead)
    return;
  if (!client.established) {
    handshake(client, handler);
    if (!client.established)
      return;
  }
  if (client.shutdown_sent) {
    // Lingering close: the close notice is out, wait for the client to hang
    // up (throwing away whatever it still sends) so that no reset destroys
    // data it has not read yet.
    if (readable) {
      char discard[4096];
      ssize_t n;
      while ((n = ::recv(client.socket.fd, discard, sizeof(discard), 0)) > 0) {
      }
      if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        client.clean_end = true;
        client.dead = true;
      }
    }
    return;
  }
  if (readable)
    read_lines(client, handler);
  if (!client.dead && client.established)
    write_pending(client, handler);
  if (!client.dead && client.close_requested && client.pending() == 0 && !client.shutdown_sent) {
    client.shutdown_sent = true;
    ERR_clear_error();
    SSL_shutdown(client.ssl);
    ERR_clear_error();
    ::shutdown(client.socket.fd, SHUT_WR);
    client.handshake_deadline = demo_monotonic_ms() + linger_limit_ms;
  }
}

void demo_tls_server::read_input(demo_server_handler &handler)
{
  char buffer[65536];
  ssize_t n = ::read(0, buffer, sizeof(buffer));
  if (n < 0 && (errno == EINTR || errno == EAGAIN))
    return;
  if (n <= 0) {
    input_open = false;
    if (!input_partial.empty()) {
      std::string last;
      last.swap(input_partial);
      handler.on_input_line(last);
    }
    handler.on_input_end();
    return;
  }
  input_partial.append(buffer, (size_t)n);
  size_t start = 0;
  for (;;) {
    size_t end = input_partial.find('\n', start);
    if (end == std::string::npos)
      break;
    std::string line = input_partial.substr(start, end - start);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    start = end + 1;
    handler.on_input_line(line);
  }
  input_partial.erase(0, start);
}

void demo_tls_server::run(demo_server_handler &handler)
{
  current_handler = &handler;
  while (!stopping) {
    std::vector<struct pollfd> fds;
    std::vector<demo_client *> owners;
    long long now = demo_monotonic_ms();
    int timeout = handler.timer_ms();

    bool listening = !one_client_at_a_time || clients.empty();
    if (listening) {
      fds.push_back({listener.fd, POLLIN, 0});
      owners.push_back(nullptr);
    }
    if (watch_input && input_open) {
      fds.push_back({0, POLLIN, 0});
      owners.push_back(nullptr);
    }
    for (auto &c : clients) {
      if (c->dead)
        continue;
      short events = POLLIN;
      if (c->established && c->pending() > 0)
        events |= POLLOUT;
      if (!c->established && SSL_want_write(c->ssl))
        events |= POLLOUT;
      fds.push_back({c->socket.fd, events, 0});
      owners.push_back(c.get());
      if (!c->established || c->shutdown_sent) {
        long long left = c->handshake_deadline - now;
        int wait = left > 0 ? (int)left : 0;
        if (timeout < 0 || wait < timeout)
          timeout = wait;
      }
    }

    int n = ::poll(fds.data(), fds.size(), timeout);
    if (n < 0 && errno != EINTR)
      break;

    size_t index = 0;
    if (listening) {
      if (n > 0 && (fds[index].revents & POLLIN))
        accept_client(handler);
      ++index;
    }
    if (watch_input && index < fds.size() && fds[index].fd == 0 && owners[index] == nullptr) {
      if (n > 0 && fds[index].revents)
        read_input(handler);
      ++index;
    }
    for (; index < fds.size(); ++index) {
      demo_client *c = owners[index];
      bool readable = n > 0 && (fds[index].revents & (POLLIN | POLLHUP | POLLERR));
      service(*c, handler, readable);
    }

    // Output queued by the handler outside a client's own events, and the
    // time limits.
    now = demo_monotonic_ms();
    for (auto &c : clients) {
      if (c->dead)
        continue;
      if (c->established && !c->shutdown_sent)
        service(*c, handler, false);
      bool waiting = !c->established || c->shutdown_sent;
      if (!c->dead && waiting && now >= c->handshake_deadline) {
        if (!c->established)
          handler.on_handshake_failed(*c, "handshake timed out");
        else
          c->clean_end = true;
        c->dead = true;
      }
    }
    if (handler.timer_ms() == 0)
      handler.on_timer();

    for (size_t i = 0; i < clients.size();) {
      demo_client &c = *clients[i];
      if (!c.dead) {
        ++i;
        continue;
      }
      if (c.established)
        handler.on_disconnected(c);
      finish(c);
      clients.erase(clients.begin() + (long)i);
    }
  }
  current_handler = nullptr;
}
