// Compiles render3d/Direct3D11Shaders.hlsl into render3d/Direct3D11ShaderBlobs.cpp,
// the byte code the Direct3D 11 renderer carries, so that neither the build nor
// the program needs a shader compiler. A Win32 program run under Wine by the
// build target "direct3d11-shaders":
//
//     cmake --build build --target direct3d11-shaders
//
// It takes D3DCompile from d3dcompiler_47.dll. Each shader is compiled with the
// feature-level-9 profile (vs_4_0_level_9_1, ps_4_0_level_9_1); a compiler that
// accepts that name but leaves out the level-9 chunk ("Aon9") gets the plain
// shader model 4.0 profile instead, and the output names the profile used.
//
//     compile-shaders.exe source.hlsl output.cpp

#include <windows.h>

#include <d3dcompiler.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef HRESULT(WINAPI* PCompile)(LPCVOID, SIZE_T, LPCSTR, const D3D_SHADER_MACRO*, ID3DInclude*, LPCSTR, LPCSTR,
                                  UINT, UINT, ID3DBlob**, ID3DBlob**);

// Whether the container holds a chunk of that four-letter name.
bool HasChunk(const std::vector<unsigned char>& code, const char* name)
{
    if (code.size() < 32)
        return false;
    unsigned count = 0;
    std::memcpy(&count, &code[28], 4);
    for (unsigned i = 0; i < count && 32 + 4 * i + 4 <= code.size(); ++i) {
        unsigned offset = 0;
        std::memcpy(&offset, &code[32 + 4 * i], 4);
        if (offset + 4 <= code.size() && std::memcmp(&code[offset], name, 4) == 0)
            return true;
    }
    return false;
}

bool Compile(PCompile compile, const std::string& source, bool colorPerVertex, bool textured, bool vertex,
             bool level9, std::vector<unsigned char>& code)
{
    const D3D_SHADER_MACRO macros[] = {{"COLOR_PER_VERTEX", colorPerVertex ? "1" : "0"},
                                       {"TEXTURED", textured ? "1" : "0"}, {nullptr, nullptr}};
    const char* profile = vertex ? (level9 ? "vs_4_0_level_9_1" : "vs_4_0") : (level9 ? "ps_4_0_level_9_1" : "ps_4_0");
    ID3DBlob* blob = nullptr;
    ID3DBlob* errors = nullptr;
    const HRESULT result = compile(source.data(), source.size(), "Direct3D11Shaders.hlsl", macros, nullptr,
                                   vertex ? "VSMain" : "PSMain", profile, D3DCOMPILE_OPTIMIZATION_LEVEL3, 0, &blob,
                                   &errors);
    if (errors) {
        std::fprintf(stderr, "%s: %s\n", profile, static_cast<const char*>(errors->GetBufferPointer()));
        errors->Release();
    }
    if (FAILED(result) || !blob)
        return false;
    const auto* bytes = static_cast<const unsigned char*>(blob->GetBufferPointer());
    code.assign(bytes, bytes + blob->GetBufferSize());
    blob->Release();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: compile-shaders source.hlsl output.cpp\n");
        return 2;
    }
    HMODULE library = LoadLibraryW(L"d3dcompiler_47.dll");
    auto compile = library ? reinterpret_cast<PCompile>(GetProcAddress(library, "D3DCompile")) : nullptr;
    FILE* in = std::fopen(argv[1], "rb");
    if (!compile || !in) {
        std::fprintf(stderr, "no D3DCompile or no %s\n", argv[1]);
        return 1;
    }
    std::string source;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        source.append(buffer, n);
    std::fclose(in);

    std::string out =
        "// Made by tools/compile-shaders.cpp from render3d/Direct3D11Shaders.hlsl; do not edit.\n"
        "#include \"render3d/Direct3D11ShaderBlobs.h\"\n\nnamespace {\n\n";
    std::string table;
    const char* names[] = {"Plain", "Textured", "Colored", "ColoredTextured"};
    for (int index = 0; index < 8; ++index) {
        const bool textured = (index & 2) != 0, colorPerVertex = (index & 4) != 0, vertex = (index & 1) == 0;
        std::vector<unsigned char> code;
        bool level9 = Compile(compile, source, colorPerVertex, textured, vertex, true, code) && HasChunk(code, "Aon9");
        if (!level9 && !Compile(compile, source, colorPerVertex, textured, vertex, false, code))
            return 1;
        const std::string name = std::string("k") + names[index / 2] + (vertex ? "Vertex" : "Pixel");
        char line[160];
        std::snprintf(line, sizeof line, "// %s: %s, %u bytes.\nconst unsigned char %s[] = {", name.c_str() + 1,
                      vertex ? (level9 ? "vs_4_0_level_9_1" : "vs_4_0") : (level9 ? "ps_4_0_level_9_1" : "ps_4_0"),
                      unsigned(code.size()), name.c_str());
        out += line;
        for (size_t i = 0; i < code.size(); ++i) {
            std::snprintf(line, sizeof line, "%s%u,", i % 20 == 0 ? "\n    " : "", unsigned(code[i]));
            out += line;
        }
        out += "\n};\n\n";
        table += "    {" + name + ", sizeof " + name + "},\n";
    }
    out += "}  // namespace\n\nconst CDirect3D11ShaderBlob kDirect3D11ShaderBlobs[8] = {\n" + table + "};\n";
    FILE* file = std::fopen(argv[2], "wb");
    if (!file || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0)
        return 1;
    return 0;
}
