#include "ui/Cursors.h"

#include "foundation/CrashLog.h"

namespace {

// 32 x 32 pictures: ' ' transparent, '#' black, '~' white.
const char kPlusArt[] =
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "               ~~~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "      ~~~~~~~~~~#~~~~~~~~~~     "
    "      ~###################~     "
    "      ~~~~~~~~~~#~~~~~~~~~~     "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~#~              "
    "               ~~~              "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                ";

const char kGrabHandArt[] =
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "             ~~~~~~~~           "
    "         ~~~~~##~~##~~~~~       "
    "        ~~##~#~~##~~#~##~~      "
    "        ~#~~#~~~#~~~##~~#~      "
    "        ~#~~#~~~#~~~#~~~#~      "
    "        ~#~~#~~~#~~~#~~~#~      "
    "        ~#~~#~~~#~~~#~~~#~      "
    "     ~~~~#~~#~~~#~~~#~~~#~      "
    "     ~###~~~#~~~#~~~#~~~#~      "
    "     ~#~~~~~~~~~~~~~~~~~#~      "
    "     ~#~####~~~~~~~~~~~~#~      "
    "     ~#~~~~~~~~~~~~~~~~~#~      "
    "     ~#~~~~~~~~~~~~~~~~~#~      "
    "     ~##~~~~~~~~~~~~~~~~#~      "
    "     ~~~#~~~~~~~~~~~~~~~#~      "
    "       ~#~~~~~~~~~~~~~~~#~      "
    "       ~#~~~~~~~~~~~~~~~#~      "
    "       ~#~~~~~~~~~~~~~~~#~      "
    "       ~~#~~~~~~~~~~~~~#~~      "
    "        ~#~~~~~~~~~~~~~#~       "
    "        ~~#############~~       "
    "         ~#~~~~~~~~~~~#~        "
    "         ~#~~~~~~~~~~~#~        "
    "         ~#############~        "
    "         ~~~~~~~~~~~~~~~        "
    "                                ";

const char kPointHandArt[] =
    "           ~~~~                 "
    "          ~~##~~                "
    "          ~#~~#~                "
    "          ~#~~#~                "
    "          ~#~~#~                "
    "          ~#~~#~                "
    "          ~#~~#~                "
    "          ~#~~#~~~~             "
    "          ~#~~####~~~~          "
    "          ~#~~#~~####~~~~       "
    "          ~#~~#~~#~~####~       "
    "      ~~~ ~#~~#~~#~~#~~#~       "
    "    ~~~#~ ~#~~#~~#~~#~~#~       "
    "    ~###~~~#~~#~~#~~#~~#~       "
    "    ~#~~###~~~#~~#~~#~~#~       "
    "    ~#~~~~~~~~~~~~~~#~~#~       "
    "    ~#~~~~~~~~~~~~~~~~~#~       "
    "    ~#~~~~~~~~~~~~~~~~~#~       "
    "    ~~#~~~~~~~~~~~~~~~~#~       "
    "     ~#~~~~~~~~~~~~~~~~#~       "
    "     ~##~~~~~~~~~~~~~~~#~       "
    "     ~~~#~~~~~~~~~~~~~~#~       "
    "       ~#~~~~~~~~~~~~~~#~       "
    "       ~#~~~~~~~~~~~~~~#~       "
    "       ~~#~~~~~~~~~~~~#~~       "
    "        ~#~~~~~~~~~~~~#~        "
    "        ~~############~~        "
    "         ~#~~~~~~~~~~#~         "
    "         ~#~~~~~~~~~~#~         "
    "         ~############~         "
    "         ~~~~~~~~~~~~~~         "
    "                                ";

}  // namespace

bool BuildCursorPlanes(const std::string& art, int& size, std::vector<uint8_t>& andPlane,
                       std::vector<uint8_t>& xorPlane)
{
    TRACE_VALUE(int32_t, int32_t(art.size()));
    if (art.size() == 1024) {
        size = 32;
    } else if (art.size() == 256) {
        size = 16;
    } else {
        ReportFailure();
        size = 0;
        andPlane.clear();
        xorPlane.clear();
        return false;
    }
    const size_t bytes = art.size() / 8;
    andPlane.assign(bytes, 0);
    xorPlane.assign(bytes, 0);
    bool reported = false;
    for (size_t i = 0; i < art.size(); ++i) {
        const uint8_t bit = uint8_t(0x80 >> (i % 8));
        switch (art[i]) {
        case '#':
            break;
        case '~':
            xorPlane[i / 8] |= bit;
            break;
        default:
            if (art[i] != ' ' && !reported) {
                TRACE_VALUE(int32_t, int32_t(i));
                ReportFailure();
                reported = true;
            }
            andPlane[i / 8] |= bit;
            break;
        }
    }
    return true;
}

CCursors::CCursors(LPCWSTR stockId)
{
    handle = LoadCursorW(nullptr, stockId);
    if (!handle) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
    }
}

CCursors::~CCursors()
{
    if (owned && handle)
        DestroyCursor(handle);
}

std::unique_ptr<CCursors> CCursors::CreateFromArt(int hotX, int hotY, const std::string& art)
{
    TRACE_POINT();
    std::unique_ptr<CCursors> cursor(new CCursors);
    cursor->owned = true;
    int size = 0;
    std::vector<uint8_t> andPlane;
    std::vector<uint8_t> xorPlane;
    if (!BuildCursorPlanes(art, size, andPlane, xorPlane))
        return cursor;
    cursor->handle = CreateCursor(GetModuleHandleW(nullptr), hotX, hotY, size, size, andPlane.data(),
                                  xorPlane.data());
    if (!cursor->handle) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure();
    }
    return cursor;
}

void CCursors::Apply() const
{
    if (handle)
        SetCursor(handle);
    else if (this != &GetArrow())
        GetArrow().Apply();
}

namespace {

// One shared cursor per call site: each lambda is a type of its own, so each
// getter keeps its own instance, made on first use.
template <class Make>
CCursors& GetShared(Make make)
{
    static const std::unique_ptr<CCursors> cursor = make();
    return *cursor;
}

}  // namespace

CCursors& CCursors::GetArrow()
{
    return GetShared([] { return std::make_unique<CCursors>(IDC_ARROW); });
}

CCursors& CCursors::GetIBeam()
{
    return GetShared([] { return std::make_unique<CCursors>(IDC_IBEAM); });
}

CCursors& CCursors::GetSizeWE()
{
    return GetShared([] { return std::make_unique<CCursors>(IDC_SIZEWE); });
}

CCursors& CCursors::GetSizeAll()
{
    return GetShared([] { return std::make_unique<CCursors>(IDC_SIZEALL); });
}

CCursors& CCursors::GetPlus()
{
    return GetShared([] { return CreateFromArt(16, 16, kPlusArt); });
}

CCursors& CCursors::GetGrabHand()
{
    return GetShared([] { return CreateFromArt(16, 14, kGrabHandArt); });
}

CCursors& CCursors::GetPointHand()
{
    return GetShared([] { return CreateFromArt(12, 1, kPointHandArt); });
}
