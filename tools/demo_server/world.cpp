#include "world.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cstdlib>
#include <unistd.h>

// Colours as single-parameter sequences: the client reads one number per
// escape sequence, and ';' is reserved by the record framing anyway.
#define C_RESET "\x1b[0m"
#define C_BOLD "\x1b[1m"
#define C_RED "\x1b[31m"
#define C_GREEN "\x1b[32m"
#define C_YELLOW "\x1b[33m"
#define C_BLUE "\x1b[34m"
#define C_MAGENTA "\x1b[35m"
#define C_CYAN "\x1b[36m"
#define C_WHITE "\x1b[37m"

// Telnet: the Ombrith client hides typed text on IAC DONT ECHO and shows it
// again on IAC DO ECHO; ordinary telnet clients act on WILL / WONT ECHO
// instead, so both pairs are sent.
static const char echo_off[] = "\xff\xfb\x01\xff\xfe\x01";
static const char echo_on[] = "\xff\xfc\x01\xff\xfd\x01";

std::string demo_record(const std::string &name, const std::string &data)
{
  std::string clean = data;
  for (char &c : clean)
    if (c == ';')
      c = ',';
  return ";s" + name + ";" + clean + ";e" + name + ";";
}

std::string demo_text(const std::string &text)
{
  std::string out;
  out.reserve(text.size() + 8);
  for (char c : text) {
    out += c;
    if (c == ';')
      out += ';';
  }
  return out;
}

// Breaks text into lines of at most `width` characters at spaces.
static std::string wrap(const std::string &text, size_t width)
{
  std::string out, line;
  size_t i = 0;
  while (i < text.size()) {
    size_t end = text.find(' ', i);
    if (end == std::string::npos)
      end = text.size();
    std::string word = text.substr(i, end - i);
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      out += line + "\r\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
    i = end + 1;
  }
  if (!line.empty())
    out += line + "\r\n";
  return out;
}

static int game_minute() { return (int)(std::time(nullptr) % 1440); }

static std::string game_time_text(int minute)
{
  int hour = minute / 60 % 12;
  char text[32];
  std::snprintf(text, sizeof(text), "%d:%02d %s", hour == 0 ? 12 : hour, minute % 60, minute < 720 ? "am" : "pm");
  return text;
}

const demo_world::command_def demo_world::commands[] = {
    {"look", 1, &demo_world::cmd_look, "look around"},
    {"exits", 2, &demo_world::cmd_exits, "list the ways out"},
    {"say", 2, &demo_world::cmd_say, "say something to the room (also: 'text)"},
    {"who", 2, &demo_world::cmd_who, "who is playing"},
    {"score", 2, &demo_world::cmd_score, "your health and progress"},
    {"time", 1, &demo_world::cmd_time, "the time of day"},
    {"show", 2, &demo_world::cmd_show, "point out a panel: show map, bars, exp, input, text"},
    {"ring", 2, &demo_world::cmd_ring, "ring the bell (in the bell tower)"},
    {"touch", 2, &demo_world::cmd_touch, "touch something (try the runes in the clearing)"},
    {"help", 1, &demo_world::cmd_help, "this list"},
    {"quit", 4, &demo_world::cmd_quit, "leave the game"},
};

demo_world::demo_world(demo_tls_server &server) : server(server)
{
  room_exits.assign((size_t)demo_room_count, std::vector<int>((size_t)demo_direction_count, -1));
  for (int r = 0; r < demo_room_count; ++r) {
    const char *p = demo_rooms[r].exits;
    while (p && *p) {
      while (*p == ' ')
        ++p;
      const char *eq = std::strchr(p, '=');
      if (!eq)
        break;
      const char *end = std::strchr(eq, ' ');
      if (!end)
        end = eq + std::strlen(eq);
      std::string direction(p, eq), target(eq + 1, end);
      int d = -1;
      for (int i = 0; i < demo_direction_count; ++i)
        if (direction == demo_directions[i].name)
          d = i;
      int t = find_room(target.c_str());
      if (d < 0 || t < 0)
        std::fprintf(stderr, "demo world: room '%s' has a bad exit '%s=%s'\n", demo_rooms[r].key, direction.c_str(),
                     target.c_str());
      else
        room_exits[(size_t)r][(size_t)d] = t;
      p = end;
    }
  }
}

int demo_world::find_room(const char *key) const
{
  for (int i = 0; i < demo_room_count; ++i)
    if (std::strcmp(demo_rooms[i].key, key) == 0)
      return i;
  return -1;
}

int demo_world::room_at(int x, int y, int z) const
{
  for (int i = 0; i < demo_room_count; ++i)
    if (demo_rooms[i].x == x && demo_rooms[i].y == y && demo_rooms[i].z == z)
      return i;
  return -1;
}

int demo_world::exit_target(int room, int direction) const
{
  if (room < 0 || room >= demo_room_count || direction < 0 || direction >= demo_direction_count)
    return -1;
  return room_exits[(size_t)room][(size_t)direction];
}

int demo_world::exits_mask(int room) const
{
  int mask = 0;
  for (int d = 0; d < demo_direction_count; ++d)
    if (exit_target(room, d) >= 0)
      mask |= demo_directions[d].exit_bit;
  return mask;
}

std::string demo_world::map_record(int room, int direction) const
{
  const room_def &here = demo_rooms[room];
  // Grid cell (gx, gy), both odd, is the room (gx - 11) / 2 steps east and
  // (gy - 11) / 2 steps south of the player.
  auto room_at_cell = [&](int gx, int gy) -> int {
    if (gx < 0 || gy < 0 || gx > 22 || gy > 22 || !(gx & 1) || !(gy & 1))
      return -1;
    return room_at(here.x + (gx - 11) / 2, here.y + (gy - 11) / 2, here.z);
  };
  auto linked = [&](int a, int b) {
    if (a < 0 || b < 0)
      return false;
    for (int d = 0; d < demo_direction_count; ++d)
      if (exit_target(a, d) == b || exit_target(b, d) == a)
        return true;
    return false;
  };
  // 0 open, 4 wall; nothing between two empty cells.
  auto passage = [&](int a, int b) -> char {
    if (a < 0 && b < 0)
      return '@';
    return linked(a, b) ? '@' : 'D';
  };

  std::string m;
  m += direction >= 0 ? demo_directions[direction].move_code : '@';
  for (int y = 0; y <= 22; y += 2) { // north-south passages
    for (int x = 1; x <= 21; x += 2)
      m += passage(room_at_cell(x, y - 1), room_at_cell(x, y + 1));
    m += '\n';
  }
  for (int y = 1; y <= 21; y += 2) { // east-west passages
    for (int x = 0; x <= 22; x += 2)
      m += passage(room_at_cell(x - 1, y), room_at_cell(x + 1, y));
    m += '\n';
  }
  for (int y = 0; y <= 22; y += 2) { // corners, northwest-southeast diagonal
    for (int x = 0; x <= 22; x += 2)
      m += linked(room_at_cell(x - 1, y - 1), room_at_cell(x + 1, y + 1)) ? '@' : 'D';
    m += '\n';
  }
  for (int y = 0; y <= 22; y += 2) { // corners, northeast-southwest diagonal
    for (int x = 0; x <= 22; x += 2)
      m += linked(room_at_cell(x + 1, y - 1), room_at_cell(x - 1, y + 1)) ? '@' : 'D';
    m += '\n';
  }
  for (int y = 1; y <= 21; y += 2) { // rooms: terrain, marks, texture seed, spare
    for (int x = 1; x <= 21; x += 2) {
      int r = room_at_cell(x, y);
      if (r < 0) {
        m += "@@@@";
        continue;
      }
      m += (char)(64 + demo_rooms[r].terrain);
      m += (char)(64 + demo_rooms[r].flags);
      m += (char)(64 + 1 + (r * 7 + 3) % 50);
      m += '@';
    }
    m += '\n';
  }
  return demo_record("map", m);
}

void demo_world::send(session &s, const std::string &bytes)
{
  if (s.client)
    server.send(*s.client, bytes);
}

void demo_world::write(session &s, const std::string &text) { send(s, demo_text(text)); }

void demo_world::prompt(session &s)
{
  char text[96];
  std::snprintf(text, sizeof(text), "\r\n" C_GREEN "<%dhp %dmn %dmv>" C_RESET " ", s.hp, s.mana, s.move);
  write(s, text);
}

void demo_world::send_status_records(session &s)
{
  char hp[96];
  std::snprintf(hp, sizeof(hp), "%d %d %d %d %d %d", s.hp, s.max_hp, s.mana, s.max_mana, s.move, s.max_move);
  send(s, demo_record("hp", hp));
}

void demo_world::tell_room(int room, const session *except, const std::string &text)
{
  for (auto &entry : sessions) {
    session &other = entry.second;
    if (&other == except || other.stage != 2 || other.room != room)
      continue;
    write(other, "\r\n" + text);
    prompt(other);
  }
}

void demo_world::show_room(session &s, int direction)
{
  const room_def &r = demo_rooms[s.room];
  int mask = exits_mask(s.room);
  std::string dirs = "on ";
  dirs += (char)('A' + (mask >> 5));
  dirs += (char)('A' + (mask & 31));
  int minute = game_minute();
  std::string sky = std::string(r.outdoors ? "110 " : "000 ") + std::to_string(r.terrain) + " " +
                    std::to_string(minute) + " " + game_time_text(minute);
  send(s, map_record(s.room, direction) + demo_record("dirs", dirs) + demo_record("areaname", r.area) +
              demo_record("skystate", sky));

  std::string text = C_BOLD C_CYAN + std::string(r.name) + C_RESET "\r\n" C_WHITE + wrap(r.description, 76);
  std::string exit_list;
  for (int d = 0; d < demo_direction_count; ++d)
    if (exit_target(s.room, d) >= 0)
      exit_list += std::string(exit_list.empty() ? "" : " ") + demo_directions[d].name;
  text += C_GREEN "[Exits: " + (exit_list.empty() ? std::string("none") : exit_list) + "]" C_RESET "\r\n";
  for (auto &entry : sessions) {
    const session &other = entry.second;
    if (&other != &s && other.stage == 2 && other.room == s.room)
      text += C_BOLD C_YELLOW + other.name + " is standing here." C_RESET "\r\n";
  }
  write(s, text);

  // The guild switches the experience bar on, once, and says so.
  if (std::strcmp(r.key, "guild_hall") == 0 && !s.guild_visited) {
    s.guild_visited = true;
    send(s, demo_record("config", "exp_bar enable") + demo_record("xpp", "250 40"));
    write(s, C_BOLD C_YELLOW "The guildmaster says, 'I have switched on your experience bar: watch it fill as you "
             "learn.'" C_RESET "\r\n");
  }
}

// 32 lower-case hexadecimal digits for a client that has no identifier of
// its own yet.
static std::string new_client_identifier()
{
  static bool seeded = false;
  if (!seeded) {
    std::srand((unsigned)std::time(nullptr) ^ (unsigned)getpid());
    seeded = true;
  }
  static const char hex[] = "0123456789abcdef";
  std::string id;
  for (int i = 0; i < 32; ++i)
    id += hex[std::rand() % 16];
  return id;
}

void demo_world::enter_game(session &s)
{
  s.stage = 2;
  s.room = find_room(demo_start_room);
  if (s.room < 0)
    s.room = 0;
  std::fprintf(stderr, "demo world: %s entered the game\n", s.name.c_str());
  // The client logs the player in under this name (its window title and
  // character settings follow). A client still using the default
  // identifier it made for itself gets a real one.
  send(s, demo_record("login", s.name));
  std::string id = s.client_id.substr(0, s.client_id.find(' '));
  if (id.empty() || id.compare(0, 4, "DFLT") == 0) {
    std::string fresh = new_client_identifier();
    std::fprintf(stderr, "demo world: giving %s the identifier %s\n", s.name.c_str(), fresh.c_str());
    send(s, demo_record("uuid", fresh));
  }
  write(s, "\r\n" C_BOLD C_YELLOW "Welcome to Ombrith, " + s.name + "!" C_RESET "\r\n" C_WHITE
           "Type " C_BOLD C_YELLOW "help" C_RESET C_WHITE " for the list of commands. Walk with " C_BOLD C_YELLOW
           "north" C_RESET C_WHITE ", " C_BOLD C_YELLOW "east" C_RESET C_WHITE ", " C_BOLD C_YELLOW "south" C_RESET
           C_WHITE ", " C_BOLD C_YELLOW "west" C_RESET C_WHITE " (or n, e, s, w) and the rest." C_RESET "\r\n" C_WHITE
           "The flashing box at the bottom is your command line: type there. " C_BOLD C_YELLOW "show" C_RESET C_WHITE
           " points out the other panels." C_RESET "\r\n\r\n");
  send(s, demo_record("config", "input_window flash"));
  send(s, demo_record("xpp", "250 40") + demo_record("icons", "10000"));
  send_status_records(s);
  show_room(s, -1);
  prompt(s);
  tell_room(s.room, &s, C_BOLD C_YELLOW + s.name + " appears in a shimmer of light." C_RESET);
}

void demo_world::walk(session &s, int direction)
{
  if (direction < 0 || direction >= demo_direction_count)
    return;
  int target = exit_target(s.room, direction);
  const direction_def &d = demo_directions[direction];
  if (target < 0) {
    write(s, C_RED "Alas, you cannot go that way." C_RESET "\r\n");
    if (d.move_code >= 'A' && d.move_code <= 'H')
      send(s, demo_record("walkfail", std::to_string(d.move_code - 'A')));
    prompt(s);
    return;
  }
  tell_room(s.room, &s, C_YELLOW + s.name + " leaves " + d.name + "." C_RESET);
  s.room = target;
  if (s.move > 1)
    --s.move;
  show_room(s, direction);
  send_status_records(s);
  prompt(s);
  tell_room(s.room, &s, C_YELLOW + s.name + " arrives." C_RESET);
}

void demo_world::cmd_look(session &s, const std::string &)
{
  show_room(s, -1);
  prompt(s);
}

void demo_world::cmd_exits(session &s, const std::string &)
{
  std::string text = C_GREEN "Obvious exits:" C_RESET "\r\n";
  for (int d = 0; d < demo_direction_count; ++d) {
    int t = exit_target(s.room, d);
    if (t >= 0) {
      char line[160];
      std::snprintf(line, sizeof(line), C_GREEN "  %-10s" C_WHITE "- %s" C_RESET "\r\n", demo_directions[d].name,
                    demo_rooms[t].name);
      text += line;
    }
  }
  write(s, text);
  prompt(s);
}

void demo_world::cmd_say(session &s, const std::string &args)
{
  if (args.empty()) {
    write(s, "Say what?\r\n");
  } else {
    write(s, C_BOLD C_YELLOW "You say, '" + args + "'" C_RESET "\r\n");
    tell_room(s.room, &s, C_BOLD C_YELLOW + s.name + " says, '" + args + "'" C_RESET);
  }
  prompt(s);
}

void demo_world::cmd_who(session &s, const std::string &)
{
  std::string text = C_BOLD C_WHITE "Players in Ombrith:" C_RESET "\r\n";
  int count = 0;
  for (auto &entry : sessions) {
    const session &other = entry.second;
    if (other.stage != 2)
      continue;
    text += C_CYAN "  " + other.name + C_WHITE " - " + demo_rooms[other.room].name + C_RESET "\r\n";
    ++count;
  }
  text += C_WHITE + std::to_string(count) + (count == 1 ? " player" : " players") + " online." C_RESET "\r\n";
  write(s, text);
  prompt(s);
}

void demo_world::cmd_score(session &s, const std::string &)
{
  char text[512];
  std::snprintf(text, sizeof(text),
                C_WHITE "You are " C_BOLD C_CYAN "%s" C_RESET C_WHITE ", a newcomer to Ombrith." C_RESET "\r\n"
                C_RED "  Health   %d/%d" C_RESET "\r\n" C_BLUE "  Mana     %d/%d" C_RESET "\r\n" C_GREEN
                "  Movement %d/%d" C_RESET "\r\n" C_MAGENTA "  Progress 25.0%% to the next level" C_RESET "\r\n",
                s.name.c_str(), s.hp, s.max_hp, s.mana, s.max_mana, s.move, s.max_move);
  write(s, text);
  send_status_records(s);
  prompt(s);
}

void demo_world::cmd_time(session &s, const std::string &)
{
  write(s, C_WHITE "It is " + game_time_text(game_minute()) + " in Ombrith." C_RESET "\r\n");
  prompt(s);
}

void demo_world::cmd_show(session &s, const std::string &args)
{
  // Each word makes the client point out one of its panels.
  static const struct {
    const char *word;
    const char *config;
    const char *text;
  } panels[] = {
      {"map", "automap flash", "The map of the rooms around you flashes."},
      {"bars", "status_bar flash", "Your health, mana and movement bars flash."},
      {"exp", "exp_bar enable", "The experience bar is switched on."},
      {"input", "input_window flash", "Your command line flashes: everything you type goes there."},
      {"text", "main_window flash", "The text window flashes: the game's words appear there."},
  };
  std::string word = args.substr(0, args.find(' '));
  for (char &c : word)
    c = (char)std::tolower((unsigned char)c);
  for (const auto &p : panels) {
    if (!word.empty() && std::strncmp(p.word, word.c_str(), word.size()) == 0) {
      send(s, demo_record("config", p.config));
      write(s, C_WHITE + std::string(p.text) + C_RESET "\r\n");
      prompt(s);
      return;
    }
  }
  write(s, C_WHITE "Show what? Try " C_BOLD C_YELLOW "show map" C_RESET C_WHITE ", " C_BOLD C_YELLOW "show bars"
           C_RESET C_WHITE ", " C_BOLD C_YELLOW "show exp" C_RESET C_WHITE ", " C_BOLD C_YELLOW "show input"
           C_RESET C_WHITE " or " C_BOLD C_YELLOW "show text" C_RESET C_WHITE "." C_RESET "\r\n");
  prompt(s);
}

void demo_world::cmd_ring(session &s, const std::string &)
{
  if (std::strcmp(demo_rooms[s.room].key, "bell_tower") != 0) {
    write(s, C_WHITE "There is no bell here. The great bell hangs in the tower above the temple steps." C_RESET
                     "\r\n");
    prompt(s);
    return;
  }
  // A bell byte, and the text window glows gold and fades back.
  write(s, C_BOLD C_YELLOW "You pull the rope. BONG! The whole tower shakes." C_RESET "\a\r\n");
  send(s, demo_record("event", "colorflash ffd700 000000 25"));
  tell_room(s.room, &s, C_BOLD C_YELLOW + s.name + " rings the great bell. BONG!" C_RESET);
  prompt(s);
}

void demo_world::cmd_touch(session &s, const std::string &args)
{
  if (std::strcmp(demo_rooms[s.room].key, "clearing") != 0 || args.find("rune") == std::string::npos) {
    write(s, C_WHITE "You feel nothing special." C_RESET "\r\n");
    prompt(s);
    return;
  }
  // Green light, fading to blue, then to dark.
  write(s, C_BOLD C_GREEN "The runes flare with green light under your fingers, then fade through blue." C_RESET
                          "\r\n");
  send(s, demo_record("event", "colorflash 00ff80 000000 15 0040ff 15 000000 20"));
  prompt(s);
}

void demo_world::cmd_help(session &s, const std::string &)
{
  std::string text = C_BOLD C_WHITE "Commands:" C_RESET "\r\n";
  for (const command_def &c : commands) {
    char line[160];
    std::snprintf(line, sizeof(line), C_BOLD C_YELLOW "  %-8s" C_RESET C_WHITE "%s" C_RESET "\r\n", c.word, c.help);
    text += line;
  }
  text += C_BOLD C_WHITE "Directions:" C_RESET C_WHITE;
  for (int d = 0; d < demo_direction_count; ++d)
    text += std::string(" ") + demo_directions[d].name + " (" + demo_directions[d].abbreviation + ")";
  text += C_RESET "\r\n";
  write(s, text);
  prompt(s);
}

void demo_world::cmd_quit(session &s, const std::string &)
{
  write(s, C_BOLD C_YELLOW "Farewell, " + s.name + ". Come back soon!" C_RESET "\r\n");
  s.stage = 3;
  tell_room(s.room, &s, C_YELLOW + s.name + " fades away." C_RESET);
  if (s.client)
    server.close_client(*s.client);
}

void demo_world::on_connected(demo_client &client)
{
  session &s = sessions[client.id];
  s.client = &client;
  std::fprintf(stderr, "demo world: connection from %s\n", client.peer.c_str());
  write(s, "\r\n" C_BOLD C_CYAN "        O M B R I T H" C_RESET "\r\n" C_CYAN "   ~ a small world to try the client ~" C_RESET
           "\r\n\r\n" C_WHITE "This demo server runs on your own machine. Any name and password will do." C_RESET
           "\r\n\r\n" C_BOLD C_WHITE "By what name do you wish to be known? " C_RESET);
}

void demo_world::on_handshake_failed(demo_client &client, const std::string &reason)
{
  std::fprintf(stderr, "demo world: TLS handshake with %s failed: %s\n", client.peer.c_str(), reason.c_str());
}

void demo_world::on_disconnected(demo_client &client)
{
  auto found = sessions.find(client.id);
  if (found == sessions.end())
    return;
  session &s = found->second;
  std::fprintf(stderr, "demo world: %s disconnected\n", s.name.empty() ? client.peer.c_str() : s.name.c_str());
  s.client = nullptr;
  if (s.stage == 2)
    tell_room(s.room, &s, C_YELLOW + s.name + " has left the game." C_RESET);
  sessions.erase(found);
}

void demo_world::on_line(demo_client &client, const std::string &raw)
{
  auto found = sessions.find(client.id);
  if (found == sessions.end())
    return;
  session &s = found->second;
  std::string line = raw;
  while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
    line.pop_back();
  size_t lead = line.find_first_not_of(' ');
  line = lead == std::string::npos ? "" : line.substr(lead);

  // The client's own protocol lines: its identification on connect, the
  // ping (answered at once, so the client can show the round trip), and
  // its settings and popup reports, which this world only notes.
  if (line.compare(0, 9, "_mClient ") == 0) {
    s.client_id = line.substr(9);
    std::fprintf(stderr, "demo world: client identifies as '%s'\n", s.client_id.c_str());
    return;
  }
  if (line == "mcping") {
    send(s, demo_record("event", "mcpong"));
    return;
  }
  if (line.compare(0, 10, "mclstatus ") == 0 || line.compare(0, 10, "mclwindow ") == 0)
    return;

  if (s.stage == 0) {
    bool ok = line.size() >= 2 && line.size() <= 15;
    for (char c : line)
      ok = ok && std::isalpha((unsigned char)c);
    if (!ok) {
      write(s, C_RED "A name has 2 to 15 letters and nothing else." C_RESET "\r\n" C_BOLD C_WHITE
               "By what name do you wish to be known? " C_RESET);
      return;
    }
    s.name = line;
    for (char &c : s.name)
      c = (char)std::tolower((unsigned char)c);
    s.name[0] = (char)std::toupper((unsigned char)s.name[0]);
    s.stage = 1;
    write(s, C_WHITE "Greetings, " C_BOLD C_CYAN + s.name + C_RESET C_WHITE ". Choose a password: " C_RESET);
    send(s, echo_off);
    return;
  }
  if (s.stage == 1) {
    if (line.empty()) {
      write(s, C_RED "A password cannot be empty." C_RESET "\r\n" C_WHITE "Password: " C_RESET);
      return;
    }
    send(s, echo_on);
    enter_game(s);
    return;
  }
  if (s.stage != 2)
    return;

  if (line.empty()) {
    prompt(s);
    return;
  }
  // The answer starts on a line of its own, after the client's echo of the
  // command.
  write(s, "\r\n");
  if (line[0] == '\'') {
    std::string said = line.substr(1);
    size_t start = said.find_first_not_of(' ');
    cmd_say(s, start == std::string::npos ? "" : said.substr(start));
    return;
  }
  size_t space = line.find(' ');
  std::string word = line.substr(0, space);
  std::string args;
  if (space != std::string::npos) {
    size_t start = line.find_first_not_of(' ', space);
    if (start != std::string::npos)
      args = line.substr(start);
  }
  for (char &c : word)
    c = (char)std::tolower((unsigned char)c);

  // A whole direction name or its abbreviation first ("south" is also the
  // beginning of "southeast"), then the beginning of a name.
  for (int d = 0; d < demo_direction_count; ++d) {
    if (word == demo_directions[d].abbreviation || word == demo_directions[d].name) {
      walk(s, d);
      return;
    }
  }
  for (int d = 0; d < demo_direction_count; ++d) {
    if (std::strncmp(demo_directions[d].name, word.c_str(), word.size()) == 0) {
      walk(s, d);
      return;
    }
  }
  for (const command_def &c : commands) {
    if (word.size() >= (size_t)c.minimum && word.size() <= std::strlen(c.word) &&
        std::strncmp(c.word, word.c_str(), word.size()) == 0) {
      (this->*c.handler)(s, args);
      return;
    }
  }
  write(s, C_WHITE "Huh? Type " C_BOLD C_YELLOW "help" C_RESET C_WHITE " for the list of commands." C_RESET "\r\n");
  prompt(s);
}
