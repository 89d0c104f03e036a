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
        QPixmap pm = base(size.width() > picture_.width || size.height() > picture_.height);
        if (pm.width() > size.width() || pm.height() > size.height())
            pm = pm.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
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
        const QSize twice(2 * picture_.width, 2 * picture_.height);
        const QSize best = size.width() > picture_.width || size.height() > picture_.height ? twice : QSize(picture_.width, picture_.height);
        return best.width() <= size.width() && best.height() <= size.height() ? best : best.scaled(size, Qt::KeepAspectRatio);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(picture_.width, picture_.height), QSize(2 * picture_.width, 2 * picture_.height)};
    }
    QIconEngine* clone() const override { return new PictureEngine(picture_); }
    QString key() const override { return QStringLiteral("solvari-picture"); }

private:
    const QPixmap& base(bool twice) {
        QPixmap& pm = cache_[twice ? 1 : 0];
        if (pm.isNull()) {
            const int w = twice ? 2 * picture_.width : picture_.width;
            const int h = twice ? 2 * picture_.height : picture_.height;
            // The image reads the compiled-in pixels where they are; the pixmap copies them once.
            const QImage image(twice ? picture_.pixels2x : picture_.pixels, w, h, 4 * static_cast<qsizetype>(w),
                               QImage::Format_ARGB32_Premultiplied);
            pm = QPixmap::fromImage(image);
        }
        return pm;
    }

    const PictureData& picture_;
    QPixmap cache_[2];
    QHash<quint64, QPixmap> made_;  // by size and mode
};

}  // namespace

QIcon pictureIcon(std::string_view name) {
    for (int i = 0; i < kPictureCount; ++i)
        if (name == kPictures[i].name) return QIcon(new PictureEngine(kPictures[i]));
    return {};
}

}  // namespace solvari
