#include "ui/SymbolIcons.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QSvgRenderer>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick::ui {

namespace {

// A drawing in up to three layers with one view box: the shape, an optional cut-out erased from it
// (so a check mark reads on a filled circle in any colour) and an optional overlay drawn last (the
// plus of a badge sitting in its cut-out).
struct SymbolDrawing {
    std::unique_ptr<QSvgRenderer> shape;
    std::unique_ptr<QSvgRenderer> cutout;
    std::unique_ptr<QSvgRenderer> overlay;
};

QString resourcePath(std::string_view symbol, const char *layer)
{
    return QStringLiteral(":/icons/symbols/") + QString::fromUtf8(symbol.data(), static_cast<qsizetype>(symbol.size())) +
           QString::fromLatin1(layer) + QStringLiteral(".svg");
}

std::unique_ptr<QSvgRenderer> loadLayer(std::string_view symbol, const char *layer)
{
    const QString path = resourcePath(symbol, layer);
    if (!QFile::exists(path)) {
        return nullptr;
    }
    auto renderer = std::make_unique<QSvgRenderer>(path);
    return renderer->isValid() ? std::move(renderer) : nullptr;
}

// Loaded once per symbol and kept: the views ask for the same few dozen symbols again and again.
const SymbolDrawing *drawing(std::string_view symbol)
{
    static std::map<std::string, std::optional<SymbolDrawing>, std::less<>> loaded;
    auto found = loaded.find(symbol);
    if (found == loaded.end()) {
        std::optional<SymbolDrawing> made;
        if (auto shape = loadLayer(symbol, "")) {
            made = SymbolDrawing{std::move(shape), loadLayer(symbol, ".cutout"), loadLayer(symbol, ".overlay")};
        }
        found = loaded.emplace(std::string(symbol), std::move(made)).first;
    }
    return found->second ? &*found->second : nullptr;
}

// Theme names for symbols the application does not draw itself.
QString themeName(std::string_view symbol)
{
    static const std::map<std::string, QString, std::less<>> names{
        {"gearshape", "preferences-system-symbolic"},
        {"arrow.down.circle", "folder-download-symbolic"},
        {"square.and.arrow.up", "send-to-symbolic"},
    };
    const auto found = names.find(symbol);
    return found == names.end() ? QString() : found->second;
}

QColor colorFor(const std::optional<QColor> &tint, QIcon::Mode mode)
{
    const QPalette palette = QApplication::palette();
    if (tint) {
        QColor color = *tint;
        if (mode == QIcon::Disabled) {
            color.setAlphaF(color.alphaF() * 0.4f);
        }
        return color;
    }
    switch (mode) {
    case QIcon::Disabled:
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case QIcon::Selected:
        return palette.color(QPalette::HighlightedText);
    default:
        return palette.color(QPalette::WindowText);
    }
}

// Paints a monochrome source in one colour: whatever the source's own colours, every covered pixel
// takes the tint and keeps its coverage.
QPixmap tinted(QImage mask, const QColor &color)
{
    QPainter painter(&mask);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(mask.rect(), color);
    painter.end();
    return QPixmap::fromImage(std::move(mask));
}

class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(std::string symbol, std::optional<QColor> tint) : m_symbol(std::move(symbol)), m_tint(tint) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap image = scaledPixmap(rect.size(), mode, state, scale);
        painter->drawPixmap(rect, image);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const QSize pixels = size * scale;
        if (pixels.isEmpty()) {
            return {};
        }
        const QColor color = colorFor(m_tint, mode);
        const QString key = QStringLiteral("tarnwick-symbol:%1:%2x%3:%4")
                                .arg(QString::fromStdString(m_symbol))
                                .arg(pixels.width())
                                .arg(pixels.height())
                                .arg(color.rgba(), 8, 16);
        QPixmap result;
        if (!QPixmapCache::find(key, &result)) {
            result = tinted(render(pixels), color);
            QPixmapCache::insert(key, result);
        }
        result.setDevicePixelRatio(scale);
        return result;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("tarnwick-symbol"); }
    QString iconName() override { return QString::fromStdString(m_symbol); }
    bool isNull() override { return false; }
    QIconEngine *clone() const override { return new SymbolIconEngine(*this); }

private:
    QImage render(const QSize &pixels) const
    {
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        // Square symbols centred in whatever box they are asked for.
        const int side = std::min(pixels.width(), pixels.height());
        const QRectF box((pixels.width() - side) / 2.0, (pixels.height() - side) / 2.0, side, side);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        if (const SymbolDrawing *symbol = drawing(m_symbol)) {
            symbol->shape->render(&painter, box);
            if (symbol->cutout) {
                painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
                symbol->cutout->render(&painter, box);
                painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            }
            if (symbol->overlay) {
                symbol->overlay->render(&painter, box);
            }
            return image;
        }
        QIcon fallback = QIcon::fromTheme(themeName(m_symbol));
        if (fallback.isNull()) {
            fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
        }
        fallback.paint(&painter, box.toRect());
        return image;
    }

    std::string m_symbol;
    std::optional<QColor> m_tint;
};

}  // namespace

void installIconThemeFallback()
{
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == QLatin1String("hicolor")) {
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    }
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor")) {
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
}

bool hasSymbol(std::string_view symbol)
{
    return drawing(symbol) != nullptr;
}

QIcon symbolIcon(std::string_view symbol)
{
    return QIcon(new SymbolIconEngine(std::string(symbol), std::nullopt));
}

QIcon symbolIcon(std::string_view symbol, const QColor &tint)
{
    return QIcon(new SymbolIconEngine(std::string(symbol), tint));
}

QIcon applicationIcon()
{
    return QIcon(QStringLiteral(":/icons/tarnwick.svg"));
}

}  // namespace tarnwick::ui
