// The simulated tablet's on-screen keyboard in the demo: a program of its
// own, built and installed beside vantel-demo, and the class of its window.
#ifndef STANDINKEYBOARD_H
#define STANDINKEYBOARD_H

constexpr char kStandInKeyboardProgram[] = "vantel-demo-keyboard";
constexpr char kStandInKeyboardClass[] = "VantelDemoKeyboard";

#endif
