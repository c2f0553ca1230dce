#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One mouse cursor: a stock Windows cursor, or one drawn from a small text
// picture of the program's own (which the object owns and destroys). The
// shared instances are made on first use and live until the program ends.
class CCursors
{
public:
    // A stock cursor (IDC_ARROW and friends); not owned.
    explicit CCursors(LPCWSTR stockId);
    ~CCursors();
    CCursors(const CCursors&) = delete;
    CCursors& operator=(const CCursors&) = delete;

    // A cursor from a picture of one character per pixel, rows from the top:
    // ' ' transparent, '#' black, '~' white. 1024 characters make a 32 x 32
    // cursor, 256 a 16 x 16 one.
    static std::unique_ptr<CCursors> CreateFromArt(int hotX, int hotY, const std::string& art);

    // Shows the cursor (the arrow when this one could not be made).
    void Apply() const;

    HCURSOR GetHandle() const { return handle; }
    bool IsOwned() const { return owned; }

    static CCursors& GetArrow();
    static CCursors& GetIBeam();
    static CCursors& GetSizeWE();
    static CCursors& GetSizeAll();
    static CCursors& GetPlus();
    static CCursors& GetGrabHand();
    static CCursors& GetPointHand();

private:
    CCursors() = default;

    HCURSOR handle = nullptr;
    bool owned = false;
};

// The two bit planes of a cursor picture (AND plane, XOR plane; one bit per
// pixel, most significant bit first, rows packed without padding). False for
// a picture of the wrong length; a character other than ' ', '#' and '~'
// counts as transparent after the failure report.
bool BuildCursorPlanes(const std::string& art, int& size, std::vector<uint8_t>& andPlane,
                       std::vector<uint8_t>& xorPlane);
