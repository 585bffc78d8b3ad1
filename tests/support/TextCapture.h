#pragma once

#include <QList>
#include <QPaintDevice>
#include <QPointF>
#include <QString>
#include <memory>

class QWidget;

// A paint device that keeps the texts a widget draws and where it draws them, so a test can read what the
// screen shows instead of what the model holds.
class TTextCapture : public QPaintDevice
{
public:
    struct TDrawnText {
        QString Text;
        QPointF Origin; // the start of the text's baseline, in the rendered widget's coordinates
    };

    TTextCapture(const QSize& Size);
    ~TTextCapture() override;

    QPaintEngine* paintEngine() const override;
    const QList<TDrawnText>& Texts() const;

    // Renders Widget and returns what it drew.
    static QList<TDrawnText> Capture(QWidget* Widget);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    class TEngine;
    QSize FSize;
    std::unique_ptr<TEngine> FEngine;
};
