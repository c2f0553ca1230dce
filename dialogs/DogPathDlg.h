#pragma once

#include <string>
#include <vector>

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;
class CCourseNumbering;

// The dog path's properties dialog, windowless half: how the path is tied
// to the obstacles (its connection), the arrows, the leg lengths with their
// units, the discrimination marks and whether the path is fitted at once.
//
// The connection is an entry of one list: one auto-route entry (kind 2) per
// numbering sequence of the course that a path can be routed along, in the
// course's order, then the obstacle connection (kind 1) and the plain
// connection (kind 0). Paths that differ show an empty entry after those.
// The arrow choice is an entry 0 to 2, with an empty entry 3 when mixed.
//
// Per-type defaults: "90ConnectionType" (1), "90ArrowFreq" (0),
// "90ShowLength" (1), "90UsUnits" (4), "90Discrim" (0, read only) and
// "90ManualFitNow" (1). Making the dialog shows the course's paths.
class CDogPathDlg : public CObjectPropertiesDlg
{
public:
    // Whether a path can be routed along a sequence; the auto-route
    // connection's test, installed at start-up. Returns the one replaced.
    using CRouteTest = bool (*)(const CCourse& course, const CCourseNumbering* sequence);
    static CRouteTest SetRouteTest(CRouteTest test);

    explicit CDogPathDlg(CCourse* course);

    // ---- Filled from the edited paths (the first sets, a later, different
    // value makes it mixed) ----
    // Kind 0, 1 or 2; for kind 2 the sequence, which must be one of the
    // dialog's (another is reported and gives the obstacle connection).
    void SetConnection(int kind, const CCourseNumbering* sequence);
    // 0 to 2; another value is reported and taken as 0.
    void SetArrowFreq(int frequency);
    void SetShowLength(bool show);
    void SetUnits(int units);
    void SetDiscrimination(bool on);

    // ---- Read back by the paths ----
    bool IsConnectionMixed() const { return m_connectionEntry == GetMixedConnectionEntry(); }
    // The chosen kind; a mixed choice asked for is reported and gives 1.
    int GetConnectionKind() const;
    // The chosen auto-route entry's sequence, none for the other kinds.
    CCourseNumbering* GetSequence() const;
    bool IsArrowFreqMixed() const { return m_arrowEntry == kMixedArrowEntry; }
    // A mixed choice asked for is reported and read as 0.
    int GetArrowFreq() const;
    ECheckState GetShowLengthState() const { return m_showLength; }
    // 0 (kMixedUnits) when mixed.
    int GetUnits() const { return m_units; }
    ECheckState GetDiscriminationState() const { return m_discrimination; }
    bool GetFitNow() const { return m_fitNow; }

    // ---- The entries and the window's choices ----
    bool IsMetric() const { return m_metric; }
    int GetSequenceCount() const { return int(m_sequences.size()); }
    const std::vector<CCourseNumbering*>& GetSequences() const { return m_sequences; }
    // The text of auto-route entry i: the sequence's flag and badge style
    // where the sequences differ in them, and its label kind.
    std::wstring GetSequenceEntryText(int index) const;
    int GetConnectionEntry() const { return m_connectionEntry; }
    int GetObstacleEntry() const { return GetSequenceCount(); }
    int GetPlainEntry() const { return GetSequenceCount() + 1; }
    int GetMixedConnectionEntry() const { return GetSequenceCount() + 2; }
    int GetArrowEntry() const { return m_arrowEntry; }
    // What the shown boxes say where the paths differ.
    bool GetStoredShowLength() const { return m_storedShowLength; }
    bool GetStoredDiscrimination() const { return m_storedDiscrimination; }

    // The fit-now box and the discrimination box for a connection entry:
    // whether each is checked and enabled. The discrimination box keeps
    // its state where `checked` is not forced (enabled entries).
    struct CConnectionControls
    {
        bool fitNowChecked;
        bool fitNowEnabled;
        bool discriminationEnabled;
    };
    CConnectionControls GetConnectionControls(int entry) const;

    // An entry outside the list is reported and ignored.
    void ChooseConnectionEntry(int entry);
    void ChooseArrowEntry(int entry);
    void ChooseShowLength(ECheckState state) { m_showLength = state; }
    // 0 keeps each path's units.
    void ChooseUnits(int units);
    void ChooseDiscrimination(ECheckState state) { m_discrimination = state; }
    void ChooseFitNow(bool on) { m_fitNow = on; }
    // Stores the values that are not mixed as the defaults of the next paths.
    void StoreDefaults() const;

    // An auto-route entry makes the path at once.
    bool StaysForFurtherObjects() const override;

    static constexpr int kMixedUnits = 0;
    static constexpr int kMixedArrowEntry = 3;
    static constexpr int kNameTextId = 2542;

private:
    int GetEntryOfKind(int kind, const CCourseNumbering* sequence) const;

    bool m_metric = false;
    std::vector<CCourseNumbering*> m_sequences;
    bool m_flagsDiffer = false;
    bool m_stylesDiffer = false;
    int m_connectionEntry = 0;
    int m_arrowEntry = 0;
    bool m_storedShowLength = true;
    bool m_storedDiscrimination = false;
    bool m_storedFitNow = true;
    ECheckState m_showLength = ECheckState::kSet;
    ECheckState m_discrimination = ECheckState::kClear;
    int m_units = 4;
    bool m_fitNow = false;
};
