#pragma once

#include <windows.h>

#include <GL/gl.h>

// The OpenGL 1.1 and WGL functions of the OpenGL 1 renderer. The system's
// headers declare them imported from opengl32.dll, which would map the
// library at every start; they are taken from it by name instead, the first
// time a renderer needs them (foundation/SystemFunctions.h).
#define FENDREL_OPENGL1_FUNCTIONS(F)                                                                           \
    F(glBindTexture) F(glBlendFunc) F(glCallList) F(glClear) F(glClearColor) F(glColorPointer)                 \
    F(glDeleteLists) F(glDeleteTextures) F(glDepthFunc) F(glDisable) F(glDisableClientState) F(glDrawElements) \
    F(glEnable) F(glEnableClientState) F(glEndList) F(glFinish) F(glGenLists) F(glGenTextures) F(glGetError)    \
    F(glGetString) F(glLoadMatrixf) F(glMatrixMode) F(glNewList) F(glReadPixels) F(glTexCoordPointer)         \
    F(glTexImage2D) F(glVertexPointer) F(glViewport) F(wglCreateContext) F(wglDeleteContext)                  \
    F(wglGetCurrentContext) F(wglGetCurrentDC) F(wglMakeCurrent)

struct COpenGL1Functions
{
#define FENDREL_OPENGL1_POINTER(name) decltype(::name)* name = nullptr;
    FENDREL_OPENGL1_FUNCTIONS(FENDREL_OPENGL1_POINTER)
#undef FENDREL_OPENGL1_POINTER

    // Every function was found.
    bool complete = false;
};

// The table, filled from opengl32.dll on first use. Tests put functions of
// their own into it and restore it afterwards.
COpenGL1Functions& GetOpenGL1Functions();
