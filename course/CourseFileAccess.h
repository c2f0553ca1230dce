#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/ViewCamera.h"
#include "course/Course.h"

class CFieldReader;

// The readers and writers of the course's file formats: the archive, the
// text block and the legacy course text. A reader first reads a whole block
// into the values below and fresh objects, and only then takes them into the
// course, so a block that cannot be read leaves the course as it was.
class CCourseFileAccess
{
public:
    // The display block of the archive, with the two view cameras.
    struct CDisplayBlock
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
        CViewCamera cameraMap{true};
        CViewCamera camera3D{false};
    };

    static CDisplayBlock GetDisplayBlock(const CCourse& course);
    // The course's fields from a block, as they stand.
    static void SetDisplayBlock(CCourse& course, const CDisplayBlock& display);
    // One routine for both directions; the stream's major version chooses
    // the layout. The 3D camera travels only with bothCameras.
    static void SerializeDisplayBlock(CFieldStream& stream, CDisplayBlock& display, bool bothCameras);

    // The archive loader behind CCourse::LoadArchive. deselectFirst clears
    // the selection of the course's own objects once the archive has been
    // read (pasting a text block).
    static bool LoadArchive(CCourse& course, const std::string& bytes, bool merge, bool interactive,
                            bool bothCameras, bool deselectFirst);

    // The legacy listing, from the line that holds "Dimensions" (the word at
    // wordPosition of firstLine) to its end line. Always counts as read.
    static bool ReadLegacyText(CCourse& course, std::istream& in, const std::string& firstLine,
                               size_t wordPosition, bool merge, bool interactive);

    // Takes new objects into the course: overlay objects into the overlay
    // set, every other one selected when merging and deselected otherwise;
    // each is invalidated once it is in.
    struct CNewObject
    {
        std::unique_ptr<CCourseObject> object;
        bool overlay = false;
    };
    static void InsertNewObjects(CCourse& course, std::vector<CNewObject>& objects, bool merge);
    static void DeselectAll(CCourse& course);
    // Every object resolves its links, the coordinate marks follow and the
    // listeners hear that settings and view changed.
    static void FinishLoading(CCourse& course);
};
