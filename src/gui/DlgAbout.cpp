#include "gui/DlgAbout.h"

#include "core/common/OpenDocument.h"
#include "core/common/Paths.h"
#include "core/common/QuorbelConsts.h"
#include "gui/ExtrasResources.h"

#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

TLinkLabel::TLinkLabel(const QString& Text, QWidget* parent)
    : QLabel(Text, parent)
{
    QFont linkFont = font();
    linkFont.setBold(true);
    linkFont.setUnderline(true);
    setFont(linkFont);
    QPalette navy = palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(navy);
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Clicked();
}

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent)
{
    InitExtrasResources();
    setWindowTitle(tr("О программе..."));
    setFixedSize(550, 381);

    Background = new QLabel(this);
    Background->setGeometry(0, 0, 550, 381);
    Background->setAlignment(Qt::AlignCenter);
    Background->setPixmap(QPixmap(u":/extras/about_background.png"_qs));

    const auto placed = [this](QLabel* Label, int Left, int Top) {
        Label->move(Left, Top);
        return Label;
    };
    ProductLabel = placed(new QLabel(this), 58, 117);
    QFont bold = ProductLabel->font();
    bold.setBold(true);
    ProductLabel->setFont(bold);
    VersionLabel = placed(new QLabel(this), 58, 139);
    AuthorLabel = placed(new QLabel(this), 58, 161);

    InfoLabel = new QLabel(
        tr("ORVANTA - многофункциональная программа для подбора и проверки доменных имен. С ее помощью подобрать "
        "имя для сайта не только просто, но дополнительно можно сразу проверить его занятость, проверить "
        "параметры PR и ТИЦ, совершив всего пару кликов мышкой."),
        this);
    InfoLabel->setGeometry(58, 191, 483, 106);
    InfoLabel->setWordWrap(true);
    InfoLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    SiteLabel = new TLinkLabel(tr("Сайт программы"), this);
    SiteLabel->setGeometry(22, 302, 257, 20);
    SiteLabel->setAlignment(Qt::AlignCenter);
    SupportLabel = new TLinkLabel(tr("Техническая поддержка"), this);
    SupportLabel->setGeometry(288, 302, 259, 20);
    SupportLabel->setAlignment(Qt::AlignCenter);

    CloseButton = new QPushButton(this);
    CloseButton->setGeometry(419, 334, 122, 37);
    CloseButton->setDefault(true);

    const std::pair<QObject*, const char16_t*> names[] = { { Background, u"Background" },
        { ProductLabel, u"ProductLabel" }, { VersionLabel, u"VersionLabel" }, { AuthorLabel, u"AuthorLabel" },
        { InfoLabel, u"InfoLabel" }, { SiteLabel, u"SiteLabel" }, { SupportLabel, u"SupportLabel" },
        { CloseButton, u"CloseButton" } };
    for (const auto& [object, name] : names)
        object->setObjectName(QString::fromUtf16(name));

    connect(SiteLabel, &TLinkLabel::Clicked, this, &TFormAbout::SiteLabelClick);
    connect(SupportLabel, &TLinkLabel::Clicked, this, &TFormAbout::SupportLabelClick);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TFormAbout::FormCreate()
{
    ProductLabel->setText(QString::fromUtf16(QuorbelConsts::ProductName));
    VersionLabel->setText(u"%1: %2"_qs.arg(tr(QuorbelConsts::AboutVersionText), QString::fromUtf16(QuorbelConsts::ProductVersion)));
    CloseButton->setText(u'&' + tr(QuorbelConsts::AboutCloseText));
    AuthorLabel->setText(u"%1: %2"_qs.arg(tr(QuorbelConsts::AboutNoticeLabel), QString::fromUtf16(QuorbelConsts::AboutNoticeText)));
    for (QLabel* label : { ProductLabel, VersionLabel, AuthorLabel })
        label->adjustSize();
}

void TFormAbout::SiteLabelClick()
{
    OpenDocument(QuorbelConsts::SiteUrl());
}

void TFormAbout::SupportLabelClick()
{
    OpenDocument(QuorbelConsts::ContactUrl());
}

void ShowAboutDialog(QWidget* Owner)
{
    TFormAbout dialog(Owner);
    dialog.exec();
}
