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

CCursors& CCursors::GetArrow()
{
    static CCursors cursor(IDC_ARROW);
    return cursor;
}

CCursors& CCursors::GetIBeam()
{
    static CCursors cursor(IDC_IBEAM);
    return cursor;
}

CCursors& CCursors::GetSizeWE()
{
    static CCursors cursor(IDC_SIZEWE);
    return cursor;
}

CCursors& CCursors::GetSizeAll()
{
    static CCursors cursor(IDC_SIZEALL);
    return cursor;
}

CCursors& CCursors::GetPlus()
{
    static const std::unique_ptr<CCursors> cursor = CreateFromArt(16, 16, kPlusArt);
    return *cursor;
}

CCursors& CCursors::GetGrabHand()
{
    static const std::unique_ptr<CCursors> cursor = CreateFromArt(16, 14, kGrabHandArt);
    return *cursor;
}

CCursors& CCursors::GetPointHand()
{
    static const std::unique_ptr<CCursors> cursor = CreateFromArt(12, 1, kPointHandArt);
    return *cursor;
}
