// Small decisions of the main window's tick, kept free of windows so that
// they can be checked directly.
#ifndef OMBRITH_APP_TICK_LOGIC_H
#define OMBRITH_APP_TICK_LOGIC_H

enum shutdown_step { SHUTDOWN_NONE, SHUTDOWN_SAVE_AND_EXIT, SHUTDOWN_EXIT_FORCED };

// Advances the exit countdown by one tick. A countdown of 10 (an exit
// request) reaches SHUTDOWN_SAVE_AND_EXIT on the ninth tick.
shutdown_step shutdown_countdown_step(int &countdown);

// Counts the ticks on which the text display reports an unfinished trigger
// line; returns true when the line must be forced out now (the third
// consecutive tick).
bool trigger_line_step(int &counter, bool pending);

#endif
