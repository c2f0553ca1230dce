#pragma once

#include "foundation/Geometry.h"
#include "objects/annotations/DogPathNode.h"

class CCourse;
class CCourseNumbering;
class CCourseObject;
class CDogPath;
class CObstacleEnd;
class CPolyline;

// How a dog path's nodes relate to the obstacles of the course: a strategy
// the path holds and swaps when the user picks another kind. Each kind is
// one process-wide object (GetPathConnection) shared by every path.
//
//   kind 0 plain: no node is ever tied to an obstacle end.
//   kind 1 obstacle connection: the drawn path is tied to the ends it runs
//          through, and stays tied while nodes are dragged.
//   kind 2 auto-route: the path is not drawn; it runs along one numbering
//          sequence from the start line through each numbered obstacle to
//          the finish line.
class CPathConnection
{
public:
    virtual int GetKind() const = 0;
    // The tolerance a freshly drawn stroke is thinned with; negative for a
    // kind that takes no stroke (the path then ignores the drag).
    virtual float GetStrokeSpacing() const = 0;
    // A node is being dragged near `end` (none when no end is near): whether
    // dragging ties nodes (the path then merges the node with a neighbour
    // tied at the same place).
    virtual bool SnapNode(CDogPathNode& node, CObstacleEnd* end) = 0;
    // Derives the ties of every node again: after drawing (previousKind 0,
    // justDrawn), after the kind was chosen in the dialog, or when a routed
    // path becomes obstacle-connected (previousKind 2).
    virtual void Rebuild(CDogPath& path, int previousKind, bool justDrawn) = 0;
    // Before a refit: true when the path was left as it was, false when the
    // caller must take it as changed.
    virtual bool UpdateRoute(CDogPath& path) = 0;

    static constexpr int kPlain = 0;
    static constexpr int kObstacle = 1;
    static constexpr int kAutoRoute = 2;

    // Samples along a segment curve lie this far apart; a segment of length
    // L gets L / kSampleSpacing + 1 of them, at most kMaxSegmentSamples (a
    // damaged path may hold a huge segment).
    static constexpr float kSampleSpacing = 60.0f;
    static constexpr int kMaxSegmentSamples = 4096;
    // How far from a point an end still counts as met.
    static constexpr float kEndReach = 180.0f;

protected:
    CPathConnection() = default;
    ~CPathConnection() = default;
    CPathConnection(const CPathConnection&) = delete;
    CPathConnection& operator=(const CPathConnection&) = delete;
};

class CPlainConnection : public CPathConnection
{
public:
    int GetKind() const override { return kPlain; }
    float GetStrokeSpacing() const override { return 90.0f; }
    bool SnapNode(CDogPathNode& node, CObstacleEnd* end) override;
    // Every node loses its tie and its dirty mark.
    void Rebuild(CDogPath& path, int previousKind, bool justDrawn) override;
    bool UpdateRoute(CDogPath& path) override { return false; }
};

class CObstacleConnection : public CPathConnection
{
public:
    int GetKind() const override { return kObstacle; }
    float GetStrokeSpacing() const override { return 40.0f; }
    // Ties the node to the end, on its entry segment; no end unties it.
    bool SnapNode(CDogPathNode& node, CObstacleEnd* end) override;
    // Walks the path's curve in short steps and ties it to the ends it
    // passes; keeps the free points that describe its shape between them.
    // A path of fewer than two nodes keeps them, untied. After a routed
    // path (previousKind 2) the routed ties stay.
    void Rebuild(CDogPath& path, int previousKind, bool justDrawn) override;
    bool UpdateRoute(CDogPath& path) override { return false; }

    // Offers hint 2711, once a run, when a free segment of the path passes
    // within kEndReach of an obstacle none of its nodes is tied to.
    static void CheckUnconnectedObstacles(CDogPath& path);
    // Moves the free points of the polyline so that each fixed point lands
    // on its node, the shift fading with arc length towards the
    // neighbouring fixed points. Pairs fixed points and nodes in order,
    // stopping where either runs out.
    static void AlignPolylineToNodes(const CDogPathNodes& nodes, CPolyline& polyline);

    // Whether the 3D contact-obstacle warning is armed, and for which
    // obstacle (kept between rebuilds).
    bool IsContactWarningArmed() const { return m_contactWarningArmed; }

private:
    struct CExamination;
    void Examine(CExamination& state, const CPoint2& p, const CPoint2& d);

    bool m_contactWarningArmed = false;
    const CCourseObject* m_contactObject = nullptr;
};

class CAutoRouteConnection : public CPathConnection
{
public:
    int GetKind() const override { return kAutoRoute; }
    float GetStrokeSpacing() const override { return -1.0f; }
    // A tied node only slides along its own end's entry; returns false.
    bool SnapNode(CDogPathNode& node, CObstacleEnd* end) override;
    void Rebuild(CDogPath& path, int previousKind, bool justDrawn) override { UpdateRoute(path); }
    // Routes the path along its sequence again, keeping the user's runs
    // whose ends are unchanged; true (nothing done) when the sequence
    // cannot route.
    bool UpdateRoute(CDogPath& path) override;

    // The route through the sequence: start-line end, each member's end
    // with the exit of a two-ended obstacle after its entry, finish-line
    // end; every node dirty, at its end's point.
    static void BuildRoute(const CCourse& course, const CCourseNumbering* sequence, CDogPathNodes& nodes);
    // Takes back from the old list the runs whose tied nodes name the same
    // ends in the same order and hold no dirty node.
    static void MergeRouteRuns(CDogPathNodes& route, CDogPathNodes& old);
};

// The connection of a kind; an unknown kind is reported and gives the
// obstacle connection.
CPathConnection& GetPathConnection(int kind);

// Whether a numbering sequence of the course can drive a routed path: it
// has members and a label kind, every layer-3 object has ends, the course
// has an entry or jump end, and a sequence of one member needs a start or
// finish line. A missing sequence is reported and gives false.
bool CanAutoRoute(const CCourse& course, const CCourseNumbering* sequence);

// Whether segment i -> i+1 is a passage: the first node tied to an entry
// end (kind 1), the second to an exit end (kind 2) of the same object.
bool IsPassage(const CDogPathNode& a, const CDogPathNode& b);
