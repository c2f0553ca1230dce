#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "course/Course.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/FieldStream.h"
#include "tests/course/ArchiveTestKinds.h"

// Damaged course text fed to ReadTextBlock: every read must end promptly and
// leave the course either as it was (the read failed) or fully loaded (the
// same as a fresh course that read the same text).

namespace {

// Bound for a single read; a healthy one takes milliseconds.
constexpr DWORD kReadLimitMs = 2000;

class CDamageFactory
{
public:
    CDamageFactory(const std::string& text, const std::string& archive, const std::string& archive3)
        : m_text(text), m_archive(archive), m_archive3(archive3)
    {
    }

    std::string Make(int kind)
    {
        switch (kind) {
        case 0:
            return Truncated();
        case 1:
            return FlippedBase64();
        case 2:
            return BrokenZlib();
        case 3:
            return GarbageArchive();
        case 4:
            return MutatedArchive(m_rng() % 2 ? m_archive : m_archive3);
        case 5:
            return AbsurdValues();
        default:
            return ShuffledLines();
        }
    }

    static std::string Wrap(const std::string& archive, bool zeroPrefix = true)
    {
        std::string compressed;
        ZlibCompressWithLength(archive, compressed, true, std::string());
        return WrapBody((zeroPrefix ? std::string(3, '\0') : std::string()) + compressed);
    }

    static std::string WrapBody(const std::string& body)
    {
        return " \r\n \r\nBegin Fendrel \r\nVersion 4 \r\nFor a free viewer, go to www.norvane.com/viewer \r\n" +
               CBase64::Encode(body, 64) + " \r\nEnd Fendrel \r\n \r\n";
    }

private:
    size_t Random(size_t limit) { return limit == 0 ? 0 : size_t(m_rng() % limit); }

    std::string Truncated() { return m_text.substr(0, Random(m_text.size())); }

    std::string FlippedBase64()
    {
        std::string text = m_text;
        const size_t start = text.find("viewer") + 30;
        const size_t end = text.find("End Fendrel");
        for (size_t flips = 1 + Random(3); flips > 0; --flips)
            text[start + Random(end - start)] ^= char(1 << Random(8));
        return text;
    }

    std::string BrokenZlib()
    {
        std::string compressed;
        ZlibCompressWithLength(m_archive, compressed, true, std::string());
        switch (Random(4)) {
        case 0:
            compressed[3 + Random(compressed.size() - 3)] ^= char(1 << Random(8));
            break;
        case 1:
            compressed.resize(Random(compressed.size()));
            break;
        case 2:
            // The recorded length claims the largest record.
            compressed[0] = compressed[1] = compressed[2] = char(0xFF);
            break;
        default:
            compressed.insert(3 + Random(compressed.size() - 3), 1, char(Random(256)));
            break;
        }
        return WrapBody(std::string(3, '\0') + compressed);
    }

    std::string GarbageArchive()
    {
        std::string bytes;
        const size_t size = Random(600);
        for (size_t i = 0; i < size; ++i)
            bytes.push_back(char(Random(256)));
        // Half of them behind a header this program opens.
        if (m_rng() % 2)
            bytes = Bytes({4, 33, 4, 0, 4, 0, 0x1F, 0x1F}) + bytes;
        return Wrap(bytes);
    }

    std::string MutatedArchive(const std::string& archive)
    {
        std::string bytes = archive;
        static const int kAbsurd[] = {0x00, 0x1C, 0x1D, 0x1E, 0x1F, 0x7F, 0x80, 0xFF};
        for (size_t changes = 1 + Random(6); changes > 0; --changes) {
            const size_t at = Random(bytes.size());
            switch (Random(4)) {
            case 0:
                bytes[at] = char(kAbsurd[Random(8)]);
                break;
            case 1:
                bytes[at] = char(Random(256));
                break;
            case 2:
                bytes.erase(at, 1 + Random(8));
                break;
            default:
                bytes.insert(at, 1 + Random(8), char(kAbsurd[Random(8)]));
                break;
            }
        }
        return Wrap(bytes, archive[0] == 4);
    }

    std::string AbsurdValues()
    {
        // A header and settings written by hand with values from the edges,
        // followed by sections of absurd counts and strings without ends.
        CFieldWriter writer;
        writer.WriteInt8(4);
        writer.WriteInt8(33);
        writer.WriteInt8(4);
        writer.WriteInt8(0);
        writer.WriteInt8(4);
        writer.WriteInt8(int32_t(Random(256)));
        writer.EndField();
        writer.EndField();
        static const int32_t kEdges[] = {0, -1, 1, 32767, -32768, 30000, 30001, 127, -128};
        for (size_t sections = 1 + Random(5); sections > 0; --sections) {
            switch (Random(4)) {
            case 0:
                writer.WriteInt16(1020);
                writer.WriteInt8(kEdges[Random(9)]);
                for (int i = 0; i < 30; ++i)
                    writer.WriteInt16(kEdges[Random(9)]);
                break;
            case 1:
                writer.WriteInt16(1000);
                writer.WriteInt16(kEdges[Random(9)]);
                for (size_t i = Random(5); i > 0; --i)
                    writer.WritePoint(float(kEdges[Random(9)]), float(kEdges[Random(9)]));
                break;
            case 2:
                writer.WriteInt16(Random(2) ? archivetest::kKindId : archivetest::kOtherKindId);
                writer.WriteInt8(int32_t(Random(256)));
                for (size_t i = Random(4); i > 0; --i)
                    writer.WriteInt8(int32_t(Random(256)));
                writer.WriteInt16(kEdges[Random(9)]);
                writer.WritePoint(float(kEdges[Random(9)]), float(kEdges[Random(9)]));
                writer.WriteInt16(kEdges[Random(9)]);
                // A string that never ends within its field.
                for (size_t i = Random(40); i > 0; --i)
                    writer.WriteByte(static_cast<unsigned char>(Random(2) ? 0xC3 : 0xF2));
                break;
            default:
                writer.WriteInt16(Random(2) ? 1010 : 1011);
                break;
            }
            if (Random(4) != 0)
                writer.EndField();
        }
        if (Random(2))
            writer.WriteInt16(1021);
        return Wrap(writer.m_bytes);
    }

    std::string ShuffledLines()
    {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < m_text.size()) {
            const size_t end = m_text.find('\n', start);
            lines.push_back(m_text.substr(start, end - start + 1));
            start = end + 1;
        }
        switch (Random(3)) {
        case 0:
            lines.erase(lines.begin() + long(Random(lines.size())));
            break;
        case 1:
            lines.insert(lines.begin() + long(Random(lines.size())), lines[Random(lines.size())]);
            break;
        default:
            lines.insert(lines.begin() + long(Random(lines.size())), Random(2) ? "End\r\n" : "Begin Version *\r\n");
            break;
        }
        std::string text;
        for (const std::string& line : lines)
            text += line;
        return text;
    }

    std::mt19937 m_rng{20240607u};
    std::string m_text;
    std::string m_archive;
    std::string m_archive3;
};

// A course with settings and objects of both test kinds.
std::unique_ptr<CCourse> MakeSource()
{
    auto course = std::make_unique<CCourse>(L"Source", L"");
    course->SetSpecList(4);
    course->SetSize(12000.0f, 9000.0f);
    course->SetLengthValue(CCourse::kMarginHighY, 300.0f);
    course->SetShowObsCoords(true);
    course->AddMarkedPoint(CPoint2(100.0f, 200.0f));
    course->AddMarkedPoint(CPoint2(400.0f, 300.0f));
    for (int i = 0; i < 6; ++i) {
        auto* record = archivetest::PlaceRecord(*course, 500.0f * float(i), 300.0f * float(i), 30.0f * float(i), i,
                                                L"record \u20AC");
        record->corner = CPoint2(float(i), -float(i));
    }
    archivetest::Place(*course, archivetest::GetOtherKind(), 700.0f, 800.0f, 45.0f);
    return course;
}

}  // namespace

TEST(DamagedInput, ReadTextBlockNeverHangsNorHalfLoads)
{
    coursetest::OpenTestSettings();
    archivetest::RegisterKinds();
    auto source = MakeSource();
    const std::string text = archivetest::TextBlockOf(*source);
    std::string archive;
    source->WriteArchive(archive, false, false, false);
    std::string archive3;
    source->WriteArchive(archive3, false, true, false);
    CDamageFactory factory(text, archive, archive3);

    // The course that damaged text is read into: a copy of the source with
    // one object of its own; made anew after every read that succeeded.
    auto makeTarget = [&] {
        auto course = std::make_unique<CCourse>(L"Target", L"");
        EXPECT_TRUE(archivetest::ReadBlock(*course, text));
        archivetest::PlaceRecord(*course, 50.0f, 60.0f, 0.0f, 99, L"own");
        return course;
    };
    std::unique_ptr<CCourse> target = makeTarget();
    std::string targetArchive = coursetest::ArchiveOf(*target);

    const int kCases = 3500;
    int failed = 0;
    int loaded = 0;
    DWORD slowest = 0;
    const DWORD started = GetTickCount();
    for (int i = 0; i < kCases; ++i) {
        const std::string damaged = factory.Make(i % 7);
        const bool merge = i % 4 == 3;
        const DWORD begin = GetTickCount();
        const bool read = bool(archivetest::ReadBlock(*target, damaged, merge));
        const DWORD took = GetTickCount() - begin;
        slowest = std::max(slowest, took);
        ASSERT_LT(took, kReadLimitMs) << "case " << i;
        if (!read) {
            ++failed;
            ASSERT_EQ(targetArchive, coursetest::ArchiveOf(*target)) << "case " << i << " changed the course";
            continue;
        }
        ++loaded;
        // Fully loaded: the same as a fresh target that reads the same text.
        auto reference = makeTarget();
        ASSERT_TRUE(archivetest::ReadBlock(*reference, damaged, merge)) << "case " << i;
        ASSERT_EQ(coursetest::ArchiveOf(*reference), coursetest::ArchiveOf(*target)) << "case " << i;
        target = makeTarget();
        targetArchive = coursetest::ArchiveOf(*target);
    }
    // Both outcomes occur, so the damage reaches every stage of the reader.
    EXPECT_GT(failed, kCases / 10);
    EXPECT_GT(loaded, kCases / 10);
    std::printf("%d damaged blocks: %d refused, %d loaded; slowest %lu ms, all %lu ms\n", kCases, failed, loaded,
                static_cast<unsigned long>(slowest), static_cast<unsigned long>(GetTickCount() - started));
    DeleteTestSettingsKey();
}

TEST(DamagedInput, RecordFloodStopsAtTheObjectLimit)
{
    coursetest::OpenTestSettings();
    archivetest::RegisterKinds();
    auto source = std::make_unique<CCourse>(L"Source", L"");
    archivetest::PlaceRecord(*source, 10.0f, 20.0f, 0.0f, 1, L"");
    std::string archive;
    source->WriteArchive(archive, false, false, false);
    // The one record (17 bytes before the end section), repeated far beyond
    // any real course: the records past 100000 objects are skipped.
    const size_t recordAt = archive.size() - 3 - 17;
    const std::string record = archive.substr(recordAt, 17);
    std::string flood = archive.substr(0, recordAt);
    for (int i = 0; i < 100010; ++i)
        flood += record;
    flood += archive.substr(archive.size() - 3);
    CCourse course(L"Flood", L"");
    ASSERT_TRUE(course.LoadArchive(flood, false, false));
    EXPECT_EQ(100000u, course.GetObjectCount());
    DeleteTestSettingsKey();
}

TEST(DamagedInput, HugeRecordedLengthAllocatesOnlyWhatInflates)
{
    coursetest::OpenTestSettings();
    archivetest::RegisterKinds();
    auto course = MakeSource();
    const std::string before = coursetest::ArchiveOf(*course);
    // A few bytes that claim 16 MiB of course.
    std::string compressed;
    ASSERT_TRUE(ZlibCompressWithLength("xyz", compressed, true, std::string()));
    compressed[0] = compressed[1] = compressed[2] = char(0xFF);
    for (int i = 0; i < 200; ++i)
        EXPECT_FALSE(archivetest::ReadBlock(*course, CDamageFactory::WrapBody(compressed)));
    EXPECT_EQ(before, coursetest::ArchiveOf(*course));
    DeleteTestSettingsKey();
}
