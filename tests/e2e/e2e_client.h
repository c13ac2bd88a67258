// The real client binary for end-to-end tests: a fresh home directory whose
// system configuration points the game connection at a loopback port, the
// client process with that HOME, typing into its main window with xdotool,
// its debug log, and the screen it shows.
#ifndef OMBRITH_TESTS_E2E_CLIENT_H
#define OMBRITH_TESTS_E2E_CLIENT_H

#include <memory>
#include <string>

#include "process_util.h"
#include "test_support.h"

// The identifier the seeded configuration gives the client.
extern const char E2E_UUID[];
// The identification line the client sends first on every connection.
std::string e2e_identification();

bool e2e_have_xdotool();

class e2e_client {
public:
  // Starts the client against 127.0.0.1:port.
  explicit e2e_client(int port);
  ~e2e_client();

  child_process &process() { return *process_; }
  const std::string &home() const { return home_.path(); }
  std::string config_dir() const { return home_.path() + "/Library/Ombrith"; }

  // Waits for the main window (title "Ombrith" or "Ombrith - ...") and gives
  // it the keyboard focus; false if it did not appear.
  bool wait_window(double seconds = 30);
  // Types text (no newline) / presses keys in xdotool's names ("Return",
  // "Up", "KP_Up") / runs any other xdotool arguments.
  void type(const std::string &text);
  void key(const std::string &keys);
  void xdotool(const std::string &arguments);
  // Types a line and presses Return.
  void enter(const std::string &line);

  // The client's debug log so far.
  std::string log() const;
  // Waits until the log contains `text`.
  bool wait_log(const std::string &text, double seconds = 20);
  // The log text of a line of the main display (written at debug level 3).
  static std::string shown_line(const std::string &line);
  // The same for a line that ends with `text` (a line may continue one that
  // the client left open, such as the command separator).
  static std::string shown_line_end(const std::string &text) { return text + "'\n"; }

private:
  temp_dir home_;
  temp_dir out_;
  std::string window_;
  std::unique_ptr<child_process> process_;
};

class demo_server_harness;

// Starts the demo server in script mode and the client against it, and
// waits until the client has connected, sent its identification line and
// shown its window. Use inside ASSERT_NO_FATAL_FAILURE.
void start_connected_client(demo_server_harness &server, std::unique_ptr<e2e_client> &client);

// A listening socket on a free loopback port that never accepts: TCP
// connects succeed (the backlog takes them) and then nothing is said.
class silent_listener {
public:
  silent_listener();
  ~silent_listener();
  int port() const { return port_; }

private:
  int fd_;
  int port_;
};

// A loopback port on which connects are refused while the object lives.
class refusing_port {
public:
  refusing_port();
  ~refusing_port();
  int port() const { return port_; }

private:
  int fd_;
  int port_;
};

// Pixels of this colour on the whole screen (each component within 2), read
// with xwd; -1 when the screen could not be read, -2 when it is not a true
// colour screen.
long count_screen_pixels(int red, int green, int blue);

#endif
