#include "course/SpecLists.h"

// The organisations' own words for the obstacles, replacing the program's
// display names of the kinds (texts 2526-2630), in the order each
// organisation's list adds them.

namespace {

const CTermData kAKCTerms[] = {
    {2534, L"Closed Tunnel"},
    {2558, L"Broad Jump"},
    {2576, L"Panel Jump"},
    {2584, L"Seesaw"},
    {2598, L"Tire Jump"},
    {2600, L"Open Tunnel"},
    {2594, L"Pause Table"},
    {2566, L"Wingless Double Bar Jump"},
    {2568, L"Wingless Ascending Spread Jump"},
    {2570, L"Wingless Triple Bar Jump"},
    {2618, L"Winged Double Bar Jump"},
    {2620, L"Winged Ascending Spread Jump"},
    {2622, L"Winged Triple Bar Jump"},
    {2628, L"Double Bar Jump"},
    {2629, L"Ascending Spread Jump"},
    {2630, L"Triple Bar Jump"},
};

const CTermData kUSDAATerms[] = {
    {2534, L"Collapsed Tunnel"},
    {2558, L"Long Jump"},
    {2584, L"See-Saw"},
    {2598, L"Tire Jump"},
    {2600, L"Pipe Tunnel"},
    {2562, L"Wingless One-Bar Hurdle"},
    {2564, L"Wingless Hurdle"},
    {2566, L"Wingless Parallel Spread Hurdle"},
    {2568, L"Wingless Ascending Spread Hurdle"},
    {2570, L"Wingless Extended Spread Hurdle"},
    {2614, L"Winged One-Bar Hurdle"},
    {2616, L"Winged Hurdle"},
    {2618, L"Winged Parallel Spread Hurdle"},
    {2620, L"Winged Ascending Spread Hurdle"},
    {2622, L"Winged Extended Spread Hurdle"},
    {2626, L"One-Bar Hurdle"},
    {2627, L"Hurdle"},
    {2628, L"Parallel Spread Hurdle"},
    {2629, L"Ascending Spread Hurdle"},
    {2630, L"Extended Spread Hurdle"},
};

const CTermData kNADACTerms[] = {
    {2598, L"Tire Jump"},
    {2600, L"Open Tunnel"},
    {2564, L"Wingless Jump"},
    {2616, L"Winged Jump"},
    {2627, L"Jump"},
};

const CTermData kAACTerms[] = {
    {2534, L"Collapsible Tunnel"},
    {2558, L"Broad Jump"},
    {2584, L"Teeter"},
    {2598, L"Tire Jump"},
    {2600, L"Flexible Tunnel"},
    {2562, L"Wingless One-Bar Jump"},
    {2564, L"Wingless Bar Jump"},
    {2566, L"Wingless Double Bar Jump"},
    {2570, L"Wingless Ascending Spread Jump"},
    {2614, L"Winged One-Bar Jump"},
    {2616, L"Winged Bar Jump"},
    {2618, L"Winged Double Bar Jump"},
    {2622, L"Winged Ascending Spread Jump"},
    {2626, L"One-Bar Jump"},
    {2627, L"Bar Jump"},
    {2628, L"Double Bar Jump"},
    {2630, L"Ascending Spread Jump"},
};

const CTermData kUKCTerms[] = {
    {2532, L"Bush Fence Hurdle"},
    {2534, L"Closed Tunnel"},
    {2594, L"Pause Table"},
    {2558, L"Long Hurdle"},
    {2576, L"High Hurdle"},
    {2584, L"Teeter-Totter"},
    {2598, L"Tire/Hoop Jump"},
    {2600, L"Open Tunnel"},
    {2608, L"Water Hurdle"},
    {2562, L"Wingless Single Bar Hurdle"},
    {2564, L"Wingless Rail Fence Hurdle"},
    {2570, L"Wingless Spread Hurdle"},
    {2614, L"Winged Single Bar Hurdle"},
    {2616, L"Winged Rail Fence Hurdle"},
    {2622, L"Winged Spread Hurdle"},
    {2626, L"Single Bar Hurdle"},
    {2627, L"Rail Fence Hurdle"},
    {2630, L"Spread Hurdle"},
};

const CTermData kFCITerms[] = {
    {2584, L"See-saw"},
    {2600, L"Tube Tunnel"},
    {2534, L"Flat Tunnel"},
    {2610, L"Weaving Poles"},
    {2532, L"Brush Hurdle"},
    {2598, L"Tyre"},
    {2558, L"Long Jump"},
    {2604, L"Viaduct"},
    {2606, L"Wall"},
    {2564, L"Wingless Single Jump"},
    {2568, L"Wingless Spread Hurdle"},
    {2570, L"Wingless Triple Jump"},
    {2616, L"Winged Single Jump"},
    {2620, L"Winged Spread Hurdle"},
    {2622, L"Winged Triple Jump"},
    {2629, L"Spread Hurdle"},
    {2626, L"Single Jump"},
    {2630, L"Triple Jump"},
};

const CTermData kKennelClubTerms[] = {
    {2526, L"\"A\" Ramp"},
    {2534, L"Collapsible Tunnel"},
    {2558, L"Long Jump"},
    {2584, L"See-Saw"},
    {2598, L"Hoop Jump"},
    {2600, L"Pipe Tunnel"},
    {2610, L"Weaving Poles"},
    {2532, L"Brush Fence"},
    {2562, L"Wingless One-Bar Hurdle"},
    {2564, L"Wingless Hurdle"},
    {2568, L"Wingless Rising Spread Jump"},
    {2614, L"Winged One-Bar Hurdle"},
    {2616, L"Winged Hurdle"},
    {2620, L"Winged Rising Spread Jump"},
    {2626, L"One-Bar Hurdle"},
    {2627, L"Hurdle"},
    {2629, L"Rising Spread Jump"},
};

const CTermData kCKCTerms[] = {
    {2534, L"Closed Tunnel"},
    {2576, L"Panel Jump"},
    {2584, L"Teeter"},
    {2594, L"Pause Table"},
    {2598, L"Tire Jump"},
    {2600, L"Open Tunnel"},
    {2562, L"Wingless One Bar Jump"},
    {2564, L"Wingless Bar Jump"},
    {2566, L"Wingless Double Bar Jump"},
    {2570, L"Wingless Ascending Spread Jump or Triple Bar Jump"},
    {2614, L"Winged One Bar Jump"},
    {2616, L"Winged Bar Jump"},
    {2618, L"Winged Double Bar Jump"},
    {2622, L"Winged Ascending Spread Jump or Triple Bar Jump"},
    {2626, L"One Bar Jump"},
    {2627, L"Bar Jump"},
    {2628, L"Double Bar Jump"},
    {2630, L"Ascending Spread Jump or Triple Bar Jump"},
};

const CTermData kASCATerms[] = {
    {2534, L"Closed Tunnel"},
    {2584, L"Teeter-Totter"},
    {2598, L"Tire Jump"},
    {2600, L"Open Tunnel"},
    {2564, L"Wingless Jump"},
    {2566, L"Wingless Double Bar Jump"},
    {2616, L"Winged Jump"},
    {2618, L"Winged Double Bar Jump"},
    {2627, L"Jump"},
    {2628, L"Double Bar Jump"},
};

const CTermData kCPETerms[] = {
    {2534, L"Closed Tunnel"},
    {2584, L"Teeter-Totter"},
    {2598, L"Tire Jump"},
    {2594, L"Pause Table"},
    {2600, L"Open Tunnel"},
    {2558, L"Broad Jump"},
    {2626, L"Single Bar Jump"},
    {2564, L"Wingless Vertical Bar Jump"},
    {2568, L"Wingless Double Jump"},
    {2570, L"Wingless Triple Spread Jump"},
    {2616, L"Winged Vertical Bar Jump"},
    {2620, L"Winged Double Jump"},
    {2622, L"Winged Triple Spread Jump"},
    {2627, L"Jump"},
    {2629, L"Double Jump"},
    {2630, L"Triple Spread Jump"},
};

const CTermData kNZKCTerms[] = {
    {2534, L"Collapsible Tunnel/Tube"},
    {2584, L"See-Saw"},
    {2598, L"Hoop"},
    {2600, L"Pipe Tunnel"},
    {2610, L"Weaving Poles"},
    {2558, L"Long Jump"},
    {2564, L"Wingless Hurdle"},
    {2568, L"Wingless Asymetrical Spread Jump"},
    {2570, L"Wingless Multiple Bar Ascending Spread Jump"},
    {2616, L"Winged Hurdle"},
    {2620, L"Winged Asymetrical Spread Jump"},
    {2622, L"Winged Multiple Bar Ascending Spread Jump"},
    {2627, L"Hurdle"},
    {2629, L"Asymetrical Spread Jump"},
    {2630, L"Multiple Bar Ascending Spread Jump"},
};

const CTermData kTDAATerms[] = {
    {2534, L"Collapsed Tunnel"},
    {2584, L"Teeter"},
    {2598, L"Tire"},
    {2600, L"Pipe Tunnel"},
    {2564, L"Non-winged Jump"},
    {2616, L"Winged Jump"},
    {2627, L"Jump"},
};

const CTermData kADAATerms[] = {
    {2534, L"Collapsible Tunnel"},
    {2584, L"See-Saw"},
    {2598, L"Tyre"},
    {2600, L"Pipe Tunnel"},
    {2558, L"Long Jump"},
    {2532, L"Brush Hurdle"},
    {2564, L"Wingless Hurdle"},
    {2568, L"Wingless Double Spread Hurdle"},
    {2570, L"Wingless Triple Spread Hurdle"},
    {2616, L"Wing Hurdle"},
    {2620, L"Winged Double Spread Hurdle"},
    {2622, L"Winged Triple Spread Hurdle"},
    {2627, L"Single Hurdle"},
    {2629, L"Double Spread Hurdle"},
    {2630, L"Triple Spread Hurdle"},
};

const CTermData kUKITerms[] = {
    {2558, L"Long Jump"},
    {2584, L"Teeter"},
    {2598, L"Tire Jump"},
    {2600, L"Pipe Tunnel"},
    {2564, L"Wingless Jump"},
    {2568, L"Wingless Ascending Spread Jump"},
    {2616, L"Winged Jump"},
    {2620, L"Winged Ascending Spread Jump"},
    {2627, L"Jump"},
    {2629, L"Ascending Spread Jump"},
};

template <size_t N>
std::vector<CTermData> List(const CTermData (&terms)[N])
{
    return std::vector<CTermData>(terms, terms + N);
}

}  // namespace

const std::vector<CTermData>& GetOrganisationTerms(int orgId)
{
    static const std::vector<CTermData> lists[kOrganisationCount] = {
        {},
        List(kAKCTerms),
        List(kUSDAATerms),
        List(kNADACTerms),
        List(kAACTerms),
        List(kUKCTerms),
        List(kFCITerms),
        List(kKennelClubTerms),
        List(kCKCTerms),
        {},
        List(kASCATerms),
        List(kCPETerms),
        List(kNZKCTerms),
        List(kTDAATerms),
        List(kADAATerms),
        List(kUKITerms),
    };
    if (orgId < 0 || orgId >= kOrganisationCount)
        return lists[0];
    return lists[orgId];
}
