#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ViewCamera.h"
#include "course/CourseListener.h"
#include "course/DifferenceIndex.h"
#include "course/SnapAxis.h"
#include "foundation/BlockPool.h"
#include "foundation/Geometry.h"
#include "foundation/NoticeSink.h"
#include "foundation/Rect.h"
#include "foundation/UndoHistory.h"

class CCourseMark;
class CCourseObject;
class CFieldReader;
class CFieldStream;
class CFieldWriter;
class CEditSession;
class CEndIndex;
class CObjectType;
class CCourseNumbering;

// Whether the point lies in the forward cone of the origin (x, y) along the
// direction (dx, dy), which need not be of unit length: within 2520 (short
// range) or 2760 of the origin, and less than 45 degrees off the direction
// (a point exactly 45 degrees off, or at the origin, lies outside).
bool IsWithinForwardCone(float x, float y, float dx, float dy, const CPoint2& point, bool shortRange);
class CPartColorSet;
class CSpecList;

// The course's text block as a crash-log trace value: the archive as
// written, compressed and encoded into the text block only when the crash
// log writes its dump, so that recording the state costs no more than
// keeping it.
struct CTextBlockTrace
{
    std::string archive;
    bool version3 = false;
};
void WriteTraceValue(std::ostream& out, const CTextBlockTrace& value);

// How reading a course block or archive ended: whether it was read, and the
// one message (a text id, 0 for none, and its style) that the caller shows:
// what made the read fail, or what a course that was read left out.
struct CCourseRead
{
    bool read = false;
    int messageId = 0;
    ENoticeStyle style = ENoticeStyle::kError;

    explicit operator bool() const { return read; }
};

// The course's objects in drawing order: by layer, then by serial number.
struct CCourseObjectOrder
{
    bool operator()(const CCourseObject* a, const CCourseObject* b) const;
};
// Its nodes come from the block pool, as the objects themselves do.
using CCourseObjectSet = std::set<CCourseObject*, CCourseObjectOrder, CPoolAllocator<CCourseObject*>>;

// The course document: the ring and its settings, every object placed on it,
// the selection and motion state, and the listeners told of every change.
// Lengths are course units, tenths of an inch.
class CCourse final : public CCourseListener
{
public:
    // The four margins around the ring, in their stored order.
    enum EMargin
    {
        kMarginLowY = 0,
        kMarginHighY = 1,
        kMarginLowX = 2,
        kMarginHighX = 3,
    };

    // An object event offered to every object; true answers "I changed
    // myself and want to go".
    using CObjectEvent = bool (CCourseObject::*)();

    // Ring sizes are kept within this many course units.
    static constexpr float kMaxRingSize = 30000.0f;

    // Builds the course from the settings store. An empty title gets text
    // 2004 with the next running number.
    CCourse(const std::wstring& title, const std::wstring& path);
    // Courses are deleted through plain CCourse pointers by their windows.
    virtual ~CCourse();
    CCourse(const CCourse&) = delete;
    CCourse& operator=(const CCourse&) = delete;

    // ---- Objects -------------------------------------------------------
    // The most objects a course holds, and the most one read takes: a
    // paste, merge or placing that would pass it adds nothing.
    static constexpr size_t kMaxObjects = 100000;
    // The message (text 2672) when they would not fit.
    static constexpr int kTooManyObjectsText = 2672;
    // Whether count more objects fit into the course.
    bool CanAddObjects(size_t count) const
    {
        return count <= kMaxObjects && m_objects.size() <= kMaxObjects - count;
    }
    // Put into or take out of the object set, without destroying.
    void InsertObject(CCourseObject* object);
    void EraseObject(CCourseObject* object);
    bool ContainsObject(const CCourseObject* object) const;
    // Takes ownership of a new object and adds it to the set.
    void AddObject(std::unique_ptr<CCourseObject> object);
    const CCourseObjectSet& GetObjects() const { return m_objects; }
    const CCourseObjectSet& GetOverlayObjects() const { return m_overlayObjects; }
    size_t GetObjectCount() const { return m_objects.size(); }
    // Offers the event to every object in set order; an object answering
    // true is taken out and destroyed.
    void RemoveObjectsWhere(CObjectEvent event);
    void RebuildAll();
    // Objects whose centre lies outside the old ring move with the far edges
    // of the new one. The out flags tell where moved objects were found.
    void RelocateObjects(float oldWidth, float oldHeight, bool selectedOnly, bool* belowY, bool* aboveY,
                         bool* belowX, bool* aboveX);
    // Deletes every object whose centre lies outside the ring and margins.
    void DeleteObjectsOutside(bool keepEdited);
    void DeleteSelected();
    // Whether the object is one of those being deleted, as the objects that
    // stay learn in BeforeObjectsDeleted: a selected one, or, while an undo
    // or redo takes out the objects it reads anew, one of those.
    bool IsBeingDeleted(const CCourseObject& object) const;
    // 0 normal, 1 pale (an identical copy is in the overlay), 2 grey (an
    // overlay object).
    int GetDifferenceStatus(CCourseObject* object) const;
    CCourseObject* GetEditedObject() const { return m_editedObject; }

    // ---- Coordinate marks ---------------------------------------------
    const std::vector<CPoint2>& GetMarkedPoints() const { return m_markedPoints; }
    // A point beyond what the archive stores is limited to it.
    void AddMarkedPoint(const CPoint2& point);
    void ClearMarkedPoints();
    void UpdateCoordinateMarks();
    // Null until the first update.
    const std::vector<std::unique_ptr<CCourseMark>>* GetCoordinateMarks() const
    {
        return m_coordinateMarks.get();
    }

    // ---- Motion ---------------------------------------------------------
    void SetMotion(int kind);
    int GetMotion() const { return m_motion; }
    // Whether the objects tie their links as a course (or a paste, or an
    // undo step) is read.
    bool IsTyingReadLines() const { return m_tyingReadLines; }

    // ---- Listeners ------------------------------------------------------
    void AddListener(CCourseListener* listener) { m_listeners.insert(listener); }
    void RemoveListener(CCourseListener* listener) { m_listeners.erase(listener); }
    bool IsBroadcasting() const { return m_broadcasting; }
    void OnMapLayerChanged(ESceneLayer layer) override;
    void On3DLayerChanged(ESceneLayer layer) override;
    void OnCourseSettingsChanged() override;
    void OnCourseChanged() override;

    // ---- Settings -------------------------------------------------------
    // The display settings: the footer, what the map shows, grid, coordinate
    // origins and units, 3D view. The archive's display block holds them all.
    struct CDisplaySettings
    {
        int32_t ukcClass = 1;
        bool showUKCFooter = true;
        bool showPaths = true;
        bool showObsCoords = false;
        bool showNumbers = true;
        bool showTexts = true;
        int32_t background = 3;
        int32_t metricGridSpacing = 3;
        int32_t usGridSpacing = 10;
        int32_t displayOriginX = 1;
        int32_t displayOriginY = 2;
        bool metric = false;
        bool baselineCoordFirst = true;
        int32_t usCoordUnitsX = 3;
        int32_t usCoordUnitsY = 3;
        bool show3D = false;
        bool use3DCamera = false;
        bool hideGrass = false;
    };

    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetMargin(int margin) const;
    const CSpecList& GetSpecList() const { return *m_specList; }
    int GetOrganisationId() const;
    float GetJumpHeight() const { return m_jumpHeight; }
    float GetLongJumpLength() const { return m_longJumpLength; }
    int32_t GetLongJumpPlanks() const { return m_longJumpPlanks; }
    int32_t GetUKCClass() const { return m_display.ukcClass; }
    bool GetShowUKCFooter() const { return m_display.showUKCFooter; }
    bool GetShowPaths() const { return m_display.showPaths; }
    bool GetShowObsCoords() const { return m_display.showObsCoords; }
    bool GetShowNumbers() const { return m_display.showNumbers; }
    bool GetShowTexts() const { return m_display.showTexts; }
    bool GetHideGrass() const { return m_display.hideGrass; }
    int32_t GetBackground() const { return m_display.background; }
    int32_t GetMetricGridSpacing() const { return m_display.metricGridSpacing; }
    int32_t GetUsGridSpacing() const { return m_display.usGridSpacing; }
    int32_t GetDisplayOriginX() const { return m_display.displayOriginX; }
    int32_t GetDisplayOriginY() const { return m_display.displayOriginY; }
    bool IsMetric() const { return m_display.metric; }
    bool GetBaselineCoordFirst() const { return m_display.baselineCoordFirst; }
    int32_t GetUSCoordUnitsX() const { return m_display.usCoordUnitsX; }
    int32_t GetUSCoordUnitsY() const { return m_display.usCoordUnitsY; }
    bool Get3D() const { return m_display.show3D; }
    bool Get3DCamera() const { return m_display.use3DCamera; }
    // The 3D camera while the 3D camera is in use, else the map camera.
    CViewCamera& GetCurrentCamera() { return m_display.use3DCamera ? m_camera3D : m_cameraMap; }
    CViewCamera& GetMapCamera() { return m_cameraMap; }
    CViewCamera& Get3DViewCamera() { return m_camera3D; }
    const std::wstring& GetTitle() const { return m_title; }
    const std::wstring& GetPath() const { return m_path; }
    int32_t GetModifiedCount() const { return m_modifiedCount; }
    float GetLoadedJumpHeight() const { return m_loadedJumpHeight; }
    void SetLoadedJumpHeight(float height) { m_loadedJumpHeight = height; }
    bool IsReadFromVersion3() const { return m_readFromVersion3; }
    // After a save in the current format the course no longer counts as read
    // from an older file.
    void ClearReadFromVersion3() { m_readFromVersion3 = false; }
    bool GetWriteVersion3() const { return m_writeVersion3; }
    void SetWriteVersion3(bool on) { m_writeVersion3 = on; }
    // Set before a course is read from a file (and when it moves into a new
    // window): only such a course notes whether the file was an older one.
    void SetOpenedFromFile(bool on) { m_noteReadFromVersion3 = on; }
    bool IsOpenedFromFile() const { return m_noteReadFromVersion3; }
    // A course made from the stored template is not replaced by a paste.
    void SetMadeFromTemplate(bool on) { m_madeFromTemplate = on; }
    bool IsMadeFromTemplate() const { return m_madeFromTemplate; }
    // The ring with its margins, from minus the low margins to the size plus
    // the high margins. With withFooter, for organisation 5 with the footer
    // shown, the footer's height extends it at high y; with grow every side
    // moves out by 10.
    CRectF GetRingRect(bool grow, bool withFooter) const;

    // Setters end the motion, store the setting, recompute what depends on
    // it and tell the listeners.
    void Set3D(bool on);
    void Set3DCamera(bool on);
    void SetBackground(int32_t background);
    void SetBaselineCoordFirst(bool on);
    // A negative margin is reported and taken as 0. The margin is limited
    // so that the ring and its margins across stay within kMaxRingSize.
    void SetLengthValue(int margin, float value);
    // A size not above 0 is reported and keeps that dimension as it was;
    // sizes are limited to 1..kMaxRingSize, and margins give way where the
    // ring and its margins would pass it (the far margin first).
    void SetSize(float width, float height);
    // Both run as a motion of their own (4 and 5) instead of ending it.
    void SetViewSize(float width, float height);
    void SetViewCamera(const CViewCamera& camera);
    // The selected objects take the colours of the parts they share; no
    // listener is told.
    void SetSelectionColors(const CPartColorSet& colors);
    void SetDisplayOriginX(int32_t origin);
    void SetDisplayOriginY(int32_t origin);
    void SetJumpHeight(float height);
    void SetLongJumpLength(float length);
    void SetLongJumpPlanks(int32_t planks);
    void SetMetric(bool on);
    // A spacing below 1 keeps the old spacing.
    void SetMetricGridSpacing(int32_t spacing);
    void SetShowGrass(bool on);
    void SetShowTexts(bool on);
    void SetShowObsCoords(bool on);
    void SetShowNumbers(bool on);
    void SetShowPaths(bool on);
    void SetShowUKCFooter(bool on);
    // An id outside 0..15 is reported and gives rule set 0.
    void SetSpecList(int organisationId);
    void SetUKCClass(int32_t ukcClass);
    void SetUSCoordUnitsX(int32_t units);
    void SetUSCoordUnitsY(int32_t units);
    void SetUsGridSpacing(int32_t spacing);

    // Shows the course flat and through the map camera, as when both flags
    // were read off, without storing them.
    void Leave3D();

    void SetTitle(const std::wstring& title, const std::wstring& path);
    void ApplyBrisklaneMode();

    // ---- Checks of values read from a file or the settings store ----------
    // A size not above 0 (or not a number) gives the fallback; any other is
    // limited to 1..kMaxRingSize.
    static float CheckRingSize(float value, float fallback);
    // A negative margin (or not a number) gives 0.
    static float CheckMargin(float value);
    // A spacing below 1 gives the fallback.
    static int32_t CheckGridSpacing(int32_t value, int32_t fallback);
    // An organisation id outside 0..15 is reported and gives 0.
    static int CheckOrganisationId(int organisationId);
    // The long jump's plank count limited to 1..kMaxLongJumpPlanks.
    static int32_t CheckLongJumpPlanks(int32_t planks);
    static constexpr int32_t kMaxLongJumpPlanks = 10;
    // The default ring size for the metric flag.
    static float GetDefaultWidth(bool metric);
    static float GetDefaultHeight(bool metric);

    // ---- Archive and text block ---------------------------------------------
    // (everything up to the end mark belongs to the archive and the text block)
    // No course text is longer: its archive records its length in 3 bytes,
    // and a listing holds at most kMaxObjects lines of objects.
    static constexpr size_t kMaxTextBytes = 64u << 20;
    // The ring block of the archive: size, margins and jump settings.
    struct CRingSettings
    {
        float width = 0.0f;
        float height = 0.0f;
        float margins[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        float jumpHeight = 0.0f;
        float longJumpLength = 0.0f;
        int32_t longJumpPlanks = 0;
    };
    CRingSettings GetRingSettings() const;
    // Takes over ring values read from a file, checked: a size not above 0
    // gives the default size for the metric flag, sizes are limited to
    // 1..kMaxRingSize, negative margins become 0, and margins give way
    // where the ring and its margins would pass kMaxRingSize (the far margin
    // first). Nothing is told.
    void TakeOverRingSettings(const CRingSettings& ring);
    // Rule set of an organisation id read from a file, without storing or
    // telling. An id outside 0..15 is the file's fault, not the program's:
    // it gives rule set 0 without a report.
    void TakeOverSpecList(int organisationId);

    void WriteArchive(std::string& out, bool selectedOnly, bool olderFormat, bool bothCameras);
    // What the archive holds before the object records: version, settings,
    // marked points and overlay.
    void WriteArchiveHead(CFieldWriter& stream, bool selectedOnly, bool version3, bool bothCameras);
    CCourseRead LoadArchive(const std::string& bytes, bool merge, bool bothCameras);
    void WriteObject(CFieldWriter& stream, CCourseObject* object);
    // Reads one object record. Objects the record makes besides its own (an
    // older handler figure's name becomes a text) come in `made`, outside
    // the course, for the read to count and take in with the record's; a
    // caller that passes none expects none.
    using CObjectList = std::vector<std::unique_ptr<CCourseObject>>;
    std::unique_ptr<CCourseObject> ReadObject(int typeId, CFieldReader& stream, bool overlay,
                                              CObjectList* made = nullptr);
    // What a record being read makes besides its own object goes with the
    // read (ReadObject's `made`); outside a read it is reported and dropped.
    void AddObjectOfRecord(std::unique_ptr<CCourseObject> object);
    void SerializeRingSettings(CFieldStream& stream, CRingSettings& ring);
    void SerializeDisplaySettings(CFieldStream& stream, bool bothCameras);

    void WriteTextBlock(std::ostream& out, bool selectedOnly, bool olderFormat);
    // The text block of an archive written for it (one camera).
    static void EncodeTextBlock(std::ostream& out, const std::string& archive, bool version3);
    CCourseRead ReadTextBlock(std::istream& in, bool merge);
    static bool ReadTextLine(std::istream& in, std::string& line, bool keepQuotes);
    static bool NextWord(const std::string& line, size_t& position, std::string& word);

private:
    // The archive and text-block readers (course/CourseFileAccess.h) fill
    // the course's fields only once a whole block has been read.
    friend class CCourseFileAccess;

    // The reserve for the next archive written: the largest size so far.
    size_t m_archiveReserve = 0;
    // Where the 3D camera lies in the last archive written with both
    // cameras; an archive without it is that archive with the range cut out.
    size_t m_camera3DBytes[2] = {0, 0};
    // Where each object record began in the last archive written, then where
    // the part after the records began: record i is [i, i + 1).
    std::vector<size_t> m_recordStarts;
    // ---- end of archive and text block ------------------------------------

    void ReadSettings();
    // Ring and margins along each axis within kMaxRingSize, so that every
    // point of the area can be stored.
    void LimitMargins();
    void ReadJumpSettings();
    void ReadStoredJumpSettings(float& height, float& length, int32_t& planks) const;
    void StoreFloatSetting(const std::wstring& name, float value);
    // The shared steps of the setters.
    void ChangeStoredInt(const std::wstring& name, int32_t& field, int32_t value, bool renewMarks);
    void ChangeStoredBool(const wchar_t* name, bool& field, bool value, bool renewMarks);
    void ChangeDisplayFlag(bool& field, bool value);
    void ChangeJumpSetting(const wchar_t* name, float& field, float value);
    std::wstring GetOrganisationValueName(const wchar_t* name) const;
    // A mark made for the spot joins the marks.
    void AddMark(std::vector<std::unique_ptr<CCourseMark>>& marks, float x, float y);
    void LayOutCoordinateMarks(std::vector<std::unique_ptr<CCourseMark>>& marks);
    void DestroyObjects(CCourseObjectSet& set);
    // The overlay set changes only through these, which keep its index.
    void AddOverlayObject(CCourseObject* object);
    void DestroyOverlayObjects();
    // Deletes the objects the test picks; none of them stays the edited or
    // the placed object.
    void EraseObjectsWhere(const std::function<bool(CCourseObject&)>& doomed);
    // Takes the object at it out of the set and destroys it; the one after.
    CCourseObjectSet::iterator DestroyObjectAt(CCourseObjectSet::iterator it);
    // Tells each listener, skipping one that an earlier listener removed;
    // while a broadcast goes on, IsBroadcasting is true.
    void TellListeners(const std::function<void(CCourseListener&)>& tell, bool broadcast);
    // Counts a change of a layer that shows what the archive holds.
    void NoteChange(ESceneLayer layer);

    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_margins[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const CSpecList* m_specList = nullptr;
    float m_jumpHeight = 0.0f;
    float m_longJumpLength = 0.0f;
    int32_t m_longJumpPlanks = 0;
    CDisplaySettings m_display;
    CViewCamera m_camera3D{false};
    std::vector<CPoint2> m_markedPoints;
    CCourseObjectSet m_overlayObjects;
    CDifferenceIndex m_differenceIndex;
    CCourseObjectSet m_objects;
    CCourseObject* m_editedObject = nullptr;
    int32_t m_handleIndex = -1;
    CPoint2 m_handlePos;
    const CObjectType* m_toolType = nullptr;
    std::shared_ptr<CEditSession> m_propertiesDialog;
    std::wstring m_toolLabel;
    CCourseObject* m_placedObject = nullptr;
    int32_t m_motion = 0;
    CPoint2 m_moveOffset;
    CPoint2 m_rotationCentre;
    float m_rotationAngle = 0.0f;
    CSnapAxis m_angleSnap{15.0f};
    bool m_flipSelectionOnly = false;
    int32_t m_modifiedCount = 0;
    std::wstring m_title;
    std::wstring m_path;
    // Ordered by badge style index, badge flag and label kind; the course
    // never holds two with the same three.
    std::vector<std::unique_ptr<CCourseNumbering>> m_numberings;
    int m_numberingHolds = 0;
    int m_replacingHolds = 0;
    // While a read course ties its lines to obstacle ends: the questions
    // that found no end are remembered, as the next undo step asks them
    // again (a placing tool's strokes ask new ones).
    bool m_tyingReadLines = false;
    // While ReadObject reads a record: where what the record makes besides
    // its own object goes.
    CObjectList* m_objectsOfRecord = nullptr;
    // The obstacle ends by place, filed when first asked for (a read course
    // tying its lines, a placing tool looking for ends near its strokes);
    // kept across changes, filing again only the ends of the objects that
    // changed since.
    mutable std::unique_ptr<CEndIndex> m_endIndex;
    // The ends filed by place, made or brought up to date for a question.
    const CEndIndex& GetEndIndex() const;
    std::set<CCourseListener*> m_listeners;
    std::unique_ptr<std::vector<std::unique_ptr<CCourseMark>>> m_coordinateMarks;
    CViewCamera m_cameraMap{true};
    bool m_broadcasting = false;
    float m_loadedJumpHeight = 0.0f;
    bool m_readFromVersion3 = false;
    bool m_writeVersion3 = false;
    bool m_noteReadFromVersion3 = false;
    bool m_madeFromTemplate = false;

    // ---- Motions and undo steps ---------------------------------------------
    // A run of pointer events of one kind is one motion: 1 move, 2 rotate,
    // 3 handle drag, 4 view size, 5 view camera. Each finished motion and
    // each finished command becomes one undo step holding the whole archive.
public:
    static constexpr int32_t kMaxUndoSteps = 5000;
    // Text 2017 + kind; none for another kind (reported).
    std::wstring GetMotionLabel() const;
    // Pushes the archive with the label, without the first "&" and without
    // a trailing "..." (labels longer than three characters).
    void CommitUndoStep(const std::wstring& label);
    void CommitUndoStepById(int textId);
    // Both end an open motion first. The snapshot stepped to is opened and
    // checked before anything of the course is touched: false (reported)
    // leaves the course and the history as they were.
    bool Undo();
    bool Redo();
    bool CanUndo() const;
    bool CanRedo() const;
    std::wstring GetUndoLabel() const;
    // Reported when there is nothing to redo.
    std::wstring GetRedoLabel() const;
    bool IsModified() const;
    // After reading or creating a course (resetHistory): unmodified, no
    // motion, the history holding only the present state. After saving: the
    // open motion ends, then unmodified.
    void MarkUnmodified(bool resetHistory);
    // Modified until the course is next saved or read, whatever is undone or
    // redone: for a course whose file does not hold it as it is.
    void MarkModifiedUntilSaved();
    const CUndoHistory& GetUndoHistory() const { return m_undoHistory; }
    // While an undo or redo puts back the objects of a step: each takes its
    // record as it stands and ties to the ends it names, so that the course
    // writes the step's bytes again. No path is refitted or routed anew, no
    // line end moves onto an obstacle end, and a sequence takes as its next
    // label the one its routed paths' records hold.
    bool IsRestoringStep() const { return m_restoringStep; }
    // Meanwhile, the objects the step reads anew; none when it reads the
    // whole course again.
    const std::vector<CCourseObject*>& GetObjectsReadBack() const { return m_objectsReadBack; }

private:
    // The archive an undo step keeps: every object, version 4, both cameras.
    void WriteSnapshot(std::string& out);
    // The course's text block for the crash log, from the snapshot just
    // written: kept as an archive, encoded only if a failure report is made.
    CTextBlockTrace MakeTextBlockTrace(const std::string& snapshot);
    // Replaces the objects, marked points and overlay by the snapshot's;
    // false (reported) when the snapshot is no archive this program reads.
    // kept, when given, is the archive the course writes, its records where
    // m_snapshotRecords has them; otherwise the course is written.
    bool LoadSnapshot(const std::string& snapshot, const std::string* kept);
    // The same for a snapshot that differs from the course only in some
    // object records, replacing just those objects; false, with the course
    // untouched, where that would not give the course a reload gives.
    bool LoadChangedRecords(const std::string& snapshot, const std::string* kept);
    // Takes out the objects a step reads anew (sorted by address) as
    // DeleteSelected does with them alone selected, and leaves none
    // selected: the course is walked to tell the others before and after,
    // the going ones are looked up.
    void RemoveObjectsReadAgain(const std::vector<CCourseObject*>& going);
    // Undo (forward false) or redo.
    bool StepThroughHistory(bool forward);
    // The archive's head as a snapshot has it.
    void WriteSnapshotHead(std::string& out);
    // Whether the course still writes the history's current snapshot, its
    // records where m_snapshotRecords has them: nothing changed since the
    // snapshot was written or read, and the head written now is the
    // snapshot's.
    bool WritesCurrentSnapshot();
    // The course now writes the history's current snapshot, its object
    // records where m_snapshotRecords has them when known.
    void KeepSnapshotRecords(bool known);

    CUndoHistory m_undoHistory{kMaxUndoSteps};
    bool m_restoringStep = false;
    std::vector<CCourseObject*> m_objectsReadBack;
    // While RemoveObjectsReadAgain tells the course of them, the objects it
    // takes out, sorted by address.
    const std::vector<CCourseObject*>* m_objectsGoing = nullptr;
    // Where each object record begins in the history's current snapshot,
    // then where its end section begins; kept from the commit, undo or redo
    // that made it current (history count m_snapshotCount) while the course
    // has seen no change since (change count m_snapshotChanges). A step then
    // compares against the snapshot instead of writing the course again.
    std::vector<size_t> m_snapshotRecords;
    uint32_t m_snapshotCount = 0;
    uint32_t m_snapshotChanges = 0;
    // Grows with every change the objects or settings tell of, and as
    // objects join or leave.
    uint32_t m_changeCount = 0;

    // ---- Selection ------------------------------------------------------------
    // Every object carries its selected flag; an object counts as selected
    // for most purposes only with a category of at least 1. Selection changes
    // end the motion.
public:
    // One selected object's type, colour variant and part colours.
    struct CSelectionValue
    {
        const CObjectType* type = nullptr;
        int variant = 0;
        const CPartColorSet* colors = nullptr;
    };

    // Selected objects of category 1 or more.
    int CountSelected() const;
    // Any selected flag, whatever the category.
    bool HasSelection() const;
    void RememberSelection();
    void SelectAll();
    // Deselects everything, then deletes what lies outside the ring and
    // margins (the edited object stays with keepEdited).
    void DeselectAll(bool keepEdited);
    // Adds the objects whose GetCategoryFor(0) is the category.
    void SelectByCategory(int category);
    // Adds the objects of the type.
    void SelectByType(const CObjectType* type);
    // Objects of the category are selected exactly when their dialog variant
    // differs from value; all others are selected.
    void SelectAllExcept(int category, int value);
    // Sets the edited object's flag; without one a report and nothing else.
    void SelectActiveObject(bool selected);
    // The rubber band: an object whose bounding-box centre projects strictly
    // inside viewRect (window pixels of the current view camera, viewTransform
    // placing that camera) is selected, or with toggle flips its remembered
    // state; the others return to the state remembered at the press.
    void SelectInRectangle(const CRectF& viewRect, const CTransform& viewTransform, bool toggle);
    // The union of the selected objects' bounds (category 1 or more); empty
    // when there are none.
    CRectF GetSelectionBounds() const;
    // One entry per object, selected or not, in set order.
    void CollectTypes(std::vector<const CObjectType*>& types) const;
    // The rule set's word for the name all selected objects' types share;
    // empty when they differ or nothing is selected.
    std::wstring GetSelectionTypeName() const;
    // One entry per selected object, in set order.
    void CollectSelectionValues(std::vector<CSelectionValue>& values) const;
    // Whether a selected object has the type id and placement of an
    // unselected one.
    bool SelectionDuplicatesOthers() const;
    // The marker glyph of every end of every selected object, at constant
    // screen size, with the end's pick id; the object's own kinds while one
    // object is selected, kind 2 for all ends while several are.
    void DrawSelection(class CGraphicsContext& context);

private:
    // Objects draw their marks differently with several selected: when the
    // count crosses between one and two, every object refreshes them.
    void RefreshSelectionAppearance(int countBefore);

    // ---- Pointer editing and placing ----------------------------------------
    // The view turns presses, drags and releases into these calls; positions
    // come as deltas in course units and are accumulated here, so rounding
    // never drifts. Each drag is one motion.
public:
    // Pick ids of the scene: bits 0-1 the kind (a body also as 3), bits 2-16
    // the object's index in set order, bits 17-31 the handle index.
    enum class EPickKind
    {
        kNothing = 0,
        kBody = 1,
        kHandle = 2,
    };
    static constexpr EPickKind GetPickKind(uint32_t pickId)
    {
        return (pickId & 3) == 0 ? EPickKind::kNothing : (pickId & 3) == 2 ? EPickKind::kHandle : EPickKind::kBody;
    }
    static constexpr uint32_t MakeBodyPickId(int index)
    {
        return ((uint32_t(index) & 0x7fff) << 2) | uint32_t(EPickKind::kBody);
    }
    static constexpr uint32_t MakeHandlePickId(int index, int handle)
    {
        return (uint32_t(handle) << 17) | ((uint32_t(index) & 0x7fff) << 2) | uint32_t(EPickKind::kHandle);
    }
    // Picks the object (and handle) under the pointer. A stale id, an index
    // that names more than one object of a course above 32768 objects, or a
    // handle past the object's ends counts as nothing picked. The outputs,
    // when given, are set only when something is picked.
    void PointerDown(uint32_t pickId, bool* selected, int* category);
    void StartActiveHandleMove();
    void BeginSingleObjectEdit();
    void PrepareRotationSnap();
    void MoveSelectionBy(float dx, float dy);
    void RotateSelectionBy(float dAngle);
    void MoveActiveHandle(float dx, float dy);
    CPoint2 GetRotationCentre();
    void EndActiveHandleMove();
    void EndSingleObjectEdit();
    void CommitSnappedAngle();
    // A name text id without a type (0 among them) chooses the select tool.
    // The tool's type makes the properties dialog that the objects placed
    // next take their values from; the course window runs it at once when
    // the type edits on creation.
    void SelectToolType(int nameTextId);
    void StartPlacingObject(float x, float y);
    void DragPlacedObject(float x, float y);
    void DropPlacedObject(float x, float y);
    // The tool's dialog for the course window to run; none after a report
    // when no tool with a dialog is chosen. The window holds it while it
    // runs: the course may let go of it meanwhile.
    std::shared_ptr<CEditSession> GetToolSessionToRun();
    // A text object (type 310) at (x, y) holding the text; null after a
    // report when the kind is missing, and null when the course is full.
    CCourseObject* AddText(float x, float y, const std::wstring& text);
    // The same text object, not yet in the course.
    std::unique_ptr<CCourseObject> MakeText(float x, float y, const std::wstring& text);
    void FlipSelection(bool acrossVertical);
    // Every object except the source adds its snap coordinates.
    void NotifyOthers(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source);

    int32_t GetHandleIndex() const { return m_handleIndex; }
    const CPoint2& GetHandlePos() const { return m_handlePos; }
    const CObjectType* GetToolType() const { return m_toolType; }
    const std::wstring& GetToolLabel() const { return m_toolLabel; }
    CEditSession* GetPropertiesDialog() const { return m_propertiesDialog.get(); }
    CCourseObject* GetPlacedObject() const { return m_placedObject; }
    const CPoint2& GetMoveOffset() const { return m_moveOffset; }
    float GetRotationAngle() const { return m_rotationAngle; }
    const CSnapAxis& GetAngleSnap() const { return m_angleSnap; }
    bool IsFlipSelectionOnly() const { return m_flipSelectionOnly; }

    // ---- Queries, text summary and images -----------------------------------
public:
    // The current view camera, framing the ring grown by 10 with the footer.
    CViewCamera& GetViewCamera();
    // Adds to the counters the objects whose bounding-box centre lies outside
    // the ring without margins: y < 0 or y > height; x < 0, else x > width.
    void CountObjectsOutside(int& belowY, int& aboveY, int& belowX, int& aboveX) const;
    // Adds every start/finish line to the counter of its kind.
    void CountEndLines(int& kind0, int& kind2, int& other) const;
    // Whether some object of layer 3 has no obstacle ends.
    bool HasLooseLayer3Object() const;
    // The sequence of the highest stamp among those matching the given badge
    // style index, badge flag and the kind of the given label (a null
    // criterion matches any); when none matches, one is made for the style
    // (0 when none is given), the flag (false) and the label's kind (digits)
    // and kept. None, after a report, when no sequences can be made.
    CCourseNumbering* GetNumbering(const int* styleIndex, const bool* badgeFlag = nullptr,
                                   const std::wstring* label = nullptr);
    const std::vector<std::unique_ptr<CCourseNumbering>>& GetNumberings() const { return m_numberings; }
    // Reverses the course: every numbering sequence, then every object.
    void RefreshNumbering();
    // After a legacy listing: every sequence whose labels run in order
    // numbers automatically.
    void ResumeSequentialNumbering();

    // While the course walks its objects and numbers leave or join their
    // sequences, a hold keeps the sequences from reordering the objects, and
    // removals from renumbering the rest one by one; the last hold to end has
    // every sequence catch up. A replacing hold, for objects swapped for their
    // records, keeps every label as it is.
    enum class ENumberingHold
    {
        kNone,
        kHeld,
        kReplacing,
    };
    ENumberingHold GetNumberingHold() const;
    class CNumberingHold
    {
    public:
        explicit CNumberingHold(CCourse& course, bool replacing = false);
        ~CNumberingHold();
        CNumberingHold(const CNumberingHold&) = delete;
        CNumberingHold& operator=(const CNumberingHold&) = delete;

    private:
        CCourse& m_course;
        bool m_replacing;
    };

    // The ends filed by place no longer hold: they are filed anew when next
    // asked for.
    void ForgetEndIndex();
    // The object's ends changed, or the object joined or left the course:
    // the ends filed by place file its ends again when next asked for.
    void ForgetEndsOf(const CCourseObject* object);
    // The object joined the course or left it.
    void ForgetEndsOf(const CCourseObject* object, bool inCourse);
    // The end of a kind in kindMask nearest to (x, y), within maxDistance
    // unless that is negative. Ends at one point are told apart by the
    // component along their direction of passage of: tie mode 0 point - end,
    // 1 end - point, 2 (dx, dy). Null when none.
    class CObstacleEnd* FindNearestEnd(float x, float y, float maxDistance, int kindMask, int tieMode,
                                       float dx = 0.0f, float dy = 0.0f) const;
    // The obstacle end whose entry segment passes nearest to (x, y), within
    // reach; of those as near, the first in the course's order, except that
    // ends at one point are told apart as FindNearestEnd's tie mode 0 tells
    // them apart. Null when none.
    class CObstacleEnd* FindEndOnEntry(float x, float y, float reach) const;
    // Of the ends at the place in their object's list, the one whose entry
    // segment passes nearest to (x, y), within maxDistance; of those as
    // near, the one whose point is nearest, then the first in the course's
    // order. Null when none.
    class CObstacleEnd* FindNearestEndAtPlace(float x, float y, float maxDistance, size_t place) const;
    // The same, looking at the ends of every object in the course's order:
    // what the ends filed by place answer a question with a reach as.
    class CObstacleEnd* FindNearestEndInEveryObject(float x, float y, float maxDistance, int kindMask, int tieMode,
                                                    float dx = 0.0f, float dy = 0.0f) const;
    // Whether a first or jump end of an object other than exceptA and exceptB
    // lies in the forward cone of (x, y) along (dx, dy): less than 45 degrees
    // off, within 2520 (short range) or 2760.
    bool FindEndCrossing(float x, float y, float dx, float dy, const CCourseObject* exceptA,
                         const CCourseObject* exceptB, bool shortRange) const;
    // Suppressed: brings every object's 2D (mode 2) or 3D shape key up to
    // date. Otherwise draws the shown ones placed, with their pick ids (0 for
    // overlay objects), rebuilding only stale keys: the suppressing pass
    // goes first in each frame.
    void AddObjectsToScene(class CGraphicsContext& context, bool suppress, int mode, bool overlay);
    // The plain-text summary: title, ring size, one line per obstacle name
    // with its count, the total; lines end in CR LF.
    void DescribeCourse(std::wostream& stream, bool selectedOnly) const;
    // The coordinate marks, in three passes over them: every label refreshed
    // for the view kind (2 map, 3 3D), every arrow, every label.
    void DrawCoordinateMarks(class CGraphicsContext& context, int mode);

    // ---- New-course set-up, properties dialogs, difference overlay -----------
public:
    // A properties dialog of the selection's type filled by every selected
    // object, for the course window to run; none after a report when the
    // selection has no one type name.
    std::unique_ptr<CEditSession> MakeSelectionSession();
    // Applies a confirmed dialog: to the selection, or, for the tool's
    // dialog, to the objects placed next.
    void ApplyPropertiesDialog(CEditSession& dialog);
    // A cancelled dialog: the course returns to the select tool.
    void ReleasePropertiesDialog(CEditSession* dialog);
    // Prepares a copy of a course for setting it up in the ring: hidable
    // objects go, the obstacles' coordinates are marked and, unless the
    // set-up dialog keeps the layout, the obstacles are spread apart.
    void ApplyNewCourseSetUp(bool keepLayout);
    // Lays copies of the other course's obstacles (and numbers and lines
    // when asked) over this course.
    void BuildDifferenceOverlay(CCourse& otherCourse, bool withNumbers, bool withLines);
    void FilterDifferenceOverlay(bool keepObstacles, bool keepNumbers, bool keepLines);
};
