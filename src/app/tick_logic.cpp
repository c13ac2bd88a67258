#include "app/tick_logic.h"

shutdown_step shutdown_countdown_step(int &countdown)
{
  if (countdown <= 0)
    return SHUTDOWN_NONE;
  --countdown;
  if (countdown == 0)
    return SHUTDOWN_EXIT_FORCED;
  if (countdown == 1)
    return SHUTDOWN_SAVE_AND_EXIT;
  return SHUTDOWN_NONE;
}

bool trigger_line_step(int &counter, bool pending)
{
  if (!pending) {
    counter = 0;
    return false;
  }
  int before = counter++;
  if (before >= 2) {
    counter = 0;
    return true;
  }
  return false;
}
