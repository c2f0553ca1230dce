#pragma once

#include <windows.h>

#include <string>

// The class id of the first installed GDI+ image encoder whose MIME type is
// exactly `mimeType` ("image/png"); false when none is or the encoders cannot
// be listed. GDI+ must be started.
bool FindImageEncoder(const std::wstring& mimeType, CLSID& clsid);
