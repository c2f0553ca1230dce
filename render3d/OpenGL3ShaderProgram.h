#pragma once

#include <windows.h>

#include <GL/gl.h>

#include <string>

class CTransform;

// One of the four small GLSL programs of an OpenGL 3 renderer, generated as
// text for the context's version: positions always; a colour per vertex or
// one colour for the whole mesh (the "color" uniform); texture coordinates
// and the sampler only for textured meshes, where a triangle whose u lies
// below CRenderer::kUntexturedLimit (-1e29) keeps its colour without the
// texture's. Attribute 0 is "position", 1
// "color", 2 "textureCoord"; the output is "fragColor". A program that does
// not compile or link is reported on the "OpenGL3" system (severity 3), its
// log kept in the crash log's trace values, never shown to the user.
class COpenGL3ShaderProgram
{
public:
    // Compiles and links on the current context.
    COpenGL3ShaderProgram(bool perVertexColour, bool textured);
    ~COpenGL3ShaderProgram();
    COpenGL3ShaderProgram(const COpenGL3ShaderProgram&) = delete;
    COpenGL3ShaderProgram& operator=(const COpenGL3ShaderProgram&) = delete;

    // The "#version" number of a context version: 140 for 3.1, 150 for 3.2,
    // else major, minor and a 0 written one after the other (3.3: 330).
    static std::string VersionText(int major, int minor);
    static std::string VertexShaderText(const std::string& version, bool perVertexColour, bool textured);
    static std::string FragmentShaderText(const std::string& version, bool perVertexColour, bool textured);

    // Inside a frame of a system that has not failed.
    void Use();
    // The projection times the placement; the mesh's colour (red in the
    // lowest byte) when the program has no colour per vertex. The sampler is
    // set to unit 0 once per program.
    void SetUniforms(const float* projection, const CTransform& placement, uint32_t colour);

    bool IsPerVertexColour() const { return m_perVertexColour; }
    bool IsTextured() const { return m_textured; }

private:
    GLuint CompileShader(GLenum kind, const std::string& text);

    const bool m_perVertexColour;
    const bool m_textured;
    GLuint m_vertexShader = 0;
    GLuint m_fragmentShader = 0;
    GLuint m_program = 0;
    GLint m_matrixLocation = -1;
    GLint m_colorLocation = -1;
    GLint m_textureUnitLocation = -1;
};
