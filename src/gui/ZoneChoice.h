#pragma once

#include <QComboBox>
#include <QStringList>

class QStandardItemModel;

// The zones of a run: a drop-down list of check boxes, one a zone, under two rows that check every zone
// ("все") or none ("ни одной"). A click on a row acts and leaves the list open for the next one; the
// closed box names the checked zones.
class TZoneChoice : public QComboBox
{
    Q_OBJECT
public:
    static constexpr int AllRow = 0;
    static constexpr int NoneRow = 1;
    static constexpr int FirstZoneRow = 2;

    explicit TZoneChoice(QWidget* parent = nullptr);

    // Offers Zones, in their order. A zone offered before keeps its mark; a new one comes checked when every
    // zone was checked before (so "all" stays all), and on the first fill every zone is checked.
    void SetZones(const QStringList& Zones);
    QStringList Zones() const;
    // The checked zones in list order.
    QStringList CheckedZones() const;
    // Checks exactly the zones named in Checked.
    void SetCheckedZones(const QStringList& Checked);
    bool IsChecked(int Zone) const;
    void SetChecked(int Zone, bool Checked);
    void CheckAll(bool Checked);
    bool AllChecked() const;

    // What the closed box says: "Все доменные зоны", "Зоны не выбраны", or the checked zones.
    QString Summary() const;

Q_SIGNALS:
    // The checked zones changed, by a click or a call.
    void CheckedChanged();

protected:
    void paintEvent(QPaintEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Acts on the row Row of the drop-down: the first two check all or none, the others toggle.
    void ActOnRow(int Row);
    // Sets the marks by Checked (one per zone) and tells when any changed.
    void Apply(const QList<bool>& Checked);
    // Sets the marks; true when any changed.
    bool SetMarks(const QList<bool>& Checked);
    // Shows the new choice and signals it.
    void Tell();
    QList<bool> Marks() const;

    QStandardItemModel* FModel = nullptr;
    bool FFilled = false;
};
