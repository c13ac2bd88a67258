// The client's debug log, the filtered report used by lower-level modules,
// the configuration directory and a few small process-wide helpers.
#ifndef OMBRITH_APP_DEBUG_LOG_H
#define OMBRITH_APP_DEBUG_LOG_H

class vesk_signal_safe_logfile;

// 0 silent, 1 errors and warnings, 2 traces, 3 verbose traces.
extern int vesk_client_debug_log_level;

// printf-style; formats into a 10240-byte area and writes it in one call.
// Never checks the level: call sites do (see VESK_LOG).
void vesk_client_debug_log_function(const char *format, ...) __attribute__((format(printf, 1, 2)));

#define VESK_LOG(level, ...)                                                                      \
  do {                                                                                            \
    if (vesk_client_debug_log_level >= (level))                                                   \
      vesk_client_debug_log_function(__VA_ARGS__);                                                \
  } while (0)

void vesk_client_set_debug_logfile_name(const char *path);
void vesk_client_set_autoopen_debug_logfile_name(const char *name);
void vesk_client_try_open_debug_logfile();
void vesk_client_check_debug_logfile_open();
void vesk_client_debug_logfile_close();
int vesk_client_is_debug_logfile_open();
const char *vesk_client_get_debug_logfile_name();
const char *vesk_client_get_debug_logfile_autoopen_name();
vesk_signal_safe_logfile *vesk_client_get_debug_logfile_pointer();
int vesk_client_get_debug_logfile_open_failed();
int vesk_client_try_debug_logfile_open();

// Category bits of library_code_notify.
enum {
  NOTIFY_ALLOC = 0x1,
  NOTIFY_RESOURCE = 0x2,
  NOTIFY_CALLER = 0x4,
  NOTIFY_OVERFLOW = 0x8,
  NOTIFY_FORMAT = 0x10,
  NOTIFY_FORMAT2 = 0x20,
  NOTIFY_MALFORMED = 0x40,
  NOTIFY_DOUBTFUL = 0x80,
  NOTIFY_VERBOSE = 0x100,
};

void library_code_notify(const char *message, int category, int module);
void enable_library_code_notify();
void disable_library_code_notify();
void set_library_code_notify_exclude_mask(int mask);

void hexdump_data(const void *data, int length);

char *vesk_string_dup(const char *text);
void vesk_string_free(char **text);
void sfree(char **text);

// Configuration directory.
int vesk_client_set_up_config_directory(const char *name);
const char *vesk_client_get_config_directory_path();
int vesk_client_verify_config_directory_path(const char *path);
int vesk_client_cd_to_config_directory();

// Forgets the recorded directory and every log setting (tests only).
void vesk_client_reset_process_state_for_tests();

#endif
