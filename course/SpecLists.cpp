#include "course/SpecLists.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

// Jump rows with the length derived from the height.
std::vector<CJumpRowData> DerivedRows(std::initializer_list<int> heights)
{
    std::vector<CJumpRowData> rows;
    for (int height : heights)
        rows.push_back({height, 0, 0.0f, false});
    return rows;
}

// The data of every rule set in organisation order, built at the first
// question so that no static of another file can meet it unbuilt.
const CSpecListData& GetSpecListData(int orgId)
{
    static const CSpecListData data[kOrganisationCount] = {
        // 0 no organisation
        {
            0, nullptr, 2636,
            {{1080, 660}, {960, 540}},
            {1080, 1200, 1320, 1440, 1560},
            {{1440, 480}, {960, 360}},
            DerivedRows({4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26}),
            {},
            {220, 360, 390},
            {},
            nullptr, nullptr, nullptr,
        },
        // 1 AKC
        {
            1, L"AKC", 0,
            {{1080, 660}, {1080, 600}},
            {1080},
            {{1440, 480}},
            {{4, 1, 6, false}, {8, 2, 16, false}, {12, 3, 24, false}, {16, 4, 32, false},
             {20, 5, 40, false}, {24, 5, 48, false}, {26, 5, 52, false}},
            {40, 50, 360},
            {},
            {},
            L"https://www.akc.org/sports/agility/",
            L"https://www.akc.org/sports/agility/judges/",
            nullptr,
        },
        // 2 USDAA
        {
            2, L"USDAA", 0,
            {{1080, 660}, {1080, 600}},
            {1620},
            {{1440, 510}},
            {{4, 1, 6, false}, {8, 2, 16, false}, {10, 2, 20, false}, {12, 2, 20, false},
             {14, 2, 24, false}, {16, 3, 36, false}, {20, 4, 48, false}, {22, 4, 48, false},
             {24, 5, 60, false}},
            {40, 50, 360},
            {},
            {},
            L"https://www.usdaa.com/rules",
            L"https://www.usdaa.com/judges",
            L"https://www.usdaa.com/news",
        },
        // 3 NADAC
        {
            3, L"NADAC", 0,
            {{960, 560}, {1080, 600}},
            {1200},
            {{1440, 480}},
            DerivedRows({4, 8, 12, 16, 20}),
            {20, 40, 50, 150, 180, 200, 210, 250, 300, 330, 353, 357, 360},
            {25, 115},
            {},
            L"https://www.nadac.com/rules",
            nullptr,
            nullptr,
        },
        // 4 AAC
        {
            4, L"AAC", 0,
            {{1080, 600}, {1080, 660}},
            {1260},
            {{1440, 480}},
            {{4, 1, 0, false}, {8, 2, 0, false}, {12, 3, 0, false}, {16, 3, 0, false},
             {20, 4, 0, false}, {24, 5, 0, false}},
            {20, 50, 360},
            {220},
            {},
            L"https://www.aac.ca/rules",
            nullptr,
            L"https://www.aac.ca/news",
        },
        // 5 UKC
        {
            5, L"UKC", 0,
            {{960, 480}, {800, 420}, {1080, 500}},
            {1320},
            {{960, 360}, {1440, 480}},
            {{4, 1, 0, false}, {8, 2, 0, false}, {14, 3, 0, false}, {20, 4, 0, false}},
            {20, 50, 150, 240, 353, 357, 360, 380},
            {25, 120, 170, 220, 230, 280, 290},
            {},
            L"https://www.ukcdogs.com/agility",
            nullptr,
            nullptr,
        },
        // 6 FCI
        {
            6, L"FCI", 0,
            {{1060, 670}},
            {1140},
            {{1440, 480}},
            {{12, 2, 45, true}, {16, 4, 80, true}, {24, 5, 135, true}},
            {150, 300, 330},
            {},
            {2562, 2564, 2568},
            L"https://www.fci.be/en/Agility-42.html",
            L"https://www.fci.be/en/Agility-42.html#judges",
            nullptr,
        },
        // 7 Kennel Club
        {
            7, L"Kennel Club", 0,
            {{1080, 670}},
            {1560},
            {{1440, 480}},
            {{10, 2, 45, true}, {14, 2, 45, true}, {18, 4, 80, true}, {22, 5, 135, true}, {26, 5, 135, true}},
            {150, 330, 353},
            {220, 360, 390},
            {},
            L"https://www.thekennelclub.org.uk/events-and-activities/agility/",
            L"https://www.thekennelclub.org.uk/events-and-activities/agility/judges/",
            nullptr,
        },
        // 8 CKC
        {
            8, L"CKC", 0,
            {{960, 590}, {1080, 660}},
            {1620},
            {{1440, 480}, {960, 360}},
            {{4, 1, 0, false}, {8, 2, 0, false}, {12, 3, 0, false}, {16, 4, 0, false},
             {20, 5, 0, false}, {24, 5, 0, false}},
            {20, 50, 360},
            {},
            {},
            L"https://www.ckc.ca/en/Events/Agility",
            L"https://www.ckc.ca/en/Events/Agility/Judges",
            nullptr,
        },
        // 9
        {
            9, nullptr, 2637,
            {},
            {},
            {},
            {{24, 0, 0, false}},
            {10, 20, 40, 50, 80, 90, 100, 110, 130, 140, 150, 180, 190, 200, 210, 250, 260, 270, 300, 310,
             320, 330, 340, 350, 353, 357, 360, 370},
            {30, 60, 70, 113, 240, 380},
            {},
            nullptr, nullptr, nullptr,
        },
        // 10 ASCA
        {
            10, L"ASCA", 0,
            {{1080, 600}},
            {1320, 1440},
            {{960, 360}, {1440, 500}},
            DerivedRows({4, 8, 12, 16, 20, 24}),
            {20, 40, 180, 200, 210, 300, 330, 353, 357, 360},
            {},
            {},
            L"https://www.asca.org/agility",
            nullptr,
            L"https://www.asca.org/agility/news",
        },
        // 11 CPE
        {
            11, L"CPE", 0,
            {{1080, 600}},
            {1320},
            {{960, 360}, {1440, 480}},
            {{4, 1, 8, false}, {8, 2, 16, false}, {12, 4, 24, false}, {16, 4, 32, false},
             {20, 5, 40, false}, {24, 5, 48, false}},
            {40, 50, 150, 353},
            {},
            {},
            L"https://www.k9cpe.com/rules",
            L"https://www.k9cpe.com/judges",
            nullptr,
        },
        // 12 NZKC
        {
            12, L"NZKC", 0,
            {{1080, 681}, {1141, 720}},
            {1380},
            {{1180, 430}},
            {{12, 2, 45, true}, {16, 3, 70, true}, {22, 3, 95, true}, {26, 5, 130, true}},
            {150, 210, 353, 357, 360},
            {70, 390},
            {},
            L"https://www.dogsnz.org.nz/agility",
            nullptr,
            L"https://www.dogsnz.org.nz/agility/news",
        },
        // 13 TDAA
        {
            13, L"TDAA", 0,
            {{800, 440}, {840, 470}, {960, 530}, {1080, 600}},
            {1200},
            {{960, 330}, {1200, 420}, {1440, 510}},
            {{2, 0, 0, false}},
            {20, 50, 150, 160, 180, 200, 330, 353, 357},
            {},
            {},
            L"https://www.k9tdaa.com/rules",
            nullptr,
            nullptr,
        },
        // 14 ADAA
        {
            14, L"ADAA", 0,
            {{1080, 690}, {1080, 660}, {1080, 630}},
            {1440},
            {{1440, 520}},
            {{6, 2, 12, false}, {10, 3, 20, false}, {16, 4, 32, false}, {22, 4, 44, false},
             {26, 5, 52, false}},
            {150, 160, 200, 360},
            {},
            {},
            L"https://www.adaa.com.au/rules",
            nullptr,
            L"https://www.adaa.com.au/news",
        },
        // 15 UKI
        {
            15, L"UKI", 0,
            {{1080, 670}, {1080, 630}},
            {1620},
            {{1440, 510}},
            {{4, 1, 6, false}, {8, 1, 16, false}, {12, 2, 24, false}, {16, 3, 32, false},
             {20, 4, 40, false}, {22, 5, 44, false}, {24, 5, 48, false}},
            {40, 50, 150, 200, 210, 330, 360},
            {},
            {},
            L"https://www.ukagilityinternational.com/rules",
            nullptr,
            nullptr,
        },
    };
    return data[orgId];
}

}  // namespace

// ---- CTableSpecList --------------------------------------------------------

std::wstring CTableSpecList::GetName() const
{
    return m_data.name ? std::wstring(m_data.name) : GetString(m_data.nameTextId);
}

void CTableSpecList::GetAFrameSize(int index, float& length, float& height) const
{
    TRACE_VALUE(int32_t, m_data.orgId);
    if (index < 0 || index >= GetAFrameSizeCount()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        length = height = 0.0f;
        return;
    }
    length = m_data.aFrames[size_t(index)].first;
    height = m_data.aFrames[size_t(index)].second;
}

void CTableSpecList::GetCollapsedTunnelLength(int index, float& length) const
{
    TRACE_VALUE(int32_t, m_data.orgId);
    if (index < 0 || index >= GetCollapsedTunnelLengthCount()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        length = 0.0f;
        return;
    }
    length = m_data.collapsedTunnelLengths[size_t(index)];
}

void CTableSpecList::GetDogWalkSize(int index, float& length, float& height) const
{
    TRACE_VALUE(int32_t, m_data.orgId);
    if (index < 0 || index >= GetDogWalkSizeCount()) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        length = height = 0.0f;
        return;
    }
    length = m_data.dogWalks[size_t(index)].first;
    height = m_data.dogWalks[size_t(index)].second;
}

const CJumpHeightTable& CTableSpecList::GetLongJumpTable() const
{
    if (!m_jumpTable) {
        m_jumpTable = std::make_unique<CJumpHeightTable>();
        for (const CJumpRowData& row : m_data.jumpRows)
            m_jumpTable->AddRow(row.heightInches, row.planks, row.length, row.metric);
    }
    return *m_jumpTable;
}

void CTableSpecList::FillTerminology()
{
    for (const CTermData& term : GetOrganisationTerms(m_data.orgId))
        AddTerm(term.textId, term.word);
}

void CTableSpecList::FillTypeSets()
{
    for (int id : m_data.excludedTypes)
        ExcludeTypes({id});
    for (int id : m_data.admittedTypes)
        AdmitTypes({id});
    for (int id : m_data.excludedNames)
        ExcludeNames({id});
}

// ---- The rule sets ---------------------------------------------------------

CNoOrgSpecList::CNoOrgSpecList() : CTableSpecList(GetSpecListData(0)) {}
CAKCSpecList::CAKCSpecList() : CTableSpecList(GetSpecListData(1)) {}
CUSDAASpecList::CUSDAASpecList() : CTableSpecList(GetSpecListData(2)) {}
CNADACSpecList::CNADACSpecList() : CTableSpecList(GetSpecListData(3)) {}
CAACSpecList::CAACSpecList() : CTableSpecList(GetSpecListData(4)) {}
CUKCSpecList::CUKCSpecList() : CTableSpecList(GetSpecListData(5)) {}
CFCISpecList::CFCISpecList() : CTableSpecList(GetSpecListData(6)) {}
CKennelClubSpecList::CKennelClubSpecList() : CTableSpecList(GetSpecListData(7)) {}
CCKCSpecList::CCKCSpecList() : CTableSpecList(GetSpecListData(8)) {}
COrg9SpecList::COrg9SpecList() : CTableSpecList(GetSpecListData(9)) {}
CASCASpecList::CASCASpecList() : CTableSpecList(GetSpecListData(10)) {}
CCPESpecList::CCPESpecList() : CTableSpecList(GetSpecListData(11)) {}
CNZKCSpecList::CNZKCSpecList() : CTableSpecList(GetSpecListData(12)) {}
CTDAASpecList::CTDAASpecList() : CTableSpecList(GetSpecListData(13)) {}
CADAASpecList::CADAASpecList() : CTableSpecList(GetSpecListData(14)) {}
CUKISpecList::CUKISpecList() : CTableSpecList(GetSpecListData(15)) {}

CSpecList& GetSpecList(int orgId)
{
    static CNoOrgSpecList noOrg;
    static CAKCSpecList akc;
    static CUSDAASpecList usdaa;
    static CNADACSpecList nadac;
    static CAACSpecList aac;
    static CUKCSpecList ukc;
    static CFCISpecList fci;
    static CKennelClubSpecList kennelClub;
    static CCKCSpecList ckc;
    static COrg9SpecList org9;
    static CASCASpecList asca;
    static CCPESpecList cpe;
    static CNZKCSpecList nzkc;
    static CTDAASpecList tdaa;
    static CADAASpecList adaa;
    static CUKISpecList uki;
    static CSpecList* const all[kOrganisationCount] = {&noOrg, &akc,  &usdaa, &nadac, &aac,  &ukc,
                                                       &fci,   &kennelClub, &ckc, &org9, &asca,
                                                       &cpe,   &nzkc, &tdaa,  &adaa,  &uki};
    if (orgId < 0 || orgId >= kOrganisationCount) {
        TRACE_VALUE(int32_t, orgId);
        ReportFailure();
        orgId = 0;
    }
    return *all[orgId];
}
