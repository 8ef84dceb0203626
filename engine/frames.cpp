// Animation frames from the program's resources: a bitmap and a REGION outline under the same name.
#include <new>

#include "engine/activity.h"
#include "engine/region_data.h"
#include "engine/seams.h"
#include "engine/resource_ids.h"

void Activity::loadFrames(const char* base, int count) {
    if (count < 0)
        count = 0;
    frameBitmaps.reset(new (std::nothrow) Bitmap[count]);
    frameRegions.reset(new (std::nothrow) Region[count]);
    frameSizes.reset(new (std::nothrow) Point[count]);
    if (!frameBitmaps || !frameRegions || !frameSizes) {
        frameBitmaps.reset();
        frameRegions.reset();
        frameSizes.reset();
        frameCount = 0;
        reportLoadFailure();
        return;
    }
    frameCount = count;

    HMODULE module = GetModuleHandleA(nullptr);
    String baseName(base);
    for (int i = 1; i <= count; ++i) {
        String name = baseName.concat(i);
        // A DIB section, not a bitmap of the display's format: selecting a bitmap of the display's format into a
        // DC makes the system check its depth against the display's, a call through the system under Wine (three
        // server round trips) each time a figure is drawn.
        Bitmap& bitmap = frameBitmaps[i - 1];
        bitmap.reset(static_cast<HBITMAP>(LoadImageA(module, name.text(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        int ok = frameRegions[i - 1].loadResource(module, name.text());
        bitmapSize(bitmap.get(), &frameSizes[i - 1].x, &frameSizes[i - 1].y);
        if (!bitmap || !ok)
            reportLoadFailure();
    }
}

// Layout: a 32-bit byte count, then exactly that many bytes of RGNDATA (header and rectangles).
int Region::loadResource(HINSTANCE module, const char* name) {
    HRSRC resource = FindResourceA(module, name, "region");
    if (!resource)
        return 0;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded)
        return 0;
    const BYTE* data = static_cast<const BYTE*>(LockResource(loaded));
    if (!data)
        return 0;
    DWORD size = SizeofResource(module, resource);
    // A count that claims more than the resource holds would make the system read past it.
    uint32_t byteCount = 0;
    if (!regionResourceFits(data, size, &byteCount))
        return 0;
    return createFromData(reinterpret_cast<const RGNDATA*>(data + 4), byteCount);
}

void reportLoadFailure() {
    String text;
    text.loadString(IDS_FRAMES_NOT_LOADED);
    String caption;
    caption.loadString(IDS_PRODUCT);
    caption.append("-Error");
    gSeams.loadFailureMessageBox(nullptr, text.text(), caption.text(), MB_ICONERROR);
    PostQuitMessage(-1);
}
