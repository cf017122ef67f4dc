// What every window of the program does the same way: created from the
// derived class's static Declaration() and Controls(), it keeps the Window it
// was given and lays its controls out on every size change.
//
//   class ResultWindow : public BaseWindow<ResultWindow, App> { ... };
//
// Owner is what the window works for; it gives the platform (owner.platform).
#pragma once

#include "platform/platform.h"

namespace tanavo {

template <class Derived, class Owner>
class BaseWindow : public WindowEvents {
 public:
  // Creates the window and its controls; `window` is set from here on.
  void Create() { window = app_.platform.CreateAppWindow(Derived::Declaration(), Derived::Controls(), this); }

  void OnCreate(Window& w) final {
    window = &w;
    Created(w);
  }
  void OnSize(int cw, int ch) final {
    if (window) Layout(cw, ch);
  }
  // The close box and Alt+F4 hide a tool window, so that its menu command
  // can show it again; its texts stay.
  bool OnCloseRequest() override { return false; }

  Window* window = nullptr;

 protected:
  explicit BaseWindow(Owner& owner) : app_(owner) {}

  // Once the controls exist; `window` is set.
  virtual void Created(Window&) {}
  // Places the controls for a client area of cw x ch; `window` is set.
  // Windows whose controls keep their declared positions leave it empty.
  virtual void Layout(int /*cw*/, int /*ch*/) {}
  // Lays the controls out for the client area as it is now.
  void LayOutNow() {
    int cw = 0, ch = 0;
    window->ClientSize(&cw, &ch);
    Layout(cw, ch);
  }

  Owner& app_;  // what the window works for: the program's App
};

}  // namespace tanavo
