#include "render3d/Direct3D11Renderer.h"

#include <cfloat>
#include <cstddef>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/FailureHandler.h"
#include "foundation/GuardedCall.h"
#include "foundation/Rgba.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Direct3D11ShaderBlobs.h"
#include "render3d/GraphicsSystem.h"
#include "ui/Scene.h"

DXGI_FORMAT CDirect3D11Renderer::s_bufferFormat = DXGI_FORMAT_R8G8B8A8_UNORM;
UINT CDirect3D11Renderer::s_sampleCount = 1;
UINT CDirect3D11Renderer::s_sampleQuality = 0;
bool CDirect3D11Renderer::s_deviceKeptForWindow = false;
int CDirect3D11Renderer::s_devicesMade = 0;

namespace {

// The SDK version the entry point takes.
const UINT kSdkVersion = 7;
// Every device can serve a window, the probe's included. Each is used by one
// thread at a time: the one made ahead passes to the user-interface thread
// only once the thread that made it has ended.
const UINT kDeviceFlags = D3D11_CREATE_DEVICE_SINGLETHREADED | D3D11_CREATE_DEVICE_BGRA_SUPPORT;
// Trace value of a call refused because its interface is missing.
const int32_t kMissingInterface = 999;

HMODULE s_library = nullptr;
PFN_D3D11_CREATE_DEVICE s_createDevice = nullptr;

template <typename T>
void Release(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

// A texture of one image: its view keeps the texture.
class CDirect3D11Texture : public CRenderer::CTexture
{
public:
    ~CDirect3D11Texture() override { Release(view); }

    ID3D11ShaderResourceView* view = nullptr;
    bool white = false;
};

// The device's adapter, which the caller releases; null after a report.
IDXGIAdapter* GetAdapterOf(ID3D11Device* device)
{
    IDXGIDevice* dxgiDevice = nullptr;
    IDXGIAdapter* adapter = nullptr;
    if (CDirect3D11Renderer::CheckResult(
            device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgiDevice))))
        CDirect3D11Renderer::CheckResult(dxgiDevice->GetAdapter(&adapter));
    Release(dxgiDevice);
    return adapter;
}

// A swap chain of the device for the window, made by the factory of the
// device's adapter as D3D11CreateDeviceAndSwapChain makes it; null after a
// report.
IDXGISwapChain* MakeSwapChain(ID3D11Device* device, HWND window, UINT width, UINT height)
{
    DXGI_SWAP_CHAIN_DESC description = {};
    description.BufferDesc = {width,
                              height,
                              {60, 1},
                              CDirect3D11Renderer::s_bufferFormat,
                              DXGI_MODE_SCANLINE_ORDER_UNSPECIFIED,
                              DXGI_MODE_SCALING_UNSPECIFIED};
    description.SampleDesc = {CDirect3D11Renderer::s_sampleCount, CDirect3D11Renderer::s_sampleQuality};
    description.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    description.BufferCount = 1;
    description.OutputWindow = window;
    description.Windowed = TRUE;
    description.SwapEffect = DXGI_SWAP_EFFECT_DISCARD;
    IDXGIAdapter* adapter = GetAdapterOf(device);
    IDXGIFactory* factory = nullptr;
    IDXGISwapChain* swapChain = nullptr;
    if (adapter && CDirect3D11Renderer::CheckResult(
                       adapter->GetParent(__uuidof(IDXGIFactory), reinterpret_cast<void**>(&factory))))
        CDirect3D11Renderer::CheckResult(factory->CreateSwapChain(device, &description, &swapChain));
    Release(factory);
    Release(adapter);
    return swapChain;
}

}  // namespace

// One shader pair with a colour per vertex and its input layout; the
// placement's constant buffer is the renderer's.
class CDirect3D11Shaders
{
public:
    CDirect3D11Shaders(CDirect3D11Renderer& renderer, bool textured)
    {
        ID3D11Device* device = renderer.GetDevice();
        if (!CDirect3D11Renderer::Have(device))
            return;
        // Every vertex buffer holds whole CGraphicsVertex records: the
        // pair without a texture leaves the texture coordinates unread.
        const D3D11_INPUT_ELEMENT_DESC layout[] = {
            {"POSITION", 0, DXGI_FORMAT_R32G32B32_FLOAT, 0, UINT(offsetof(CGraphicsVertex, x)),
             D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"COLOR", 0, DXGI_FORMAT_R8G8B8A8_UNORM, 0, UINT(offsetof(CGraphicsVertex, color)),
             D3D11_INPUT_PER_VERTEX_DATA, 0},
            {"TEXCOORDS", 0, DXGI_FORMAT_R32G32_FLOAT, 0, UINT(offsetof(CGraphicsVertex, u)),
             D3D11_INPUT_PER_VERTEX_DATA, 0},
        };
        const UINT count = textured ? 3 : 2;
        // The blobs of the pairs with a colour per vertex.
        const int index = 4 + (textured ? 2 : 0);
        const CDirect3D11ShaderBlob& vertex = kDirect3D11ShaderBlobs[index];
        const CDirect3D11ShaderBlob& pixel = kDirect3D11ShaderBlobs[index + 1];
        if (CDirect3D11Renderer::IsUsable())
            CDirect3D11Renderer::CheckResult(
                device->CreateInputLayout(layout, count, vertex.bytes, vertex.size, &m_inputLayout));
        if (CDirect3D11Renderer::IsUsable())
            CDirect3D11Renderer::CheckResult(
                device->CreateVertexShader(vertex.bytes, vertex.size, nullptr, &m_vertexShader));
        if (CDirect3D11Renderer::IsUsable())
            CDirect3D11Renderer::CheckResult(device->CreatePixelShader(pixel.bytes, pixel.size, nullptr, &m_pixelShader));
    }
    ~CDirect3D11Shaders()
    {
        Release(m_pixelShader);
        Release(m_vertexShader);
        Release(m_inputLayout);
    }
    CDirect3D11Shaders(const CDirect3D11Shaders&) = delete;
    CDirect3D11Shaders& operator=(const CDirect3D11Shaders&) = delete;

    void Apply(ID3D11DeviceContext* context, ID3D11Buffer* placement, ID3D11SamplerState* sampler)
    {
        context->IASetInputLayout(m_inputLayout);
        context->IASetPrimitiveTopology(D3D11_PRIMITIVE_TOPOLOGY_TRIANGLELIST);
        context->VSSetShader(m_vertexShader, nullptr, 0);
        context->GSSetShader(nullptr, nullptr, 0);
        context->PSSetShader(m_pixelShader, nullptr, 0);
        context->VSSetConstantBuffers(0, 1, &placement);
        context->PSSetSamplers(0, 1, &sampler);
    }

private:
    ID3D11InputLayout* m_inputLayout = nullptr;
    ID3D11VertexShader* m_vertexShader = nullptr;
    ID3D11PixelShader* m_pixelShader = nullptr;
};

namespace {

// One segment in immutable buffers, the index buffer made again whenever
// the triangles change, and their runs.
class CDirect3D11Mesh : public CRenderer::CMesh
{
public:
    struct CRun
    {
        // Not owned: the texture's; null for untextured triangles.
        ID3D11ShaderResourceView* view = nullptr;
        bool blended = false;
        UINT firstIndex = 0;
        UINT indexCount = 0;
    };

    explicit CDirect3D11Mesh(CDirect3D11Renderer& renderer) : m_renderer(renderer) {}
    ~CDirect3D11Mesh() override
    {
        Release(vertexBuffer);
        Release(m_indexBuffer);
    }

    void SetTriangles(const std::vector<uint16_t>& indices, const std::vector<CRenderer::CRun>& runs) override
    {
        m_runs.clear();
        Release(m_indexBuffer);
        // The textured pair leaves untextured triangles' colours alone.
        for (const CRenderer::CRun& run : CRenderer::JoinRuns(runs)) {
            auto* texture = dynamic_cast<CDirect3D11Texture*>(run.texture);
            if (run.texture && !texture) {
                TRACE_POINT();
                ReportFailure();
            }
            if (!m_renderer.MakeShaders(texture != nullptr))
                return;
            m_runs.push_back({texture ? texture->view : nullptr, !run.opaque, UINT(run.firstIndex),
                              UINT(run.indexCount)});
        }
        const D3D11_BUFFER_DESC description = {UINT(sizeof(uint16_t) * indices.size()), D3D11_USAGE_IMMUTABLE,
                                               D3D11_BIND_INDEX_BUFFER, 0, 0, UINT(sizeof(uint16_t))};
        const D3D11_SUBRESOURCE_DATA data = {indices.data(), 0, 0};
        if (!CDirect3D11Renderer::CheckResult(m_renderer.GetDevice()->CreateBuffer(&description, &data, &m_indexBuffer)) ||
            !CDirect3D11Renderer::Have(m_indexBuffer))
            m_runs.clear();
    }

    void Draw(const CTransform& transform) override
    {
        ID3D11DeviceContext* context = m_renderer.GetContext();
        m_renderer.SetPlacement(transform);
        const UINT stride = sizeof(CGraphicsVertex);
        const UINT offset = 0;
        context->IASetVertexBuffers(0, 1, &vertexBuffer, &stride, &offset);
        context->IASetIndexBuffer(m_indexBuffer, DXGI_FORMAT_R16_UINT, 0);
        for (const CRun& run : m_runs) {
            m_renderer.PrepareRun(run.view, run.blended);
            context->DrawIndexed(run.indexCount, run.firstIndex, 0);
            m_renderer.CountDraw(run.indexCount / 3);
        }
    }

    ID3D11Buffer* vertexBuffer = nullptr;

private:
    CDirect3D11Renderer& m_renderer;
    ID3D11Buffer* m_indexBuffer = nullptr;
    std::vector<CRun> m_runs;
};

}  // namespace

// ---- The library and the run's findings ----------------------------------------------

bool LoadDirect3D11Library()
{
    static bool tried = false;
    if (!tried) {
        tried = true;
        s_library = LoadLibraryW(L"d3d11.dll");
    }
    return s_library != nullptr;
}

namespace {

// The library and its entry point, looked for once; false when either is
// missing.
bool FindCreateDevice()
{
    if (!LoadDirect3D11Library())
        return false;
    if (!s_createDevice)
        s_createDevice = reinterpret_cast<PFN_D3D11_CREATE_DEVICE>(
            reinterpret_cast<void*>(GetProcAddress(s_library, "D3D11CreateDevice")));
    return s_createDevice != nullptr;
}

// The default adapter's hardware device at the highest feature level it
// offers.
HRESULT CallCreateDevice(ID3D11Device** device, D3D_FEATURE_LEVEL* level, ID3D11DeviceContext** context)
{
    return s_createDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, kDeviceFlags, nullptr, 0, kSdkVersion, device,
                          level, context);
}

// The device made ahead (MakeDirect3D11DeviceAhead). Its thread loads the
// library and makes the device, nothing else, and reports nothing: the
// user-interface thread looks at what it left only once the thread has
// ended, and checks it then as if it had made the device itself. A fault
// inside the library on that thread reaches this handler alone.
class CDeviceAhead final : public CFailureHandler
{
public:
    void ReportFailure(int) override { faulted = true; }
    void CompleteHeldReport() override {}

    HANDLE thread = nullptr;
    bool faulted = false;
    // The device call returned; its results wait for the next CreateDevice.
    bool made = false;
    HRESULT result = E_FAIL;
    ID3D11Device* device = nullptr;
    ID3D11DeviceContext* context = nullptr;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_9_1;
};

CDeviceAhead s_ahead;

DWORD WINAPI MakeDeviceAhead(void*)
{
    CallGraphicsGuarded(&s_ahead, [] {
        if (!FindCreateDevice())
            return;
        s_ahead.result = CallCreateDevice(&s_ahead.device, &s_ahead.level, &s_ahead.context);
        s_ahead.made = true;
    });
    return 0;
}

// Waits for the thread of MakeDirect3D11DeviceAhead while it runs. A fault
// on it fails the system; what the library was left holding is not touched.
void FinishDeviceAhead()
{
    if (!s_ahead.thread)
        return;
    TRACE_POINT();
    WaitForSingleObject(s_ahead.thread, INFINITE);
    CloseHandle(s_ahead.thread);
    s_ahead.thread = nullptr;
    if (s_ahead.faulted) {
        s_ahead.made = false;
        CDirect3D11GraphicsSystem::Instance().ReportFailure(3);
    }
}

// The device made ahead, taken once (waited for while its thread runs), or
// else one made now; the result of the call that made it.
HRESULT TakeOrMakeDevice(ID3D11Device** device, D3D_FEATURE_LEVEL* level, ID3D11DeviceContext** context)
{
    FinishDeviceAhead();
    if (!s_ahead.made)
        return CallCreateDevice(device, level, context);
    s_ahead.made = false;
    *device = s_ahead.device;
    *level = s_ahead.level;
    *context = s_ahead.context;
    return s_ahead.result;
}

}  // namespace

void MakeDirect3D11DeviceAhead()
{
    TRACE_POINT();
    if (s_ahead.thread || s_ahead.made || CDirect3D11GraphicsSystem::Instance().GetAvailability() != 0)
        return;
    s_ahead.thread = CreateThread(nullptr, 0, &MakeDeviceAhead, nullptr, 0, nullptr);
    // Without the thread the probe makes the device itself.
    if (!s_ahead.thread)
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
}

int CDirect3D11Renderer::SeverityOf(HRESULT result)
{
    switch (uint32_t(result)) {
    case 0x887A0005:  // DXGI_ERROR_DEVICE_REMOVED
    case 0x887A0007:  // DXGI_ERROR_DEVICE_RESET
    case 0x887A000A:  // DXGI_ERROR_WAS_STILL_DRAWING
    case 0x887A000B:  // DXGI_ERROR_FRAME_STATISTICS_DISJOINT
    case 0x887A000C:  // DXGI_ERROR_GRAPHICS_VIDPN_SOURCE_IN_USE
    case 0x887A0022:  // DXGI_ERROR_NOT_CURRENTLY_AVAILABLE
        return 1;
    case 0x8007000E:  // E_OUTOFMEMORY
    case 0x8876017C:  // D3DERR_OUTOFVIDEOMEMORY
        return 2;
    default:
        return 3;
    }
}

bool CDirect3D11Renderer::CheckResult(HRESULT result)
{
    if (result == S_OK)
        return true;
    TRACE_VALUE(int32_t, int32_t(result));
    CDirect3D11GraphicsSystem::Instance().ReportFailure(SeverityOf(result));
    return false;
}

bool CDirect3D11Renderer::IsUsable() { return CDirect3D11GraphicsSystem::Instance().GetCurrentError() == 0; }

bool CDirect3D11Renderer::Have(bool present)
{
    if (!IsUsable())
        return false;
    if (present)
        return true;
    TRACE_VALUE(int32_t, kMissingInterface);
    CDirect3D11GraphicsSystem::Instance().ReportFailure(3);
    return false;
}

// ---- Life -----------------------------------------------------------------------------

CDirect3D11Renderer::CDirect3D11Renderer() = default;

CDirect3D11Renderer::~CDirect3D11Renderer()
{
    TRACE_POINT();
    ReleaseDevice();
}

CGraphicsBackEnd& CDirect3D11Renderer::GetGraphicsSystem() const { return CDirect3D11GraphicsSystem::Instance(); }

CDirect3D11Renderer& CDirect3D11Renderer::GetOffscreenRenderer()
{
    static CDirect3D11Renderer* renderer = new CDirect3D11Renderer();
    return *renderer;
}

void CDirect3D11Renderer::ReleaseBuffers()
{
    Release(m_renderTargetView);
    Release(m_colourBuffer);
    Release(m_depthView);
    Release(m_depthBuffer);
}

void CDirect3D11Renderer::ReleaseDevice()
{
    if (m_context && IsUsable()) {
        m_context->ClearState();
        m_context->Flush();
    }
    ClearCaches();
    for (std::unique_ptr<CDirect3D11Shaders>& shaders : m_shaders)
        shaders.reset();
    m_currentShaders = nullptr;
    Release(m_placementConstants);
    m_bufferWidth = m_bufferHeight = 0.0f;
    Release(m_swapChain);
    ReleaseBuffers();
    Release(m_depthState3D);
    Release(m_depthState2D);
    Release(m_blendState);
    Release(m_sampler);
    Release(m_rasterizer3D);
    Release(m_rasterizer2D);
    Release(m_context);
    Release(m_device);
}

void CDirect3D11Renderer::AttachToWindow(HWND window)
{
    TRACE_POINT();
    m_window = window;
    if (!IsUsable())
        return;
    CDirect3D11Renderer& offscreen = GetOffscreenRenderer();
    if (s_deviceKeptForWindow && offscreen.m_device) {
        s_deviceKeptForWindow = false;
        TakeDevice(offscreen);
    } else if (!CreateDevice()) {
        return;
    }
    // Never a buffer without pixels: a window not laid out yet gets 1 x 1.
    const UINT width = std::max(1u, UINT(m_camera.GetWindowWidth()));
    const UINT height = std::max(1u, UINT(m_camera.GetWindowHeight()));
    m_swapChain = MakeSwapChain(m_device, window, width, height);
    if (!m_swapChain)
        return;
    m_bufferWidth = float(width);
    m_bufferHeight = float(height);
}

void CDirect3D11Renderer::TakeDevice(CDirect3D11Renderer& from)
{
    TRACE_POINT();
    m_device = from.m_device;
    m_device->AddRef();
    m_context = from.m_context;
    m_context->AddRef();
    // Leaves the context without state and drops what the other renderer
    // made on the device.
    from.ReleaseDevice();
    CreateStates();
}

bool CDirect3D11Renderer::CreateDevice()
{
    TRACE_POINT();
    if (!Have(s_createDevice))
        return false;
    ++s_devicesMade;
    D3D_FEATURE_LEVEL level = D3D_FEATURE_LEVEL_9_1;
    if (!CheckResult(TakeOrMakeDevice(&m_device, &level, &m_context)) || !Have(m_device) || !Have(m_context))
        return false;
    IDXGIAdapter* adapter = GetAdapterOf(m_device);
    DXGI_ADAPTER_DESC adapterDescription = {};
    if (adapter && CheckResult(adapter->GetDesc(&adapterDescription))) {
        // The adapter's vendor and device, then the feature level as major * 10 + minor.
        TRACE_VALUE(int32_t, int32_t(adapterDescription.VendorId << 16 | (adapterDescription.DeviceId & 0xFFFF)));
        TRACE_VALUE(int32_t, int32_t((level >> 12) * 10 + ((level >> 8) & 0xF)));
    }
    Release(adapter);
    CDirect3D11GraphicsSystem::Instance().SetFeatureLevel11((level >> 12) > 10);
    CreateStates();
    return IsUsable();
}

void CDirect3D11Renderer::CreateStates()
{
    if (!Have(m_device))
        return;
    D3D11_DEPTH_STENCIL_DESC depth = {};
    depth.DepthEnable = TRUE;
    depth.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ALL;
    depth.DepthFunc = D3D11_COMPARISON_LESS_EQUAL;
    depth.StencilReadMask = depth.StencilWriteMask = 0xFF;
    depth.FrontFace = {D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_STENCIL_OP_KEEP, D3D11_COMPARISON_ALWAYS};
    depth.BackFace = depth.FrontFace;
    CheckResult(m_device->CreateDepthStencilState(&depth, &m_depthState3D));
    depth.DepthEnable = FALSE;
    depth.DepthWriteMask = D3D11_DEPTH_WRITE_MASK_ZERO;
    if (IsUsable())
        CheckResult(m_device->CreateDepthStencilState(&depth, &m_depthState2D));

    D3D11_BLEND_DESC blend = {};
    blend.RenderTarget[0] = {TRUE,
                             D3D11_BLEND_SRC_ALPHA,
                             D3D11_BLEND_INV_SRC_ALPHA,
                             D3D11_BLEND_OP_ADD,
                             D3D11_BLEND_ONE,
                             D3D11_BLEND_INV_SRC_ALPHA,
                             D3D11_BLEND_OP_ADD,
                             D3D11_COLOR_WRITE_ENABLE_ALL};
    if (IsUsable())
        CheckResult(m_device->CreateBlendState(&blend, &m_blendState));

    D3D11_SAMPLER_DESC sampler = {};
    sampler.Filter = D3D11_FILTER_MIN_MAG_MIP_POINT;
    sampler.AddressU = sampler.AddressV = sampler.AddressW = D3D11_TEXTURE_ADDRESS_WRAP;
    sampler.MaxAnisotropy = 16;
    sampler.ComparisonFunc = D3D11_COMPARISON_NEVER;
    sampler.BorderColor[0] = sampler.BorderColor[1] = sampler.BorderColor[2] = sampler.BorderColor[3] = 1.0f;
    sampler.MinLOD = -FLT_MAX;
    sampler.MaxLOD = FLT_MAX;
    if (IsUsable())
        CheckResult(m_device->CreateSamplerState(&sampler, &m_sampler));

    D3D11_RASTERIZER_DESC rasterizer = {};
    rasterizer.FillMode = D3D11_FILL_SOLID;
    rasterizer.CullMode = D3D11_CULL_BACK;
    rasterizer.FrontCounterClockwise = TRUE;
    rasterizer.DepthClipEnable = TRUE;
    if (IsUsable())
        CheckResult(m_device->CreateRasterizerState(&rasterizer, &m_rasterizer3D));
    rasterizer.CullMode = D3D11_CULL_NONE;
    if (IsUsable())
        CheckResult(m_device->CreateRasterizerState(&rasterizer, &m_rasterizer2D));
}

void CDirect3D11Renderer::CreateDepthBuffer(UINT width, UINT height)
{
    Release(m_depthView);
    Release(m_depthBuffer);
    D3D11_TEXTURE2D_DESC description = {};
    description.Width = width;
    description.Height = height;
    description.MipLevels = description.ArraySize = 1;
    description.Format = DXGI_FORMAT_D24_UNORM_S8_UINT;
    description.SampleDesc = {s_sampleCount, s_sampleQuality};
    description.Usage = D3D11_USAGE_DEFAULT;
    description.BindFlags = D3D11_BIND_DEPTH_STENCIL;
    if (CheckResult(m_device->CreateTexture2D(&description, nullptr, &m_depthBuffer)) && Have(m_depthBuffer))
        CheckResult(m_device->CreateDepthStencilView(m_depthBuffer, nullptr, &m_depthView));
}

void CDirect3D11Renderer::SetPlacement(const CTransform& transform)
{
    if (m_placementSet && transform == m_placement)
        return;
    m_placement = transform;
    m_placementSet = true;
    // Projection times placement, its depth taken from -w..w to 0..w.
    float matrix[16];
    ToClipSpace(GetProjection(), transform, matrix);
    for (int column = 0; column < 4; ++column)
        matrix[column * 4 + 2] = (matrix[column * 4 + 2] + matrix[column * 4 + 3]) * 0.5f;
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (!CheckResult(m_context->Map(m_placementConstants, 0, D3D11_MAP_WRITE_DISCARD, 0, &mapped)) ||
        !Have(mapped.pData))
        return;
    std::memcpy(mapped.pData, matrix, sizeof matrix);
    m_context->Unmap(m_placementConstants, 0);
}

void CDirect3D11Renderer::PrepareRun(ID3D11ShaderResourceView* view, bool blended)
{
    CDirect3D11Shaders& shaders = *m_shaders[view ? 1 : 0];
    if (m_currentShaders != &shaders) {
        shaders.Apply(m_context, m_placementConstants, m_sampler);
        m_currentShaders = &shaders;
    }
    if (view && view != m_boundView) {
        m_context->PSSetShaderResources(0, 1, &view);
        m_boundView = view;
    }
    if (blended != m_blending) {
        m_context->OMSetBlendState(blended ? m_blendState : nullptr, nullptr, 0xFFFFFFFF);
        m_blending = blended;
    }
}

// ---- The frame ----------------------------------------------------------------------

bool CDirect3D11Renderer::BeginFrame()
{
    if (!Have(m_device) || !Have(m_context))
        return false;
    const float width = m_camera.GetWindowWidth();
    const float height = m_camera.GetWindowHeight();
    // A window without pixels (minimised, not laid out yet) draws nothing.
    if (UINT(width) < 1 || UINT(height) < 1)
        return false;
    if (m_window) {
        if (!Have(m_swapChain))
            return false;
        if (width != m_bufferWidth || height != m_bufferHeight) {
            m_context->OMSetRenderTargets(0, nullptr, nullptr);
            Release(m_renderTargetView);
            Release(m_colourBuffer);
            if (!CheckResult(m_swapChain->ResizeBuffers(0, UINT(width), UINT(height), DXGI_FORMAT_UNKNOWN, 0)))
                return false;
            m_bufferWidth = width;
            m_bufferHeight = height;
        }
        if (!m_colourBuffer &&
            !CheckResult(m_swapChain->GetBuffer(0, __uuidof(ID3D11Texture2D), reinterpret_cast<void**>(&m_colourBuffer))))
            return false;
    } else if (!m_colourBuffer &&
               !CheckResult(m_device->CreateTexture2D(&m_offscreenDescription, nullptr, &m_colourBuffer))) {
        return false;
    }
    if (!m_renderTargetView) {
        if (!Have(m_colourBuffer) ||
            !CheckResult(m_device->CreateRenderTargetView(m_colourBuffer, nullptr, &m_renderTargetView)))
            return false;
        CreateDepthBuffer(UINT(width), UINT(height));
        if (!Have(m_renderTargetView) || !Have(m_depthView))
            return false;
        m_context->OMSetRenderTargets(1, &m_renderTargetView, m_depthView);
    }
    End3D();
    const CRectF& rect = m_camera.GetWindowRect();
    const D3D11_VIEWPORT viewport = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0.0f, 1.0f};
    m_context->RSSetViewports(1, &viewport);
    const uint32_t background = GetRenderedScene()->background;
    const float rgba[4] = {GetRed(background) / 255.0f, GetGreen(background) / 255.0f, GetBlue(background) / 255.0f,
                           GetAlpha(background) / 255.0f};
    m_context->ClearRenderTargetView(m_renderTargetView, rgba);
    SetSamplePositions(GetStandardSamplePositions(int(s_sampleCount)));
    // The placement, texture and blending the frame's runs find set.
    m_context->OMSetBlendState(nullptr, nullptr, 0xFFFFFFFF);
    m_blending = false;
    m_boundView = nullptr;
    m_placementSet = false;
    return IsUsable();
}

void CDirect3D11Renderer::EndFrame()
{
    if (!m_window)
        return;
    // Present's result is not looked at: an occluded window is no failure.
    if (Have(m_swapChain))
        m_swapChain->Present(0, 0);
}

void CDirect3D11Renderer::Begin3D()
{
    if (!Have(m_context))
        return;
    m_context->OMSetDepthStencilState(m_depthState3D, 0);
    m_context->RSSetState(m_rasterizer3D);
    if (m_depthView)
        m_context->ClearDepthStencilView(m_depthView, D3D11_CLEAR_DEPTH, 1.0f, 0);
}

void CDirect3D11Renderer::End3D()
{
    if (!Have(m_context))
        return;
    m_context->OMSetDepthStencilState(m_depthState2D, 0);
    m_context->RSSetState(m_rasterizer2D);
}

CRenderer::CTexture* CDirect3D11Renderer::CreateTexture()
{
    TRACE_POINT();
    const CPixelBitmap* image = GetCurrentImage();
    if (!image || image->IsEmpty() || !Have(m_device))
        return nullptr;
    auto* texture = new (std::nothrow) CDirect3D11Texture();
    if (!texture)
        return nullptr;
    image->TestOpaqueAndWhite(&texture->opaque, &texture->white);
    std::vector<CPixelBitmap> levels;
    std::vector<D3D11_SUBRESOURCE_DATA> data;
    levels.reserve(32);
    const CPixelBitmap* last = image;
    for (;;) {
        data.push_back({last->GetPixels().data(), UINT(last->GetPixelWidth() * 4), 0});
        if (last->GetPixelWidth() <= 1 && last->GetPixelHeight() <= 1)
            break;
        levels.emplace_back();
        levels.back().MakeMipLevel(*last, 2);
        last = &levels.back();
    }
    D3D11_TEXTURE2D_DESC description = {};
    description.Width = UINT(image->GetPixelWidth());
    description.Height = UINT(image->GetPixelHeight());
    description.MipLevels = UINT(data.size());
    description.ArraySize = 1;
    description.Format = DXGI_FORMAT_R8G8B8A8_UNORM;
    description.SampleDesc = {1, 0};
    description.Usage = D3D11_USAGE_IMMUTABLE;
    description.BindFlags = D3D11_BIND_SHADER_RESOURCE;
    ID3D11Texture2D* object = nullptr;
    if (CheckResult(m_device->CreateTexture2D(&description, data.data(), &object)) && Have(object))
        CheckResult(m_device->CreateShaderResourceView(object, nullptr, &texture->view));
    Release(object);
    return texture;
}

bool CDirect3D11Renderer::MakeShaders(bool textured)
{
    if (!m_placementConstants && Have(m_device)) {
        const D3D11_BUFFER_DESC constants = {64, D3D11_USAGE_DYNAMIC, D3D11_BIND_CONSTANT_BUFFER,
                                             D3D11_CPU_ACCESS_WRITE, 0, 0};
        if (CheckResult(m_device->CreateBuffer(&constants, nullptr, &m_placementConstants)))
            Have(m_placementConstants);
    }
    std::unique_ptr<CDirect3D11Shaders>& shaders = m_shaders[textured ? 1 : 0];
    if (!shaders && IsUsable())
        shaders.reset(new (std::nothrow) CDirect3D11Shaders(*this, textured));
    return shaders && IsUsable();
}

CRenderer::CMesh* CDirect3D11Renderer::CreateMesh(const std::vector<CGraphicsVertex>& vertices)
{
    if (!Have(m_device) || vertices.empty())
        return nullptr;
    auto mesh = std::make_unique<CDirect3D11Mesh>(*this);
    // Position; the colour bytes as they lie in memory (red first); u and -v.
    std::vector<CGraphicsVertex> flipped = vertices;
    for (CGraphicsVertex& v : flipped)
        v.v = -v.v;
    const D3D11_BUFFER_DESC description = {UINT(sizeof(CGraphicsVertex) * flipped.size()), D3D11_USAGE_IMMUTABLE,
                                           D3D11_BIND_VERTEX_BUFFER, 0, 0, UINT(sizeof(CGraphicsVertex))};
    const D3D11_SUBRESOURCE_DATA data = {flipped.data(), 0, 0};
    if (!CheckResult(m_device->CreateBuffer(&description, &data, &mesh->vertexBuffer)) || !Have(mesh->vertexBuffer))
        return nullptr;
    return mesh.release();
}

// ---- Off screen ----------------------------------------------------------------------

void CDirect3D11Renderer::RenderToBitmap(CScene& scene, CPixelBitmap& bitmap, float fullWidth, float fullHeight,
                                         float tileX, float tileY)
{
    TRACE_POINT();
    const int width = bitmap.GetPixelWidth();
    const int height = bitmap.GetPixelHeight();
    // The library refuses textures without pixels; that is no failure.
    if (width < 1 || height < 1)
        return;
    // The first window took the probe's device.
    if (!m_device && !CreateDevice())
        return;
    if (!Have(m_device) || !Have(m_context))
        return;
    SetScene(&scene);
    SetViewport(float(width), float(height), fullWidth, fullHeight, tileX, tileY);
    m_offscreenDescription = {};
    m_offscreenDescription.Width = UINT(width);
    m_offscreenDescription.Height = UINT(height);
    m_offscreenDescription.MipLevels = m_offscreenDescription.ArraySize = 1;
    m_offscreenDescription.Format = s_bufferFormat;
    m_offscreenDescription.SampleDesc = {s_sampleCount, s_sampleQuality};
    m_offscreenDescription.Usage = D3D11_USAGE_DEFAULT;
    m_offscreenDescription.BindFlags = D3D11_BIND_RENDER_TARGET;
    RenderScene();

    ID3D11Texture2D* resolved = nullptr;
    ID3D11Texture2D* staging = nullptr;
    if (IsUsable() && Have(m_colourBuffer)) {
        m_context->OMSetRenderTargets(0, nullptr, nullptr);
        D3D11_TEXTURE2D_DESC description = m_offscreenDescription;
        description.SampleDesc = {1, 0};
        ID3D11Texture2D* source = m_colourBuffer;
        if (s_sampleCount >= 2) {
            description.BindFlags = 0;
            if (CheckResult(m_device->CreateTexture2D(&description, nullptr, &resolved)) && Have(resolved))
                m_context->ResolveSubresource(resolved, 0, m_colourBuffer, 0, s_bufferFormat);
            source = resolved;
        }
        description.BindFlags = 0;
        description.Usage = D3D11_USAGE_STAGING;
        description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
        if (IsUsable() && CheckResult(m_device->CreateTexture2D(&description, nullptr, &staging)) && Have(staging))
            m_context->CopyResource(staging, source);
    }
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    const bool isMapped = IsUsable() && Have(staging) &&
                          CheckResult(m_context->Map(staging, 0, D3D11_MAP_READ, 0, &mapped)) && Have(mapped.pData);
    std::vector<uint32_t>& pixels = bitmap.GetPixels();
    if (isMapped && s_bufferFormat != DXGI_FORMAT_R8G8B8A8_UNORM && s_bufferFormat != DXGI_FORMAT_B8G8R8A8_UNORM) {
        TRACE_VALUE(int32_t, int32_t(s_bufferFormat));
        ReportFailure();
    }
    if (isMapped && IsUsable()) {
        for (int row = 0; row < height; ++row) {
            uint32_t* target = &pixels[size_t(row) * width];
            std::memcpy(target, static_cast<const uint8_t*>(mapped.pData) + size_t(height - 1 - row) * mapped.RowPitch,
                        size_t(width) * 4);
            if (s_bufferFormat == DXGI_FORMAT_B8G8R8A8_UNORM)
                for (int x = 0; x < width; ++x)
                    target[x] = (target[x] & 0xFF00FF00) | (target[x] >> 16 & 0xFF) | (target[x] & 0xFF) << 16;
        }
    } else {
        std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFFu);
    }
    if (isMapped)
        m_context->Unmap(staging, 0);
    ReleaseBuffers();
    Release(resolved);
    Release(staging);
    SetScene(nullptr);
}

// ---- The probe ----------------------------------------------------------------------

bool ProbeDirect3D11()
{
    TRACE_POINT();
    FinishDeviceAhead();
    if (!CDirect3D11Renderer::IsUsable() || !FindCreateDevice())
        return false;
    CDirect3D11Renderer& offscreen = CDirect3D11Renderer::GetOffscreenRenderer();
    if (!offscreen.CreateDevice())
        return false;
    ID3D11Device* device = offscreen.GetDevice();
    UINT support = 0;
    const UINT wanted = D3D11_FORMAT_SUPPORT_RENDER_TARGET | D3D11_FORMAT_SUPPORT_DISPLAY;
    if (FAILED(device->CheckFormatSupport(DXGI_FORMAT_R8G8B8A8_UNORM, &support)) || (support & wanted) != wanted)
        CDirect3D11Renderer::s_bufferFormat = DXGI_FORMAT_B8G8R8A8_UNORM;
    for (UINT count : {8u, 4u}) {
        UINT levels = 0;
        if (SUCCEEDED(device->CheckMultisampleQualityLevels(CDirect3D11Renderer::s_bufferFormat, count, &levels)) &&
            levels > 0) {
            CDirect3D11Renderer::s_sampleCount = count;
            CDirect3D11Renderer::s_sampleQuality = D3D11_STANDARD_MULTISAMPLE_PATTERN;
            break;
        }
    }
    // Presenting and reading back are tried where they are first used, not
    // here as well: the first window makes its swap chain and draws at once,
    // and a failure there or in an off-screen picture fails the system,
    // which then gives way to the next one.
    CDirect3D11Renderer::s_deviceKeptForWindow = true;
    return true;
}
