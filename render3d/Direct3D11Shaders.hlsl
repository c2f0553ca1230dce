// The four shader pairs of the Direct3D 11 renderer, one source compiled
// four times by tools/compile-shaders.cpp: COLOR_PER_VERTEX takes the colour
// from each vertex instead of "PSConstants", TEXTURED multiplies it by a
// sample of "colorTexture". Entry points: VSMain and PSMain.

cbuffer VSConstants : register(b0)
{
    // Row i is the i-th 16 bytes that the renderer writes.
    row_major float4x4 transform;
};

#if !COLOR_PER_VERTEX
cbuffer PSConstants : register(b0)
{
    float4 color;
};
#endif

#if TEXTURED
Texture2D colorTexture : register(t0);
SamplerState linearSampler : register(s0);
#endif

struct VSInput
{
    float3 position : POSITION;
#if COLOR_PER_VERTEX
    float4 color : COLOR;
#endif
#if TEXTURED
    float2 texCoords : TEXCOORDS;
#endif
};

struct PSInput
{
    float4 position : SV_POSITION;
#if COLOR_PER_VERTEX
    float4 color : COLOR;
#endif
#if TEXTURED
    float2 texCoords : TEXCOORDS;
#endif
};

PSInput VSMain(VSInput input)
{
    PSInput output;
    output.position = input.position.x * transform[0] + input.position.y * transform[1] +
                      input.position.z * transform[2] + transform[3];
#if COLOR_PER_VERTEX
    output.color = input.color;
#endif
#if TEXTURED
    output.texCoords = input.texCoords;
#endif
    return output;
}

float4 PSMain(PSInput input) : SV_TARGET
{
#if COLOR_PER_VERTEX
    float4 result = input.color;
#else
    float4 result = color;
#endif
#if TEXTURED
    // A triangle without a texture in a textured run keeps its colour: its
    // u lies below the renderer's kUntexturedLimit.
    float4 sampled = colorTexture.Sample(linearSampler, input.texCoords);
    if (input.texCoords.x < -1e29)
        sampled = float4(1.0, 1.0, 1.0, 1.0);
    result *= sampled;
#endif
    return result;
}
