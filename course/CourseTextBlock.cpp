#include <istream>
#include <ostream>
#include <sstream>
#include <string>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "foundation/Base64.h"
#include "foundation/Compression.h"
#include "foundation/CrashLog.h"

// The course text block: the course file and the course's clipboard text.
// Plain 7-bit text that survives mail, quoting and re-wrapping, holding the
// archive compressed and in base64:
//
//     (two empty lines)
//     Begin Fendrel
//     Version 4
//     For a free viewer, go to www.norvane.com/viewer
//     <base64, 64 characters to a line>
//     End Fendrel
//     (one empty line)
//
// Every line ends with " \r\n", except the base64 lines before the last,
// which end with "\r\n". The reader goes by words, so quoting marks, blanks
// and line lengths do not matter.

namespace {

// The reader skips this line as no data: it has a "." among its first
// sixteen characters and no capital after the first.
const char kViewerLine[] = "For a free viewer, go to www.norvane.com/viewer";
const char kLineEnd[] = " \r\n";
constexpr int kBase64LineLength = 64;
// The base64 text of the largest archive: 16 MiB (its length has 3 bytes)
// compressed, with the length and the three zero bytes before it. A longer
// body is no course; lines are cut at this length, so that no input makes
// the reader hold more.
constexpr size_t kMaxBodyText = 23u << 20;

// What a failed read tells: no course block in the input; a block that could
// not be read.
constexpr int kNoBlockText = 2687;
constexpr int kUnreadableText = 2677;

bool IsBlankOrQuote(char c) { return c == ' ' || c == '\t' || c == '>'; }

// Appends one physical line to line: characters with their top bit
// cleared, NULs dropped, double quotes turned into blanks unless kept. Empty
// lines are skipped; false when the input ends with nothing read. A
// physical line is cut at the longest body.
bool ReadPhysicalLine(std::istream& in, std::string& line, bool keepQuotes)
{
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr || !in.good())
        return false;
    const size_t start = line.size();
    // The characters kept gather in a run that goes onto the line whole:
    // a course's text is tens of thousands of characters.
    char run[256];
    size_t held = 0;
    const auto flush = [&line, &run, &held]() {
        line.append(run, held);
        held = 0;
    };
    for (;;) {
        const int got = buffer->sbumpc();
        if (got == std::char_traits<char>::eof()) {
            flush();
            in.setstate(std::ios::eofbit);
            return line.size() > start;
        }
        char c = char(got & 0x7F);
        if (c == '\r' || c == '\n') {
            if (line.size() + held > start) {
                flush();
                return true;
            }
            continue;
        }
        if (c == '\0')
            continue;
        if (c == '"' && !keepQuotes)
            c = ' ';
        run[held++] = c;
        if (line.size() + held - start >= kMaxBodyText) {
            flush();
            return true;
        }
        if (held == sizeof run)
            flush();
    }
}

// Takes the quoting marks and blanks off both ends of what line holds from
// start on.
void TrimQuoting(std::string& line, size_t start)
{
    size_t end = line.size();
    while (end > start && IsBlankOrQuote(line[end - 1]))
        --end;
    size_t begin = start;
    while (begin < end && IsBlankOrQuote(line[begin]))
        ++begin;
    line.erase(end);
    line.erase(start, begin - start);
}

// A word of the body's data: a capital after its first character, or a
// seventeenth character without a "." among the first sixteen. Version
// numbers and the viewer line are no data.
bool LooksLikeData(const std::string& word)
{
    for (size_t i = 1; i < word.size(); ++i) {
        if (word[i] >= 'A' && word[i] <= 'Z')
            return true;
    }
    return word.size() >= 17 && word.find('.') >= 16;
}

// Reads the body from the word at position in line on.
CCourseRead ReadBody(CCourse& course, std::istream& in, std::string line, size_t position, bool merge)
{
    TRACE_POINT();
    std::string data;
    std::string word;
    bool started = false;
    for (;;) {
        const size_t wordStart = position;
        if (!CCourse::NextWord(line, position, word)) {
            if (!CCourse::ReadTextLine(in, line, false))
                return CCourseRead();
            position = 0;
            continue;
        }
        if (!started) {
            // A header that says the course is empty.
            if (word == "Empty")
                return CCourseRead{true};
            // A listing whose header names a version.
            if (word == "Dimensions")
                return CCourseFileAccess::ReadLegacyText(course, in, line, wordStart, merge);
            if (word == "FendrelVersion" || word == "3For" || !LooksLikeData(word))
                continue;
            started = true;
        }
        if (word == "End")
            break;
        data += word;
        if (data.size() > kMaxBodyText) {
            TRACE_VALUE(int32_t, int32_t(data.size()));
            return CCourseRead();
        }
    }

    std::string bytes = CBase64::Decode(data);
    data.clear();
    if (bytes.size() >= 3 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0)
        bytes.erase(0, 3);
    std::string archive;
    if (!ZlibUncompressWithLength(bytes, archive, std::string())) {
        TRACE_VALUE(int32_t, int32_t(bytes.size()));
        return CCourseRead();
    }
    bytes.clear();
    return CCourseFileAccess::LoadArchive(course, archive, merge, false, merge);
}

}  // namespace

bool CCourse::ReadTextLine(std::istream& in, std::string& line, bool keepQuotes)
{
    line.clear();
    bool continued = false;
    // Each physical line goes straight onto the logical one.
    size_t start = 0;
    while (ReadPhysicalLine(in, line, keepQuotes)) {
        TrimQuoting(line, start);
        if (line.size() == start)
            continue;
        if (line.back() != '*' || line.size() >= kMaxBodyText)
            return true;
        line.pop_back();
        start = line.size();
        continued = true;
    }
    return continued || !line.empty();
}

bool CCourse::NextWord(const std::string& line, size_t& position, std::string& word)
{
    const size_t size = line.size();
    size_t i = position;
    while (i < size && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= size) {
        position = size;
        return false;
    }
    const size_t start = i;
    while (i < size && line[i] != ' ' && line[i] != '\t') {
        if (line[i++] == '=')
            break;
    }
    word.assign(line, start, i - start);
    position = i;
    return true;
}

CCourseRead CCourse::ReadTextBlock(std::istream& in, bool merge)
{
    TRACE_POINT();
    bool begun = false;
    bool inHeader = false;
    bool done = false;
    CCourseRead result;
    std::string line;
    std::string word;
    while (!done && ReadTextLine(in, line, false)) {
        size_t position = 0;
        while (!done) {
            const size_t wordStart = position;
            if (!NextWord(line, position, word))
                break;
            if (word == "Begin") {
                begun = true;
                inHeader = false;
            } else if (!begun) {
                continue;
            } else if (word == "Version" || word == "FendrelVersion") {
                inHeader = true;
            } else if (word == "Dimensions") {
                result = CCourseFileAccess::ReadLegacyText(*this, in, line, wordStart, merge);
                done = true;
            } else if (!inHeader) {
                continue;
            } else if (word == "Empty") {
                result.read = true;
                done = true;
            } else if (word == "2000") {
                inHeader = false;
            } else {
                result = ReadBody(*this, in, line, wordStart, merge);
                done = true;
            }
        }
    }
    // One message names why the block did not read: the archive's own reason
    // where it has one (a newer version), else that no course was found or
    // that the block could not be read.
    if (!begun)
        result.messageId = kNoBlockText;
    else if (!result && result.messageId == 0)
        result.messageId = kUnreadableText;
    if (!result)
        result.style = ENoticeStyle::kError;
    return result;
}

void CCourse::WriteTextBlock(std::ostream& out, bool selectedOnly, bool olderFormat)
{
    TRACE_POINT();
    SetMotion(0);
    const bool version3 = olderFormat || m_writeVersion3;
    std::string archive;
    WriteArchive(archive, selectedOnly, version3, false);
    EncodeTextBlock(out, archive, version3);
}

void CCourse::EncodeTextBlock(std::ostream& out, const std::string& archive, bool version3)
{
    std::string body;
    if (!version3)
        body.assign(3, '\0');
    std::string compressed;
    if (!ZlibCompressWithLength(archive, compressed, true, std::string())) {
        // Nothing is written: a block without its body could never be read.
        TRACE_VALUE(int32_t, int32_t(archive.size()));
        ReportFailure();
        out.setstate(std::ios::failbit);
        return;
    }
    body += compressed;

    out << kLineEnd << kLineEnd;
    out << "Begin Fendrel" << kLineEnd;
    out << "Version " << (version3 ? 3 : 4) << kLineEnd;
    out << kViewerLine << kLineEnd;
    out << CBase64::Encode(body, kBase64LineLength) << kLineEnd;
    out << "End Fendrel" << kLineEnd;
    out << kLineEnd;
}

void WriteTraceValue(std::ostream& out, const CTextBlockTrace& value)
{
    std::ostringstream block;
    CCourse::EncodeTextBlock(block, value.archive, value.version3);
    WriteTraceValue(out, block.str());
}
