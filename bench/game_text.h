// Realistic coloured game text shared by the benchmarks of the text path.
#ifndef OMBRITH_BENCH_GAME_TEXT_H
#define OMBRITH_BENCH_GAME_TEXT_H

#include <cstring>
#include <string>

// Realistic game output: lines of 40 to 110 characters, a colour change
// every few words (about 10 % of the bytes in escape sequences).
inline std::string game_text(size_t bytes, unsigned seed = 12345)
{
  static const char *const words[] = {
      "the",   "goblin", "hits",  "you",     "with",   "a",      "rusty",   "dagger", "You",    "parry",
      "north", "of",     "here",  "lies",    "an",     "ancient", "temple", "gleaming", "sword", "is",
      "lying", "on",     "floor", "Grimble", "tells",  "group",  "ready",   "attack",  "misses", "barely",
      "scratches", "your", "armour", "mana", "flows", "into",   "shield",  "crumbles", "dust",  "silver",
  };
  static const char *const colours[] = {"\x1b[31m", "\x1b[32m", "\x1b[33m", "\x1b[34m", "\x1b[35m",
                                        "\x1b[36m", "\x1b[37m", "\x1b[0m"};
  unsigned state = seed;
  auto next = [&state](unsigned n) {
    state = state * 1103515245u + 12345u;
    return (state >> 16) % n;
  };
  std::string out;
  out.reserve(bytes + 200);
  while (out.size() < bytes) {
    size_t target = 40 + next(71);
    size_t line_start = out.size(), escape_bytes = 0;
    int until_colour = 4 + (int)next(6);
    while (out.size() - line_start - escape_bytes < target) {
      if (--until_colour == 0) {
        const char *c = colours[next(8)];
        if (next(8) == 0) {
          out += "\x1b[1m";
          escape_bytes += 4;
        }
        out += c;
        escape_bytes += std::strlen(c);
        until_colour = 5 + (int)next(6);
      }
      out += words[next(40)];
      out += ' ';
    }
    // Some lines end with a reset, all with the server's CR LF.
    out += next(3) == 0 ? "\x1b[0m\r\n" : "\r\n";
  }
  return out;
}

#endif
