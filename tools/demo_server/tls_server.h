// The demo server's network side: a TLS listener on 127.0.0.1 and its
// connections, all driven by one poll loop without threads. The world and
// the script mode sit on top of it as a demo_server_handler.
#ifndef OMBRITH_DEMO_SERVER_TLS_SERVER_H
#define OMBRITH_DEMO_SERVER_TLS_SERVER_H

#include <memory>
#include <string>
#include <vector>

#include <openssl/ssl.h>

#include "net/network_socket.h"

struct demo_client {
  int id = 0;
  vesk_network_socket socket;
  SSL *ssl = nullptr;
  bool established = false;   // TLS handshake done
  bool close_requested = false; // close cleanly once the output is written
  bool shutdown_sent = false;   // the TLS close notice went out; waiting for the hang-up
  bool dead = false;
  bool clean_end = false;     // ended by a TLS close rather than an error
  std::string out;            // bytes waiting to be written, from out_pos on
  size_t out_pos = 0;
  std::string partial;        // received bytes after the last newline
  std::string peer;           // "address:port", for the log
  long long handshake_deadline = 0;

  size_t pending() const { return out.size() - out_pos; }
};

class demo_server_handler {
public:
  virtual ~demo_server_handler() {}
  virtual void on_connected(demo_client &client) = 0;
  // One received line without its newline (a carriage return before it is kept).
  virtual void on_line(demo_client &client, const std::string &line) = 0;
  // The connection is over; client.partial holds bytes that never got a newline.
  virtual void on_disconnected(demo_client &client) = 0;
  // Called after every write pass; a handler that streams data tops up here.
  virtual void on_output_progress(demo_client &) {}
  // Lines and the end of the server's standard input (when it is watched).
  virtual void on_input_line(const std::string &) {}
  virtual void on_input_end() {}
  // Milliseconds until on_timer should run, or -1 for none.
  virtual int timer_ms() { return -1; }
  virtual void on_timer() {}
  // A client failed its handshake.
  virtual void on_handshake_failed(demo_client &, const std::string &) {}
};

class demo_tls_server {
public:
  demo_tls_server();
  ~demo_tls_server();

  // Makes the certificate and starts listening on 127.0.0.1:port (0 = any
  // free port). False with a reason in *error.
  bool open(int port, std::string *error);
  int port() const { return bound_port; }

  // Runs until stop() is called.
  void run(demo_server_handler &handler);
  void stop() { stopping = true; }

  void send(demo_client &client, const std::string &bytes);
  // Writes what is pending, ends TLS with a close notice, closes.
  void close_client(demo_client &client);
  // Drops the connection at once with a TCP reset and no TLS close.
  void abort_client(demo_client &client);

  // Accept a new connection only while none is open (script mode).
  bool one_client_at_a_time = false;
  // Deliver standard input to the handler line by line.
  bool watch_input = false;

  std::vector<std::unique_ptr<demo_client>> clients;

private:
  void accept_client(demo_server_handler &handler);
  void service(demo_client &client, demo_server_handler &handler, bool readable);
  void handshake(demo_client &client, demo_server_handler &handler);
  void read_lines(demo_client &client, demo_server_handler &handler);
  void write_pending(demo_client &client, demo_server_handler &handler);
  void finish(demo_client &client);
  void read_input(demo_server_handler &handler);

  SSL_CTX *context;
  vesk_network_socket listener;
  int bound_port;
  bool stopping;
  bool input_open;
  std::string input_partial;
  int next_id;
  demo_server_handler *current_handler;
};

long long demo_monotonic_ms();

#endif
