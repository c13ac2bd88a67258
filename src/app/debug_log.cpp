#include "app/debug_log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "util/buffer.h"
#include "util/logfile.h"
#include "util/platform.h"

int vesk_client_debug_log_level = 1;

static vesk_signal_safe_logfile vesk_client_debug_logfile;
static char *vesk_client_debug_logfile_name = nullptr;
static char *vesk_client_debug_logfile_autoopen_name = nullptr;
static bool vesk_client_debug_logfile_open_failed = false;

static bool notify_disabled = false;
static int notify_warning_exclude_mask = 0;

static char *vesk_client_config_directory_path = nullptr;

char *vesk_string_dup(const char *text)
{
  if (!text)
    return nullptr;
  size_t n = std::strlen(text) + 1;
  char *copy = static_cast<char *>(std::malloc(n));
  if (copy)
    std::memcpy(copy, text, n);
  return copy;
}

void vesk_string_free(char **text)
{
  if (text && *text) {
    std::free(*text);
    *text = nullptr;
  }
}

void sfree(char **text) { vesk_string_free(text); }

void vesk_client_debug_log_function(const char *format, ...)
{
  if (vesk_client_debug_logfile.fd < 0) {
    if (vesk_client_debug_logfile_open_failed)
      return;
    vesk_client_check_debug_logfile_open();
    if (vesk_client_debug_logfile.fd < 0 || vesk_client_debug_logfile_open_failed)
      return;
  }
  char text[10240];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  vesk_client_debug_logfile.write(text);
}

void vesk_client_set_debug_logfile_name(const char *path)
{
  if (vesk_client_debug_logfile.fd >= 0) {
    library_code_notify("Error in vesk_client_set_debug_logfile_name(), logfile already open.", 4, 0);
    return;
  }
  sfree(&vesk_client_debug_logfile_name);
  sfree(&vesk_client_debug_logfile_autoopen_name);
  vesk_client_debug_logfile_open_failed = false;
  if (path)
    vesk_client_debug_logfile_name = vesk_string_dup(path);
}

void vesk_client_set_autoopen_debug_logfile_name(const char *name)
{
  if (vesk_client_debug_logfile.fd >= 0) {
    library_code_notify("Error in vesk_client_set_autoopen_debug_logfile_name(), logfile already open.", 4, 0);
    return;
  }
  sfree(&vesk_client_debug_logfile_name);
  sfree(&vesk_client_debug_logfile_autoopen_name);
  vesk_client_debug_logfile_open_failed = false;
  if (name)
    vesk_client_debug_logfile_autoopen_name = vesk_string_dup(name);
}

void vesk_client_try_open_debug_logfile()
{
  if (vesk_client_debug_logfile.fd >= 0) {
    library_code_notify("Error in vesk_client_try_open_debug_logfile(), logfile already open.", 4, 0);
    return;
  }
  Buffer msg;
  if (vesk_client_debug_logfile_name) {
    if (vesk_client_debug_logfile.open(vesk_client_debug_logfile_name)) {
      vesk_client_debug_logfile_open_failed = false;
      msg.append("vesk_client_try_open_debug_logfile() opened logfile '");
    } else {
      vesk_client_debug_logfile_open_failed = true;
      msg.append("vesk_client_try_open_debug_logfile() failed to open logfile '");
    }
    msg.append(vesk_client_debug_logfile_name);
    msg.append("'");
    library_code_notify(msg.text, 0x100, 0);
    return;
  }
  if (vesk_client_debug_logfile.use_stdout_fd()) {
    library_code_notify("vesk_client_try_open_debug_logfile() - using STDOUT.", 0x100, 0);
  } else {
    vesk_client_debug_logfile_open_failed = true;
    library_code_notify("vesk_client_try_open_debug_logfile() - unable to use STDOUT for log data.", 0x100, 0);
  }
}

void vesk_client_check_debug_logfile_open()
{
  if (vesk_client_debug_logfile.fd >= 0 || vesk_client_debug_logfile_open_failed)
    return;
  if (!vesk_client_debug_logfile_name && vesk_client_debug_logfile_autoopen_name) {
    Buffer path;
    path.append("/tmp/");
    path.append(vesk_client_debug_logfile_autoopen_name);
    vesk_client_debug_logfile_name = vesk_string_dup(path.text);
  }
  vesk_client_try_open_debug_logfile();
}

void vesk_client_debug_logfile_close()
{
  if (vesk_client_debug_logfile.fd < 0) {
    library_code_notify("Error in vesk_client_debug_logfile_close(), no logfile open.", 4, 0);
    return;
  }
  vesk_client_debug_logfile.close();
  sfree(&vesk_client_debug_logfile_name);
  sfree(&vesk_client_debug_logfile_autoopen_name);
  vesk_client_debug_logfile_open_failed = false;
}

int vesk_client_is_debug_logfile_open() { return vesk_client_debug_logfile.fd >= 0; }

const char *vesk_client_get_debug_logfile_name()
{
  vesk_client_check_debug_logfile_open();
  return vesk_client_debug_logfile_name;
}

const char *vesk_client_get_debug_logfile_autoopen_name() { return vesk_client_debug_logfile_autoopen_name; }

vesk_signal_safe_logfile *vesk_client_get_debug_logfile_pointer()
{
  vesk_client_check_debug_logfile_open();
  return &vesk_client_debug_logfile;
}

int vesk_client_get_debug_logfile_open_failed()
{
  vesk_client_check_debug_logfile_open();
  return vesk_client_debug_logfile_open_failed;
}

int vesk_client_try_debug_logfile_open()
{
  vesk_client_check_debug_logfile_open();
  return vesk_client_debug_logfile_open_failed;
}

void library_code_notify(const char *message, int category, int /*module*/)
{
  if (notify_disabled)
    return;
  int remaining = category & ~notify_warning_exclude_mask;
  if (!remaining)
    return;
  int needed = (remaining & 0x100) ? 3 : 1;
  if (vesk_client_debug_log_level >= needed)
    vesk_client_debug_log_function("%s\n", message ? message : "(null)");
}

void enable_library_code_notify() { notify_disabled = false; }
void disable_library_code_notify() { notify_disabled = true; }
void set_library_code_notify_exclude_mask(int mask) { notify_warning_exclude_mask = mask; }

void hexdump_data(const void *data, int length)
{
  if (vesk_client_debug_log_level < 2 || !data)
    return;
  const unsigned char *bytes = static_cast<const unsigned char *>(data);
  for (int i = 0; i < length; ++i) {
    unsigned char c = bytes[i];
    if (c != '\n' && (c < 0x20 || c >= 0x7F))
      c = '.';
    vesk_client_debug_log_function("%c", c);
  }
  std::fflush(nullptr);
}

int vesk_client_verify_config_directory_path(const char *path)
{
  int ok = path ? vesk_create_and_check_writeable_directory(path, 0700, nullptr) : 0;
  Buffer msg;
  msg.append("Checking config directory: ");
  msg.append(path ? path : "(null)");
  if (!ok)
    msg.append(" [FAIL]");
  library_code_notify(msg.text, 0x100, 0);
  return ok;
}

int vesk_client_set_up_config_directory(const char *name)
{
  if (!name)
    return 0;
  if (vesk_client_config_directory_path) {
    library_code_notify("Error in vesk_client_set_up_config_directory(), attempt to change config directory "
                        "path after initial configuration.",
                        4, 0);
    Buffer msg;
    msg.append("Old path '");
    msg.append(vesk_client_config_directory_path);
    msg.append("', new base name '");
    msg.append(name);
    msg.append("'");
    library_code_notify(msg.text, 0x100, 0);
  }
  const char *home = std::getenv("HOME");
  if (!home) {
    library_code_notify("Error in vesk_client_set_up_config_directory(), unable to fetch home directory - "
                        "please set HOME environment variable and restart.",
                        4, 0);
    return 0;
  }
  Buffer candidates[4];
  candidates[0].append(home);
  candidates[0].append("/Library/");
  candidates[0].append(name);
  candidates[1].append(".");
  candidates[1].append(name);
  candidates[2].append("/tmp/");
  candidates[2].append(name);
  candidates[3].append(name);
  for (Buffer &candidate : candidates) {
    if (vesk_client_verify_config_directory_path(candidate.text)) {
      sfree(&vesk_client_config_directory_path);
      vesk_client_config_directory_path = vesk_string_dup(candidate.text);
      Buffer msg;
      msg.append("vesk_client_set_up_config_directory() - got final config directory '");
      msg.append(candidate.text);
      msg.append("'");
      library_code_notify(msg.text, 0x100, 0);
      return 1;
    }
  }
  library_code_notify("vesk_client_set_up_config_directory() - Giving up.  Cannot create config directory.", 16,
                      0);
  return 0;
}

const char *vesk_client_get_config_directory_path() { return vesk_client_config_directory_path; }

int vesk_client_cd_to_config_directory()
{
  if (!vesk_client_config_directory_path)
    return 0;
  if (chdir(vesk_client_config_directory_path) == 0)
    return 1;
  switch (errno) {
  case EACCES:
    library_code_notify("Error in vesk_client_cd_to_config_directory(), failed due to access permissions.", 4, 0);
    break;
  case ENOTDIR:
    library_code_notify("Error in vesk_client_cd_to_config_directory(), target path is not a directory.", 4, 0);
    break;
  case ENOENT:
    library_code_notify("Error in vesk_client_cd_to_config_directory(), target path does not exist.", 4, 0);
    break;
  default:
    break;
  }
  return 0;
}

void vesk_client_reset_process_state_for_tests()
{
  if (vesk_client_debug_logfile.fd >= 0)
    vesk_client_debug_logfile.close();
  sfree(&vesk_client_debug_logfile_name);
  sfree(&vesk_client_debug_logfile_autoopen_name);
  vesk_client_debug_logfile_open_failed = false;
  sfree(&vesk_client_config_directory_path);
  notify_disabled = false;
  notify_warning_exclude_mask = 0;
  vesk_client_debug_log_level = 1;
}
