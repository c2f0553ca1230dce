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

}  // namespace

bool RunShell(const std::string& commandLine, std::string& output, DWORD timeoutMs)
{
    static int counter = 0;
    const std::string base =
        "/tmp/fendrel-shell-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    // The output is renamed when complete: there is no Unix process handle to
    // wait on from here.
    std::ofstream(ToWindowsPath(base + ".sh").c_str(), std::ios::binary)
        << "(" << commandLine << ") >" << base << ".tmp 2>/dev/null\nmv " << base << ".tmp " << base << ".out\n";
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
        return "Windows has no default printer: is the CUPS queue \"PDF\" there (tools/printer-queue) and "
               "libcups2:i386 installed?";
    return std::wstring(name) == L"PDF" ? std::string() : "the default printer is not the queue \"PDF\"";
}

std::string WaitForPdf(const std::string& namePart, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    do {
        std::string path;
        RunShell("ls -t \"$HOME\"/PDF/*" + namePart + "*.pdf | head -n 1 | tr -d '\\n'", path, 10000);
        CPdfInfo info;
        if (!path.empty() && ReadPdfInfo(path, info))
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
    const size_t pages = text.find("Pages:");
    const size_t size = text.find("Page size:");
    return pages != std::string::npos && size != std::string::npos &&
           std::sscanf(text.c_str() + pages, "Pages: %d", &info.pages) == 1 &&
           std::sscanf(text.c_str() + size, "Page size: %f x %f", &info.width, &info.height) == 2 && info.pages > 0;
}

bool RenderPdfPage(const std::string& path, int dpi, CPdfPicture& picture)
{
    const std::string out = "/tmp/fendrel-pdf-" + std::to_string(GetCurrentProcessId());
    std::string ignored;
    if (!RunShell("pdftoppm -gray -singlefile -r " + std::to_string(dpi) + " '" + path + "' " + out, ignored))
        return false;
    const std::string bytes = ReadFile(ToWindowsPath(out + ".pgm"));
    // Binary PGM: "P5", width, height, maximum 255, one blank, the pixels.
    std::istringstream header(bytes);
    std::string magic;
    int maximum = 0;
    header >> magic >> picture.width >> picture.height >> maximum;
    const size_t start = size_t(header.tellg()) + 1;
    const size_t count = size_t(picture.width) * size_t(picture.height);
    if (magic != "P5" || maximum != 255 || bytes.size() < start + count)
        return false;
    picture.pixels.assign(bytes.begin() + std::ptrdiff_t(start), bytes.begin() + std::ptrdiff_t(start + count));
    return true;
}

bool CPdfPicture::FindInk(RECT& box) const
{
    box = {width, height, -1, -1};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (IsInk(x, y))
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                       std::max<LONG>(box.bottom, y + 1)};
    return box.right > 0;
}
