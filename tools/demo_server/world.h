// The demo world: a village and a wood to walk, a login with a hidden
// password, coloured room text, a few commands, and the records that drive
// the client's panels (login, uuid, map, dirs, areaname, hp, xpp, skystate,
// icons, config commands, colour flashes, and mcpong answers to mcping).
// Rooms, directions and commands are tables: extending the world means adding
// rows (world_data.cpp) and, for a new command, one handler.
#ifndef OMBRITH_DEMO_SERVER_WORLD_H
#define OMBRITH_DEMO_SERVER_WORLD_H

#include <map>
#include <string>
#include <vector>

#include "tls_server.h"

struct room_def {
  const char *key;
  const char *name;
  const char *area;
  int x, y, z;     // position on the map (x east, y south); one level z is drawn at a time
  int terrain;     // automap terrain colour index (0-34)
  int flags;       // automap marks: 1 star, 2 road, 4 trail, 8 up chevron, 16 down chevron
  int outdoors;    // the sky is visible
  const char *exits; // "north=key east=key ..."
  const char *description;
};

extern const room_def demo_rooms[];
extern const int demo_room_count;
extern const char *const demo_start_room;

struct direction_def {
  const char *name;
  const char *abbreviation;
  int dx, dy, dz;
  char move_code; // first character of the map record: how the map scrolls in
  int exit_bit;   // bit of the exits value in the dirs record
  int reverse;    // index of the opposite direction
};

extern const direction_def demo_directions[];
extern const int demo_direction_count;

// ";s" name ";" data ";e" name ";", with any ';' in the data replaced.
std::string demo_record(const std::string &name, const std::string &data);
// Game text with every ';' doubled, as the stream framing requires.
std::string demo_text(const std::string &text);

class demo_world : public demo_server_handler {
public:
  explicit demo_world(demo_tls_server &server);

  void on_connected(demo_client &client) override;
  void on_line(demo_client &client, const std::string &line) override;
  void on_disconnected(demo_client &client) override;
  void on_handshake_failed(demo_client &client, const std::string &reason) override;

  struct session {
    demo_client *client = nullptr;
    int stage = 0; // 0 asking the name, 1 asking the password, 2 playing
    std::string name;
    std::string client_id; // the identification line of the Ombrith client
    bool guild_visited = false; // the experience bar was switched on
    int room = 0;
    int hp = 120, max_hp = 150, mana = 30, max_mana = 40, move = 88, max_move = 100;
  };

  // The map record for a room, as if the player just walked in direction
  // `direction` (an index into demo_directions, or -1).
  std::string map_record(int room, int direction) const;
  // The exits value of the dirs record.
  int exits_mask(int room) const;
  int find_room(const char *key) const;
  int room_at(int x, int y, int z) const;
  int exit_target(int room, int direction) const;

private:
  typedef void (demo_world::*command_handler)(session &, const std::string &);
  struct command_def {
    const char *word;
    int minimum; // shortest accepted abbreviation
    command_handler handler;
    const char *help;
  };
  static const command_def commands[];

  void send(session &s, const std::string &bytes);
  void write(session &s, const std::string &text);
  void prompt(session &s);
  void enter_game(session &s);
  void show_room(session &s, int direction);
  void send_status_records(session &s);
  void tell_room(int room, const session *except, const std::string &text);
  void walk(session &s, int direction);

  void cmd_look(session &s, const std::string &args);
  void cmd_exits(session &s, const std::string &args);
  void cmd_say(session &s, const std::string &args);
  void cmd_who(session &s, const std::string &args);
  void cmd_score(session &s, const std::string &args);
  void cmd_time(session &s, const std::string &args);
  void cmd_help(session &s, const std::string &args);
  void cmd_show(session &s, const std::string &args);
  void cmd_ring(session &s, const std::string &args);
  void cmd_touch(session &s, const std::string &args);
  void cmd_quit(session &s, const std::string &args);

  demo_tls_server &server;
  std::map<int, session> sessions; // by client id
  std::vector<std::vector<int>> room_exits; // room -> direction -> room index, or -1
};

#endif
