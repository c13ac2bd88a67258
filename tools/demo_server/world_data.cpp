// The rooms of the demo world and the ten directions. To add a room, add a
// row here and name it in the exits of its neighbours.
#include "world.h"

const char *const demo_start_room = "square";

const room_def demo_rooms[] = {
    {"square", "Town Square", "Ombrith Village", 0, 0, 0, 10, 2 | 1, 1,
     "north=north_road east=market south=south_lane west=temple_steps",
     "A wide square of grey flagstones opens around a fountain shaped like a leaping fish. Market stalls crowd "
     "the east side, the temple steps rise to the west, and roads lead north and south out of the village."},
    {"north_road", "North Road", "Ombrith Village", 0, -1, 0, 2, 2, 1, "north=gate south=square",
     "A cart road of packed earth runs between low cottages with blue shutters. Smoke curls from the chimneys."},
    {"gate", "North Gate", "Ombrith Village", 0, -2, 0, 10, 2, 1, "north=forest_path south=north_road",
     "Two squat towers of grey stone guard the way north. Beyond the open gate the dark eaves of a wood begin."},
    {"forest_path", "Forest Path", "Whispering Wood", 0, -3, 0, 5, 4, 1,
     "northeast=clearing northwest=deep_wood south=gate",
     "Tall pines close in on a narrow trail. The wind in the needles sounds almost like voices. The path bends "
     "northeast towards a patch of light; to the northwest the trees grow dark and close."},
    {"deep_wood", "Deep Wood", "Whispering Wood", -1, -4, 0, 5, 0, 0, "southeast=forest_path",
     "Hardly any light reaches the ground here. Moss muffles your steps, and somewhere an owl calls. The only way "
     "out is back to the southeast."},
    {"clearing", "Old Oak Clearing", "Whispering Wood", 1, -4, 0, 4, 1, 1, "southwest=forest_path",
     "A ring of soft grass surrounds an ancient oak, its trunk wider than a cottage. Someone has carved runes "
     "into the bark, long ago. They seem to wait for a touch."},
    {"guild_hall", "Adventurers' Guild", "Ombrith Village", 1, -1, 0, 0, 1, 0, "south=market",
     "Maps and trophies cover the walls of a long hall. A brass plaque by the door reads: every deed you do here "
     "is measured on the experience bar below your text. An old guildmaster nods at you from behind his desk."},
    {"market", "Market Street", "Ombrith Village", 1, 0, 0, 2, 2, 1, "north=guild_hall east=smithy west=square",
     "Stalls of fruit, cloth and copper pots line the street. A merchant waves a string of onions at you."},
    {"smithy", "The Smithy", "Ombrith Village", 2, 0, 0, 0, 0, 0, "west=market",
     "The heat of the forge hits you like a wall. Horseshoes, blades and hinges hang from every beam."},
    {"temple_steps", "Temple Steps", "Ombrith Village", -1, 0, 0, 31, 8, 1, "east=square up=bell_tower",
     "White marble steps climb to a temple of slender columns. A narrow stair winds up into the bell tower."},
    {"bell_tower", "Bell Tower", "Ombrith Village", -1, 0, 1, 31, 16, 1, "down=temple_steps",
     "A great bronze bell hangs above you. Through the arches you can see the whole village and the wood "
     "beyond."},
    {"south_lane", "South Lane", "Ombrith Village", 0, 1, 0, 2, 2, 1, "north=square south=riverside west=inn",
     "A lane of cobbles slopes gently down towards the sound of running water. Laughter spills from an inn "
     "to the west."},
    {"inn", "The Leaping Fish Inn", "Ombrith Village", -1, 1, 0, 0, 16, 0, "east=south_lane down=cellar",
     "A low room of dark beams, warm from the hearth. A bard tunes a lute in the corner, and a trapdoor behind "
     "the bar leads down."},
    {"cellar", "Inn Cellar", "Ombrith Village", -1, 1, -1, 0, 8, 0, "up=inn",
     "Barrels of ale and cider line the walls of a cool, dim cellar. A ladder leads back up."},
    {"riverside", "Riverside", "Ombrith Village", 0, 2, 0, 7, 0, 1, "north=south_lane east=jetty",
     "The river Ombra runs swift and clear over round stones. A wooden jetty reaches out to the east."},
    {"jetty", "Ferry Jetty", "Ombrith Village", 1, 2, 0, 7, 2, 1, "west=riverside",
     "A moored ferry bumps against the jetty. The ferryman is asleep under his hat; the far bank is lost in "
     "mist."},
};

const int demo_room_count = (int)(sizeof(demo_rooms) / sizeof(demo_rooms[0]));

// Clockwise from north, then up and down; `reverse` is the index of the
// opposite direction.
const direction_def demo_directions[] = {
    {"north", "n", 0, -1, 0, 'A', 1, 4},     {"northeast", "ne", 1, -1, 0, 'E', 2, 5},
    {"east", "e", 1, 0, 0, 'B', 4, 6},       {"southeast", "se", 1, 1, 0, 'F', 8, 7},
    {"south", "s", 0, 1, 0, 'C', 16, 0},     {"southwest", "sw", -1, 1, 0, 'G', 32, 1},
    {"west", "w", -1, 0, 0, 'D', 64, 2},     {"northwest", "nw", -1, -1, 0, 'H', 128, 3},
    {"up", "u", 0, 0, 1, '@', 256, 9},       {"down", "d", 0, 0, -1, '@', 512, 8},
};

const int demo_direction_count = (int)(sizeof(demo_directions) / sizeof(demo_directions[0]));
