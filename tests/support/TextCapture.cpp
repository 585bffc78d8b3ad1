#include "support/TextCapture.h"

#include <QPaintEngine>
#include <QPainter>
#include <QWidget>

class TTextCapture::TEngine : public QPaintEngine
{
public:
    TEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }

    QList<TDrawnText> FTexts;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override { }
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override { }
    void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override { }
    void drawPath(const QPainterPath&) override { }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { }
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override { }
    void drawRects(const QRect*, int) override { }
    void drawRects(const QRectF*, int) override { }
    void drawLines(const QLine*, int) override { }
    void drawLines(const QLineF*, int) override { }
    void drawEllipse(const QRectF&) override { }
    void drawPoints(const QPointF*, int) override { }
    void drawTextItem(const QPointF& p, const QTextItem& textItem) override
    {
        FTexts.append({ textItem.text(), painter()->combinedTransform().map(p) });
    }
};

TTextCapture::TTextCapture(const QSize& Size)
    : FSize(Size)
    , FEngine(std::make_unique<TEngine>())
{
}

TTextCapture::~TTextCapture() = default;

QPaintEngine* TTextCapture::paintEngine() const
{
    return FEngine.get();
}

const QList<TTextCapture::TDrawnText>& TTextCapture::Texts() const
{
    return FEngine->FTexts;
}

int TTextCapture::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return FSize.width();
    case PdmHeight:
        return FSize.height();
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDepth:
        return 32;
    case PdmNumColors:
        return INT_MAX;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(QPaintDevice::devicePixelRatioFScale());
    case PdmWidthMM:
        return FSize.width() * 254 / 960;
    case PdmHeightMM:
        return FSize.height() * 254 / 960;
    }
    return 0;
}

QList<TTextCapture::TDrawnText> TTextCapture::Capture(QWidget* Widget)
{
    TTextCapture device(Widget->size());
    Widget->render(&device, QPoint(), QRegion(), QWidget::DrawChildren);
    return device.Texts();
}
