#pragma once

// The screen-wide mouse pointer during long operations: 11 is busy, 0 the default. Calls
// nest: every 11 needs its 0.
void SetMousePointer(int shape);
