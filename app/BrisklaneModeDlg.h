#pragma once

// Whether the stored display mode "BrisklaneMode" is on (default off).
bool IsBrisklaneMode();
