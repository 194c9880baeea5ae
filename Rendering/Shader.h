#pragma once

#include <TabulaExport.h>

#include <string>

namespace Rendering
{

/// A GLSL program from a vertex and a fragment source file. The engine builds
/// it during its OpenGL set-up (init) and uses it for the lit pass of every
/// frame. Every uniform accessor ends the process with exit(1) when the linked
/// program has no uniform of that name (including one the compiler dropped).
/// Entry points that the OpenGL implementation lacks (GLEW leaves them null)
/// are skipped, never called. The source arrays are freed once compiled.
class TABULA_EXPORT Shader
{
public:
    Shader() = default;
    Shader(const std::string& vertexFile, const std::string& fragmentFile);
    Shader(const Shader&) = delete;
    Shader& operator=(const Shader&) = delete;
    ~Shader();

    /// Reads, compiles and links; needs a context and glewInit.
    void init();
    /// Whole file plus a terminating zero, new[]-allocated and owned by the
    /// caller; null when the file does not open.
    char* load(const std::string& fileName);
    void apply();
    static void unApply();
    static bool shaderIsAvailable();
    int getParameterHandle(const char* name);

    unsigned int getProgram() const { return m_Program; }

    void setParameter1f(const char* name, float x);
    void setParameter2f(const char* name, float x, float y);
    void setParameter3f(const char* name, float x, float y, float z);
    void setParameter4f(const char* name, float x, float y, float z, float w);
    void setParameter1fv(const char* name, float* values);
    void setParameter2fv(const char* name, float* values);
    void setParameter3fv(const char* name, float* values);
    void setParameter4fv(const char* name, float* values);
    void setParameterArray1f(const char* name, unsigned int count, float* values);
    void setParameterArray2f(const char* name, unsigned int count, float* values);
    void setParameterArray3f(const char* name, unsigned int count, float* values);
    void setParameterArray4f(const char* name, unsigned int count, float* values);
    /// Row-by-row matrices (OpenGL transposes them).
    void setParameter4x4fr(const char* name, float* matrix);
    /// Column-by-column matrices, OpenGL's own order.
    void setParameter4x4fc(const char* name, float* matrix);
    void setParameterArray4x4fr(const char* name, unsigned int count, float* matrices);
    void setParameterArray4x4fc(const char* name, unsigned int count, float* matrices);

    /// All getters read the whole uniform into `out` (column order for
    /// matrices); `out` must have room for it.
    void getParameter1f(const char* name, float* out);
    void getParameter2f(const char* name, float* out);
    void getParameter3f(const char* name, float* out);
    void getParameter4f(const char* name, float* out);
    void getParameter4x4fr(const char* name, float* out);
    void getParameter4x4fc(const char* name, float* out);
    void getParameterArray1f(const char* name, unsigned int count, float* out);
    void getParameterArray2f(const char* name, unsigned int count, float* out);
    void getParameterArray3f(const char* name, unsigned int count, float* out);
    void getParameterArray4f(const char* name, unsigned int count, float* out);
    void getParameterArray4x4fr(const char* name, unsigned int count, float* out);
    void getParameterArray4x4fc(const char* name, unsigned int count, float* out);

    /// Make `unit` active, bind `texture` on it, set sampler `name` to `unit`.
    void setTexture1DParameter(const char* name, unsigned int texture, unsigned int unit);
    void setTexture2DParameter(const char* name, unsigned int texture, unsigned int unit);
    void setTexture3DParameter(const char* name, unsigned int texture, unsigned int unit);
    void setTextureRectangleParameter(const char* name, unsigned int texture, unsigned int unit);

private:
    void setTextureParameter(unsigned int target, const char* name, unsigned int texture, unsigned int unit);
    void getParameter(const char* name, float* out);
    unsigned int compile(unsigned int type, const char* source, const std::string& fileName);

    unsigned int m_Program = 0;
    unsigned int m_VertexShader = 0;
    unsigned int m_FragmentShader = 0;
    std::string m_VertexFile;
    std::string m_FragmentFile;
};

} // namespace Rendering
