// DirectSound and the multimedia API; the lean <windows.h> leaves out the WAVEFORMATEX they need.
#pragma once

#include "engine/platform.h"

#include <mmsystem.h>
#include <dsound.h>
