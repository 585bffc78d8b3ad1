#include "gui/NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

TNoticeBar::TNoticeBar(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelUpdateNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 248, 214));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(24, 24));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    FText = new QLabel(this);
    FText->setObjectName(QStringLiteral("LabelUpdateNotice"));
    FText->setWordWrap(true);
    FText->setTextFormat(Qt::PlainText);
    layout->addWidget(FText, 1);
    auto* buttons = new QVBoxLayout;
    FDownload = new QPushButton(tr("С&качать"), this);
    FDownload->setObjectName(QStringLiteral("BtnUpdateDownload"));
    FLater = new QPushButton(tr("Поз&же"), this);
    FLater->setObjectName(QStringLiteral("BtnUpdateLater"));
    for (QPushButton* button : { FDownload, FLater }) {
        // Only a click answers: Enter or Space typed elsewhere never reaches these buttons.
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);

    connect(FDownload, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT DownloadChosen();
    });
    connect(FLater, &QPushButton::clicked, this, &QWidget::hide);
    hide();
}

void TNoticeBar::Offer(const QString& Text)
{
    static const QRegularExpression breaks(QStringLiteral("\\n\\r|\\r\\n|\\r|\\n"));
    FText->setText(QString(Text).replace(breaks, QStringLiteral("\n")));
    show();
}

QString TNoticeBar::Text() const
{
    return FText->text();
}
