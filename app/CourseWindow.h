#pragma once

// Whether one more course window may show its course in 3D; false while no
// 3D graphics system is available.
bool CanShowAnother3DView();
