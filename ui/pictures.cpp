#include "ui/pictures.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

namespace solvari {

namespace {

// Makes a pixmap of a picture only when one is drawn, and only at the ratio it is drawn at: a
// normal screen never copies the pixels for twice the size.
class PictureEngine : public QIconEngine {
public:
    explicit PictureEngine(const PictureData& picture) : picture_(picture) {}

    // `size` is in device pixels. A button asks at every paint, so what is made is kept.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        const quint64 key = quint64(size.width()) << 40 | quint64(size.height()) << 8 | quint64(mode);
        if (auto it = made_.constFind(key); it != made_.constEnd()) return *it;
        QImage image = pixels(twiceFor(size));
        if (image.width() > size.width() || image.height() > size.height())
            image = image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPixmap pm = QPixmap::fromImage(image);  // copies the compiled-in pixels once
        if (mode == QIcon::Disabled || mode == QIcon::Selected) {
            // The greyed or highlighted look the style gives every icon.
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
        }
        if (made_.size() > 16) made_.clear();
        made_.insert(key, pm);
        return pm;
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        const QSize shown = pm.deviceIndependentSize().toSize();
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2, (rect.height() - shown.height()) / 2), shown), pm);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QSize best = twiceFor(size) ? QSize(2 * picture_.width, 2 * picture_.height) : QSize(picture_.width, picture_.height);
        return best.width() <= size.width() && best.height() <= size.height() ? best : best.scaled(size, Qt::KeepAspectRatio);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(picture_.width, picture_.height), QSize(2 * picture_.width, 2 * picture_.height)};
    }
    QIconEngine* clone() const override { return new PictureEngine(picture_); }
    QString key() const override { return QStringLiteral("solvari-picture"); }

private:
    // Whether a request of this many device pixels is served from the pixels for twice the size.
    bool twiceFor(const QSize& size) const { return size.width() > picture_.width || size.height() > picture_.height; }

    // The compiled-in pixels, read where they are.
    QImage pixels(bool twice) const {
        const int w = twice ? 2 * picture_.width : picture_.width;
        const int h = twice ? 2 * picture_.height : picture_.height;
        return QImage(twice ? picture_.pixels2x : picture_.pixels, w, h, 4 * static_cast<qsizetype>(w),
                      QImage::Format_ARGB32_Premultiplied);
    }

    const PictureData& picture_;
    QHash<quint64, QPixmap> made_;  // by size and mode
};

}  // namespace

QIcon pictureIcon(std::string_view name) {
    for (int i = 0; i < kPictureCount; ++i)
        if (name == kPictures[i].name) return QIcon(new PictureEngine(kPictures[i]));
    return {};
}

}  // namespace solvari
