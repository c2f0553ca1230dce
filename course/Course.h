#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/ViewCamera.h"
#include "course/CourseListener.h"
#include "course/SnapAxis.h"
#include "foundation/Geometry.h"
#include "foundation/Rect.h"

class CCoordinateMark;
class CCourseObject;
class CFieldReader;
class CFieldStream;
class CFieldWriter;
class CObjectPropertiesDlg;
class CObjectType;
class CObsNumSequence;
class CPartColorSet;
class CSpecList;

// The course's objects in drawing order: by layer, then by serial number.
struct CCourseObjectOrder
{
    bool operator()(const CCourseObject* a, const CCourseObject* b) const;
};
using CCourseObjectSet = std::set<CCourseObject*, CCourseObjectOrder>;

// The course document: the ring and its settings, every object placed on it,
// the selection and motion state, and the listeners told of every change.
// Lengths are course units, tenths of an inch.
class CCourse : public CCourseListener
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
    ~CCourse();
    CCourse(const CCourse&) = delete;
    CCourse& operator=(const CCourse&) = delete;

    // ---- Objects -------------------------------------------------------
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
    // 0 normal, 1 pale (an identical copy is in the overlay), 2 grey (an
    // overlay object).
    int GetDifferenceStatus(CCourseObject* object) const;
    CCourseObject* GetEditedObject() const { return m_editedObject; }

    // ---- Coordinate marks ---------------------------------------------
    const std::vector<CPoint2>& GetMarkedPoints() const { return m_markedPoints; }
    void AddMarkedPoint(const CPoint2& point) { m_markedPoints.push_back(point); }
    void ClearMarkedPoints();
    void UpdateCoordinateMarks();
    // Null until the first update.
    const std::vector<std::unique_ptr<CCoordinateMark>>* GetCoordinateMarks() const
    {
        return m_coordinateMarks.get();
    }

    // ---- Motion ---------------------------------------------------------
    void SetMotion(int kind);
    int GetMotion() const { return m_motion; }

    // ---- Listeners ------------------------------------------------------
    void AddListener(CCourseListener* listener) { m_listeners.insert(listener); }
    void RemoveListener(CCourseListener* listener) { m_listeners.erase(listener); }
    bool IsBroadcasting() const { return m_broadcasting; }
    void OnMapLayerChanged(int layer) override;
    void On3DLayerChanged(int layer) override;
    void OnCourseSettingsChanged() override;
    void OnCourseChanged() override;

    // ---- Settings -------------------------------------------------------
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }
    float GetMargin(int margin) const;
    const CSpecList& GetSpecList() const { return *m_specList; }
    int GetOrganisationId() const;
    float GetJumpHeight() const { return m_jumpHeight; }
    float GetLongJumpLength() const { return m_longJumpLength; }
    int32_t GetLongJumpPlanks() const { return m_longJumpPlanks; }
    int32_t GetUKCClass() const { return m_ukcClass; }
    bool GetShowUKCFooter() const { return m_showUKCFooter; }
    bool GetShowPaths() const { return m_showPaths; }
    bool GetShowObsCoords() const { return m_showObsCoords; }
    bool GetShowNumbers() const { return m_showNumbers; }
    bool GetShowTexts() const { return m_showTexts; }
    bool GetHideGrass() const { return m_hideGrass; }
    int32_t GetBackground() const { return m_background; }
    int32_t GetMetricGridSpacing() const { return m_metricGridSpacing; }
    int32_t GetUsGridSpacing() const { return m_usGridSpacing; }
    int32_t GetDisplayOriginX() const { return m_displayOriginX; }
    int32_t GetDisplayOriginY() const { return m_displayOriginY; }
    bool IsMetric() const { return m_metric; }
    bool GetBaselineCoordFirst() const { return m_baselineCoordFirst; }
    int32_t GetUSCoordUnitsX() const { return m_usCoordUnitsX; }
    int32_t GetUSCoordUnitsY() const { return m_usCoordUnitsY; }
    bool Get3D() const { return m_show3D; }
    bool Get3DCamera() const { return m_use3DCamera; }
    // The 3D camera while the 3D camera is in use, else the map camera.
    CViewCamera& GetCurrentCamera() { return m_use3DCamera ? m_camera3D : m_cameraMap; }
    CViewCamera& GetMapCamera() { return m_cameraMap; }
    CViewCamera& Get3DViewCamera() { return m_camera3D; }
    const std::wstring& GetTitle() const { return m_title; }
    const std::wstring& GetPath() const { return m_path; }
    int32_t GetModifiedCount() const { return m_modifiedCount; }
    float GetLoadedJumpHeight() const { return m_loadedJumpHeight; }
    void SetLoadedJumpHeight(float height) { m_loadedJumpHeight = height; }
    bool IsReadFromVersion3() const { return m_readFromVersion3; }
    bool GetWriteVersion3() const { return m_writeVersion3; }
    void SetWriteVersion3(bool on) { m_writeVersion3 = on; }
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
    // A negative margin is reported and taken as 0.
    void SetLengthValue(int margin, float value);
    // A size not above 0 is reported and keeps that dimension as it was;
    // sizes are limited to 1..kMaxRingSize.
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
    // The default ring size for the metric flag.
    static float GetDefaultWidth(bool metric);
    static float GetDefaultHeight(bool metric);

    // ---- Archive and text block ---------------------------------------------
    // (everything up to the end mark belongs to the archive and the text block)
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
    // 1..kMaxRingSize, negative margins become 0. Nothing is told.
    void TakeOverRingSettings(const CRingSettings& ring);
    // Rule set of an organisation id (checked), without storing or telling.
    void TakeOverSpecList(int organisationId);

    void WriteArchive(std::string& out, bool selectedOnly, bool olderFormat, bool bothCameras);
    bool LoadArchive(const std::string& bytes, bool merge, bool interactive, bool bothCameras);
    void WriteObject(CFieldWriter& stream, CCourseObject* object);
    std::unique_ptr<CCourseObject> ReadObject(int typeId, CFieldReader& stream, bool overlay);
    void SerializeRingSettings(CFieldStream& stream, CRingSettings& ring);
    void SerializeDisplaySettings(CFieldStream& stream, bool bothCameras);

    void WriteTextBlock(std::ostream& out, bool selectedOnly, bool olderFormat);
    bool ReadTextBlock(std::istream& in, bool merge, bool interactive);
    static bool ReadTextLine(std::istream& in, std::string& line, bool keepQuotes);
    static bool NextWord(const std::string& line, size_t& position, std::string& word);

private:
    // The archive and text-block readers (course/CourseFileAccess.h) fill
    // the course's fields only once a whole block has been read.
    friend class CCourseFileAccess;

    // The reserve for the next archive written: the largest size so far.
    size_t m_archiveReserve = 0;
    // ---- end of archive and text block ------------------------------------

    void ReadSettings();
    void ReadJumpSettings();
    void StoreFloatSetting(const std::wstring& name, float value);
    std::wstring GetOrganisationValueName(const wchar_t* name) const;
    void LayOutCoordinateMarks(std::vector<std::unique_ptr<CCoordinateMark>>& marks);
    void DestroyObjects(CCourseObjectSet& set);

    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_margins[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const CSpecList* m_specList = nullptr;
    float m_jumpHeight = 0.0f;
    float m_longJumpLength = 0.0f;
    int32_t m_longJumpPlanks = 0;
    int32_t m_ukcClass = 1;
    bool m_showUKCFooter = true;
    bool m_showPaths = true;
    bool m_showObsCoords = false;
    bool m_showNumbers = true;
    bool m_showTexts = true;
    bool m_hideGrass = false;
    int32_t m_background = 3;
    int32_t m_metricGridSpacing = 3;
    int32_t m_usGridSpacing = 10;
    int32_t m_displayOriginX = 1;
    int32_t m_displayOriginY = 2;
    bool m_metric = false;
    bool m_baselineCoordFirst = true;
    int32_t m_usCoordUnitsX = 3;
    int32_t m_usCoordUnitsY = 3;
    bool m_show3D = false;
    bool m_use3DCamera = false;
    CViewCamera m_camera3D{false};
    std::vector<CPoint2> m_markedPoints;
    CCourseObjectSet m_overlayObjects;
    CCourseObjectSet m_objects;
    CCourseObject* m_editedObject = nullptr;
    int32_t m_handleIndex = -1;
    CPoint2 m_handlePos;
    const CObjectType* m_toolType = nullptr;
    std::unique_ptr<CObjectPropertiesDlg> m_propertiesDialog;
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
    std::set<CObsNumSequence*> m_numberings;
    std::set<CCourseListener*> m_listeners;
    std::unique_ptr<std::vector<std::unique_ptr<CCoordinateMark>>> m_coordinateMarks;
    CViewCamera m_cameraMap{true};
    bool m_broadcasting = false;
    float m_loadedJumpHeight = 0.0f;
    bool m_readFromVersion3 = false;
    bool m_writeVersion3 = false;
    bool m_noteReadFromVersion3 = false;
};
