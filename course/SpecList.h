#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct CLocaleDefaults;

// An organisation's long-jump table: rows keyed by jump height (course units,
// tenths of an inch), each with a plank count and a long-jump length. Heights
// between and beyond the rows are interpolated or extended.
class CJumpHeightTable
{
public:
    struct CRow
    {
        int planks = 0;
        float length = 0.0f;
    };

    // A row for an even height in inches (2 to 26). A planks or length of 0
    // is derived: the length from twice the height, the planks from the
    // length. With metric set the length is in centimetres, else in inches.
    // An odd or out-of-range height, or more planks than the length holds
    // (6 per plank), is reported; an out-of-range height adds no row.
    void AddRow(int heightInches, int planks, float length, bool metric);

    // The long-jump length (course units) and plank count for a jump height.
    // An empty table is reported and gives length 0 and 1 plank.
    void Lookup(float height, float& length, int& planks) const;

    // Whether the table has a row of exactly this height (course units).
    bool HasRow(float height) const;
    // The largest row height up to 240, the height a new course starts with.
    float GetDefaultHeight() const { return m_defaultHeight; }
    const std::map<int, CRow>& GetRows() const { return m_rows; }

    // The plank count a length calls for: 1 below 120 units, then one more
    // for every 120 units, at most 5.
    static int PlanksForLength(float length);
    // 60 up to 80 units, 120 up to 120, else the nearest multiple of 20.
    static float RoundLength(float length);

private:
    std::map<int, CRow> m_rows;
    float m_defaultHeight = 0.0f;
};

// The rules of one agility organisation: its id and name, equipment presets,
// its long-jump table, further measures, the addresses of its documents, its
// words for the obstacles and which object kinds it admits. There are 16 rule
// sets, one static instance each (GetSpecList). Lengths are course units.
class CSpecList
{
public:
    virtual ~CSpecList() = default;
    CSpecList(const CSpecList&) = delete;
    CSpecList& operator=(const CSpecList&) = delete;

    virtual int GetOrgId() const = 0;
    // The organisation's name, also the prefix of its settings values.
    virtual std::wstring GetName() const = 0;
    virtual int GetAFrameSizeCount() const = 0;
    // An index at or beyond the count is reported and gives zeros.
    virtual void GetAFrameSize(int index, float& length, float& height) const = 0;
    // The spread ratio of the spread jumps.
    virtual float GetRatio4() const { return 0.75f; }
    // The spread drop of the spread jumps.
    virtual float GetMeasure5() const { return 40.0f; }
    virtual int GetCollapsedTunnelLengthCount() const = 0;
    virtual void GetCollapsedTunnelLength(int index, float& length) const = 0;
    virtual float GetCollapsedTunnelDiameter() const { return 240.0f; }
    virtual int GetDogWalkSizeCount() const = 0;
    virtual void GetDogWalkSize(int index, float& length, float& height) const = 0;
    virtual const CJumpHeightTable& GetLongJumpTable() const = 0;
    // The default width of a bar jump with count bars.
    virtual float GetMeasure12(int count) const { return 540.0f; }
    // Whether the single jump without mark draws the cup pair of its bar.
    virtual bool GetFlag13() const { return false; }
    // The long jump's default direction: true ascending.
    virtual bool GetFlag14() const { return true; }
    // The standard open-tunnel length.
    virtual float GetMeasure15() const { return 1800.0f; }
    // The standard open-tunnel diameter.
    virtual float GetMeasure16() const { return 240.0f; }
    virtual int GetWeavePoleCount() const { return 12; }
    // The default weave-pole spacing.
    virtual float GetMeasure18() const { return 240.0f; }
    // Chooses the default of the new-course set-up question.
    virtual bool GetFlag19() const { return false; }
    virtual bool HasRulebookUrl() const { return false; }
    virtual bool HasJudgesUrl() const { return false; }
    virtual bool HasRuleUpdatesUrl() const { return false; }
    virtual std::wstring GetRulebookUrl() const { return std::wstring(); }
    virtual std::wstring GetJudgesUrl() const { return std::wstring(); }
    virtual std::wstring GetRuleUpdatesUrl() const { return std::wstring(); }

    // Whether a course under these rules may hold objects of the type: a
    // standard kind unless excluded, a non-standard kind only when admitted.
    // A type id with no registered descriptor is not allowed.
    bool IsTypeAllowed(int typeId) const;
    // Whether the variant named by a display-name text id may be placed: its
    // descriptor's type is allowed and the name is not excluded. A name id
    // with no descriptor is not allowed.
    bool IsTypeNameAllowed(int nameTextId) const;
    // The set rule of IsTypeAllowed for a type whose standard flag is known.
    bool IsTypeAdmitted(int typeId, bool standard) const;
    bool IsNameExcluded(int nameTextId) const;

    // The organisation's word for a user-interface text, or the text itself
    // (GetString) where the organisation has none.
    std::wstring GetTerm(int textId) const;
    void AddTerm(int textId, const std::wstring& word);

    const std::map<int, std::wstring>& GetTerminology() const;
    const std::set<int>& GetExcludedTypes() const;
    const std::set<int>& GetAdmittedTypes() const;
    const std::set<int>& GetExcludedNames() const;

protected:
    CSpecList() = default;

    // Fill the organisation's words (AddTerm) and type sets; each runs once,
    // at the first question that needs it.
    virtual void FillTerminology() = 0;
    virtual void FillTypeSets() = 0;

    void ExcludeTypes(std::initializer_list<int> typeIds);
    void AdmitTypes(std::initializer_list<int> typeIds);
    void ExcludeNames(std::initializer_list<int> nameTextIds);

    // A preset (length, height) of a table of count rows; an index outside it
    // is reported and gives zeros.
    static void GetPreset(const float (*presets)[2], int count, int index, float& length, float& height);

private:
    void EnsureTerminology() const;
    void EnsureTypeSets() const;

    std::map<int, std::wstring> m_terminology;
    std::set<int> m_excludedTypes;
    std::set<int> m_excludedNames;
    std::set<int> m_admittedTypes;
    bool m_terminologyFilled = false;
    bool m_typeSetsFilled = false;
};

// The rule set of an organisation id. An id outside 0..15 is reported and
// gives rule set 0 (no organisation).
CSpecList& GetSpecList(int orgId);

constexpr int kOrganisationCount = 16;

// The organisation for the user's locale: Australia ADAA (14), Canada AAC
// (4), United Kingdom Kennel Club (7), New Zealand NZKC (12), United States
// AKC (1), elsewhere FCI (6). The default of the "SpecList" setting.
int DefaultOrganisation();
int DefaultOrganisation(const CLocaleDefaults& locale);
