#pragma once

#include <cstdint>

// The compiled-in meshes of the figures (tools/make-figure-meshes.py writes
// them): packed vertices, skin weights, texture coordinates and triangle
// corners in the tables of CPackedModel, and the part tree.
struct CFigurePartRow
{
    int parent;
    int weightedCount;
    float offset[3];
    float restAngles[3];
};

struct CFigureData
{
    int vertexCount;
    float box[6];
    const uint16_t* packedVertices;
    const uint16_t* skinWeights;
    const uint16_t* textureCoordinates;
    const uint16_t* corners;
    int partCount;
    const CFigurePartRow* parts;
    int materialCount;
    const uint32_t* materialCorners;
};

const CFigureData& GetDogFigureData();
const CFigureData& GetHumanFigureData();
