#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The printer of the printing tests: the cups-pdf queue "PDF", the default
// destination (tools/printer-queue sets it up before the tests run), which
// writes each job as a PDF named after the document into ~/PDF. The checks
// read those files with poppler's tools: under Wine, CreateProcess starts a
// Unix program as it starts a Windows one.

// Runs the command line through /bin/sh; its standard output. False when it
// did not run or finish within the time.
bool RunShell(const std::string& commandLine, std::string& output, DWORD timeoutMs = 60000);

// Empty when the PDF queue is Windows's default printer; else what is wrong.
std::string CheckPdfPrinter();

// The newest PDF of the queue whose name holds `namePart` (the document title
// with blanks as "_") once pdfinfo reads it; empty after the time.
std::string WaitForPdf(const std::string& namePart, DWORD timeoutMs = 30000);
void DeletePdfs(const std::string& namePart);

// pdfinfo's page count and first page size in points.
struct CPdfInfo
{
    int pages = 0;
    float width = 0.0f;
    float height = 0.0f;
};
bool ReadPdfInfo(const std::string& path, CPdfInfo& info);

// A page as grey pixels (0 black .. 255 white), rows from the top.
struct CPdfPicture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    bool IsInk(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] < 200; }
    // The box of the ink; false when there is none.
    bool FindInk(RECT& box) const;
};
bool RenderPdfPage(const std::string& path, int dpi, CPdfPicture& picture);
