#include "e2e_client.h"
#include "demo_server_harness.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>


const char E2E_UUID[] = "0f1e2d3c4b5a69788796a5b4c3d2e1f0";

std::string e2e_identification() { return std::string("_mClient ") + E2E_UUID + " 1.096-mst-rc3"; }

bool e2e_have_xdotool() { return !run_capture("command -v xdotool").empty(); }

namespace {

std::string trimmed(std::string s)
{
  while (!s.empty() && (s.back() == '\n' || s.back() == ' '))
    s.pop_back();
  return s;
}

// Single quotes for the shell.
std::string quoted(const std::string &s)
{
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

// A loopback TCP socket bound to a free port; listening if asked.
int bound_socket(bool listening, int *port)
{
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return -1;
  struct sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(a);
  if (bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof(a)) != 0 || (listening && listen(fd, 4) != 0) ||
      getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(a.sin_port);
  return fd;
}

} // namespace

e2e_client::e2e_client(int port)
{
  const std::string dir = config_dir();
  run_capture("mkdir -p " + quoted(dir));
  write_file(dir + "/ombrith.cfg", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                   "<system_config_list>\n"
                                   "  <uuid>" + std::string(E2E_UUID) + "</uuid>\n"
                                   "  <uuid_create_time>1700000000</uuid_create_time>\n"
                                   "  <system_audio_enable>0</system_audio_enable>\n"
                                   "  <connect_address>127.0.0.1</connect_address>\n"
                                   "  <connect_port>" + std::to_string(port) + "</connect_port>\n"
                                   "</system_config_list>\n"
                                   "\n");
  process_.reset(new child_process({OMBRITH_CLIENT_BINARY}, {{"HOME", home_.path()}}, out_.path()));
}

e2e_client::~e2e_client()
{
  if (process_ && process_->running()) {
    process_->signal(SIGTERM);
    if (!process_->wait_exit(10))
      process_->signal(SIGKILL);
    process_->wait_exit(10);
  }
}

bool e2e_client::wait_window(double seconds)
{
  bool found = wait_until(
      [&] {
        if (!process_->running())
          return true;
        window_ = trimmed(run_capture("xdotool search --onlyvisible --pid " + std::to_string(process_->pid()) +
                                      " --name '^Ombrith' 2>/dev/null | head -1"));
        return !window_.empty();
      },
      seconds);
  if (!found || window_.empty())
    return false;
  run_capture("xdotool windowfocus --sync " + window_ + " 2>&1");
  return true;
}

void e2e_client::xdotool(const std::string &arguments) { run_capture("xdotool " + arguments + " 2>&1"); }

void e2e_client::type(const std::string &text) { xdotool("type --delay 15 -- " + quoted(text)); }

void e2e_client::key(const std::string &keys) { xdotool("key --delay 30 " + keys); }

void e2e_client::enter(const std::string &line)
{
  type(line);
  key("Return");
}

std::string e2e_client::log() const { return read_file(config_dir() + "/mclient_log.txt"); }

bool e2e_client::wait_log(const std::string &text, double seconds)
{
  return wait_until([&] { return log().find(text) != std::string::npos; }, seconds);
}

std::string e2e_client::shown_line(const std::string &line)
{
  return "vesk_main_window::single_line_trigger() - '" + line + "'\n";
}

silent_listener::silent_listener() : port_(0) { fd_ = bound_socket(true, &port_); }

silent_listener::~silent_listener()
{
  if (fd_ >= 0)
    close(fd_);
}

refusing_port::refusing_port() : port_(0) { fd_ = bound_socket(false, &port_); }

refusing_port::~refusing_port()
{
  if (fd_ >= 0)
    close(fd_);
}

namespace {

uint32_t big_endian_word(const std::string &data, size_t at)
{
  const unsigned char *p = reinterpret_cast<const unsigned char *>(data.data()) + at;
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// The value of the bits of `mask` in `pixel`, scaled to 0-255.
int channel(uint32_t pixel, uint32_t mask)
{
  if (!mask)
    return 0;
  int shift = 0;
  while (!((mask >> shift) & 1))
    ++shift;
  uint32_t max = mask >> shift;
  return (int)(((pixel & mask) >> shift) * 255 / max);
}

} // namespace

long count_screen_pixels(int red, int green, int blue)
{
  // xwd writes the root window as an XWD file: a header of big-endian
  // words, the colour map, then the pixel rows.
  std::string xwd = run_capture("xwd -root -silent 2>/dev/null");
  if (xwd.size() < 100)
    return -1;
  uint32_t header_size = big_endian_word(xwd, 0);
  uint32_t format = big_endian_word(xwd, 8);
  uint32_t width = big_endian_word(xwd, 16), height = big_endian_word(xwd, 20);
  uint32_t byte_order = big_endian_word(xwd, 28);
  uint32_t bits_per_pixel = big_endian_word(xwd, 44), bytes_per_line = big_endian_word(xwd, 48);
  uint32_t red_mask = big_endian_word(xwd, 56), green_mask = big_endian_word(xwd, 60),
           blue_mask = big_endian_word(xwd, 64);
  uint32_t colours = big_endian_word(xwd, 76);
  size_t pixels_at = header_size + (size_t)colours * 12;
  // Depth 24 is stored in 32-bit units.
  if (format != 2 || (bits_per_pixel != 24 && bits_per_pixel != 32) || width == 0 || bytes_per_line < width * 4)
    return -2;
  if (xwd.size() < pixels_at + (size_t)bytes_per_line * height)
    return -1;
  long n = 0;
  const unsigned char *rows = reinterpret_cast<const unsigned char *>(xwd.data()) + pixels_at;
  for (uint32_t y = 0; y < height; ++y) {
    const unsigned char *p = rows + (size_t)y * bytes_per_line;
    for (uint32_t x = 0; x < width; ++x, p += 4) {
      uint32_t pixel = byte_order == 0 ? (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 |
                                             (uint32_t)p[3] << 24
                                       : (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
      if (std::abs(channel(pixel, red_mask) - red) <= 2 && std::abs(channel(pixel, green_mask) - green) <= 2 &&
          std::abs(channel(pixel, blue_mask) - blue) <= 2)
        ++n;
    }
  }
  return n;
}

void start_connected_client(demo_server_harness &server, std::unique_ptr<e2e_client> &client)
{
  ASSERT_TRUE(server.start()) << server.problem();
  client.reset(new e2e_client(server.port()));
  ASSERT_TRUE(server.wait_connected(30000)) << server.problem();
  std::string line;
  ASSERT_TRUE(server.wait_line(&line)) << server.problem();
  ASSERT_EQ(line, e2e_identification());
  ASSERT_TRUE(client->wait_window()) << client->process().stderr_text();
}
