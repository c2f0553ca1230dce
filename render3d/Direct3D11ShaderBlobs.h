#pragma once

#include <cstddef>

// Compiled byte code of render3d/Direct3D11Shaders.hlsl (shader model 4.0),
// made by tools/compile-shaders.cpp and committed.
struct CDirect3D11ShaderBlob
{
    const unsigned char* bytes;
    size_t size;
};

// The vertex shader of a pair at (textured ? 2 : 0) + (colour per vertex ?
// 4 : 0), its pixel shader one after it.
extern const CDirect3D11ShaderBlob kDirect3D11ShaderBlobs[8];
