#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

// A bar inside the main window that offers a newer version without taking the keyboard: it never takes
// focus on its own, so keys meant for other controls cannot answer it. "Скачать" and "Позже" both hide it.
class TNoticeBar : public QFrame
{
    Q_OBJECT
public:
    explicit TNoticeBar(QWidget* parent = nullptr);

    // Shows the bar with Text (line breaks of any kind become lines).
    void Offer(const QString& Text);
    QString Text() const;

Q_SIGNALS:
    void DownloadChosen();

private:
    QLabel* FText = nullptr;
    QPushButton* FDownload = nullptr;
    QPushButton* FLater = nullptr;
};
