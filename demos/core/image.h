#pragma once
// Pictures of the demos: the image gaImage_ (a 32-bit ARGB picture, loaded from
// the assets folder beside the executable or allocated empty and filled pixel
// by pixel) and the texture gaTexture, a drawable (gaBaseDraws) that draws one
// image stretched into a rectangle. Both draw to the frame's painter
// (currentGraphics) and honour the current state's drawFromCenter as stated
// below; outside a frame they draw nothing.
//
// Copies of an image share one picture: a pixel set through one shows in all.
// A missing, unreadable or special file (a FIFO, a folder) gives an empty image
// (0 by 0) that draws nothing.
#include <QImage>

#include <memory>
#include <string>

template <typename T> class gaImage_
{
public:
    gaImage_() = default;
    virtual ~gaImage_() = default;
    gaImage_(const gaImage_& other) = default;
    // Shares the other image's picture and size; the anchors stay.
    gaImage_& operator=(const gaImage_& other);

    // A new transparent picture of width by height (none for a size below 1).
    void allocate(int width, int height);
    // Reads "assets/<name>" beside the executable. Returns true, also when the
    // file cannot be read (the image is then empty).
    bool load(const std::string& name);
    // At natural size with its top-left corner at (x, y), or centred on (x, y)
    // when drawFromCenter is on.
    void draw(float x, float y) const;
    // Stretched into (x, y, w, h); the caller places the corner.
    void draw(float x, float y, float w, float h) const;
    // One pixel (outside the picture: nothing).
    void setColor(int x, int y, std::uint32_t argb);

    int width = 0;
    int height = 0;
    float anchorX = 0.0f; // not used by the draw calls; demos offset by size x anchor
    float anchorY = 0.0f;

private:
    std::shared_ptr<QImage> m_bitmap = std::make_shared<QImage>();
};

extern template class gaImage_<unsigned char>;

// A drawable of the demos.
class gaBaseDraws
{
public:
    virtual ~gaBaseDraws() = default;
    virtual void draw(float x, float y, float w, float h) = 0;
    virtual void draw(float /*x*/, float /*y*/) {}
    virtual float getHeight() const = 0;
    virtual float getWidth() const = 0;
};

class gaTexture : public gaBaseDraws
{
public:
    // Stretched into (x, y, w, h), or into the same size centred on (x, y) when
    // drawFromCenter is on.
    void draw(float x, float y, float w, float h) override;
    using gaBaseDraws::draw;
    float getHeight() const override { return static_cast<float>(m_image.height); }
    float getWidth() const override { return static_cast<float>(m_image.width); }
    // A new empty picture; the format (an OpenGL format number) is not used.
    virtual void allocate(int width, int height, int format);

    gaImage_<unsigned char>& image() { return m_image; }
    const gaImage_<unsigned char>& image() const { return m_image; }

private:
    gaImage_<unsigned char> m_image;
};
