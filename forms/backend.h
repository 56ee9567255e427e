#pragma once
// What a renderer offers the model: a form's native window comes and goes
// with it, and every property change is passed on. Without one (headless)
// the model is the whole state.

#include "forms/control.h"

namespace forms {

class Backend {
 public:
  virtual ~Backend() = default;
  // The form is being shown: create its window if it has none, and show it.
  virtual void show(Form& form) = 0;
  // Blocks until the form is hidden again; the owner takes no input meanwhile.
  virtual void runModal(Form& form) = 0;
  virtual void hide(Form& form) = 0;
  // The form is unloaded: its window goes.
  virtual void unload(Form& form) = 0;
  virtual void changed(Control& control, Prop prop) = 0;
};

}  // namespace forms
