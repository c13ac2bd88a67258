// Helpers shared by the test programs.
#ifndef OMBRITH_TEST_SUPPORT_H
#define OMBRITH_TEST_SUPPORT_H

#include <string>

// True when the toolkit could be initialised (an X display is available).
bool test_have_display();

// A fresh empty directory under the system's temporary directory; removed
// with its contents when the object goes away.
class temp_dir {
public:
  temp_dir();
  ~temp_dir();
  temp_dir(const temp_dir &) = delete;
  temp_dir &operator=(const temp_dir &) = delete;
  const std::string &path() const { return path_; }
  std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
  std::string path_;
};

std::string read_file(const std::string &path);
void write_file(const std::string &path, const std::string &content);

// Captures everything the debug log writes while the object lives.
class log_capture {
public:
  explicit log_capture(int level = 3);
  ~log_capture();
  std::string text() const;
  // The text without the debug log's own "opened logfile" notice, which the
  // verbose level writes first.
  std::string text_without_open_notice() const;

private:
  temp_dir dir_;
  int old_level_;
};

#endif
