// Feeds arbitrary bytes to the XML reader the way the configuration loaders
// use it: the header line is checked, then each top-level tag is handled as
// the system file's block, a character configuration, or with one of the
// reader's operations chosen by the tag's first letter (text, integer,
// CDATA, skip).
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/debug_log.h"
#include "config/config_store.h"
#include "config/xml_subset.h"
#include "util/buffer.h"
#include "util/strings.h"

namespace {

bool set_up()
{
  // Every report is formatted and written, but to nowhere.
  vesk_client_set_debug_logfile_name("/dev/null");
  vesk_client_debug_log_level = 3;
  return true;
}

class fuzz_reader : public vesk_xml_memory_reader {
public:
  fuzz_reader(const uint8_t *data, size_t size) : vesk_xml_memory_reader(data, size) {}

  // The first line, as the system file loader reads it before the tags.
  std::string first_line()
  {
    std::string line;
    for (;;) {
      int c = get();
      if (c < 0 || c == 0 || c == '\n' || c == '\r' || line.size() >= 9999)
        return line;
      line += (char)c;
    }
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static bool ready = set_up();
  (void)ready;
  MConfig::clear();

  fuzz_reader reader(data, size);
  reader.check_xml_header_string(reader.first_line().c_str());

  char tag[1000];
  while (reader.read_tag(tag, sizeof(tag))) {
    if (wordcmp(tag, "system_config_list")) {
      Buffer curr_config;
      MConfig::load_xml_system_config(reader, curr_config);
      continue;
    }
    if (wordcmp(tag, "single_config")) {
      MConfig::load_xml_single_system_config(reader, nullptr);
      continue;
    }
    unsigned char bytes[64];
    char text[16];
    int value = 0;
    switch ((unsigned char)tag[0] % 6) {
    case 0:
      reader.read_data(text, sizeof(text));
      break;
    case 1:
      reader.read_data(&value);
      break;
    case 2:
      reader.read_cdata(bytes, sizeof(bytes));
      break;
    case 3:
      // Small areas, down to the one that cannot even hold the CDATA header.
      reader.read_cdata(bytes, 1 + (unsigned char)tag[1] % 12);
      break;
    case 4:
      reader.read_data(text, 1 + (unsigned char)tag[1] % (int)sizeof(text));
      break;
    default:
      reader.skip_data();
      break;
    }
  }
  MConfig::clear();
  return 0;
}
