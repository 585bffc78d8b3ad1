#include "gui/DlgAnswers.h"

#include "core/common/Errors.h"
#include "core/common/QuorbelConsts.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsKeys.h"
#include "gui/ExtrasResources.h"
#include "gui/UserDialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace {

const QString Marker = u"<IMAGE>"_qs;
// The tip picture's place: the right area's width, 100 pixels high. Larger pictures are shrunk to fit.
constexpr QSize PictureRoom(347, 100);

void ReportError(QWidget* Parent, const QString& Text)
{
    UserDialogs().Message(Parent, QString::fromUtf16(QuorbelConsts::ProductName), Text, TUserDialogs::TIcon::Stop);
}

QFont Resized(QFont Font, int PixelSize, bool Bold)
{
    Font.setPixelSize(PixelSize);
    Font.setBold(Bold);
    return Font;
}

} // namespace

TFormUserAnswer::TFormUserAnswer(QWidget* parent, const QString& AppFolder)
    : QDialog(parent)
    , FAppFolder(AppFolder)
{
    InitExtrasResources();
    setObjectName(u"FormUserAnswer"_qs);
    setWindowTitle(tr("Советы пользователям..."));
    setFixedSize(553, 334);

    // Left strip and right area above a bottom band of 56 pixels.
    PictureStrip = new QLabel(this);
    PictureStrip->setGeometry(0, 0, 182, 278);
    PictureStrip->setPixmap(QPixmap(u":/extras/tips_strip.png"_qs));
    PictureStrip->setAlignment(Qt::AlignCenter);

    auto* right = new QWidget(this);
    right->setGeometry(194, 8, PictureRoom.width(), 266);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(6);
    TipTitle = new QLabel(tr("Знаете ли вы... ?"), right);
    TipTitle->setFont(Resized(font(), 18, true));
    TipPicture = new QLabel(right);
    TipPicture->setFixedHeight(100);
    TipPicture->setAlignment(Qt::AlignCenter);
    LabelAnswer = new QLabel(right);
    // Tips are shown verbatim: markup in a tip is text, not formatting.
    LabelAnswer->setTextFormat(Qt::PlainText);
    LabelAnswer->setWordWrap(true);
    LabelAnswer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rightLayout->addWidget(TipTitle);
    rightLayout->addWidget(TipPicture);
    rightLayout->addWidget(LabelAnswer, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 278, 553, 2);

    CheckBoxNotShowThis = new QCheckBox(tr("Больше &не показывать"), this);
    CheckBoxNotShowThis->setGeometry(12, 286, 260, 22);
    SettingsHint = new QLabel(tr("Можно будет включить в настройках"), this);
    SettingsHint->setFont(Resized(font(), 10, false));
    SettingsHint->setGeometry(32, 308, 240, 16);

    BtnOk = new QPushButton(tr("&Хочу еще!"), this);
    QFont bold = BtnOk->font();
    bold.setBold(true);
    BtnOk->setFont(bold);
    BtnOk->setGeometry(296, 290, 124, 34);
    BtnOk->setDefault(true);
    BtnCancel = new QPushButton(tr("&Закрыть"), this);
    BtnCancel->setGeometry(428, 290, 113, 34);
    BtnCancel->setAutoDefault(false);

    const std::pair<QObject*, const char16_t*> names[] = { { PictureStrip, u"PictureStrip" }, { TipTitle, u"TipTitle" },
        { TipPicture, u"TipPicture" }, { LabelAnswer, u"LabelAnswer" }, { CheckBoxNotShowThis, u"CheckBoxNotShowThis" },
        { SettingsHint, u"SettingsHint" }, { BtnOk, u"BtnOk" }, { BtnCancel, u"BtnCancel" } };
    for (const auto& [object, name] : names)
        object->setObjectName(QString::fromUtf16(name));

    connect(BtnOk, &QPushButton::clicked, this, &TFormUserAnswer::BtnOkClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckBoxNotShowThis, &QCheckBox::toggled, this, &TFormUserAnswer::CheckBoxNotShowThisClick);

    FormCreate();
}

void TFormUserAnswer::FormCreate()
{
    // A missing or unreadable file leaves no tips; ShowRandomAnswer says so.
    try {
        Answers = ReadListFile(FAppFolder + u"Answers.dat"_qs);
    } catch (const EOrvantaError&) {
        Answers.clear();
    }
    ShowRandomAnswer();
}

void TFormUserAnswer::ShowRandomAnswer()
{
    // Every non-empty line can come up, the last one included.
    QList<qsizetype> drawable;
    for (qsizetype i = 0; i < Answers.size(); ++i)
        if (!Answers.at(i).isEmpty())
            drawable << i;
    if (drawable.isEmpty()) {
        TipPicture->hide();
        LabelAnswer->setText(tr(NoAnswersText));
        return;
    }
    const QString answer = Answers.at(drawable.at(QRandomGenerator::global()->bounded(drawable.size())));

    const bool hasPicture = answer.startsWith(u'1');
    // The marker counts only with at least one character after it.
    const qsizetype marker = answer.left(answer.size() - 1).indexOf(Marker);
    QString text;
    QString picture;
    if (marker >= 0) {
        text = answer.mid(2, qMax<qsizetype>(0, marker - 2));
        if (hasPicture)
            picture = FAppFolder + u"Resourse/Help/"_qs + answer.mid(marker + Marker.size());
    } else {
        text = answer.mid(2);
    }

    if (hasPicture) {
        // A missing file keeps the previous picture.
        if (!picture.isEmpty() && QFileInfo(picture).isFile() && !LoadPicture(picture))
            return;
        TipPicture->show();
    } else {
        TipPicture->hide();
    }
    LabelAnswer->setText(text);
}

bool TFormUserAnswer::LoadPicture(const QString& Path)
{
    QImageReader reader(Path);
    QImage image = reader.read();
    if (image.isNull()) {
        ReportError(this,
            tr("Не удалось загрузить рисунок «%1»: %2").arg(QDir::toNativeSeparators(Path), reader.errorString()));
        return false;
    }
    if (image.width() > PictureRoom.width() || image.height() > PictureRoom.height())
        image = image.scaled(PictureRoom, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    TipPicture->setPixmap(QPixmap::fromImage(image));
    return true;
}

void TFormUserAnswer::BtnOkClick()
{
    ShowRandomAnswer();
}

void TFormUserAnswer::CheckBoxNotShowThisClick(bool Checked)
{
    // Unchecking writes nothing: the settings dialog is the place to switch the tips back on.
    if (!Checked)
        return;
    try {
        if (!WriteSetting(SettingsKeys::ShowHelpStart, false))
            ReportError(this, tr("Не удалось сохранить настройку: папка настроек недоступна."));
    } catch (const EOrvantaError& error) {
        ReportError(this, error.Message());
    }
}

void ShowStartupTips(QWidget* Owner, const QString& AppFolder)
{
    if (!ReadSetting(SettingsKeys::ShowHelpStart).value_or(false))
        return;
    TFormUserAnswer dialog(Owner, AppFolder);
    dialog.exec();
}
