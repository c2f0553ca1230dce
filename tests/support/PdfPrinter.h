#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The printer of the printing tests: the cups-pdf queue "PDF", the default
// destination (tools/printer-queue sets it up before the tests run), which
// writes every job as a PDF named after the document into the PDF folder of
// the user's home. The checks read those files with poppler's tools. Wine
// starts a Unix program through CreateProcess as it starts a Windows one;
// that is how these helpers reach the shell.

// Runs the command line through /bin/sh; its standard output. False when it
// did not run or finish within the time.
bool RunShell(const std::string& commandLine, std::string& output, DWORD timeoutMs = 60000);

// Empty when the PDF queue is the default printer as Windows sees it; else
// what is wrong, for the test's failure message.
std::string CheckPdfPrinter();

// The newest PDF of the queue whose file name holds `namePart` (the document
// title with blanks as "_"), once pdfinfo can read it; empty after the time.
std::string WaitForPdf(const std::string& namePart, DWORD timeoutMs = 30000);
// Deletes the queue's PDFs whose names hold `namePart`.
void DeletePdfs(const std::string& namePart);

struct CPdfInfo
{
    int pages = 0;
    // The first page, in points.
    float width = 0.0f;
    float height = 0.0f;
};
bool ReadPdfInfo(const std::string& path, CPdfInfo& info);

// A page of the PDF as grey pixels (0 black .. 255 white), rows from the top.
struct CPdfPicture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    uint8_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    // The box of the pixels darker than `limit`; false when there are none.
    bool FindInk(RECT& box, uint8_t limit = 200) const;
    // Rows from top to bottom that hold no such pixel, between first and
    // last (exclusive), as runs [start, end).
    std::vector<std::pair<int, int>> FindBlankRows(int first, int last, uint8_t limit = 200) const;
};
bool RenderPdfPage(const std::string& path, int page, int dpi, CPdfPicture& picture);
