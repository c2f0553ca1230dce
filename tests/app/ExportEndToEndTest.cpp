#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "course/Course.h"
#include "foundation/Strings.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/EpsDocument.h"
#include "tests/support/TestSupport.h"

// Exports of the real program: the save dialog driven to EPS and each
// picture format, then Copy as Picture. Ghostscript and ImageMagick of the
// machine Wine runs on check the files: a process under Wine can start them
// but not wait for them, so each command leaves its exit code in a file.

using namespace programtest;

namespace {

std::string UnixPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    const std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs the shell command; whether it ended with 0, and its output.
bool RunUnixCommand(const std::string& command, std::string& output)
{
    static int count = 0;
    const std::wstring base = GetTestArtefactPath(L"export-command" + std::to_wstring(++count));
    DeleteFileW((base + L".done").c_str());
    filetest::WriteBytes(base + L".sh", command + " > '" + UnixPath(base + L".out") + "' 2>&1; echo $? > '" +
                                            UnixPath(base + L".done") + "'\n");
    const std::string script = UnixPath(base + L".sh");
    std::wstring line = L"/bin/sh " + std::wstring(script.begin(), script.end());
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    for (int i = 0; i < 600 && !FileExists(base + L".done"); ++i)
        PumpMessagesFor(100);
    output = ReadWholeFile(base + L".out");
    return ReadWholeFile(base + L".done") == "0\n";
}

HWND WaitForProgramDialog(const CProgramProcess& program, const std::wstring& title)
{
    for (int i = 0; i < 200; ++i, PumpMessagesFor(100))
        for (HWND dialog : program.FindWindows(L"#32770"))
            if (GetWindowTextString(dialog) == title && WaitForControl(dialog, FindFileNameEdit))
                return dialog;
    return nullptr;
}

// The picture dialog's two fields (WM_GETTEXT: GetWindowText reads only
// captions of another process's windows).
std::wstring ReadSize(HWND dialog)
{
    std::wstring size;
    for (HWND edit : FindEditControls(dialog)) {
        wchar_t text[16] = {};
        SendMessageW(edit, WM_GETTEXT, 16, LPARAM(text));
        size += (size.empty() ? L"" : L"x") + std::wstring(text);
    }
    return size;
}

// Save As, the format chosen in the list and the name typed without its
// extension; the picture dialog's proposal, confirmed.
std::wstring SaveAsPicture(const CProgramProcess& program, HWND frame, const std::wstring& path, int format)
{
    PostMessageW(frame, WM_COMMAND, 2075, 0);
    const HWND save = WaitForProgramDialog(program, L"Save As");
    if (!save)
        return L"no save dialog";
    // The system dialog takes the choice when the list closes on it.
    ChooseComboItem(GetDlgItem(save, 0x470), format);
    SendMessageW(save, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), LPARAM(GetDlgItem(save, 0x470)));
    const bool replacing = FileExists(path);
    ChooseFileName(save, path.substr(0, path.rfind(L'.')));
    if (replacing)
        PressDialogButton(program.WaitForMessageBox(kWait), IDYES);
    const HWND dialog = WaitForProgramDialog(program, GetString(2397));
    if (!dialog)
        return L"no picture dialog";
    const std::wstring proposed = ReadSize(dialog);
    SaveScreenPicture(dialog, GetTestArtefactPath(L"export-dialog" + std::to_wstring(format) + L".png"));
    PressDialogButton(dialog, IDOK);
    WaitUntilGone(dialog);
    return proposed;
}

// Columns (or rows) dark across the picture.
std::vector<float> DarkLines(const CPixelBitmap& picture, bool rows)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < picture.GetPixelHeight(); ++y)
        for (int x = 0; x < picture.GetPixelWidth(); ++x)
            pixels.push_back(picture.GetPixel(x, y) & 0xFFFFFF);
    return FindLines(pixels, picture.GetPixelWidth(), picture.GetPixelHeight(), rows);
}

}  // namespace

TEST(Program, ExportsPicturesAndEpsAndCopiesAPicture)
{
    PrepareProgramSettings(1);
    for (const wchar_t* prefix : {L"FileBMP", L"FileGIF", L"FilePNG", L"FileTIF", L"FileEPS", L"ClipboardBitmap"})
        for (const wchar_t* key : {L"CourseDist", L"ImageUnits"})
            DeleteProgramValue((std::wstring(prefix) + key).c_str());
    const std::wstring folder = MakeTempFolder(L"program-export");
    std::unique_ptr<CCourse> course = filetest::MakeCourseWithAFrames(L"Export.agl", L"");
    course->SetSize(12000.0f, 6000.0f);
    course->Set3DCamera(false);
    filetest::WriteBytes(folder + L"\\Export.agl", filetest::TextBlockOf(*course));
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(folder + L"\\Export.agl"), Caption(L"Export.agl"));
    ASSERT_TRUE(frame);

    // The list: agl, bmp, gif, png, tif, eps, txt, agl. A 100 by 50 foot
    // course at 750 pixels for 100 feet, the ring grown by 10 all round.
    const wchar_t* const extensions[] = {L"", L"bmp", L"gif", L"png", L"tif", L"eps"};
    for (int format : {5, 1, 2, 3, 4}) {
        const std::wstring name = std::wstring(L"Map.") + extensions[format];
        EXPECT_EQ(L"751x376", SaveAsPicture(program, frame, folder + L"\\" + name, format)) << name;
        EXPECT_TRUE(CopyFileW((folder + L"\\" + name).c_str(), GetTestArtefactPath(L"export-" + name).c_str(), 0));
    }

    // EPS: the fixed lines, CR LF throughout; Ghostscript draws the ring's
    // outline and grid where the raster picture has them, at twice its size.
    const std::string eps = ReadWholeFile(folder + L"\\Map.eps");
    EXPECT_EQ(0u, eps.find(std::string("%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 751 376\r\n") + kEpsSetup +
                           kEpsProlog));
    EXPECT_EQ(std::string::npos, eps.find("\r\r"));
    EXPECT_EQ(std::count(eps.begin(), eps.end(), '\n'), std::count(eps.begin(), eps.end(), '\r'));
    const std::wstring page = GetTestArtefactPath(L"export-Map-eps.png");
    std::string output;
    EXPECT_TRUE(RunUnixCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r144 -sOutputFile='" +
                                   UnixPath(page) + "' '" + UnixPath(folder + L"\\Map.eps") + "'",
                               output))
        << output;
    const std::unique_ptr<CPixelBitmap> drawn = GetImageCodec(3)->LoadFile(page);
    const std::unique_ptr<CPixelBitmap> raster = GetImageCodec(0)->LoadFile(folder + L"\\Map.bmp");
    ASSERT_TRUE(drawn && raster);
    for (bool rows : {false, true}) {
        const std::vector<float> lines = DarkLines(*drawn, rows);
        const std::vector<float> expected = DarkLines(*raster, rows);
        ASSERT_EQ(expected.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_NEAR(expected[i] * 2.0f, lines[i], 2.5f) << rows << " " << i;
        // The outline lies 10 units inside the picture's edges.
        EXPECT_LT(lines.front(), 4.0f);
        EXPECT_GT(lines.back(), (rows ? 752.0f : 1502.0f) - 5.0f);
    }

    // The rasters as identify reads them: a GIF with a palette, PNG (and BMP)
    // indexed at 255 colours or fewer. Wine's BMP encoder leaves the palette
    // out of the file size in the header (Windows counts it): identify warns.
    for (const char* identified : {"BMP3 751 376 PseudoClass", "GIF 751 376 PseudoClass",
                                   "PNG 751 376 PseudoClass", "TIFF 751 376 DirectClass"}) {
        std::string extension(identified, 3);
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        const bool read =
            RunUnixCommand("identify -format '%m %w %h %r %k' " + UnixPath(folder) + "/Map." + extension, output);
        EXPECT_TRUE(read || output.find("length and filesize do not match") != std::string::npos) << output;
        EXPECT_NE(std::string::npos, output.find(identified)) << output;
        EXPECT_TRUE(identified[0] == 'T' || std::stoi(output.substr(output.rfind(' '))) <= 255) << output;
    }
    const std::string png = ReadWholeFile(folder + L"\\Map.png");
    EXPECT_EQ(3, png.at(25)) << "PNG colour type: indexed";

    // Copy as Picture: a bitmap of the size chosen, the height following.
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, 2114, 0);
    const HWND dialog = WaitForProgramDialog(program, GetString(2397));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(L"751x376", ReadSize(dialog));
    TypeIntoEdit(FindEditControls(dialog)[0], L"500");
    EXPECT_EQ(L"500x250", ReadSize(dialog));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitForClipboard(CF_BITMAP) && OpenClipboard(nullptr));
    BITMAP bitmap = {};
    GetObjectW(GetClipboardData(CF_BITMAP), sizeof(bitmap), &bitmap);
    CloseClipboard();
    EXPECT_EQ(500, bitmap.bmWidth);
    EXPECT_EQ(250, bitmap.bmHeight);
    EXPECT_EQ(500u, ReadProgramInt(L"ClipboardBitmapImageUnits", 0));
    EXPECT_EQ(12020u, ReadProgramInt(L"ClipboardBitmapCourseDist", 0));
    EXPECT_EQ(751u, ReadProgramInt(L"FilePNGImageUnits", 0));

    // Over a file another process holds open without sharing: the message,
    // the file as it was, nothing left beside it.
    const std::wstring locked = folder + L"\\Map.png";
    const HANDLE held = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(L"751x376", SaveAsPicture(program, frame, locked, 3));
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2689, locked), CProgramProcess::GetMessageBoxText(box));
    CProgramProcess::AnswerMessageBox(box);
    CloseHandle(held);
    EXPECT_EQ(png, ReadWholeFile(locked));
    EXPECT_EQ(6u, filetest::ListFolder(folder).size());

    // Exports leave the course as it was: it closes without asking.
    PostMessageW(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
