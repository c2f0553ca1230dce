#pragma once

#include <windows.h>

#include <d3d11.h>

#include <memory>

#include "render3d/Renderer.h"

class CDirect3D11Shaders;
class CPixelBitmap;
class CScene;

// The Direct3D 11 back end: a device with a swap chain per view window and
// one shared device without a window for off-screen pictures; immutable
// buffers per mesh, the two compiled shader pairs of
// render3d/Direct3D11ShaderBlobs.h with a colour per vertex, one constant
// buffer of the placement, written when it changes, and pipeline states
// made once per device. "d3d11.dll" is loaded at run time; nothing of it is
// linked.
//
// Every device, context and swap-chain call is skipped once the
// "Direct3D11" system has failed in this run (drawing asks once a frame);
// every HRESULT goes through CheckResult, and a missing interface counts
// as a failure (severity 3).
class CDirect3D11Renderer : public CRenderer
{
public:
    CDirect3D11Renderer();
    // ReleaseDevice.
    ~CDirect3D11Renderer() override;

    // ---- Render-target slots ----------------------------------------------------
    CGraphicsBackEnd& GetGraphicsSystem() const override;
    // Device, swap chain and states for the window. The first window of a
    // run takes the device the probe made instead of making one.
    void AttachToWindow(HWND window) override;

    // The shared off-screen renderer, made on first use and never destroyed;
    // the probe gives it its device, which goes on to the first window. It
    // makes another when it next renders.
    static CDirect3D11Renderer& GetOffscreenRenderer();
    // A device of this renderer's own: feature level, adapter trace, states.
    // The first call after MakeDirect3D11DeviceAhead takes the device made
    // ahead.
    bool CreateDevice();
    // Devices made in this run (one made ahead once it is taken).
    static int GetDevicesMade() { return s_devicesMade; }
    // One tile of the scene into the bitmap, bottom row first. A bitmap
    // without pixels is left alone; after a failure every pixel is white.
    void RenderToBitmap(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight, float tileX,
                        float tileY);
    // Drops caches, shader sets, states, buffers, context and device.
    void ReleaseDevice();

    // The severity of a failing HRESULT: 1 a lost or busy device, 2 out of
    // memory, 3 anything else.
    static int SeverityOf(HRESULT result);
    // Reports any result but S_OK on the "Direct3D11" system; false then.
    static bool CheckResult(HRESULT result);
    // False once the system has failed in this run.
    static bool IsUsable();
    // Reports a missing interface (trace value 999); false then, or when
    // the system has failed.
    static bool Have(bool present);

    // ---- For the meshes and shader sets ------------------------------------------
    ID3D11Device* GetDevice() const { return m_device; }
    ID3D11DeviceContext* GetContext() const { return m_context; }
    const float* GetProjection() const { return m_camera.GetProjectionMatrix(); }
    // The shader pair (and the placement's constant buffer) made when
    // missing; false when they cannot be.
    bool MakeShaders(bool textured);
    // Inside a frame: the transform places the runs that follow.
    void SetPlacement(const CTransform& transform);
    // Inside a frame: the shader pair for the texture's view (null:
    // untextured) applied, the view bound and blending on or off.
    void PrepareRun(ID3D11ShaderResourceView* view, bool blended);

    // What the probe found for the run: the buffer format (28, or 87 where
    // 28 cannot be shown), the sample count and quality.
    static DXGI_FORMAT s_bufferFormat;
    static UINT s_sampleCount;
    static UINT s_sampleQuality;
    // The probe's device waits in the off-screen renderer for the first
    // window, so that a start makes one device before its first picture.
    static bool s_deviceKeptForWindow;

protected:
    bool BeginFrame() override;
    void EndFrame() override;
    void Begin3D() override;
    void End3D() override;
    CTexture* CreateTexture() override;
    CMesh* CreateMesh(const std::vector<CGraphicsVertex>& vertices) override;

private:
    // The other renderer's device and context become this renderer's; the
    // other drops what it made on them.
    void TakeDevice(CDirect3D11Renderer& from);
    void CreateStates();
    void CreateDepthBuffer(UINT width, UINT height);
    // The colour and depth buffers and their views.
    void ReleaseBuffers();

    HWND m_window = nullptr;
    ID3D11Device* m_device = nullptr;
    ID3D11DeviceContext* m_context = nullptr;
    IDXGISwapChain* m_swapChain = nullptr;
    ID3D11Texture2D* m_colourBuffer = nullptr;
    ID3D11RenderTargetView* m_renderTargetView = nullptr;
    ID3D11Texture2D* m_depthBuffer = nullptr;
    ID3D11DepthStencilView* m_depthView = nullptr;
    ID3D11DepthStencilState* m_depthState3D = nullptr;
    ID3D11DepthStencilState* m_depthState2D = nullptr;
    ID3D11BlendState* m_blendState = nullptr;
    ID3D11SamplerState* m_sampler = nullptr;
    ID3D11RasterizerState* m_rasterizer3D = nullptr;
    ID3D11RasterizerState* m_rasterizer2D = nullptr;
    float m_bufferWidth = 0.0f;
    float m_bufferHeight = 0.0f;
    D3D11_TEXTURE2D_DESC m_offscreenDescription = {};
    // Untextured, textured.
    std::unique_ptr<CDirect3D11Shaders> m_shaders[2];
    CDirect3D11Shaders* m_currentShaders = nullptr;
    // The placement of the runs drawn now; the view bound and blending,
    // within a frame.
    ID3D11Buffer* m_placementConstants = nullptr;
    CTransform m_placement;
    bool m_placementSet = false;
    ID3D11ShaderResourceView* m_boundView = nullptr;
    bool m_blending = false;

    static int s_devicesMade;
};

// Loads "d3d11.dll" on first call and keeps it; whether it is loaded.
bool LoadDirect3D11Library();
// Starts making the device of the coming probe on a thread of its own, so
// that the rest of start-up goes on meanwhile: loading the library and
// making a device take longer than anything else before a first picture.
// The thread makes that one call and reports nothing: a failed result or a
// fault there fails the system when the probe takes the device. Does
// nothing once the system has been probed.
void MakeDirect3D11DeviceAhead();
// Once per run through the descriptor: the library and its entry point, the
// shared device (the one made ahead, waited for when its thread still runs),
// buffer format and samples, all without failure. The device is then kept
// for the first window.
bool ProbeDirect3D11();
