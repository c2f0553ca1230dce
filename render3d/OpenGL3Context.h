#pragma once

#include <windows.h>

// Whether and how OpenGL 3 contexts can be made. They come only through the
// WGL extensions wglChoosePixelFormatARB and wglCreateContextAttribsARB,
// whose entry points exist only while some context is current: the probe
// makes a plain OpenGL 1 context on a hidden window first, reads the
// driver's version and extensions, then makes the first OpenGL 3 context on
// a second hidden window kept until exit, which the shared off-screen
// renderer adopts. Every window of the system shares the pixel format
// chosen first.
//
// Two settings remember what drivers reported: "OpenGL3HighVersionFound"
// (a version of 3.1 or higher was read) and "OpenGL3LowVersionFound" (a
// lower one was).

// From the settings alone, without any OpenGL call: a version of 3.1 or
// higher was seen, or no lower one ever was.
bool IsOpenGL3Usable();

// The "OpenGL3" system's availability: true when a context of the version
// asked for was made, passed the driver checks, and every entry point was
// found. Run at most once per run, by the system.
bool ProbeOpenGL3();

// Parses the current context's GL_VERSION ("<digit>.<digit>", then no
// further digit) into major and minor and records the version flags; any
// other text gives 3.1 and records nothing.
void ReadOpenGLVersion(int& major, int& minor);
// The same for a given text (what ReadOpenGLVersion parses).
void ParseOpenGLVersion(const char* text, int& major, int& minor);

// Chooses the pixel format on first use (16, 12, 9, 8, 4, 2 samples, then
// one without sample attributes) and sets it on the device context.
bool ChooseOpenGL3PixelFormat(HDC dc);

// A context of the version asked for (forward compatible) on the device
// context; null when none could be made.
HGLRC CreateOpenGL3Context(HDC dc);

// The sample count of the chosen pixel format; 0 while none was chosen.
int GetOpenGL3SampleCount();
// The context version the probe asks for (3.1 at least).
void GetRequestedOpenGL3Version(int& major, int& minor);
