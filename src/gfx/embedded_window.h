// Base classes of the custom-drawn panels.
//
// vesk_embedded_window is a toolkit child window that owns a bitmap exactly
// its own size. A subclass draws its whole appearance into that bitmap in
// repaint_dc(); every paint copies the bitmap to the screen. Windows that
// animate (blinking cues, colour flashes) put themselves on a process-wide
// list that the main window's 20 ms tick steps.
//
// vesk_transparent_window is not a toolkit window: it is a rectangle of its
// parent that groups and lays out a set of child widgets and owns no pixels.
#ifndef OMBRITH_GFX_EMBEDDED_WINDOW_H
#define OMBRITH_GFX_EMBEDDED_WINDOW_H

#include <wx/dc.h>
#include <wx/window.h>

#include "gfx/bitmap.h"

class vesk_embedded_window : public wxWindow {
public:
  // A width or height of 0 or less gives a bitmap side of 1.
  vesk_embedded_window(wxWindow *parent, wxWindowID id, const wxString &name,
                       const wxPoint &position = wxDefaultPosition, const wxSize &size = wxDefaultSize,
                       long style = 0);
  ~vesk_embedded_window() override;

  // Lays the content out for the window's new size; bitmap_replaced is 1
  // when the bitmap was just re-created.
  virtual void resize(int bitmap_replaced) = 0;
  // Draws the complete appearance: the bitmap is shown exactly as left here.
  virtual void repaint_dc(vesk_bitmap &bitmap) = 0;
  // Called on every animation tick while listed; non-zero stays listed.
  virtual int animation_callback(int elapsed_ms);
  // Sizes below 1 become 1. A changed size re-creates the bitmap; then the
  // window is placed and resize() runs (with 1 if the bitmap was replaced).
  virtual void SetSize(int x, int y, int width, int height);
  // The same at the window's current position.
  virtual void SetSize(int width, int height);
  // resize(1) without changing anything.
  virtual void ResetSize();

  void Refresh(bool erase_background = true, const wxRect *rect = nullptr) override;

  // Asks for a paint of the whole window, without erasing first.
  void repaint();

  // Animation list.
  void start_animation();
  void stop_animation();
  bool in_animation_list() const;
  // Steps every listed window by elapsed_ms; windows whose callback returns
  // 0 leave the list.
  static void animation_update(int elapsed_ms);

  // The step timer the subclasses' animation_callback runs: counts
  // anim_steps down once per anim_period_ms, repaints when the step value
  // changed, and returns whether steps remain.
  int animation_step(int elapsed_ms);
  // Attention flash: 16 steps of 200 ms, repainted at once and at every step.
  void start_newbie_demo_mode_flashing();
  // While a flash runs, the colour of its cue: white on odd steps, black on even.
  bool attention_flash_active() const { return anim_steps > 0; }
  vesk_color attention_flash_colour() const { return (anim_steps & 1) ? vesk_WHITE : vesk_BLACK; }

  // What a paint does once the paint context is open: a shown window draws
  // itself and copies its bitmap to (0, 0).
  void paint_into(wxDC &dc);

  // Event handlers.
  void repaint_handler(wxPaintEvent &event);
  void discard_erase_event_handler(wxEraseEvent &event);
  void resize_handler(wxSizeEvent &event);

  vesk_bitmap *bitmap;
  vesk_embedded_window *animation_next;
  int anim_shown;
  int anim_steps;
  int anim_elapsed_ms;
  int anim_period_ms;

  static vesk_embedded_window *animation_list;

private:
  wxDECLARE_EVENT_TABLE();
};

class vesk_transparent_window {
public:
  explicit vesk_transparent_window(wxWindow *parent);
  virtual ~vesk_transparent_window();

  virtual void show_handler(int shown) = 0;
  virtual void resize() = 0;
  // Re-colours the group's widgets after a theme switch.
  virtual void change_theme() = 0;

  // Stores the rectangle, then resize().
  void SetSize(int x, int y, int width, int height);
  // Stores the flag, then show_handler().
  void Show(int shown);

  int x;
  int y;
  int width;
  int height;
  int shown;
  wxWindow *parent;
};

#endif
