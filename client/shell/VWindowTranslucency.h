#ifndef TESMO_CLIENT_SHELL_VWINDOWTRANSLUCENCY_H
#define TESMO_CLIENT_SHELL_VWINDOWTRANSLUCENCY_H

// Whether the screen shows windows with see-through parts as such. An X server
// without a compositing manager ignores the alpha channel and draws the
// transparent parts black; frameless windows then paint their margins instead.
class VWindowTranslucency {
 public:
  // Asked once per run, on the GUI thread after the application object exists.
  static bool available();
};

#endif  // TESMO_CLIENT_SHELL_VWINDOWTRANSLUCENCY_H
