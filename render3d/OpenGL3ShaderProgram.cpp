#include "render3d/OpenGL3ShaderProgram.h"

#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"
#include "foundation/Transform.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL3Functions.h"
#include "render3d/OpenGL3Renderer.h"

namespace {

COpenGL3Functions& GL() { return GetOpenGL3Functions(); }

void Fail() { COpenGL3GraphicsSystem::Instance().ReportFailure(3); }

// What a trace value says of the program: "C" with a colour per vertex,
// "T" when textured.
std::string Kind(bool perVertexColour, bool textured)
{
    return std::string(perVertexColour ? "C" : "") + (textured ? "T" : "");
}

}  // namespace

std::string COpenGL3ShaderProgram::VersionText(int major, int minor)
{
    if (major == 3 && minor == 1)
        return "140";
    if (major == 3 && minor == 2)
        return "150";
    return std::to_string(major) + std::to_string(minor) + "0";
}

std::string COpenGL3ShaderProgram::VertexShaderText(const std::string& version, bool perVertexColour, bool textured)
{
    std::string text = "#version " + version + "\nprecision highp float;\nuniform mat4 matrix;\nin vec3 position;\n";
    if (perVertexColour)
        text += "in vec4 color;\ncentroid out vec4 varyingColor;\n";
    if (textured)
        text += "in vec2 textureCoord;\ncentroid out vec2 varyingTextureCoord;\n";
    text += "void main()\n{\n\tgl_Position = matrix * vec4(position, 1.f);\n";
    if (perVertexColour)
        text += "\tvaryingColor = color;\n";
    if (textured)
        text += "\tvaryingTextureCoord = textureCoord;\n";
    return text + "}\n";
}

std::string COpenGL3ShaderProgram::FragmentShaderText(const std::string& version, bool perVertexColour,
                                                      bool textured)
{
    std::string text = "#version " + version + "\nprecision highp float;\n";
    text += perVertexColour ? "centroid in vec4 varyingColor;\n" : "uniform vec4 color;\n";
    if (textured)
        text += "uniform sampler2D textureUnit;\ncentroid in vec2 varyingTextureCoord;\n";
    text += "out vec4 fragColor;\nvoid main()\n{\n";
    // A triangle without a texture in a textured run keeps its colour
    // (CRenderer::kUntexturedLimit).
    if (textured)
        text += "\tvec4 sampled = texture(textureUnit, varyingTextureCoord);\n"
                "\tif (varyingTextureCoord.x < -1e29)\n\t\tsampled = vec4(1.0);\n";
    text += "\tfragColor = ";
    text += perVertexColour ? "varyingColor" : "color";
    if (textured)
        text += " * sampled";
    return text + ";\n}\n";
}

COpenGL3ShaderProgram::COpenGL3ShaderProgram(bool perVertexColour, bool textured)
    : m_perVertexColour(perVertexColour), m_textured(textured)
{
    TRACE_VALUE(std::string, Kind(perVertexColour, textured));
    if (!COpenGL3Renderer::IsUsable())
        return;
    COpenGL3Functions& gl = GL();
    GLint major = 0;
    GLint minor = 0;
    gl.glGetIntegerv(GL_MAJOR_VERSION, &major);
    gl.glGetIntegerv(GL_MINOR_VERSION, &minor);
    const std::string version = VersionText(major, minor);
    m_vertexShader = CompileShader(GL_VERTEX_SHADER, VertexShaderText(version, perVertexColour, textured));
    m_fragmentShader = CompileShader(GL_FRAGMENT_SHADER, FragmentShaderText(version, perVertexColour, textured));
    if (!COpenGL3Renderer::IsUsable())
        return;

    m_program = gl.glCreateProgram();
    gl.glAttachShader(m_program, m_vertexShader);
    gl.glAttachShader(m_program, m_fragmentShader);
    gl.glBindAttribLocation(m_program, 0, "position");
    if (perVertexColour)
        gl.glBindAttribLocation(m_program, 1, "color");
    if (textured)
        gl.glBindAttribLocation(m_program, 2, "textureCoord");
    gl.glBindFragDataLocation(m_program, 0, "fragColor");
    gl.glLinkProgram(m_program);
    GLint linked = GL_FALSE;
    gl.glGetProgramiv(m_program, GL_LINK_STATUS, &linked);
    if (!linked) {
        GLint length = 0;
        gl.glGetProgramiv(m_program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(size_t(length > 0 ? length : 0) + 1);
        // Not one of the entry points the frames need: fetched for the log alone.
        const auto getLog =
            FetchOpenGLFunction<PFNGLGETPROGRAMINFOLOGPROC>("glGetProgramInfoLog");
        if (getLog)
            getLog(m_program, GLsizei(log.size()), nullptr, log.data());
        TRACE_VALUE(std::string, Kind(perVertexColour, textured) + "L " + log.data());
        Fail();
        return;
    }
    m_matrixLocation = gl.glGetUniformLocation(m_program, "matrix");
    if (!perVertexColour)
        m_colorLocation = gl.glGetUniformLocation(m_program, "color");
    if (textured)
        m_textureUnitLocation = gl.glGetUniformLocation(m_program, "textureUnit");
    if (m_matrixLocation < 0 || (!perVertexColour && m_colorLocation < 0) ||
        (textured && m_textureUnitLocation < 0)) {
        TRACE_VALUE(int32_t, int32_t(m_matrixLocation));
        Fail();
    }
}

COpenGL3ShaderProgram::~COpenGL3ShaderProgram()
{
    if (!COpenGL3Renderer::IsUsable())
        return;
    if (m_program)
        GL().glDeleteProgram(m_program);
    if (m_vertexShader)
        GL().glDeleteShader(m_vertexShader);
    if (m_fragmentShader)
        GL().glDeleteShader(m_fragmentShader);
}

GLuint COpenGL3ShaderProgram::CompileShader(GLenum kind, const std::string& text)
{
    if (!COpenGL3Renderer::IsUsable())
        return 0;
    COpenGL3Functions& gl = GL();
    const GLuint shader = gl.glCreateShader(kind);
    const GLchar* source = text.c_str();
    gl.glShaderSource(shader, 1, &source, nullptr);
    gl.glCompileShader(shader);
    GLint compiled = GL_FALSE;
    gl.glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        GLint length = 0;
        gl.glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(size_t(length > 0 ? length : 0) + 1);
        gl.glGetShaderInfoLog(shader, GLsizei(log.size()), nullptr, log.data());
        TRACE_VALUE(std::string, Kind(m_perVertexColour, m_textured) + (kind == GL_VERTEX_SHADER ? "V " : "F ") +
                                     log.data());
        Fail();
    }
    return shader;
}

void COpenGL3ShaderProgram::Use() { GL().glUseProgram(m_program); }

void COpenGL3ShaderProgram::SetUniforms(const float* projection, const CTransform& placement, uint32_t colour)
{
    COpenGL3Functions& gl = GL();
    float matrix[16];
    CRenderer::ToClipSpace(projection, placement, matrix);
    gl.glUniformMatrix4fv(m_matrixLocation, 1, GL_FALSE, matrix);
    if (!m_perVertexColour) {
        const float rgba[4] = {GetRed(colour) / 255.0f, GetGreen(colour) / 255.0f, GetBlue(colour) / 255.0f,
                               GetAlpha(colour) / 255.0f};
        gl.glUniform4fv(m_colorLocation, 1, rgba);
    }
    if (m_textureUnitLocation >= 0) {
        gl.glUniform1i(m_textureUnitLocation, 0);
        m_textureUnitLocation = -1;
    }
}
