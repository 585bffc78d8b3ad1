#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The program's one progress dialog, shown while the checking stages of a run work through the candidates.
// While it is shown its parent window is disabled, so no other command can start; hiding it always gives
// the parent back. It is a window of its own with no parent widget: a child window would be disabled along
// with its parent and could not be used. The main window owns it and deletes it.
class TProgressForm : public QDialog
{
    Q_OBJECT
public:
    static constexpr int InsideWidth = 400;
    // Room below the bar for the run's own lines: the count, the time left, paused servers.
    static constexpr int DetailsHeight = 54;
    static constexpr int HeightWithButton = 120 + DetailsHeight;
    static constexpr int HeightWithoutButton = 90 + DetailsHeight;

    TProgressForm();
    ~TProgressForm() override;

    QPushButton* CancelBtn = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QWidget* ProgressPanel = nullptr;
    QLabel* WaitLabel = nullptr;
    // "Проверено N из M", the time left and any paused server, one per line.
    QLabel* DetailsLabel = nullptr;
    // Stop request: set by the cancel button, read by the checking stages before each candidate.
    bool Stop = false;
    // The window disabled while the dialog is shown; not owned.
    QPointer<QWidget> ParentForm;

    // Prepares the dialog for use. A null ParentForm keeps the window stored before.
    void SetSettingsDlg(QWidget* ParentForm, bool ShowStopButton);

    void FormActivate();
    void FormHide();
    void CancelBtnClick();
    void FormCloseQuery(bool& CanClose);
    void SetDetails(const QStringList& Lines);

Q_SIGNALS:
    // The user asked to stop: the cancel button, Esc, or a close request.
    void StopRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Esc: presses the cancel button when it can be pressed; never closes the dialog.
    void reject() override;

private:
    void PlaceOnParent();
};
