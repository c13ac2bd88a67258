#include "test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

#include "app/debug_log.h"

extern bool ombrith_test_display_available;

bool test_have_display() { return ombrith_test_display_available; }

temp_dir::temp_dir()
{
  const char *base = std::getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/ombrith-test-XXXXXX";
  char *made = mkdtemp(&pattern[0]);
  if (!made)
    throw std::runtime_error("mkdtemp failed");
  path_ = made;
}

temp_dir::~temp_dir()
{
  std::string cmd = "chmod -R u+rwx '" + path_ + "' 2>/dev/null; rm -rf '" + path_ + "'";
  if (std::system(cmd.c_str()) != 0) {
    // Nothing useful to do: a leftover temporary directory does no harm.
  }
}

std::string read_file(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void write_file(const std::string &path, const std::string &content)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

log_capture::log_capture(int level) : old_level_(vesk_client_debug_log_level)
{
  if (vesk_client_is_debug_logfile_open())
    vesk_client_debug_logfile_close();
  vesk_client_set_debug_logfile_name(dir_.file("log.txt").c_str());
  vesk_client_debug_log_level = level;
}

log_capture::~log_capture()
{
  if (vesk_client_is_debug_logfile_open())
    vesk_client_debug_logfile_close();
  vesk_client_set_debug_logfile_name(nullptr);
  vesk_client_debug_log_level = old_level_;
}

std::string log_capture::text() const { return read_file(dir_.file("log.txt")); }

std::string log_capture::text_without_open_notice() const
{
  std::string all = text(), out;
  size_t at = 0;
  while (at < all.size()) {
    size_t nl = all.find('\n', at);
    size_t stop = nl == std::string::npos ? all.size() : nl + 1;
    if (all.compare(at, 36, "vesk_client_try_open_debug_logfile()") != 0)
      out.append(all, at, stop - at);
    at = stop;
  }
  return out;
}
