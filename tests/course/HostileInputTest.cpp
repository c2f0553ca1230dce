#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/FieldStream.h"
#include "objects/annotations/HumanShape.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

// Damaged and hostile course text fed to the reader, at three levels: the
// text's lines; the base64-decoded compressed record; the decompressed
// archive, mutated and compressed again so that the damage gets past zlib's
// check. Every read must end within a time bound, keep the program's memory
// within a bound, raise no failure report (bad input is no program fault),
// leave the course as it was when it fails, and, when it reads, give a course
// that, written in either format, read and written again, gives the same
// bytes.
//
// The seeds are courses holding objects of every registered kind, and
// listings of the older text with a line for every registered key name, so a
// new kind joins by being registered; one course and one listing hold them
// at the edges of what the archive stores. FENDREL_FUZZ_CASES sets the
// number of inputs (some thousands by default; some hundred thousand for a
// run by hand, whose child is given time in proportion) and
// FENDREL_FUZZ_SEED the random numbers' seed (the suite's own by default);
// the figures are printed at the end.

namespace {

// A read of a few kilobytes takes milliseconds, one of thousands of damaged
// tunnels (each fitted anew) some seconds; far beyond that is a hang.
constexpr DWORD kReadLimitMs = 10000;
// The private memory the whole run may reach: the largest course a read can
// give (100,000 objects) takes about a tenth of it.
constexpr SIZE_T kMemoryLimit = 1024u << 20;

struct CMemory
{
    SIZE_T now = 0;
    SIZE_T peak = 0;
};

CMemory GetMemory()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return {counters.PrivateUsage, counters.PeakPagefileUsage};
}

std::string TextOf(CCourse& course, bool version3 = false)
{
    std::ostringstream out;
    course.WriteTextBlock(out, false, version3);
    return out.str();
}

std::string ArchiveOf(CCourse& course, bool version3 = false)
{
    std::string bytes;
    course.WriteArchive(bytes, false, version3, false);
    return bytes;
}

// A record of the object as the archive holds it.
std::string RecordOf(CCourse& course, CCourseObject* object)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    course.WriteObject(writer, object);
    return writer.m_bytes;
}

CCourseRead Read(CCourse& course, const std::string& text, bool merge)
{
    std::istringstream in(text);
    return course.ReadTextBlock(in, merge);
}

// The text block around a body of compressed bytes.
std::string WrapBody(const std::string& body)
{
    return " \r\n \r\nBegin Fendrel \r\nVersion 4 \r\nFor a free viewer, go to www.norvane.com/viewer \r\n" +
           CBase64::Encode(body, 64) + " \r\nEnd Fendrel \r\n \r\n";
}

// The archive compressed as the writer does, behind three zero bytes for
// version 4.
std::string WrapArchive(const std::string& archive, bool version3)
{
    std::string compressed;
    ZlibCompressWithLength(archive, compressed, true, std::string());
    return WrapBody((version3 ? std::string() : std::string(3, '\0')) + compressed);
}

// An object of the kind, made as the placing tool makes it and dragged as
// the tool drags the kinds that take their shape from it: straight (or along
// the way given) for lines and areas, a curved stroke for paths.
CCourseObject* PlaceKind(CCourse& course, const CObjectType& type, float x, float y, float angle,
                         float reach = 1000.0f, std::vector<CPoint2> way = {})
{
    const int typeId = type.GetId();
    if (way.empty() && (typeId == 110 || typeId == 270 || typeId == 350))
        way.emplace_back(x + 0.9f * reach, y + 0.5f * reach);
    for (float t = 0.1f; (typeId == 90 || typeId == 140) && t <= 1.0f; t += 0.1f)
        way.emplace_back(x + reach * t, y + 0.8f * reach * std::sin(3.0f * t));
    CTransform placement;
    placement.SetPosition2D(x, y);
    placement.RotateZ(angle);
    std::unique_ptr<CEditSession> dialog = type.CreatePropertiesDialog(&course, type.GetNameTextId());
    std::unique_ptr<CCourseObject> made = type.CreateNew(&course, placement, dialog.get());
    if (!made)
        return nullptr;
    CCourseObject* object = made.get();
    course.AddObject(std::move(made));
    if (!way.empty()) {
        object->StartMove(x, y);
        for (const CPoint2& p : way)
            object->Move(p.x, p.y);
        object->EndMove();
    }
    object->Invalidate();
    return object;
}

// Valid courses to damage: listings of the older text, which have no
// archive; then every registered kind, in small groups and all together,
// under varied settings, with marked points and an overlay.
struct CSeed
{
    std::string text;
    std::string archive;
    bool version3 = false;
};

// A listing with lines for every key name, each with more numbers than any
// kind reads: small counts and choices among inches up to a span, the spans
// those of an obstacle, of a ring and beyond what the archive stores. The
// lines stand in the ring and up to a third beyond it, turned or not.
CSeed MakeListingSeed(int widthFeet, int heightFeet, uint32_t variant)
{
    std::mt19937 rng(variant);
    const auto below = [&rng](int limit) { return int(rng() % unsigned(limit)); };
    std::ostringstream text;
    text << "Begin Fendrel\r\nVersion 2000\r\nDimensions " << widthFeet << ' ' << heightFeet << "\r\n";
    for (const std::string& keyName : GetObjectKeyNames()) {
        for (int span : {100, 800, 8000}) {
            text << keyName << ' ' << below(widthFeet * 4 / 3) << ' ' << below(heightFeet * 4 / 3) << ' '
                 << (below(2) ? 0 : below(360));
            for (int i = 0; i < 14; ++i)
                text << ' ' << (below(3) ? below(span + 1) - span / 2 : below(10));
            if (below(3) == 0)
                text << " (" << below(12) << ' ' << below(12) << ')';
            text << "\r\n";
        }
    }
    text << "End Fendrel\r\n";
    return CSeed{text.str()};
}

// A listing with a line for every key name by each side and each corner of
// what the archive stores, within a few units of its edges, turned or not,
// with numbers as MakeListingSeed gives them. The places are whole inches in
// the line's pair (x across, y down from the far side of a ring of 250
// feet), so 3276 inches lie 7 or 8 units inside the edges.
CSeed MakeEdgeListingSeed(uint32_t variant)
{
    std::mt19937 rng(variant);
    const auto below = [&rng](int limit) { return int(rng() % unsigned(limit)); };
    constexpr int kEdgeInches = 3276;
    constexpr int kRingInches = 3000;
    // A place within the ring, at random.
    constexpr int kInside = -1;
    const int across[] = {-kEdgeInches, kEdgeInches, kInside};
    const int down[] = {kRingInches + kEdgeInches, kRingInches - kEdgeInches, kInside};
    std::ostringstream text;
    text << "Begin Fendrel\r\nVersion 2000\r\nDimensions 250 250\r\n";
    for (const std::string& keyName : GetObjectKeyNames()) {
        for (int x : across) {
            for (int y : down) {
                if (x == kInside && y == kInside)
                    continue;
                const int span = below(2) ? 800 : 8000;
                text << keyName << " 0 0 " << (below(2) ? 0 : below(360));
                for (int i = 0; i < 14; ++i)
                    text << ' ' << (below(3) ? below(span + 1) - span / 2 : below(10));
                text << " (" << (x == kInside ? below(kRingInches) : x) << ' '
                     << (y == kInside ? below(kRingInches) : y) << ")\r\n";
            }
        }
    }
    text << "End Fendrel\r\n";
    return CSeed{text.str()};
}

std::vector<CSeed> MakeSeeds()
{
    const std::vector<const CObjectType*> types = GetObjectTypes();
    std::vector<std::unique_ptr<CCourse>> courses;
    for (size_t first = 0; first < types.size(); first += 4) {
        auto course = std::make_unique<CCourse>(L"Seed", L"");
        course->SetSpecList(int(first % 16));
        course->SetLengthValue(CCourse::kMarginHighX, float(first * 40));
        for (size_t i = first; i < std::min(types.size(), first + 4); ++i)
            PlaceKind(*course, *types[i], 2000.0f + 2500.0f * float(i - first), 3000.0f, float(i * 35));
        courses.push_back(std::move(course));
    }
    auto all = std::make_unique<CCourse>(L"Every kind", L"");
    all->SetSize(24000.0f, 20000.0f);
    all->SetLengthValue(CCourse::kMarginLowY, 600.0f);
    for (size_t i = 0; i < types.size(); ++i)
        PlaceKind(*all, *types[i], 1500.0f + float(i % 6) * 3600.0f, 2000.0f + float(i / 6) * 2400.0f, float(i * 25));
    // Straight lines from near each obstacle's first end to near its last
    // and onto its first, so that their ends tie to them.
    const std::vector<CCourseObject*> placed(all->GetObjects().begin(), all->GetObjects().end());
    for (const CCourseObject* object : placed) {
        const CObstacleEndList& ends = object->GetEnds();
        if (ends.empty())
            continue;
        const CPoint2 first = ends.front()->GetCoursePoint() + CPoint2(30.0f, 20.0f);
        const CPoint2 last = ends[ends.size() - 1]->GetCoursePoint() + CPoint2(-20.0f, 30.0f);
        for (const CPoint2& to : {last, first})
            PlaceKind(*all, *FindObjectTypeById(270), first.x, first.y, 0.0f, 0.0f, {to});
    }
    all->SetShowObsCoords(true);
    all->AddMarkedPoint(CPoint2(100.0f, 200.0f));
    all->AddMarkedPoint(CPoint2(-300.0f, 32767.0f));
    // The overlay of another course, shown for comparison.
    all->BuildDifferenceOverlay(*courses.front(), true, true);
    courses.push_back(std::move(all));
    // Every kind turned at the edges of what the archive stores, dragged
    // out beyond them.
    auto edges = std::make_unique<CCourse>(L"At the edges", L"");
    edges->SetSize(30000.0f, 30000.0f);
    for (size_t i = 0; i < types.size(); ++i) {
        const float x = i % 2 ? 32000.0f : -31000.0f;
        const float y = i % 4 < 2 ? 31500.0f : -32000.0f;
        PlaceKind(*edges, *types[i], x, y, float(30 + i * 25), x > 0.0f ? 3000.0f : -3000.0f);
    }
    // Start and finish lines, paths, lines and areas drawn out to within a
    // few units of each corner, then turned, flipped and moved with the
    // rest as a selection, as edits take them there; objects whose centres
    // lie outside the ring stay, for nothing is deselected.
    for (const int typeId : {90, 110, 140, 270, 350}) {
        for (const CPoint2 corner : {CPoint2(1.0f, 1.0f), CPoint2(-1.0f, 1.0f), CPoint2(1.0f, -1.0f),
                                     CPoint2(-1.0f, -1.0f)}) {
            const CPoint2 from = corner * 29000.0f;
            PlaceKind(*edges, *FindObjectTypeById(typeId), from.x, from.y, 0.0f, 3700.0f * corner.x,
                      {corner * 32764.0f});
        }
    }
    edges->SelectAll();
    edges->PrepareRotationSnap();
    edges->RotateSelectionBy(37.0f);
    edges->CommitSnappedAngle();
    edges->FlipSelection(true);
    edges->MoveSelectionBy(900.0f, -700.0f);
    edges->SetMotion(0);
    for (CCourseObject* object : edges->GetObjects())
        object->SetSelected(false);
    courses.insert(courses.end() - 1, std::move(edges));

    std::vector<CSeed> seeds = {MakeListingSeed(300, 300, 1), MakeListingSeed(100, 80, 2), MakeEdgeListingSeed(3)};
    for (const auto& course : courses) {
        for (bool version3 : {false, true}) {
            CSeed seed;
            seed.version3 = version3;
            seed.text = TextOf(*course, version3);
            course->WriteArchive(seed.archive, false, version3, false);
            seeds.push_back(seed);
        }
    }
    return seeds;
}

// Makes damaged text from the seeds, at the three levels.
class CDamage
{
public:
    CDamage(const std::vector<CSeed>& seeds, uint32_t seed) : m_seeds(seeds), m_rng(seed) {}

    // Listings are damaged as lines only.
    std::string Make(int level)
    {
        const CSeed* seed = &m_seeds[Random(m_seeds.size())];
        while (level > 0 && seed->archive.empty())
            seed = &m_seeds[Random(m_seeds.size())];
        switch (level) {
        case 0:
            return DamageLines(seed->text);
        case 1:
            return DamageCompressed(*seed);
        default:
            return DamageArchive(*seed);
        }
    }

private:
    size_t Random(size_t limit) { return limit == 0 ? 0 : size_t(m_rng() % limit); }
    char AbsurdByte()
    {
        static const unsigned char kAbsurd[] = {0x00, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F, 0x80, 0xFF, 0x01, 0xFE};
        return Random(3) ? char(kAbsurd[Random(10)]) : char(Random(256));
    }
    std::vector<std::string> SplitLines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            lines.push_back(text.substr(start, end - start));
            start = end;
        }
        return lines;
    }

    std::string DamageLines(const std::string& text)
    {
        static const char* const kLines[] = {
            "End\r\n",       "Begin Fendrel\r\n", "Version 9\r\n", "Version 3\r\n",      "Empty\r\n",
            "2000\r\n",      "> > \r\n",          "*\r\n",         "Dimensions 300 5\r\n", "Dimensions -4 99999999999 (7 x)\r\n",
            "AFrame 10 20 90 (6 6)\r\n", "AFrame 1e30 -1e30 45\r\n", "End Fendrel\r\n",
        };
        std::vector<std::string> lines = SplitLines(text);
        for (size_t changes = 1 + Random(4); changes > 0 && !lines.empty(); --changes) {
            std::string& line = lines[Random(lines.size())];
            switch (Random(10)) {
            case 0:
                lines.erase(lines.begin() + long(Random(lines.size())));
                break;
            case 1:
                lines.insert(lines.begin() + long(Random(lines.size())), lines[Random(lines.size())]);
                break;
            case 2:
                std::swap(line, lines[Random(lines.size())]);
                break;
            case 3:
                lines.insert(lines.begin() + long(Random(lines.size())), kLines[Random(13)]);
                break;
            case 4:
                if (!line.empty())
                    line[Random(line.size())] = Random(2) ? AbsurdByte() : char(' ' + Random(95));
                break;
            case 5:
                line = line.substr(0, Random(line.size() + 1));
                break;
            case 6:
                line.insert(Random(line.size() + 1), Random(2) ? "*\r\n" : "> ");
                break;
            case 7:
            case 8: {
                // A number of the line replaced by a small one, one at the edges of what a listing or the
                // archive holds, or any between.
                static const char* const kEdges[] = {"0",    "1",    "-1",    "2",     "3",
                                                     "1000", "3276", "-3277", "32767", "-99999"};
                size_t start = line.find_first_of("0123456789", Random(line.size() + 1));
                if (start == std::string::npos)
                    break;
                const size_t end = line.find_first_not_of("0123456789", start);
                start -= start > 0 && line[start - 1] == '-' ? 1 : 0;
                line.replace(start, end - start,
                             Random(2) ? kEdges[Random(10)] : std::to_string(int(Random(20001)) - 10000));
                break;
            }
            default:
                line.insert(Random(line.size() + 1), std::string(1 + Random(300), char('A' + Random(58))));
                break;
            }
        }
        std::string damaged;
        for (const std::string& line : lines)
            damaged += line;
        return damaged;
    }

    std::string MutateBytes(std::string bytes, size_t from)
    {
        for (size_t changes = 1 + Random(6); changes > 0; --changes) {
            if (bytes.size() <= from)
                bytes.append(1, AbsurdByte());
            const size_t at = from + Random(bytes.size() - from);
            switch (Random(6)) {
            case 0:
                bytes[at] = AbsurdByte();
                break;
            case 1:
                bytes[at] = char(bytes[at] ^ (1 << Random(8)));
                break;
            case 2:
                bytes.erase(at, 1 + Random(8));
                break;
            case 3:
                bytes.insert(at, 1 + Random(8), AbsurdByte());
                break;
            case 4:
                // An Int16 from the edges of its range.
                bytes.insert(at, Random(2) ? std::string("\xFF\x7F", 2) : std::string("\x00\x80", 2));
                break;
            default:
                bytes.resize(at);
                break;
            }
        }
        return bytes;
    }

    std::string DamageCompressed(const CSeed& seed)
    {
        std::string compressed;
        ZlibCompressWithLength(seed.archive, compressed, true, std::string());
        const std::string prefix = seed.version3 ? std::string() : std::string(3, '\0');
        // The recorded length comes first: a third of the damage goes there.
        return WrapBody(prefix + MutateBytes(compressed, Random(3) ? 3 : 0));
    }

    // A field of an archive: from after a field end to the next one.
    std::string RandomField(const std::string& archive)
    {
        const size_t start = archive.find('\x1F', Random(archive.size()));
        if (start == std::string::npos)
            return std::string();
        const size_t end = archive.find('\x1F', start + 1);
        return archive.substr(start + 1, end == std::string::npos ? std::string::npos : end - start);
    }

    std::string DamageArchive(const CSeed& seed)
    {
        std::string archive = seed.archive;
        switch (Random(4)) {
        case 0: {
            // Records repeated, from this seed or another of its version.
            const std::string field = RandomField(Random(2) ? archive : m_seeds[Random(m_seeds.size())].archive);
            const size_t at = archive.find('\x1F', Random(archive.size()));
            std::string repeated;
            for (size_t n = 1 + Random(Random(2) ? 8 : 4000); n > 0; --n)
                repeated += field;
            archive.insert(at == std::string::npos ? archive.size() : at + 1, repeated);
            break;
        }
        case 1:
            archive = MutateBytes(archive, 0);
            break;
        default:
            archive = MutateBytes(archive, 8);
            break;
        }
        return WrapArchive(archive, seed.version3);
    }

    const std::vector<CSeed>& m_seeds;
    std::mt19937 m_rng;
};

struct CFigures
{
    int cases[3] = {0, 0, 0};
    int refusedAt[3] = {0, 0, 0};
    int loaded = 0;
    int refused = 0;
    DWORD slowest = 0;
    SIZE_T peak = 0;
};

// Reads each damaged text into a course and checks what the read left.
class CReadCheck
{
public:
    explicit CReadCheck(const std::string& baseText) : m_baseText(baseText) { Renew(); }

    // False when the read broke a rule; GetFailure tells which.
    bool Check(const std::string& text, bool merge, CFigures& figures)
    {
        // A file opens in a new course; a paste goes into one that has
        // objects of its own.
        CCourse fresh(L"Opened", L"");
        CCourse& course = merge ? *m_pasteTarget : fresh;
        const std::string before = merge ? m_pasteArchive : ArchiveOf(fresh);
        const int reports = ReportCount();
        const DWORD start = GetTickCount();
        const CCourseRead read = Read(course, text, merge);
        const DWORD took = GetTickCount() - start;
        figures.slowest = std::max(figures.slowest, took);
        if (took > kReadLimitMs)
            return Fail("took " + std::to_string(took) + " ms");
        if (ReportCount() != reports)
            return Fail("raised the failure report");
        if (!read) {
            ++figures.refused;
            return ArchiveOf(course) == before || Fail("failed and changed the course");
        }
        ++figures.loaded;
        // What the course writes reads back with every object and is written
        // again byte for byte, in either format. A kind that older readers do
        // not know goes to version 3 as another kind (or is left out when read
        // back): then the course as version 3 carries it is the one compared.
        for (bool version3 : {false, true}) {
            CCourse carried(L"Carried", L"");
            CCourse& source = version3 && !IsCarriedWhole(course) ? carried : course;
            if (&source == &carried && !Read(carried, TextOf(course, true), false))
                return Fail("version 3 does not read back");
            const std::string archive = ArchiveOf(source, version3);
            CCourse copy(L"Copy", L"");
            if (!Read(copy, TextOf(source, version3), false))
                return Fail(std::string(version3 ? "version 3" : "version 4") + " does not read back");
            if (copy.GetObjectCount() != source.GetObjectCount() ||
                copy.GetOverlayObjects().size() != source.GetOverlayObjects().size())
                return Fail("does not read back with every object");
            const std::string again = ArchiveOf(copy, version3);
            if (again != archive)
                return Fail(std::string(version3 ? "version 3" : "version 4") + " written again differs" +
                            coursetest::ArchiveDifferences(archive, again));
        }
        if (ReportCount() != reports)
            return Fail("raised the failure report when written");
        if (merge)
            Renew();
        return true;
    }

    const std::string& GetFailure() const { return m_failure; }

private:
    // Whether every object keeps its kind in a version-3 archive.
    static bool IsCarriedWhole(CCourse& course)
    {
        CFieldWriter version3;
        version3.m_versionMajor = 3;
        for (const auto* objects : {&course.GetObjects(), &course.GetOverlayObjects()}) {
            for (const CCourseObject* object : *objects) {
                const CObjectType* type = object->GetType();
                if (type != nullptr && type->GetId(&version3) != type->GetTypeId())
                    return false;
            }
        }
        return true;
    }

    // The course pasted into: a seed with an object of its own.
    void Renew()
    {
        m_pasteTarget = std::make_unique<CCourse>(L"Target", L"");
        Read(*m_pasteTarget, m_baseText, false);
        PlaceKind(*m_pasteTarget, *GetObjectTypes().front(), 50.0f, 60.0f, 0.0f);
        m_pasteArchive = ArchiveOf(*m_pasteTarget);
    }

    bool Fail(const std::string& why)
    {
        m_failure = why;
        return false;
    }

    std::string m_baseText;
    std::unique_ptr<CCourse> m_pasteTarget;
    std::string m_pasteArchive;
    std::string m_failure;
};

int GetFuzzCases()
{
    return std::max(1, int(GetEnvironmentNumber("FENDREL_FUZZ_CASES", 2400)));
}

uint32_t GetFuzzSeed()
{
    return uint32_t(GetEnvironmentNumber("FENDREL_FUZZ_SEED", 20240611));
}

}  // namespace

CHILD_SCENARIO(CourseFuzz)
{
    OpenCourseTestSettings();
    CNoticeRecorder notices;
    const std::vector<CSeed> seeds = MakeSeeds();
    CDamage damage(seeds, GetFuzzSeed());
    CReadCheck check(seeds.back().text);
    CFigures figures;
    const int cases = GetFuzzCases();
    const DWORD started = GetTickCount();
    int result = 0;
    for (int i = 0; i < cases && result == 0; ++i) {
        const int level = i % 3;
        ++figures.cases[level];
        const std::string text = damage.Make(level);
        const int refused = figures.refused;
        if (!check.Check(text, i % 4 == 3, figures)) {
            std::printf("case %d (level %d) %s\n", i, level, check.GetFailure().c_str());
            result = 1 + level;
        }
        figures.refusedAt[level] += figures.refused - refused;
        notices.Take();
        const CMemory memory = GetMemory();
        figures.peak = std::max(figures.peak, memory.peak);
        if (memory.now > kMemoryLimit) {
            std::printf("case %d (level %d) leaves %lu MB in use\n", i, level,
                        static_cast<unsigned long>(memory.now >> 20));
            result = 4;
        }
    }
    std::printf("seed %lu, %d inputs (lines %d, compressed %d, archive %d): %d read, %d refused (%d, %d, %d); "
                "slowest %lu ms, all %lu s, peak memory %lu MB\n",
                static_cast<unsigned long>(GetFuzzSeed()), cases, figures.cases[0], figures.cases[1], figures.cases[2],
                figures.loaded, figures.refused, figures.refusedAt[0], figures.refusedAt[1], figures.refusedAt[2],
                static_cast<unsigned long>(figures.slowest), static_cast<unsigned long>((GetTickCount() - started) / 1000),
                static_cast<unsigned long>(figures.peak >> 20));
    // Both outcomes occur, so the damage reaches every stage of the reader.
    if (result == 0 && (figures.loaded < cases / 10 || figures.refused < cases / 10))
        result = 5;
    if (result == 0 && figures.peak > kMemoryLimit)
        result = 6;
    DeleteTestSettingsKey();
    return result;
}

TEST(CourseFuzz, DamageAtEveryLevelNeverHangsCrashesNorHalfLoads)
{
    EXPECT_EQ(0, RunChildScenario("CourseFuzz", 120000 + DWORD(GetFuzzCases()) * 20));
}

// ---- The inputs that broke the program once ----------------------------------------

namespace {


// The course's archive with the sections inserted before its end section.
std::string ArchiveWith(CCourse& course, const std::string& sections)
{
    std::string archive = ArchiveOf(course);
    archive.insert(archive.size() - 3, sections);
    return archive;
}

std::string Repeated(const std::string& piece, size_t count)
{
    std::string repeated;
    repeated.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i)
        repeated += piece;
    return repeated;
}

class HostileInput : public CCourseSettingsTest
{
protected:
    // A course showing coordinates, and the record of one A-frame on it.
    std::string AFrameRecord(CCourse& course)
    {
        course.SetShowObsCoords(true);
        PlaceKind(course, *FindObjectTypeById(10), 6000.0f, 5000.0f, 30.0f);
        CCourseObject* aFrame = *course.GetObjects().begin();
        const std::string record = RecordOf(course, aFrame);
        course.SelectAll();
        course.DeleteSelected();
        return record;
    }

    // Version-3 records on a course showing coordinates: a handler figure
    // named "Judge" (the older format's figure wrote its name first, and
    // reads it as a text beside it), then an A-frame at the same place,
    // which repeats there.
    std::pair<std::string, std::string> OlderNamedHandlerAndAFrame(CCourse& course)
    {
        course.SetShowObsCoords(true);
        CCourseObject* handler = PlaceKind(course, *FindObjectTypeById(CHumanShape::kTypeId), 6000.0f, 5000.0f, 0.0f);
        CCourseObject* aFrame = PlaceKind(course, *FindObjectTypeById(10), 6000.0f, 5000.0f, 0.0f);
        CFieldWriter records, body, noName, named;
        for (CFieldWriter* writer : {&records, &body}) {
            writer->m_versionMajor = 3;
            writer->m_versionMinor = 83;
            writer->m_keepPointAcrossFields = true;
        }
        handler->Serialize(body);
        course.WriteObject(records, handler);
        noName.WriteWString(std::wstring());
        named.WriteWString(L"Judge");
        // The body, which the field's end follows, starts with the empty name.
        records.m_bytes.replace(records.m_bytes.size() - 1 - body.m_bytes.size(), noName.m_bytes.size(), named.m_bytes);
        const size_t split = records.m_bytes.size();
        course.WriteObject(records, aFrame);
        course.SelectAll();
        course.DeleteSelected();
        return {records.m_bytes.substr(0, split), records.m_bytes.substr(split)};
    }

    // Reads the text within the bound a damaged read has, with no failure
    // report.
    CCourseRead ReadWithinBound(CCourse& course, const std::string& text, bool merge)
    {
        const int reports = ReportCount();
        const DWORD start = GetTickCount();
        const CCourseRead read = Read(course, text, merge);
        EXPECT_LT(GetTickCount() - start, kReadLimitMs);
        EXPECT_EQ(reports, ReportCount());
        return read;
    }

    CNoticeRecorder m_notices;
};

}  // namespace

TEST_F(HostileInput, TenThousandIdenticalAFramesShowingCoordinatesOpen)
{
    CCourse source(L"Source", L"");
    const std::string record = AFrameRecord(source);
    CCourse course(L"Read", L"");
    ASSERT_TRUE(ReadWithinBound(course, WrapArchive(ArchiveWith(source, Repeated(record, 10000)), false), false));
    EXPECT_EQ(10000u, course.GetObjectCount());
    ASSERT_NE(nullptr, course.GetCoordinateMarks());
    EXPECT_EQ(20000u, course.GetCoordinateMarks()->size());
    // Pasted again onto a course that shows them.
    ASSERT_TRUE(ReadWithinBound(course, WrapArchive(ArchiveWith(source, Repeated(record, 20000)), false), true));
    EXPECT_EQ(30000u, course.GetObjectCount());
}

TEST_F(HostileInput, EightThousandMarkedPointsAtOneSpotOpen)
{
    CCourse source(L"Source", L"");
    source.SetShowObsCoords(true);
    CFieldWriter points;
    points.WriteInt16(1000);
    points.WriteInt16(8000);
    for (int i = 0; i < 8000; ++i)
        points.WritePoint(7000.0f, 6000.0f);
    points.EndField();
    CCourse course(L"Read", L"");
    ASSERT_TRUE(ReadWithinBound(course, WrapArchive(ArchiveWith(source, points.m_bytes), false), false));
    EXPECT_EQ(8000u, course.GetMarkedPoints().size());
    EXPECT_EQ(8000u, course.GetCoordinateMarks()->size());
}

TEST_F(HostileInput, FortyThousandOverlayRecordsOpen)
{
    CCourse source(L"Source", L"");
    const std::string record = AFrameRecord(source);
    CFieldWriter start;
    start.WriteInt16(1010);
    start.EndField();
    CFieldWriter end;
    end.WriteInt16(1011);
    end.EndField();
    const std::string sections = start.m_bytes + Repeated(record, 40000) + end.m_bytes + Repeated(record, 2000);
    const std::string text = WrapArchive(ArchiveWith(source, sections), false);
    EXPECT_LT(text.size(), 4000u);
    CCourse course(L"Read", L"");
    ASSERT_TRUE(ReadWithinBound(course, text, false));
    EXPECT_EQ(40000u, course.GetOverlayObjects().size());
    ASSERT_EQ(2000u, course.GetObjectCount());
    // Each object has its identical copy in the overlay.
    for (const CCourseObject* object : course.GetObjects())
        ASSERT_EQ(CCourseObject::kPale, object->GetDisplayState());
    // What the program writes of it reads back the same, in time too.
    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(ReadWithinBound(copy, TextOf(course), false));
    EXPECT_EQ(ArchiveOf(course), ArchiveOf(copy));
}

TEST_F(HostileInput, TheLargestRingWithTheLargestMarginsKeepsItsObjects)
{
    // Margins of 30000 around a ring of 30000 would let an object lie where
    // the archive cannot store it; read, they give way.
    CCourse source(L"Source", L"");
    CCourse::CRingSettings ring = source.GetRingSettings();
    ring.width = ring.height = 30000.0f;
    source.TakeOverRingSettings(ring);
    PlaceKind(source, *FindObjectTypeById(10), 29000.0f, 29000.0f, 0.0f);
    std::string archive = ArchiveOf(source);
    // The margins are the Int16 fields after width and height.
    const size_t margins = 11 + 4;
    for (size_t i = 0; i < 4; ++i) {
        archive[margins + 2 * i] = char(0x30);
        archive[margins + 2 * i + 1] = char(0x75);
    }
    CCourse course(L"Read", L"");
    ASSERT_TRUE(ReadWithinBound(course, WrapArchive(archive, false), false));
    const CRectF area = course.GetRingRect(false, false);
    EXPECT_EQ(CRectF(0.0f, 0.0f, 30000.0f, 30000.0f), area);
    CCourse copy(L"Copy", L"");
    ASSERT_TRUE(ReadWithinBound(copy, TextOf(course), false));
    ASSERT_EQ(1u, copy.GetObjectCount());
    EXPECT_EQ(CPoint2(29000.0f, 29000.0f), (*copy.GetObjects().begin())->GetPlacement().GetPosition2D());
}

TEST_F(HostileInput, APasteThatWouldPassTheObjectLimitIsRefusedWhole)
{
    CCourse source(L"Source", L"");
    const std::string record = AFrameRecord(source);
    source.SetShowObsCoords(false);
    const std::string text = WrapArchive(ArchiveWith(source, Repeated(record, CCourse::kMaxObjects)), false);
    EXPECT_LT(text.size(), 8000u);
    CCourse course(L"Pasted into", L"");
    ASSERT_TRUE(ReadWithinBound(course, text, true));
    ASSERT_EQ(CCourse::kMaxObjects, course.GetObjectCount());
    const std::string before = ArchiveOf(course);
    const CMemory memory = GetMemory();
    for (int paste = 0; paste < 3; ++paste) {
        const CCourseRead read = ReadWithinBound(course, text, true);
        EXPECT_FALSE(read);
        EXPECT_EQ(CCourse::kTooManyObjectsText, read.messageId);
    }
    EXPECT_EQ(before, ArchiveOf(course));
    EXPECT_LT(GetMemory().now, memory.now + (64u << 20));
    // A listing pasted onto the full course too.
    const CCourseRead listing = ReadWithinBound(course, "Begin\nVersion 2000\nDimensions 50 50\nAFrame 1 1 0\nEnd Fendrel\n", true);
    EXPECT_FALSE(listing);
    EXPECT_EQ(CCourse::kTooManyObjectsText, listing.messageId);
    EXPECT_EQ(before, ArchiveOf(course));
}

TEST_F(HostileInput, RecordsPastTheObjectLimitAreLeftOutOfARead)
{
    CCourse source(L"Source", L"");
    const std::string record = AFrameRecord(source);
    source.SetShowObsCoords(false);
    CCourse course(L"Flood", L"");
    const CCourseRead read =
        ReadWithinBound(course, WrapArchive(ArchiveWith(source, Repeated(record, CCourse::kMaxObjects + 10)), false), false);
    ASSERT_TRUE(read);
    EXPECT_EQ(CCourse::kMaxObjects, course.GetObjectCount());
    EXPECT_EQ(2695, read.messageId);
}

// The text an older named handler figure reads as belongs to the read: it
// comes with the figure, counts towards the object limit, and goes when the
// read is refused.
TEST_F(HostileInput, AnOlderHandlerFiguresNameIsAnObjectOfTheRead)
{
    CCourse source(L"Source", L"");
    const auto [handler, aFrame] = OlderNamedHandlerAndAFrame(source);
    const std::string head = ArchiveOf(source, true);
    const auto older = [&](size_t aFrames) { return WrapArchive(head + handler + Repeated(aFrame, aFrames), true); };

    // The figure, its name's text and two A-frames.
    CCourse small(L"Small", L"");
    ASSERT_TRUE(ReadWithinBound(small, older(2), false));
    EXPECT_EQ(4u, small.GetObjectCount());

    // A paste of the figure and A-frames, as many records as a course
    // holds, onto a course with an object is refused whole, its text with it.
    CCourse pastedInto(L"Pasted into", L"");
    PlaceKind(pastedInto, *FindObjectTypeById(10), 3000.0f, 3000.0f, 0.0f);
    const std::string before = ArchiveOf(pastedInto);
    const CCourseRead paste = ReadWithinBound(pastedInto, older(CCourse::kMaxObjects - 1), true);
    EXPECT_FALSE(paste);
    EXPECT_EQ(CCourse::kTooManyObjectsText, paste.messageId);
    EXPECT_TRUE(before == ArchiveOf(pastedInto));

    // Opened with as many A-frames besides, the course holds no more than
    // its limit.
    CCourse opened(L"Opened", L"");
    const CCourseRead open = ReadWithinBound(opened, older(CCourse::kMaxObjects), false);
    ASSERT_TRUE(open);
    EXPECT_EQ(2695, open.messageId);
    EXPECT_EQ(CCourse::kMaxObjects, opened.GetObjectCount());
}

TEST_F(HostileInput, HugeRecordedLengthAllocatesOnlyWhatInflates)
{
    CCourse course(L"Course", L"");
    const std::string before = ArchiveOf(course);
    // A few bytes that claim 16 MiB of course.
    std::string compressed;
    ASSERT_TRUE(ZlibCompressWithLength("xyz", compressed, true, std::string()));
    compressed[0] = compressed[1] = compressed[2] = char(0xFF);
    const CMemory memory = GetMemory();
    for (int i = 0; i < 200; ++i)
        EXPECT_FALSE(ReadWithinBound(course, WrapBody(std::string(3, '\0') + compressed), false));
    EXPECT_EQ(before, ArchiveOf(course));
    EXPECT_LT(GetMemory().now, memory.now + (64u << 20));
}

// Courses that changed when saved once more: each is read (a listing or an
// archive, or a listing pasted onto another), written, read again and
// written again, and the two writes agree.
TEST_F(HostileInput, ACourseReadAndWrittenReadsBackAsWritten)
{
    const auto listing = [](const char* lines) {
        return std::string("Begin Fendrel\r\nVersion 2000\r\n") + lines + "End Fendrel\r\n";
    };
    // A handler path turned by a stored angle beyond a half turn, whose one
    // point lies on the edge of the stored range only as that angle turns.
    CCourse empty(L"Empty", L"");
    CFieldWriter path;
    path.WriteInt16(140);
    FindObjectTypeById(140)->GetPartColors().Write(path);
    path.WriteInt16(320);
    path.WritePoint(20000.0f, 20000.0f);
    path.WriteBool(false);
    path.WriteInt8(4);
    path.WriteInt8(1);
    path.WriteInt16(1);
    path.WritePoint(16646.0f, 24.0f);
    path.EndField();
    const struct
    {
        const char* name;
        std::string pastedOnto;
        std::string text;
    } cases[] = {
        {"an area whose corners lie farther apart than a record carries", "",
         listing("Dimensions 300 300\r\nUnusableArea 2 320 0 0 0 100 3600 0\r\n")},
        {"a turned handler path beyond the stored range", "",
         listing("Dimensions 300 300\r\nHandlerPath 100 50 21 4 0 1 0 0 3600 1200 100 200 3600 0\r\n")},
        {"a judge path beyond the stored range", "",
         listing("Dimensions 300 300\r\nJudgePath 270 135 21 4 0 1 0 0 2700 900 100 200 2700 0\r\n")},
        {"a judge path turned the long way round to the edge", "",
         listing("Dimensions 300 300\r\nJudgePath 240 120 294 4 0 1 0 0 -3000 -1000 100 200 -3000 0\r\n")},
        {"a path turned beyond a half turn to the edge", "", WrapArchive(ArchiveWith(empty, path.m_bytes), false)},
        {"a collapsed tunnel shorter than a record holds", "",
         listing("Dimensions 100 100\r\nCollapsedTunnel 50 50 0 1\r\n")},
        {"a tunnel bent sharper than its length allows", "",
         listing("Dimensions 100 80\r\nTunnel 50 40 0 1 0 10\r\n")},
        {"a line at the corner of a table", "",
         listing("Dimensions 100 100\r\nTable 50 50 0\r\nHandlerArea 50 50 0 19 -20 19 -20\r\n")},
        {"a jump pasted over a line tied to a table",
         listing("Dimensions 100 100\r\nTable 50 50 0\r\nHandlerArea 50 50 0 10 -30 10 -100\r\n"),
         listing("Dimensions 100 100\r\nWingedJump 50 51 0 (2 1)\r\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CCourse course(L"Read", L"");
        ASSERT_TRUE(c.pastedOnto.empty() || ReadWithinBound(course, c.pastedOnto, false));
        ASSERT_TRUE(ReadWithinBound(course, c.text, !c.pastedOnto.empty()));
        ASSERT_GT(course.GetObjectCount(), 0u);
        const std::string first = ArchiveOf(course);
        CCourse again(L"Again", L"");
        ASSERT_TRUE(ReadWithinBound(again, TextOf(course), false));
        EXPECT_EQ(first, ArchiveOf(again));
    }
}
