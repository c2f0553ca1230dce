#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
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
    // The display block of the archive: the course's display settings and
    // the two view cameras.
    struct CDisplayBlock : CCourse::CDisplaySettings
    {
        CViewCamera cameraMap{true};
        CViewCamera camera3D{false};
        // Where the 3D camera's bytes went when the block was last written
        // with both cameras: [camera3DBegin, camera3DEnd) of the stream.
        size_t camera3DBegin = 0;
        size_t camera3DEnd = 0;
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
    static CCourseRead LoadArchive(CCourse& course, const std::string& bytes, bool merge, bool bothCameras,
                                   bool deselectFirst);

    // The legacy listing, from the line that holds "Dimensions" (the word at
    // wordPosition of firstLine) to its end line. Always counts as read.
    static CCourseRead ReadLegacyText(CCourse& course, std::istream& in, const std::string& firstLine,
                                      size_t wordPosition, bool merge);

    // Takes new objects into the course: overlay objects into the overlay
    // set, every other one selected when merging and deselected otherwise;
    // each is invalidated once it is in.
    struct CNewObject
    {
        std::unique_ptr<CCourseObject> object;
        bool overlay = false;
    };
    static void InsertNewObjects(CCourse& course, std::vector<CNewObject>& objects, bool merge);

    // Where the parts of a version-4 archive lie: the head (header,
    // settings, marked points and overlay) up to the first record of the
    // course's own objects, each such record, and the end section on.
    struct CArchiveLayout
    {
        size_t headEnd = 0;
        std::vector<std::pair<size_t, size_t>> records;
        size_t tailStart = 0;
    };
    // False for anything but a whole version-4 archive in that order.
    static bool SplitArchive(const std::string& bytes, CArchiveLayout& layout);
    // The object of one record of a version-4 archive; none when its kind
    // is unknown or it cannot be made.
    static std::unique_ptr<CCourseObject> ReadRecord(CCourse& course, const std::string& bytes,
                                                     const std::pair<size_t, size_t>& record);
    static void DeselectAll(CCourse& course);
    // Every object resolves its links, the coordinate marks follow and the
    // listeners hear that settings and view changed.
    static void FinishLoading(CCourse& course);
};
