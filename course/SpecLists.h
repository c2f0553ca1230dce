#pragma once

#include <memory>
#include <vector>

#include "course/SpecList.h"

// The sixteen organisation rule sets. Presets, long-jump rows, type sets,
// words and document addresses are data (CSpecListData); the measures and
// flags in which an organisation differs from the base are overrides.

struct CJumpRowData
{
    int heightInches;
    int planks;      // 0: derived from the length
    float length;    // 0: twice the height
    bool metric;     // length in centimetres
};

struct CTermData
{
    int textId;
    const wchar_t* word;
};

struct CSpecListData
{
    int orgId;
    const wchar_t* name;   // null: the text of nameTextId
    int nameTextId;
    std::vector<std::pair<float, float>> aFrames;   // length, height
    std::vector<float> collapsedTunnelLengths;
    std::vector<std::pair<float, float>> dogWalks;  // plank length, height
    std::vector<CJumpRowData> jumpRows;
    std::vector<int> excludedTypes;
    std::vector<int> admittedTypes;
    std::vector<int> excludedNames;
    const wchar_t* rulebookUrl;     // null: none
    const wchar_t* judgesUrl;
    const wchar_t* ruleUpdatesUrl;
};

// The organisation's words in the order they are added (SpecListTerms.cpp).
const std::vector<CTermData>& GetOrganisationTerms(int orgId);

class CTableSpecList : public CSpecList
{
public:
    explicit CTableSpecList(const CSpecListData& data) : m_data(data) {}

    int GetOrgId() const override { return m_data.orgId; }
    std::wstring GetName() const override;
    int GetAFrameSizeCount() const override { return int(m_data.aFrames.size()); }
    void GetAFrameSize(int index, float& length, float& height) const override;
    int GetCollapsedTunnelLengthCount() const override { return int(m_data.collapsedTunnelLengths.size()); }
    void GetCollapsedTunnelLength(int index, float& length) const override;
    int GetDogWalkSizeCount() const override { return int(m_data.dogWalks.size()); }
    void GetDogWalkSize(int index, float& length, float& height) const override;
    const CJumpHeightTable& GetLongJumpTable() const override;
    bool HasRulebookUrl() const override { return m_data.rulebookUrl != nullptr; }
    bool HasJudgesUrl() const override { return m_data.judgesUrl != nullptr; }
    bool HasRuleUpdatesUrl() const override { return m_data.ruleUpdatesUrl != nullptr; }
    std::wstring GetRulebookUrl() const override { return Text(m_data.rulebookUrl); }
    std::wstring GetJudgesUrl() const override { return Text(m_data.judgesUrl); }
    std::wstring GetRuleUpdatesUrl() const override { return Text(m_data.ruleUpdatesUrl); }

protected:
    void FillTerminology() override;
    void FillTypeSets() override;

private:
    static std::wstring Text(const wchar_t* text) { return text ? text : L""; }

    const CSpecListData& m_data;
    mutable std::unique_ptr<CJumpHeightTable> m_jumpTable;
};

class CNoOrgSpecList : public CTableSpecList
{
public:
    CNoOrgSpecList();
};

class CAKCSpecList : public CTableSpecList
{
public:
    CAKCSpecList();
    float GetMeasure12(int count) const override { return count > 1 ? 600.0f : 540.0f; }
    bool GetFlag19() const override { return true; }
};

class CUSDAASpecList : public CTableSpecList
{
public:
    CUSDAASpecList();
    float GetMeasure12(int count) const override { return count > 1 ? 600.0f : 540.0f; }
    bool GetFlag13() const override { return true; }
};

class CNADACSpecList : public CTableSpecList
{
public:
    CNADACSpecList();
};

class CAACSpecList : public CTableSpecList
{
public:
    CAACSpecList();
    bool GetFlag14() const override { return false; }
};

class CUKCSpecList : public CTableSpecList
{
public:
    CUKCSpecList();
    float GetMeasure12(int count) const override { return 480.0f; }
    bool GetFlag14() const override { return false; }
    float GetMeasure15() const override { return 1920.0f; }
    int GetWeavePoleCount() const override { return 9; }
};

class CFCISpecList : public CTableSpecList
{
public:
    CFCISpecList();
    float GetMeasure5() const override { return 80.0f; }
    float GetCollapsedTunnelDiameter() const override { return 235.0f; }
    float GetMeasure15() const override { return 1417.0f; }
};

class CKennelClubSpecList : public CTableSpecList
{
public:
    CKennelClubSpecList();
    float GetRatio4() const override { return 0.85f; }
    float GetMeasure5() const override { return 80.0f; }
    float GetMeasure18() const override { return 230.0f; }
};

class CCKCSpecList : public CTableSpecList
{
public:
    CCKCSpecList();
};

class COrg9SpecList : public CTableSpecList
{
public:
    // No presets at all, so every preset index is reported.
    COrg9SpecList();
};

class CASCASpecList : public CTableSpecList
{
public:
    CASCASpecList();
};

class CCPESpecList : public CTableSpecList
{
public:
    CCPESpecList();
    float GetRatio4() const override { return 0.5f; }
    float GetMeasure18() const override { return 220.0f; }
};

class CNZKCSpecList : public CTableSpecList
{
public:
    CNZKCSpecList();
    bool GetFlag14() const override { return false; }
};

class CTDAASpecList : public CTableSpecList
{
public:
    CTDAASpecList();
    float GetCollapsedTunnelDiameter() const override { return 160.0f; }
    float GetMeasure12(int count) const override { return 300.0f; }
    float GetMeasure15() const override { return 960.0f; }
    float GetMeasure16() const override { return 160.0f; }
};

class CADAASpecList : public CTableSpecList
{
public:
    CADAASpecList();
    float GetMeasure5() const override { return 50.0f; }
    float GetMeasure18() const override { return 220.0f; }
};

class CUKISpecList : public CTableSpecList
{
public:
    CUKISpecList();
    float GetMeasure12(int count) const override { return count > 1 ? 600.0f : 540.0f; }
};
