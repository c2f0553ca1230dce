#pragma once

#include <windows.h>

#include <GL/gl.h>
#include <GL/glext.h>

// The functions of the OpenGL 3 back end. The OpenGL 1.1 and WGL ones come
// from opengl32.dll by name on first use (the system's headers declare them
// imported, which would map the library at every start). The OpenGL 3 entry
// points exist only while a context is current: the probe fetches them with
// wglGetProcAddress (LoadOpenGL3EntryPoints).
#define FENDREL_OPENGL3_BASE_FUNCTIONS(F)                                                                        \
    F(glBindTexture) F(glClear) F(glClearColor) F(glDeleteTextures) F(glDepthFunc) F(glDisable)                  \
    F(glDrawBuffer) F(glDrawElements) F(glEnable) F(glFinish) F(glFlush) F(glGenTextures) F(glGetError)          \
    F(glGetIntegerv) F(glGetString) F(glReadBuffer) F(glReadPixels) F(glTexImage2D) F(glTexParameteri)           \
    F(glViewport)                                                                                                \
    F(wglCreateContext) F(wglDeleteContext) F(wglGetCurrentContext) F(wglGetCurrentDC) F(wglGetProcAddress)     \
    F(wglMakeCurrent)

// The 42 entry points of OpenGL 3, with the types glext.h gives them.
#define FENDREL_OPENGL3_ENTRY_POINTS(F)                                                                         \
    F(glAttachShader, PFNGLATTACHSHADERPROC) F(glBindAttribLocation, PFNGLBINDATTRIBLOCATIONPROC)              \
    F(glBindBuffer, PFNGLBINDBUFFERPROC) F(glBindFragDataLocation, PFNGLBINDFRAGDATALOCATIONPROC)              \
    F(glBindFramebuffer, PFNGLBINDFRAMEBUFFERPROC) F(glBindRenderbuffer, PFNGLBINDRENDERBUFFERPROC)            \
    F(glBindVertexArray, PFNGLBINDVERTEXARRAYPROC) F(glBlendFuncSeparate, PFNGLBLENDFUNCSEPARATEPROC)          \
    F(glBlitFramebuffer, PFNGLBLITFRAMEBUFFERPROC) F(glBufferData, PFNGLBUFFERDATAPROC)                        \
    F(glCheckFramebufferStatus, PFNGLCHECKFRAMEBUFFERSTATUSPROC) F(glCompileShader, PFNGLCOMPILESHADERPROC)    \
    F(glCreateProgram, PFNGLCREATEPROGRAMPROC) F(glCreateShader, PFNGLCREATESHADERPROC)                        \
    F(glDeleteBuffers, PFNGLDELETEBUFFERSPROC) F(glDeleteFramebuffers, PFNGLDELETEFRAMEBUFFERSPROC)            \
    F(glDeleteRenderbuffers, PFNGLDELETERENDERBUFFERSPROC) F(glDeleteProgram, PFNGLDELETEPROGRAMPROC)          \
    F(glDeleteShader, PFNGLDELETESHADERPROC) F(glDisableVertexAttribArray, PFNGLDISABLEVERTEXATTRIBARRAYPROC)  \
    F(glEnableVertexAttribArray, PFNGLENABLEVERTEXATTRIBARRAYPROC)                                              \
    F(glFramebufferRenderbuffer, PFNGLFRAMEBUFFERRENDERBUFFERPROC) F(glGenBuffers, PFNGLGENBUFFERSPROC)        \
    F(glGenerateMipmap, PFNGLGENERATEMIPMAPPROC) F(glGenFramebuffers, PFNGLGENFRAMEBUFFERSPROC)                \
    F(glGenRenderbuffers, PFNGLGENRENDERBUFFERSPROC) F(glGenVertexArrays, PFNGLGENVERTEXARRAYSPROC)            \
    F(glGetProgramiv, PFNGLGETPROGRAMIVPROC) F(glGetShaderInfoLog, PFNGLGETSHADERINFOLOGPROC)                  \
    F(glGetShaderiv, PFNGLGETSHADERIVPROC) F(glGetUniformLocation, PFNGLGETUNIFORMLOCATIONPROC)                \
    F(glLinkProgram, PFNGLLINKPROGRAMPROC) F(glMapBuffer, PFNGLMAPBUFFERPROC)                                  \
    F(glRenderbufferStorage, PFNGLRENDERBUFFERSTORAGEPROC)                                                     \
    F(glRenderbufferStorageMultisample, PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC)                               \
    F(glShaderSource, PFNGLSHADERSOURCEPROC) F(glUniform1i, PFNGLUNIFORM1IPROC)                                \
    F(glUniform4fv, PFNGLUNIFORM4FVPROC) F(glUniformMatrix4fv, PFNGLUNIFORMMATRIX4FVPROC)                      \
    F(glUnmapBuffer, PFNGLUNMAPBUFFERPROC) F(glUseProgram, PFNGLUSEPROGRAMPROC)                                \
    F(glVertexAttribPointer, PFNGLVERTEXATTRIBPOINTERPROC)

struct COpenGL3Functions
{
#define FENDREL_OPENGL3_BASE_POINTER(name) decltype(::name)* name = nullptr;
    FENDREL_OPENGL3_BASE_FUNCTIONS(FENDREL_OPENGL3_BASE_POINTER)
#undef FENDREL_OPENGL3_BASE_POINTER
#define FENDREL_OPENGL3_ENTRY_POINTER(name, type) type name = nullptr;
    FENDREL_OPENGL3_ENTRY_POINTS(FENDREL_OPENGL3_ENTRY_POINTER)
#undef FENDREL_OPENGL3_ENTRY_POINTER

    // Every OpenGL 1.1 and WGL function was found in opengl32.dll.
    bool baseComplete = false;
    // Every OpenGL 3 entry point was found.
    bool entryPointsComplete = false;
};

// The table; its OpenGL 1.1 and WGL part is filled from opengl32.dll on
// first use. Tests put functions of their own into it and restore it.
COpenGL3Functions& GetOpenGL3Functions();

// An extension's function through wglGetProcAddress (a context must be
// current); null when the driver has none of that name.
template <typename Function>
Function FetchOpenGLFunction(const char* name)
{
    // Through the one function type that converts to any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetOpenGL3Functions().wglGetProcAddress(name)));
}

// Fetches the OpenGL 3 entry points through wglGetProcAddress; a context
// must be current. False when any is missing.
bool LoadOpenGL3EntryPoints();
