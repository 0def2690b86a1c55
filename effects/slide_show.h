#pragma once
// The image slideshow: the next picture of the image list letterboxed over the source.
class CImagePathList;
namespace platform {
class Surface;
}

class CSlideShow
{
public:
    // Loads the next image of the list and draws it letterboxed (nearest-neighbour
    // stretch, aspect kept) over a copy of source into output. An image that does
    // not load leaves output untouched.
    void DrawNext(platform::Surface& output, const platform::Surface& source);

    int m_nWidth = 0;
    int m_nHeight = 0;
    CImagePathList* m_pImageList = nullptr; // the main window's list, not owned
};
