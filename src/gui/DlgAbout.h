#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

// A label drawn as a link (bold, underlined, navy, hand cursor) that reports a left click.
class TLinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLinkLabel(const QString& Text, QWidget* parent = nullptr);

Q_SIGNALS:
    void Clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// "О программе...": name, version, notice and description over a background picture, with links to the
// product's home and contact pages.
class TFormAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QLabel* Background;
    QLabel* ProductLabel;
    QLabel* VersionLabel;
    QLabel* AuthorLabel;
    QLabel* InfoLabel;
    TLinkLabel* SiteLabel;
    TLinkLabel* SupportLabel;
    QPushButton* CloseButton;

private:
    void FormCreate();
    void SiteLabelClick();
    void SupportLabelClick();
};

// The main window's "О программе": the dialog shown modally, owned by Owner, freed after.
void ShowAboutDialog(QWidget* Owner);
