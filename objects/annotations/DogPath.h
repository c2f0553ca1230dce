#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "objects/annotations/CoursePath.h"
#include "objects/annotations/DogPathNode.h"
#include "objects/equipment/EquipmentType.h"

class CCourseNumbering;
class CPathConnection;
class CPolyline;
struct CCurveGeometry;

// The line the dog runs: a smooth curve through its nodes, with arrows, the
// length of each leg written beside it and, when asked, a marker wherever
// the dog leaving an obstacle has another obstacle's entry ahead
// (discrimination). Nodes can be tied to obstacle ends; the connection kind
// (CPathConnection) decides how. Sections between obstacles are fitted as the
// shortest smooth line through the approach zones (CPathFit), lazily: what
// makes a node dirty sets the changed flag, and the refit runs before the
// nodes are next read (GetEnd, Serialize, Draw2D, a notification).
//
// The placement stays the identity except while the path is dragged, so the
// node coordinates are course coordinates; they stay within what the
// archive stores.
//
// Terms: a passage is a node tied to an entry end (kind 1) followed by one
// tied to the exit end (kind 2) of the same object; a curved segment is any
// other segment; a section runs from a node up to and including the entry
// node of the next passage (or the last node).
class CDogPath : public CCoursePath
{
public:
    using CNode = CDogPathNode;
    using CNodes = CDogPathNodes;

    // Type 90, key name "DogPath", named by text 2542, parts line (15),
    // label box (25) and label text (26).
    class CDogPathType : public CEquipmentTypeOf<CDogPath>
    {
    public:
        CDogPathType();
    };
    static const CDogPathType& GetDogPathType();

    CDogPath();
    ~CDogPath() override;

    // ---- Course-object operations ------------------------------------------
    int GetEndCount() const override { return int(m_nodes.size()); }
    // Refits changed sections, then node i's point.
    void GetEnd(CPoint2& point, int index) const override;
    bool IsInsideRing(bool selectedOnly) const override { return true; }
    // Takes part in moves and turns while it or an object it is tied to is
    // selected: the nodes then follow the move (OnOthersMoved). A path
    // that took part in every drag would keep a single dragged obstacle
    // from snapping.
    bool IsActive() const override;
    bool IsActiveForPath() const override { return IsActive(); }
    // Ignored while the connection takes no stroke (auto-route).
    void Move(float x, float y) override;
    // Turns the stroke into nodes and hands the path to its connection.
    void EndMove() override;
    void ResetSnapAxes() override;
    void EndHandleMove() override;
    // Drags node i to the course point (held within the stored range): ties
    // it through the connection, inserts a node halfway towards a neighbour
    // farther than kSplitDistance, merges a free neighbour nearer than
    // kMergeDistance (never below two nodes). Returns the node's new index.
    int MoveHandle(int handle, float x, float y) override;
    // The course's reversal reaches the path through OnNumberingChanged.
    void Reverse() override {}
    // Legacy line: count, two unused values, then the legacy curve; a count
    // outside 2 to 1000 reads one point.
    void ApplyVariant(const std::string& keyName, std::istream& words) override;
    // A record read into a path just made: as Serialize, but a placement
    // that is the identity already is left as it is (the course marks what
    // it reads stale once it holds it).
    void ReadFields(CFieldStream& stream) override;
    void Serialize(CFieldStream& stream) override;
    // The course's metric and show-paths settings and each node's warning.
    void SerializeExtra(CFieldStream& stream) override;
    bool IsShown() const override;
    bool ResolveLinks() override;
    bool BeforeObjectsDeleted() override;
    bool AfterObjectsDeleted() override;
    bool OnOthersMoved() override;
    bool OnMoveStarted() override;
    bool OnOthersRotated() override;
    bool OnOthersReshaped() override;
    bool OnHandleMoved() override;
    bool OnNumberingChanged() override;
    bool OnJumpSettingsChanged() override;
    bool OnObjectsAdded() override;
    // The exchange with the dog path's dialog (DogPathDialogExchange.cpp).
    void ToDialog(CEditSession& dialog) override;
    void FromDialog(CEditSession& dialog) override;
    void Draw2D(CGraphicsContext& context) override;
    float GetDefaultSpacing() const override;
    // Appends a free node at the placed point.
    void HitPoint(float x, float y) override;

    // ---- Values the dialog shows and sets ------------------------------------
    const CPathConnection& GetConnection() const { return *m_connection; }
    CPathConnection& GetConnection() { return *m_connection; }
    // 0 plain, 1 obstacle connection, 2 auto-route.
    int GetConnectionKind() const;
    // The numbering sequence a routed path follows; none for kinds 0 and 1.
    CCourseNumbering* GetSequence() const { return m_sequence; }
    // The dialog's connection choice: when kind or sequence differ from the
    // path's, the kind's connection takes over (an unknown kind is reported
    // and gives kind 1), a path with nodes refits (tied nodes first made
    // dirty when fitNow is set and the new kind is not plain) and the new
    // connection rebuilds the ties. The sequence is kept only for kind 2.
    void ChangeConnection(int kind, CCourseNumbering* sequence, bool fitNow);
    // The dialog's fit-now box: every tied node is refitted; a path without
    // nodes fits when it is placed.
    void RequestFit();
    bool IsFitPending() const { return m_fitPending; }
    // 0 an arrow at the end only, 1 also at every tied node, 2 also at every
    // tied node not at a jump end. Values out of range are taken as 0.
    int GetArrowFrequency() const { return m_arrowFrequency; }
    void SetArrowFrequency(int frequency);
    bool GetShowLength() const { return m_showLength; }
    void SetShowLength(bool on);
    // The units picker's value for the leg lengths (2 to 5); others ignored.
    int GetLengthUnits() const { return m_lengthUnits; }
    void SetLengthUnits(int units);
    bool GetDiscrimination() const { return m_discrimination; }
    // Takes the setting and recomputes the warnings.
    void SetDiscrimination(bool on);

    // ---- Nodes and their upkeep ------------------------------------------------
    const CNodes& GetNodes() const { return m_nodes; }
    // For the connection kinds: the list itself. Whoever changes it calls
    // NodesChanged.
    CNodes& EditNodes() { return m_nodes; }
    // The node list changed: the GetEnd cursor starts again at the first node.
    void NodesChanged() const;
    bool IsChanged() const { return m_changed; }
    void SetChanged() { m_changed = true; }
    void SetSequence(CCourseNumbering* sequence) { m_sequence = sequence; }
    void SetConnection(CPathConnection& connection) { m_connection = &connection; }

    void RefitChangedSections();
    // Fits one section (first up to, not including, end) through its tied
    // nodes and replaces its free nodes by the fitted line's.
    void FitSection(CNodes::iterator first, CNodes::iterator end);
    void ReplaceSectionNodes(CPolyline& polyline, CNodes::iterator first, CNodes::iterator end);
    void UpdateWarnings();
    void RemoveNodesInsideObstacles();
    void MarkLinkedNodesDirty();
    // Every node tied to a selected object becomes dirty; its tie goes when
    // dropTies is set or the object no longer holds that end.
    void DetachNodesOfSelected(bool dropTies);
    // Node n to its successor, with the neighbours as direction hints
    // (none across a passage).
    void GetSegmentCurve(CNodes::const_iterator node, CCurveGeometry& curve) const;
    bool IsCurvedSegment(CNodes::const_iterator node) const;
    // The line with its arrows (the path's cached drawing).
    void DrawPathLine(CGraphicsContext& context);

    // One leg: from its first node to the next node drawn with an arrow (or
    // the last); its length and, when it has one, where its label goes.
    struct CLeg
    {
        float length = 0.0f;
        bool labelled = false;
        CPoint2 labelPoint;
    };
    std::vector<CLeg> GetLegs();
    // Whether an arrow ends at the node (the last node, or a tied one as
    // the arrow frequency says).
    bool HasArrowAt(CNodes::const_iterator node) const;

    static constexpr int kTypeId = 90;
    static constexpr int kNameTextId = 2542;
    static constexpr float kSplitDistance = 2400.0f;
    static constexpr float kMergeDistance = 180.0f;
    static constexpr float kSnapRadius = 180.0f;
    static constexpr float kRefineTolerance = 60.0f;
    static constexpr int kDefaultUnits = 3;
    // The most nodes a path keeps; a fit or a record beyond is cut there.
    static constexpr int kMaxNodes = 10000;

private:
    // The section after the one beginning at first: its first node.
    CNodes::iterator SectionEnd(CNodes::iterator first);
    CNodes::iterator PreviousNode(CNodes::iterator node) { return node == m_nodes.begin() ? node : std::prev(node); }
    // The tail of a notification: the connection's route, then, when it
    // changed something, the refit flag, the warnings and the drawing.
    bool FinishNotification();
    // Carries the nodes by the placement where the section's obstacles all
    // moved, marks the rest dirty; the placement returns to the identity.
    void FollowPlacement();
    void ClampNode(CNode& node) const;
    void TieAnew(CNode& node);

    CPathConnection* m_connection;
    CCourseNumbering* m_sequence = nullptr;
    int32_t m_arrowFrequency = 0;
    bool m_showLength = true;
    bool m_discrimination = false;
    int32_t m_lengthUnits = kDefaultUnits;
    CNodes m_nodes;
    // The node last reached by GetEnd and its index (a shortcut only).
    mutable CNodes::iterator m_cursor;
    mutable int m_cursorIndex = 0;
    mutable bool m_cursorValid = false;
    bool m_changed = false;
    bool m_fitPending = false;
    bool m_serializing = false;
    bool m_readingRecord = false;
    // The jump height an older file gave; 0 when none.
    float m_fileJumpHeight = 0.0f;
    // The number a path without nodes writes.
    int32_t m_emptyNumber = 0;
    // A routed path's label as its record held it, until the path is tied.
    std::wstring m_recordLabel;
};
