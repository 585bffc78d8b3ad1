#include "gui/DlgProgress.h"

#include "gui/AppFonts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

TProgressForm::TProgressForm()
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowTitle(QStringLiteral("Обработка данных..."));
    setFont(TahomaFont(13));
    setSizeGripEnabled(false);

    ProgressPanel = new QWidget(this);
    ProgressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    ProgressPanel->setAutoFillBackground(true);
    QPalette grey = ProgressPanel->palette();
    grey.setColor(QPalette::Window, QColor(220, 220, 220));
    ProgressPanel->setPalette(grey);

    WaitLabel = new QLabel(QStringLiteral("Пожалуйста, подождите..."), ProgressPanel);
    WaitLabel->setObjectName(QStringLiteral("WaitLabel"));
    WaitLabel->setFont(TahomaFont(16));
    QPalette black = WaitLabel->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    WaitLabel->setPalette(black);
    const int labelHeight = WaitLabel->fontMetrics().height();
    WaitLabel->setGeometry(5, 5, InsideWidth - 10, labelHeight);

    ProgressBar = new QProgressBar(ProgressPanel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setStyleSheet(QStringLiteral("QProgressBar { background-color: rgb(0, 64, 64); border: none; }"
                                              "QProgressBar::chunk { background-color: rgb(0, 128, 64); }"));
    const int barTop = 5 + labelHeight + 5 + 7;
    ProgressBar->setGeometry(12, barTop, InsideWidth - 24, 33);

    DetailsLabel = new QLabel(ProgressPanel);
    DetailsLabel->setObjectName(QStringLiteral("DetailsLabel"));
    DetailsLabel->setPalette(black);
    DetailsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    DetailsLabel->setGeometry(12, barTop + 33 + 4, InsideWidth - 24, DetailsHeight - 4);

    CancelBtn = new QPushButton(QStringLiteral("Отмена"), ProgressPanel);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setFont(TahomaFont(13, true));
    CancelBtn->setDefault(true);
    CancelBtn->setEnabled(false);
    CancelBtn->setGeometry((InsideWidth - 113) / 2, barTop + 33 + DetailsHeight + 12, 113, 33);
    connect(CancelBtn, &QPushButton::clicked, this, &TProgressForm::CancelBtnClick);

    setFixedSize(InsideWidth, HeightWithButton);
    ProgressPanel->setGeometry(0, 0, InsideWidth, HeightWithButton);
}

TProgressForm::~TProgressForm()
{
    // Deleted while shown (the main window closing mid-run): the parent must not stay disabled.
    if (isVisible())
        FormHide();
}

void TProgressForm::SetSettingsDlg(QWidget* ParentForm, bool ShowStopButton)
{
    Stop = false;
    if (ParentForm)
        this->ParentForm = ParentForm;
    CancelBtn->setEnabled(ShowStopButton);
    CancelBtn->setVisible(ShowStopButton);
    DetailsLabel->clear();
    const int height = ShowStopButton ? HeightWithButton : HeightWithoutButton;
    setFixedSize(InsideWidth, height);
    ProgressPanel->setGeometry(0, 0, InsideWidth, height);
    ProgressBar->setValue(0);
}

void TProgressForm::FormActivate()
{
    if (ParentForm)
        ParentForm->setEnabled(false);
    Stop = false;
}

void TProgressForm::FormHide()
{
    if (ParentForm)
        ParentForm->setEnabled(true);
}

void TProgressForm::CancelBtnClick()
{
    CancelBtn->setEnabled(false);
    Stop = true;
    Q_EMIT StopRequested();
}

void TProgressForm::SetDetails(const QStringList& Lines)
{
    DetailsLabel->setText(Lines.join(u'\n'));
}

void TProgressForm::FormCloseQuery(bool& CanClose)
{
    if (CancelBtn->isEnabled())
        CancelBtn->click();
    CanClose = CancelBtn->isEnabled();
}

void TProgressForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    PlaceOnParent();
    // Runs when shown rather than on every activation: the platform reports an activation at each switch
    // between programs too, and a stop already requested must not be cleared by one.
    FormActivate();
}

void TProgressForm::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // A window only minimised or on another desktop is not hidden by the run.
    if (!event->spontaneous())
        FormHide();
}

void TProgressForm::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    FormCloseQuery(canClose);
    event->setAccepted(canClose);
}

void TProgressForm::reject()
{
    if (CancelBtn->isEnabled() && CancelBtn->isVisible())
        CancelBtn->click();
}

void TProgressForm::PlaceOnParent()
{
    QWidget* owner = ParentForm ? ParentForm->window() : nullptr;
    if (owner && owner->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(owner->windowHandle());
    QRect area;
    if (owner && owner->isVisible())
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isEmpty())
        return;
    QRect placed(QPoint(), frameGeometry().size());
    placed.moveCenter(area.center());
    move(placed.topLeft());
}
