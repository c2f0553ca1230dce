#pragma once

#include <algorithm>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "course/CourseListener.h"
#include "course/ObstacleEndList.h"
#include "course/PartColors.h"
#include "course/SnapAxis.h"
#include "foundation/BlockPool.h"
#include "foundation/Box.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "foundation/FieldStream.h"
#include "foundation/Transform.h"
#include "graphics/Drawable.h"

class CCourse;
class CGraphicsContext;
class CEditSession;
class CObjectType;
class CObstacleEnd;

// A handle of an object's end for the views: where it is drawn, the pick
// code that names the object and the end, and the marker's category.
struct CObjectHandle
{
    CPoint2 position;
    uint32_t code = 0;
    int category = 0;
};

// The base of every object placed on a course: obstacles, jumps, tunnels,
// numbers, texts, paths, lines and figures. It holds what all of them share
// and defines the operations through which the course, the archive, the
// editing code and the views drive an object without knowing its kind.
//
// Course units are tenths of an inch; angles are degrees. Every change is
// reported to the owning course as layer changes: 2 objects, 4 selection
// marks, 1 shadows.
class CCourseObject
{
public:
    // Display states.
    enum
    {
        kNormal = 0,
        kPale = 1,
        kGrey = 2,
    };
    // Colour modes: which colour rules apply while a shape is drawn.
    enum
    {
        kColorMode2D = 2,
        kColorMode3D = 3,
    };

    // The drawables of an object. The cache key names the object's kind,
    // colours, display state and record fields, so equal objects share cached
    // drawings.
    class CShapeBase : public CDrawable
    {
    public:
        explicit CShapeBase(CCourseObject* owner) : m_owner(owner) {}
        CCourseObject* GetOwner() const { return m_owner; }
        void SetOwner(CCourseObject* owner) { m_owner = owner; }
        // The key is rebuilt when next updated or asked for.
        void MarkStale()
        {
            m_keyValid = false;
            PutOffKey();
        }
        bool IsKeyValid() const { return m_keyValid; }
        // Rebuilds the key when the shape is stale or the object's extra key
        // changed; true when it rebuilt it.
        bool UpdateKey();
        // The same for a shape whose sibling of the same object has just
        // rebuilt its key: past the class tag the two keys hold the same
        // bytes, so they are copied instead of written again.
        void UpdateKeyFrom(const CShapeBase& rebuilt);

    protected:
        // A stale shape's key is the model key, built when asked for.
        void WritePendingKey() const override;

        CCourseObject* m_owner;

    private:
        bool m_keyValid = false;
        // The extra key the key was last built with.
        std::string m_extraKey;
        // The length of the class tag at the start of the key.
        size_t m_tagSize = 0;
    };
    // Sets colour mode 2 and the draw attributes, then Draw2D.
    class CShape2D : public CShapeBase
    {
    public:
        using CShapeBase::CShapeBase;
        void Draw(CGraphicsContext& context) override;
    };
    // Sets colour mode 3 and the draw attributes, then Build3D.
    class CShape3D : public CShapeBase
    {
    public:
        using CShapeBase::CShapeBase;
        void Draw(CGraphicsContext& context) override;
    };
    // A half-transparent black shadow from DrawShadow; not attached to an
    // object until one that has a shadow attaches it.
    class CShadow : public CShapeBase
    {
    public:
        using CShapeBase::CShapeBase;
        void Draw(CGraphicsContext& context) override;
    };

    CCourseObject();
    // Objects take their memory from the shared block pool: a course's
    // objects are read, and thrown away again, by the thousand.
    static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
    static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }
    CCourseObject(const CCourseObject&) = delete;
    CCourseObject& operator=(const CCourseObject&) = delete;

    // ---- Operations, in their fixed order -------------------------------
    // Stores the type and copies its part colours and part list.
    virtual void SetType(const CObjectType* type);
    virtual int GetCategoryFor(int endIndex) const;
    // The editing category; dragging moves only objects whose category is
    // not 0; paths answer 3.
    virtual int GetCategory() const = 0;
    virtual CPoint2 GetPosition() const;
    virtual void AddSnapCoordinates(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source);
    // The drawing layer; the course orders its objects by layer, then by
    // serial number. It must not change while the object is in a course.
    virtual int GetLayer() const = 0;
    virtual bool IsHidable() const;
    virtual bool IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const;
    virtual bool HasFirstEnd() const;
    // The sum of the lengths of the two local vectors, placed.
    virtual float GetPathLength(const CPoint2& a, const CPoint2& b) const;
    virtual int GetEndCount() const = 0;
    // The local point of an end (a handle).
    virtual void GetEnd(CPoint2& point, int index) const = 0;
    virtual int GetAnchorCount() const;
    // The local point of an anchor; left as given (callers pass the origin)
    // when the first registered end is a jump end.
    virtual void GetAnchor(CPoint2& point, int index) const;
    virtual std::wstring GetSizeText() const;
    // Handed to the properties dialog with the type and colours.
    virtual int GetDialogVariant() const;
    virtual void StartMove(float x, float y);
    virtual void Move(float x, float y);
    virtual void EndMove();
    virtual void Flip();
    // Whether the object's own Flip turns its placement as part of its
    // mirrored shape (a tunnel body, whose sections always leave its origin
    // along +x, turns by half a turn): mirroring a selection then mirrors
    // the turned placement rather than the one before the flip.
    virtual bool TurnsWhenFlipped() const;
    // The registered end of the same kind that a flip brings exactly to the
    // mirror of the end's place, an object's mirror image being the object
    // turned by GetMirrorAngle (an end of a see-saw or a collapsed tunnel is
    // its own mirror); reversed tells whether their directions differ. None
    // found is reported.
    virtual const CObstacleEnd* FindMirroredEnd(const CObstacleEnd* end, bool& reversed) const;
    virtual bool IsInsideRing(bool selectedOnly) const;
    virtual bool IsActive() const;
    virtual bool IsActiveForPath() const;
    virtual void BuildSnapGrid();
    virtual void ResetSnapAxes();
    virtual void StartHandleMove(int handle);
    virtual void EndHandleMove();
    // Returns the handle that is dragged from now on.
    virtual int MoveHandle(int handle, float x, float y);
    virtual void ResetShape();
    // Turns the object by 180 degrees unless another end lies at its first
    // end.
    virtual void Reverse();
    virtual ~CCourseObject();
    // Reads the object's own fields from an archive record.
    virtual void ReadFields(CFieldStream& stream);
    // Reads the kind's values and variant from a legacy course line.
    virtual void ApplyVariant(const std::string& keyName, std::istream& words);
    virtual void ClearHandles();
    // The object's own record fields, one routine for both directions.
    virtual void Serialize(CFieldStream& stream);
    // Drawing-key state that is not stored.
    virtual void SerializeExtra(CFieldStream& stream);
    virtual bool IsShown() const;
    // Events the course sends to every object; each answers whether it
    // changed itself.
    virtual bool ResolveLinks();
    virtual bool BeforeObjectsDeleted();
    virtual bool AfterObjectsDeleted();
    virtual bool OnOthersMoved();
    virtual bool OnMoveStarted();
    virtual bool OnOthersRotated();
    virtual bool OnOthersReshaped();
    virtual bool OnHandleMoved();
    virtual bool OnNumberingChanged();
    virtual bool OnJumpSettingsChanged();
    virtual bool OnObjectsAdded();
    virtual void ToDialog(CEditSession& dialog);
    virtual void FromDialog(CEditSession& dialog);
    virtual void Draw2D(CGraphicsContext& context) = 0;
    virtual void Build3D(CGraphicsContext& context);
    virtual void DrawShadow(CGraphicsContext& context);
    virtual bool HasShadow() const;
    virtual void UpdateEnds();
    virtual float GetMirrorAngle() const;
    // The course reaches the text of a text object and the kind of a start
    // or finish line through these. A kind without text reports SetText; a
    // kind that is no end line answers kNoEndLine.
    virtual void SetText(const std::wstring& text);
    virtual int GetEndLineKind() const;
    static constexpr int kNoEndLine = -1;
    // SetPlacement calls it once the placement changed: an object made of
    // points takes those that now lie beyond what the archive stores within
    // it (LimitLocalPoints), so that a move, turn or flip leaves the object
    // as its record reads back. An object without points keeps what it has.
    virtual void KeepPointsStorable();

    // ---- Plain operations -------------------------------------------------
    // Used by the type's creation routines; copies the type's colours.
    void Init(CCourse* course, const CObjectType* type, const CTransform& placement, int displayState);
    // A position beyond what the archive stores (16-bit whole units) is
    // limited to it, here and at Init; here an object made of points then
    // takes them within it about the new placement (KeepPointsStorable).
    void SetPlacement(const CTransform& placement);
    // Whether every local point, placed, lies within what the archive
    // stores. A damaged record may place one beyond it: an object made of
    // points then takes them into range through its own recentring, once,
    // so that it is written back as it reads.
    bool PlacesWithinStoredRange(const CPoint2* points, int count) const;
    // Where a local point may lie: rounded to whole units, within what the
    // archive stores both about the placement and on the course. A point
    // that lies so already is given back as it is.
    CPoint2 LimitLocalPoint(const CPoint2& local) const;
    // Each point that does not lie so taken through LimitLocalPoint; whether
    // any was.
    bool LimitLocalPoints(CPoint2* points, int count) const;
    // Each coordinate through its snap axis, rounded to a whole unit.
    void MoveTo(float x, float y);
    // Rebuilds both shapes' keys, updates the ends, refreshes the display
    // state from the course, marks the extents for measuring and tells the
    // course.
    void Invalidate();
    // The same, but the shapes' keys are built when they are next asked for:
    // a course read from a file draws and measures few of its objects soon.
    void InvalidateKeysLater();
    // Rebuilds stale shape keys and measures what the shapes draw. The
    // extents and the bounding rectangle do so themselves when they are
    // asked for after a change: a course that loads thousands of objects
    // measures none it does not look at.
    void RefreshExtents();
    // Setting the state the object has does nothing: a course read sets every
    // object's.
    void SetSelected(bool on)
    {
        if (m_selected != on)
            ChangeSelection(on);
    }
    void NotifySelectionAppearance();
    // Takes a new serial number: the object becomes last in its layer.
    void BringToFront();
    // For an object not yet in a course that replaces one taken out: it
    // takes that object's serial number, and so its place in the order.
    void ReuseSerialNumber(uint32_t serialNumber) { m_serialNumber = serialNumber; }
    // Adds or removes one of the object's own ends.
    void RegisterEnd(CObstacleEnd* end, bool add);
    // Adds several, in the order given: what RegisterEnd does for each, in
    // one call for the ends an object registers together.
    void RegisterEnds(CObstacleEnd* const* ends, size_t count);
    // The registered ends moved without changing: the course files them by
    // place again when next asked.
    void OnEndsMoved();
    bool HasEnd(const CObstacleEnd* end) const
    {
        return std::find(m_ends.begin(), m_ends.end(), end) != m_ends.end();
    }
    const CObstacleEndList& GetEnds() const { return m_ends; }
    // The 2D and 3D extents combined, widened by 48, placed, y down.
    CRectF GetBoundingRect() const;
    // The centre of the bounding rectangle, each coordinate rounded half
    // up: the position of objects made of points (the tunnel and the paths),
    // whose placement lies at one end.
    CPoint2 GetBoundsCentre() const;
    // One handle per end: code ((end << 15) | (objectNumber & 0x7FFF)) << 2
    // | 2, category GetCategoryFor(end), or 2 for every end when all
    // categories are asked.
    void AddEndHandles(std::vector<CObjectHandle>& target, int objectNumber, bool allCategories) const;
    void FillPropertiesDialog(CEditSession& dialog);
    void ApplyDialog(CEditSession& dialog);
    // The drawing state of the object's shapes: ApplyPlanStyle with the
    // primary pen, the secondary fill, the accent text, hatched in 2D when
    // grey, text of size 240.
    void ApplyDrawAttributes(CGraphicsContext& context);
    // The drawing state of shapes on the plan: stroke, fill and text heights,
    // solid lines of pen width 30, the colours, the fill hatched or not,
    // centred text of the built-in font at the size.
    static void ApplyPlanStyle(CGraphicsContext& context, uint32_t penColor, uint32_t fillColor, uint32_t textColor,
                               bool hatched, float fontSize);

    // Palette indices by the colour rules of the display state and colour
    // mode, and the palette colours of those indices.
    int GetPartColorIndex(int part) const;
    int GetPrimaryColorIndex() const;
    int GetSecondaryColorIndex() const;
    int GetAccentColorIndex() const;
    int GetOutlineColorIndex() const;
    uint32_t GetPartColor(int part) const;
    uint32_t GetPrimaryColor() const;
    uint32_t GetSecondaryColor() const;
    uint32_t GetAccentColor() const;
    uint32_t GetOutlineColor() const;

    CCourse* GetCourse() const { return m_course; }
    const CObjectType* GetType() const { return m_type; }
    const CTransform& GetPlacement() const { return m_placement; }
    // The placement at the start of a drag; identity at construction.
    const CTransform& GetDragStartPlacement() const;
    void SetDragStartPlacement(const CTransform& placement);
    bool IsSelected() const { return m_selected; }
    bool IsPreviouslySelected() const { return m_previouslySelected; }
    void SetPreviouslySelected(bool on) { m_previouslySelected = on; }
    uint32_t GetSerialNumber() const { return m_serialNumber; }
    const CPartColorSet& GetPartColors() const { return m_partColors; }
    CPartColorSet& GetPartColors() { return m_partColors; }
    int GetDisplayState() const { return m_displayState; }
    // A state other than 0, 1 or 2 is reported and taken as 0.
    void SetDisplayState(int state);
    int GetColorMode() const { return m_colorMode; }
    void SetColorMode(int mode) { m_colorMode = mode; }
    // Made when first asked for, with the zone 240.
    CSnapAxis& GetSnapAxisX() { return GetSnapAxes().x; }
    CSnapAxis& GetSnapAxisY() { return GetSnapAxes().y; }
    const CBox3& Get2DExtent() const;
    const CBox3& Get3DExtent() const;
    void SetExtents(const CBox3& extent2D, const CBox3& extent3D);
    // Made when first asked for.
    CShape2D& GetShape2D() { return GetShapes().shape2D; }
    CShape3D& GetShape3D() { return GetShapes().shape3D; }
    // Made when first asked for.
    CShadow& GetShadow();

private:
    struct CSnapAxes
    {
        CSnapAxis x{240.0f};
        CSnapAxis y{240.0f};
    };
    // The shapes and the extents measured from them.
    struct CShapes
    {
        explicit CShapes(CCourseObject* owner) : shape2D(owner), shape3D(owner) {}
        static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
        static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }

        CShape2D shape2D;
        CShape3D shape3D;
        CBox3 extent2D;
        CBox3 extent3D;
    };

    CSnapAxes& GetSnapAxes();
    CShapes& GetShapes();
    void ChangeSelection(bool on);
    void NotifyLayer(ESceneLayer layer);
    void InvalidateShapes(bool buildKeys);
    // Rebuilds stale shape keys, the 3D one from the 2D one where it can.
    void UpdateShapeKeys();
    // Measures the shapes when they changed since they were last measured.
    void UpdateExtents() const;

    // What a course read visits again when it inserts the objects it read
    // comes first, so that it shares the first bytes of the object.
    CCourse* m_course = nullptr;
    const CObjectType* m_type = nullptr;
    uint32_t m_serialNumber;
    bool m_selected = false;
    bool m_previouslySelected = false;
    bool m_extentsStale = false;
    int m_displayState = kNormal;
    CObstacleEndList m_ends;
    // Courses hold objects by the thousand, and read them by the thousand
    // without drawing them: what only a drag, a drawing or a shadow needs is
    // made when first needed.
    std::unique_ptr<CShapes> m_shapes;
    std::unique_ptr<CTransform> m_dragStartPlacement;
    std::unique_ptr<CSnapAxes> m_snapAxes;
    std::unique_ptr<CShadow> m_shadow;
    CTransform m_placement;
    CPartColorSet m_partColors;
    int m_colorMode = kColorMode2D;
};
