#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "course/Course.h"
#include "foundation/Strings.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/EpsDocument.h"
#include "tests/support/TestSupport.h"

// Exports of the real program under Wine: the save dialog driven to each
// picture format and to EPS, then Copy as Picture. The files are checked by
// the tools of the machine Wine runs on (Ghostscript, ImageMagick), which a
// Windows process under Wine can start but not wait for: each command writes
// its exit code into a file that is waited for instead.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
// The save dialog's file-type list of a course with picture export.
const std::vector<std::wstring> kExtensions = {L"agl", L"bmp", L"gif", L"png", L"tif", L"eps", L"txt", L"agl"};

std::string UnixPath(const std::wstring& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    static const auto toUnix =
        reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                                        "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    const std::string result = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs the shell command; its output, and whether it ended with 0.
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
        Sleep(100);
    PumpMessagesFor(100);
    output = ReadWholeFile(base + L".out");
    return ReadWholeFile(base + L".done") == "0\n";
}

HWND WaitForProgramDialog(const CProgramProcess& program, const std::wstring& title)
{
    for (int i = 0; i < 200; ++i) {
        for (HWND dialog : program.FindWindows(L"#32770"))
            if (GetWindowTextString(dialog) == title)
                return dialog;
        PumpMessagesFor(100);
    }
    return nullptr;
}

// The text of another process's edit (GetWindowText reads only captions
// there).
std::wstring EditText(HWND edit)
{
    wchar_t text[64] = {};
    SendMessageW(edit, WM_GETTEXT, 64, LPARAM(text));
    return text;
}

// The picture dialog's two size fields (its first edit shows it is up).
std::wstring ReadSize(HWND dialog)
{
    const std::vector<HWND> edits = FindEditControls(dialog);
    return edits.size() == 2 ? EditText(edits[0]) + L"x" + EditText(edits[1]) : L"";
}

// Save As to the file in the format of the list's entry, its name typed
// without the extension (the chosen format adds it); the picture dialog is
// shot, its proposal returned, and confirmed.
std::wstring SaveAsPicture(const CProgramProcess& program, HWND frame, const std::wstring& path, int entry)
{
    PostMessageW(frame, WM_COMMAND, 2075, 0);
    const HWND save = WaitForProgramDialog(program, L"Save As");
    if (!save || !WaitForControl(save, FindOkButton))
        return L"no save dialog";
    // The system dialog takes the choice when the list closes on it.
    const HWND formats = GetDlgItem(save, 0x470);
    ChooseComboItem(formats, entry);
    SendMessageW(save, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELENDOK), LPARAM(formats));
    const bool replacing = FileExists(path);
    ChooseFileName(save, path.substr(0, path.rfind(L'.')));
    if (replacing) {
        const HWND box = program.WaitForMessageBox(kWait);
        PressDialogButton(box, IDYES);
        WaitUntilGone(box);
    }
    const HWND size = WaitForProgramDialog(program, GetString(2397));
    if (!size || !WaitForControl(size, FindFileNameEdit))
        return L"no picture dialog";
    const std::wstring proposed = ReadSize(size);
    SaveScreenPicture(size, GetTestArtefactPath(L"export-dialog-" + kExtensions[size_t(entry)] + L".png"));
    PressDialogButton(size, IDOK);
    WaitUntilGone(size);
    return proposed;
}

// The picture's dark lines across: columns (or rows) from the left (top).
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
    PrepareProgramSettings(kOrganisation);
    for (const wchar_t* prefix : {L"FileBMP", L"FileGIF", L"FilePNG", L"FileTIF", L"FileEPS", L"ClipboardBitmap"})
        for (const wchar_t* key : {L"CourseDist", L"ImageUnits"})
            DeleteProgramValue((std::wstring(prefix) + key).c_str());
    const std::wstring folder = MakeTempFolder(L"program-export");
    {
        std::unique_ptr<CCourse> course = filetest::MakeCourseWithAFrames(L"Export.agl", L"");
        course->SetSize(12000.0f, 6000.0f);
        course->Set3DCamera(false);
        filetest::WriteBytes(folder + L"\\Export.agl", filetest::TextBlockOf(*course));
    }
    CProgramProcess program;
    const HWND frame =
        StartAndWaitUntilReady(program, Quoted(folder + L"\\Export.agl"), Caption(L"Export.agl"));
    ASSERT_TRUE(frame);

    for (int entry : {5, 1, 2, 3, 4}) {
        const std::wstring path = folder + L"\\Map." + kExtensions[size_t(entry)];
        EXPECT_EQ(L"751x376", SaveAsPicture(program, frame, path, entry)) << entry;
        EXPECT_TRUE(FileExists(path)) << entry;
        CopyFileW(path.c_str(), GetTestArtefactPath(L"export-Map." + kExtensions[size_t(entry)]).c_str(), FALSE);
    }

    // EPS: the fixed lines exactly, CR LF throughout, and Ghostscript draws
    // the ring's outline and grid where the raster picture has them.
    const std::string eps = ReadWholeFile(folder + L"\\Map.eps");
    EXPECT_EQ(0u, eps.find(std::string("%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 751 376\r\n") + kEpsSetup +
                           kEpsProlog));
    EXPECT_EQ(std::string::npos, eps.find("\r\r"));
    EXPECT_EQ(std::count(eps.begin(), eps.end(), '\n'), std::count(eps.begin(), eps.end(), '\r'));
    const std::wstring rendered = GetTestArtefactPath(L"export-Map-eps.png");
    std::string output;
    EXPECT_TRUE(RunUnixCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r144 -sOutputFile='" +
                                   UnixPath(rendered) + "' '" + UnixPath(folder + L"\\Map.eps") + "'",
                               output));
    EXPECT_EQ(std::string::npos, output.find("Error")) << output;
    const std::unique_ptr<CPixelBitmap> page = GetImageCodec(3)->LoadFile(rendered);
    const std::unique_ptr<CPixelBitmap> raster = GetImageCodec(0)->LoadFile(folder + L"\\Map.bmp");
    ASSERT_TRUE(page && raster);
    EXPECT_EQ(1502, page->GetPixelWidth());
    for (bool rows : {false, true}) {
        const std::vector<float> drawn = DarkLines(*page, rows);
        const std::vector<float> expected = DarkLines(*raster, rows);
        ASSERT_EQ(expected.size(), drawn.size()) << rows;
        ASSERT_GE(drawn.size(), 2u);
        for (size_t i = 0; i < drawn.size(); ++i)
            EXPECT_NEAR(expected[i] * 2.0f, drawn[i], 2.5f) << rows << " " << i;
        // The ring (grown by 10 all round) fills the picture: its outline at the edges.
        EXPECT_LT(drawn.front(), 4.0f);
        EXPECT_GT(drawn.back(), (rows ? 752.0f : 1502.0f) - 5.0f);
    }

    // The rasters as ImageMagick reads them: format, size, class and colours;
    // a GIF has a palette, a PNG an indexed one of at most 255 colours.
    const struct
    {
        const wchar_t* file;
        const char* identified;
    } rasters[] = {{L"Map.bmp", "BMP3 751 376 PseudoClass"},
                   {L"Map.gif", "GIF 751 376 PseudoClass"},
                   {L"Map.png", "PNG 751 376 PseudoClass"},
                   {L"Map.tif", "TIFF 751 376 DirectClass"}};
    for (const auto& file : rasters) {
        const bool read =
            RunUnixCommand("identify -format '%m %w %h %r %k' '" + UnixPath(folder + L"\\" + file.file) + "'", output);
        // Wine's BMP encoder leaves the palette out of the file size in the
        // header (Windows counts it), which identify warns about.
        EXPECT_TRUE(read || output.find("length and filesize do not match") != std::string::npos) << output;
        EXPECT_NE(std::string::npos, output.find(file.identified)) << output;
        if (file.identified[0] != 'T') {
            EXPECT_LE(std::stoi(output.substr(output.find_last_of(' ') + 1)), 255) << output;
        }
    }
    const std::string png = ReadWholeFile(folder + L"\\Map.png");
    ASSERT_GT(png.size(), 41u);
    EXPECT_EQ(3, png[25]) << "colour type: indexed";

    // Copy as Picture: a bitmap of the size chosen, the height following.
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, 2114, 0);
    const HWND dialog = WaitForProgramDialog(program, GetString(2397));
    ASSERT_TRUE(dialog && WaitForControl(dialog, FindFileNameEdit));
    EXPECT_EQ(L"751x376", ReadSize(dialog));
    TypeIntoEdit(FindEditControls(dialog)[0], L"500");
    EXPECT_EQ(L"500x250", ReadSize(dialog));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitForClipboard(CF_BITMAP));
    ASSERT_TRUE(OpenClipboard(nullptr));
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
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
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
