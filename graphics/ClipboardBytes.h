#pragma once

#include <windows.h>

#include <string>

// Blocks of the Windows clipboard, which the caller has open.

// Hands a copy of the bytes to the clipboard as a movable global block; the
// clipboard owns the block once SetClipboardData has taken it, until then it
// is freed here. A failure is reported and answered false.
bool PutClipboardBytes(UINT format, const void* data, size_t size);

// The whole block of the format, never read beyond its size. False when the
// clipboard has none or it cannot be locked (a handle another program put
// there need not be a memory block at all); nothing is reported.
bool GetClipboardBytes(UINT format, std::string& bytes);
