#include "tests/support/PdfPrinter.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

// A Unix path as Wine's drive Z: shows it.
std::wstring ToWindowsPath(const std::string& path)
{
    std::wstring windows = L"Z:";
    for (char c : path)
        windows += c == '/' ? L'\\' : wchar_t(static_cast<unsigned char>(c));
    return windows;
}

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Trim(const std::string& text)
{
    const size_t end = text.find_last_not_of(" \r\n\t");
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

bool RunShell(const std::string& commandLine, std::string& output, DWORD timeoutMs)
{
    static int counter = 0;
    const std::string base = "/tmp/fendrel-shell-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++counter);
    // The script writes its output under another name and renames it when
    // done: the Unix process has no handle to wait on from here.
    {
        std::ofstream script(ToWindowsPath(base + ".sh").c_str(), std::ios::binary);
        script << "(" << commandLine << ") >" << base << ".tmp 2>/dev/null\nmv " << base << ".tmp " << base
               << ".out\n";
    }
    std::wstring command = L"sh " + std::wstring(base.begin(), base.end()) + L".sh";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::wstring done = ToWindowsPath(base + ".out");
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES) {
            output = ReadFile(done);
            DeleteFileW(done.c_str());
            DeleteFileW(ToWindowsPath(base + ".sh").c_str());
            return true;
        }
        Sleep(20);
    }
    return false;
}

std::string CheckPdfPrinter()
{
    wchar_t name[256] = {};
    DWORD size = 256;
    if (!GetDefaultPrinterW(name, &size))
        return "Windows sees no default printer: the CUPS queue \"PDF\" is missing (tools/printer-queue sets it up; "
               "Wine lists CUPS printers only with libcups2:i386)";
    if (std::wstring(name) != L"PDF")
        return "the default printer is not the PDF queue (tools/printer-queue makes it so)";
    return std::string();
}

std::string WaitForPdf(const std::string& namePart, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        std::string path;
        RunShell("ls -t \"$HOME\"/PDF/*" + namePart + "*.pdf | head -n 1", path, 10000);
        path = Trim(path);
        CPdfInfo info;
        if (!path.empty() && ReadPdfInfo(path, info) && info.pages > 0)
            return path;
        Sleep(200);
    } while (GetTickCount() - start < timeoutMs);
    return std::string();
}

void DeletePdfs(const std::string& namePart)
{
    std::string ignored;
    RunShell("rm -f \"$HOME\"/PDF/*" + namePart + "*.pdf", ignored, 10000);
}

bool ReadPdfInfo(const std::string& path, CPdfInfo& info)
{
    std::string text;
    if (!RunShell("pdfinfo '" + path + "'", text))
        return false;
    std::istringstream lines(text);
    std::string line;
    bool sized = false;
    while (std::getline(lines, line)) {
        if (line.rfind("Pages:", 0) == 0)
            info.pages = std::atoi(line.c_str() + 6);
        else if (line.rfind("Page size:", 0) == 0)
            sized = std::sscanf(line.c_str() + 10, " %f x %f", &info.width, &info.height) == 2;
    }
    return info.pages > 0 && sized;
}

bool RenderPdfPage(const std::string& path, int page, int dpi, CPdfPicture& picture)
{
    const std::string out = "/tmp/fendrel-pdf-" + std::to_string(GetCurrentProcessId());
    std::string ignored;
    if (!RunShell("pdftoppm -gray -singlefile -f " + std::to_string(page) + " -r " + std::to_string(dpi) + " '" +
                      path + "' " + out,
                  ignored))
        return false;
    const std::string bytes = ReadFile(ToWindowsPath(out + ".pgm"));
    DeleteFileW(ToWindowsPath(out + ".pgm").c_str());
    // Binary PGM: "P5", width, height, maximum, one whitespace, the pixels.
    std::istringstream header(bytes);
    std::string magic;
    int maximum = 0;
    header >> magic >> picture.width >> picture.height >> maximum;
    if (magic != "P5" || maximum != 255 || picture.width <= 0 || picture.height <= 0)
        return false;
    const size_t start = size_t(header.tellg()) + 1;
    const size_t count = size_t(picture.width) * size_t(picture.height);
    if (bytes.size() < start + count)
        return false;
    picture.pixels.assign(bytes.begin() + std::ptrdiff_t(start), bytes.begin() + std::ptrdiff_t(start + count));
    return true;
}

bool CPdfPicture::FindInk(RECT& box, uint8_t limit) const
{
    box = {width, height, -1, -1};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (At(x, y) >= limit)
                continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    }
    return box.right > 0;
}

std::vector<std::pair<int, int>> CPdfPicture::FindBlankRows(int first, int last, uint8_t limit) const
{
    std::vector<std::pair<int, int>> runs;
    for (int y = first; y < last; ++y) {
        bool blank = true;
        for (int x = 0; x < width && blank; ++x)
            blank = At(x, y) >= limit;
        if (!blank)
            continue;
        if (!runs.empty() && runs.back().second == y)
            runs.back().second = y + 1;
        else
            runs.emplace_back(y, y + 1);
    }
    return runs;
}
