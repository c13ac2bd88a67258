#include <gtest/gtest.h>

#include <string>

#include "net/tag_dispatch.h"

TEST(TagDispatch, RecordNames)
{
  struct {
    const char *name;
    record_kind kind;
    int button;
  } cases[] = {
      {"login", REC_LOGIN, 0},     {"map", REC_MAP, 0},           {"dirs", REC_DIRS, 0},
      {"event", REC_EVENT, 0},     {"bclear", REC_BCLEAR, 0},     {"window_create", REC_WINDOW_CREATE, 0},
      {"icons", REC_ICONS, 0},     {"bf12", REC_FKEY_BUTTON, 12}, {"b7", REC_HINT_BUTTON, 7},
      {"bf0", REC_UNKNOWN, 0},     {"b0", REC_UNKNOWN, 0},        {"bx", REC_UNKNOWN, 0},
      {"bf", REC_UNKNOWN, 0},      {"b-3", REC_UNKNOWN, 0},       {"b3x", REC_HINT_BUTTON, 3},
      {"Login", REC_UNKNOWN, 0},   {"mapx", REC_UNKNOWN, 0},      {"", REC_UNKNOWN, 0},
  };
  for (const auto &c : cases) {
    int button = 0;
    EXPECT_EQ(classify_record(c.name, &button), c.kind) << c.name;
    EXPECT_EQ(button, c.button) << c.name;
  }
}

TEST(TagDispatch, DirsRecord)
{
  dirs_record on = parse_dirs_record("on CB");
  EXPECT_EQ(on.switch_state, 1);
  ASSERT_TRUE(on.has_exits);
  EXPECT_EQ(on.exits, 65);
  dirs_record off = parse_dirs_record("OFF");
  EXPECT_EQ(off.switch_state, 0);
  EXPECT_FALSE(off.has_exits);
  EXPECT_EQ(parse_dirs_record("maybe AA").switch_state, -1);
  EXPECT_EQ(parse_dirs_record("maybe AA").exits, 0);
}

TEST(TagDispatch, Events)
{
  const char *rest = nullptr;
  EXPECT_EQ(classify_event("ColorFlash 255 0 0", &rest), EVENT_COLORFLASH);
  EXPECT_STREQ(rest, "255 0 0");
  EXPECT_EQ(classify_event("colorflash", &rest), EVENT_COLORFLASH);
  EXPECT_STREQ(rest, "");
  EXPECT_EQ(classify_event("mcpong", nullptr), EVENT_MCPONG);
  EXPECT_EQ(classify_event("mcpong ", nullptr), EVENT_UNKNOWN);
  EXPECT_EQ(classify_event("newcreate", nullptr), EVENT_NEWCREATE);
  EXPECT_EQ(classify_event("logoff", nullptr), EVENT_LOGOFF);
  EXPECT_EQ(classify_event("LOGOFF", nullptr), EVENT_UNKNOWN);
  EXPECT_EQ(ping_time_ms(1000000 + 123456, 1000000), 123);
}

TEST(TagDispatch, ConfigCommands)
{
  struct {
    const char *command;
    config_target target;
    config_action action;
  } cases[] = {
      {"automap enable", CFG_AUTOMAP, CFG_ENABLE},
      {"AUTOMAP Disable", CFG_AUTOMAP, CFG_DISABLE},
      {"automap flash", CFG_AUTOMAP, CFG_FLASH},
      {"automap", CFG_AUTOMAP, CFG_NONE},
      {"automap sideways", CFG_AUTOMAP, CFG_BAD_ARGUMENT},
      {"status_bar flash", CFG_STATUS_BAR, CFG_FLASH},
      {"fkey_buttons flash", CFG_FKEY_BUTTONS, CFG_BAD_ARGUMENT},
      {"main_window flash", CFG_MAIN_WINDOW, CFG_FLASH},
      {"main_window enable", CFG_MAIN_WINDOW, CFG_BAD_ARGUMENT},
      {"input_window flash", CFG_INPUT_WINDOW, CFG_FLASH},
      {"direction_buttons disable", CFG_DIRECTION_BUTTONS, CFG_DISABLE},
      {"exp_bar enable", CFG_EXP_BAR, CFG_ENABLE},
      {"popup_buttons flash", CFG_POPUP_BUTTONS, CFG_FLASH},
      {"hint_buttons disable", CFG_HINT_BUTTONS, CFG_DISABLE},
      {"teleport enable", CFG_UNKNOWN, CFG_NONE},
      {"", CFG_NULL, CFG_NONE},
  };
  for (const auto &c : cases) {
    config_command cmd = parse_config_command(c.command);
    EXPECT_EQ(cmd.target, c.target) << c.command;
    EXPECT_EQ(cmd.action, c.action) << c.command;
  }
  EXPECT_EQ(parse_config_command(nullptr).target, CFG_NULL);
  EXPECT_STREQ(parse_config_command("automap sideways").argument, "sideways");
  EXPECT_STREQ(config_bad_argument_format(CFG_POPUP_BUTTONS),
               "Error in vesk_mw::parse_cmd_popup_display(), bad command '%s'.\n");
}

TEST(TagDispatch, StatusLine)
{
  {
    reported_options o;
    o.sound = 1;
    o.button_theme = 3;
    o.background_style = 1;
    Buffer b;
    build_status_line(b, o);
    EXPECT_EQ(std::string(b.text), "mclstatus 1" + std::string(19, '0') + "  3  0  1");
  }
  {
    reported_options o;
    Buffer b;
    build_status_line(b, o);
    EXPECT_EQ(std::string(b.text), "mclstatus " + std::string(20, '0') + "  0  0  0");
  }
  {
    reported_options o;
    o.group_display = 2;
    o.layout = 7;
    o.font_colors = 5;
    o.voting_reminders = 1;
    o.button_theme = 12;
    Buffer b;
    build_status_line(b, o);
    EXPECT_EQ(std::string(b.text), "mclstatus 00000000000" "2" "0" "00000" "9" "1" " 12  0  0");
  }
}
