// Replaces a file only once its new content is completely on disk: the
// content goes to a temporary file in the same directory, which is flushed,
// synced and then renamed over the old file. Until commit() succeeds the old
// file stays exactly as it was; a failed or abandoned save removes the
// temporary file.
#ifndef OMBRITH_CONFIG_SAFE_FILE_SAVE_H
#define OMBRITH_CONFIG_SAFE_FILE_SAVE_H

#include <cstdio>
#include <string>

class vesk_safe_file_save {
public:
  explicit vesk_safe_file_save(const char *path);
  ~vesk_safe_file_save();
  vesk_safe_file_save(const vesk_safe_file_save &) = delete;
  vesk_safe_file_save &operator=(const vesk_safe_file_save &) = delete;

  // Creates the temporary file; null on failure (see error_text()).
  FILE *open();
  // Flushes, syncs and renames the temporary file over the target. 1 on
  // success; 0 leaves the target untouched and removes the temporary file.
  int commit();
  // Gives up: removes the temporary file, the target stays as it was.
  void abandon();

  // What went wrong last, as the system describes it.
  const char *error_text() const { return error.c_str(); }

private:
  void fail(const char *what);

  std::string path;
  std::string temp_path;
  FILE *file;
  std::string error;
};

#endif
