#pragma once
#include <QIcon>
#include <string_view>

namespace solvari {

// A picture of the windows (a button's, the greeting's, the icon): its size in logical pixels
// and its premultiplied ARGB32 pixels at that size and at twice it, rendered from
// data/images/NAME.svg when the program is built.
struct PictureData {
    const char* name;
    int width, height;
    const unsigned char* pixels;
    const unsigned char* pixels2x;
};
extern const PictureData kPictures[];
extern const int kPictureCount;

// The picture, drawn from the pixels for twice its size on a HiDPI screen; an empty icon for a
// name that is not one of them.
QIcon pictureIcon(std::string_view name);

}  // namespace solvari
