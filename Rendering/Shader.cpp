#include "Rendering/Shader.h"

#include <GL/glew.h>

#include <cstdlib>
#include <fstream>
#include <new>

#include "Core/Log.h"

namespace Rendering
{

// Every entry point comes from GLEW, which leaves a pointer null when the
// OpenGL implementation lacks it (or before glewInit): such calls are skipped.
#define TABULA_HAS(function) (function != nullptr)

Shader::Shader(const std::string& vertexFile, const std::string& fragmentFile)
    : m_VertexFile(vertexFile), m_FragmentFile(fragmentFile)
{
}

Shader::~Shader()
{
    if (TABULA_HAS(glDeleteShader))
    {
        glDeleteShader(m_VertexShader);
        glDeleteShader(m_FragmentShader);
    }
    if (TABULA_HAS(glDeleteProgram))
        glDeleteProgram(m_Program);
}

char* Shader::load(const std::string& fileName)
{
    std::ifstream file(fileName.c_str());
    std::streamoff size = -1;
    if (file.is_open())
    {
        file.seekg(0, std::ios::end);
        size = file.tellg();
        file.seekg(0, std::ios::beg);
    }
    // A directory opens but has no size: treat it like a missing file.
    if (size < 0 || !file.good())
    {
        Core::log(Core::LogLevel::Warning, "Shader", "Couldn't find/load Shader : \"" + fileName + "\"");
        return nullptr;
    }
    char* source = new char[static_cast<std::size_t>(size) + 1]();
    file.read(source, size);
    file.close();
    return source;
}

unsigned int Shader::compile(unsigned int type, const char* source, const std::string& fileName)
{
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint status = GL_TRUE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    char* log = new char[static_cast<std::size_t>(length < 0 ? 0 : length) + 1]();
    glGetShaderInfoLog(shader, length, &length, log);
    Core::log(Core::LogLevel::Error, "Shader", "Can't compile shader \"" + fileName + "\" : \n" + log);
    delete[] log;
    glDeleteShader(shader);
    return 0;
}

void Shader::init()
{
    char* vertexSource = load(m_VertexFile);
    char* fragmentSource = load(m_FragmentFile);
    if (vertexSource == nullptr || fragmentSource == nullptr || !TABULA_HAS(glCreateShader) ||
        !TABULA_HAS(glShaderSource) || !TABULA_HAS(glCompileShader) || !TABULA_HAS(glGetShaderiv) ||
        !TABULA_HAS(glGetShaderInfoLog) || !TABULA_HAS(glDeleteShader) || !TABULA_HAS(glCreateProgram) ||
        !TABULA_HAS(glAttachShader) || !TABULA_HAS(glLinkProgram))
    {
        delete[] vertexSource;
        delete[] fragmentSource;
        return;
    }
    // The sources are only needed by the compiler: released right after it.
    m_VertexShader = compile(GL_VERTEX_SHADER, vertexSource, m_VertexFile);
    delete[] vertexSource;
    if (m_VertexShader == 0)
    {
        delete[] fragmentSource;
        return;
    }
    m_FragmentShader = compile(GL_FRAGMENT_SHADER, fragmentSource, m_FragmentFile);
    delete[] fragmentSource;
    if (m_FragmentShader == 0)
        return;
    m_Program = glCreateProgram();
    glAttachShader(m_Program, m_VertexShader);
    glAttachShader(m_Program, m_FragmentShader);
    glLinkProgram(m_Program);
    Core::log(Core::LogLevel::Info, "Shader", "Shader file \"" + m_VertexFile + "\" loaded.");
    Core::log(Core::LogLevel::Info, "Shader", "Shader file \"" + m_FragmentFile + "\" loaded.");
}

void Shader::apply()
{
    if (TABULA_HAS(glUseProgram))
        glUseProgram(m_Program);
}

void Shader::unApply()
{
    if (TABULA_HAS(glUseProgram))
        glUseProgram(0);
}

bool Shader::shaderIsAvailable()
{
    return GLEW_ARB_shader_objects && GLEW_ARB_vertex_shader && GLEW_ARB_fragment_shader &&
           GLEW_ARB_shading_language_100;
}

int Shader::getParameterHandle(const char* name)
{
    int location = -1;
    if (TABULA_HAS(glGetUniformLocationARB))
        location = glGetUniformLocationARB(m_Program, name);
    if (location == -1)
    {
        Core::log(Core::LogLevel::Error, "Shader", "ERROR: \"" + std::string(name) + "\" unknown parameter...");
        std::exit(1);
    }
    return location;
}

#define TABULA_UNIFORM(function, ...)                                                                                  \
    do                                                                                                                 \
    {                                                                                                                  \
        const int location = getParameterHandle(name);                                                                 \
        if (TABULA_HAS(function))                                                                                      \
            function(location, __VA_ARGS__);                                                                           \
    } while (false)

void Shader::setParameter1f(const char* name, float x)
{
    TABULA_UNIFORM(glUniform1fARB, x);
}
void Shader::setParameter2f(const char* name, float x, float y)
{
    TABULA_UNIFORM(glUniform2fARB, x, y);
}
void Shader::setParameter3f(const char* name, float x, float y, float z)
{
    TABULA_UNIFORM(glUniform3fARB, x, y, z);
}
void Shader::setParameter4f(const char* name, float x, float y, float z, float w)
{
    TABULA_UNIFORM(glUniform4fARB, x, y, z, w);
}
void Shader::setParameter1fv(const char* name, float* values)
{
    TABULA_UNIFORM(glUniform1fvARB, 1, values);
}
void Shader::setParameter2fv(const char* name, float* values)
{
    TABULA_UNIFORM(glUniform2fvARB, 1, values);
}
void Shader::setParameter3fv(const char* name, float* values)
{
    TABULA_UNIFORM(glUniform3fvARB, 1, values);
}
void Shader::setParameter4fv(const char* name, float* values)
{
    TABULA_UNIFORM(glUniform4fvARB, 1, values);
}
void Shader::setParameterArray1f(const char* name, unsigned int count, float* values)
{
    TABULA_UNIFORM(glUniform1fvARB, static_cast<GLsizei>(count), values);
}
void Shader::setParameterArray2f(const char* name, unsigned int count, float* values)
{
    TABULA_UNIFORM(glUniform2fvARB, static_cast<GLsizei>(count), values);
}
void Shader::setParameterArray3f(const char* name, unsigned int count, float* values)
{
    TABULA_UNIFORM(glUniform3fvARB, static_cast<GLsizei>(count), values);
}
void Shader::setParameterArray4f(const char* name, unsigned int count, float* values)
{
    TABULA_UNIFORM(glUniform4fvARB, static_cast<GLsizei>(count), values);
}
void Shader::setParameter4x4fr(const char* name, float* matrix)
{
    TABULA_UNIFORM(glUniformMatrix4fvARB, 1, GL_TRUE, matrix);
}
void Shader::setParameter4x4fc(const char* name, float* matrix)
{
    TABULA_UNIFORM(glUniformMatrix4fvARB, 1, GL_FALSE, matrix);
}
void Shader::setParameterArray4x4fr(const char* name, unsigned int count, float* matrices)
{
    TABULA_UNIFORM(glUniformMatrix4fvARB, static_cast<GLsizei>(count), GL_TRUE, matrices);
}
void Shader::setParameterArray4x4fc(const char* name, unsigned int count, float* matrices)
{
    TABULA_UNIFORM(glUniformMatrix4fvARB, static_cast<GLsizei>(count), GL_FALSE, matrices);
}

void Shader::getParameter(const char* name, float* out)
{
    const int location = getParameterHandle(name);
    if (TABULA_HAS(glGetUniformfvARB))
        glGetUniformfvARB(m_Program, location, out);
}

void Shader::getParameter1f(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameter2f(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameter3f(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameter4f(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameter4x4fr(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameter4x4fc(const char* name, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray1f(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray2f(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray3f(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray4f(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray4x4fr(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}
void Shader::getParameterArray4x4fc(const char* name, unsigned int, float* out)
{
    getParameter(name, out);
}

void Shader::setTextureParameter(unsigned int target, const char* name, unsigned int texture, unsigned int unit)
{
    if (TABULA_HAS(glActiveTexture))
        glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
    const int location = getParameterHandle(name);
    if (TABULA_HAS(glUniform1iARB))
        glUniform1iARB(location, static_cast<GLint>(unit));
}

void Shader::setTexture1DParameter(const char* name, unsigned int texture, unsigned int unit)
{
    setTextureParameter(GL_TEXTURE_1D, name, texture, unit);
}
void Shader::setTexture2DParameter(const char* name, unsigned int texture, unsigned int unit)
{
    setTextureParameter(GL_TEXTURE_2D, name, texture, unit);
}
void Shader::setTexture3DParameter(const char* name, unsigned int texture, unsigned int unit)
{
    setTextureParameter(GL_TEXTURE_3D, name, texture, unit);
}
void Shader::setTextureRectangleParameter(const char* name, unsigned int texture, unsigned int unit)
{
    setTextureParameter(GL_TEXTURE_RECTANGLE_ARB, name, texture, unit);
}

} // namespace Rendering
