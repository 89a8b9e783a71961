#include "platform/PngIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <utility>

namespace {

class PngIconEngine final : public QIconEngine {
public:
    explicit PngIconEngine(QStringList paths) : m_paths(std::move(paths)) {}

    QIconEngine* clone() const override { return new PngIconEngine(*this); }
    QString key() const override { return QStringLiteral("PngIconEngine"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        load();
        QList<QSize> sizes;
        for (const QPixmap& p : std::as_const(m_pixmaps))
            sizes << p.size();
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const QPixmap& p = best(size);
        if (p.isNull())
            return QSize();
        return p.size().scaled(size, Qt::KeepAspectRatio).boundedTo(p.size());
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap p = best(size);
        if (p.isNull())
            return p;
        if (p.width() > size.width() || p.height() > size.height())
            p = p.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Normal || !qApp)
            return p;
        // Disabled and selected icons look as the style makes them of
        // the normal one.
        QStyleOption option;
        option.palette = QApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, p, &option);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap p = pixmap(rect.size() * ratio, mode, state);
        p.setDevicePixelRatio(ratio);
        const QSize shown = p.size() / ratio;
        painter->drawPixmap(QRect(QPoint(rect.x() + (rect.width() - shown.width()) / 2,
                                         rect.y() + (rect.height() - shown.height()) / 2),
                                  shown),
                            p);
    }

    // Answered without reading the files, which a toolbar asks while it
    // lays itself out: a missing file shows as no picture when drawn.
    bool isNull() override { return m_paths.isEmpty(); }

private:
    void load()
    {
        if (m_loaded)
            return;
        m_loaded = true;
        for (const QString& path : std::as_const(m_paths)) {
            QImageReader reader(path, "png");
            const QImage image = reader.read();
            if (!image.isNull())
                m_pixmaps << QPixmap::fromImage(image);
        }
    }

    // The smallest picture at least as big as asked, or else the biggest.
    const QPixmap& best(const QSize& size)
    {
        load();
        static const QPixmap none;
        const QPixmap* found = nullptr;
        for (const QPixmap& p : std::as_const(m_pixmaps)) {
            const bool fits = p.width() >= size.width() && p.height() >= size.height();
            const bool foundFits = found && found->width() >= size.width() && found->height() >= size.height();
            if (!found || (fits && (!foundFits || p.width() < found->width())) ||
                (!fits && !foundFits && p.width() > found->width()))
                found = &p;
        }
        return found ? *found : none;
    }

    QStringList m_paths;
    QList<QPixmap> m_pixmaps;
    bool m_loaded = false;
};

}  // namespace

namespace PngIcon {

QIcon fromFile(const QString& path)
{
    return fromFiles({path});
}

QIcon fromFiles(const QStringList& paths)
{
    return QIcon(new PngIconEngine(paths));
}

}  // namespace PngIcon
