#pragma once
#include <QProxyStyle>

namespace solvari {

// The platform's style, except that its standard icons (the menu bar's overflow arrow, the
// title bar buttons of the page window) are read from their files only when first drawn.
// Read at once, the first of them loads every image-format plug-in while the program starts,
// for icons that a normal screen never shows.
class LazyIconStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

}  // namespace solvari
