#pragma once

#include "core/checks/RunSession.h"
#include "gui/ResultsPanel.h"
#include "support/TextCapture.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QStringList>

class QComboBox;
class QTableView;

// A candidate of the zone its name ends in, with the status and figures given.
TCandidate Candidate(const QString& name, TStatus status = TStatus::Unchecked, const QString& pr = QString(),
    const QString& tic = QString());
// Four candidates whose order differs in every column; the figures sort wrongly as text ("10" < "9").
QList<TCandidate> SortSample();
// The names in the order the model shows them.
QStringList ShownNames(const TResultsModel& Model);

// A shown results panel over a run session, as the main window has it, and the panel's controls found by
// their object names.
struct TGridFixture {
    explicit TGridFixture(QSize size = { 800, 500 });

    TRunSession Session;
    TResultsPanel Panel { Session };
    QTableView* Grid = nullptr;
    QWidget* Placeholder = nullptr; // in place of the grid while there are no rows
    QComboBox* Filter = nullptr; // which rows the grid shows
    // Whether the panel has all of them; a warning names what is missing. Check it under QVERIFY in init().
    bool Found = false;

    // The session holds rows, as after a run.
    void Show(const QList<TCandidate>& rows);
    // A run of the session over Words in Zones without checks, waited for.
    void Generate(const QStringList& Words, const QStringList& Zones);
    // The texts drawn in each cell of the grid's visible rows, by model row and column.
    QHash<QPair<int, int>, QStringList> ScreenTexts() const;
    // The text drawn in a cell, with where it was drawn; an empty text when the cell shows none.
    TTextCapture::TDrawnText Drawn(int Row, int Column) const;
    QList<int> ColumnWidths() const;
    QImage Screen() const;
};
