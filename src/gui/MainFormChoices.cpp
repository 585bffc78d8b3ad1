// The main window's input choices: the word count or names given whole, the zones, the count of the
// names a Start would build, and what the window keeps of them (and of the grid's view) for the next start.
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/common/Errors.h"
#include "core/settings/KeywordMemory.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsKeys.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"
#include "gui/ZoneChoice.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <cstdio>

namespace
{

// Digits in groups of three, held together by no-break spaces: "1 470", "более 340 282 ...".
QString GroupedCount(TCandidateCount Count)
{
    QString text = CandidateCountText(Count);
    for (qsizetype i = text.size() - 3; i > 0 && text.at(i - 1).isDigit(); i -= 3)
        text.insert(i, QChar(0x00A0));
    return text;
}

} // namespace

bool TMainForm::NamesGiven() const
{
    return ComboBoxWordCount->currentIndex() == GivenNamesChoice;
}

void TMainForm::FillComboZones()
{
    // Zones still listed keep their marks.
    ComboBoxZones->SetZones(Setting_FirstList);
}

void TMainForm::WordCountChange()
{
    EmptyListHint->setText(NamesGiven()
            ? QStringLiteral("Список имен пуст\n\nДобавить имена из файла?\n(двойной клик)")
            : QStringLiteral("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"));
    UpdateNameCount();
}

TRunRequest TMainForm::InputRequest() const
{
    TRunRequest request;
    const QStringList lines = SplitListLines(MemoText(MemoWords));
    request.Zones = ComboBoxZones->CheckedZones();
    if (NamesGiven()) {
        request.NamesGiven = true;
        request.Names = lines;
    } else {
        // Blank lines and repeats are no keywords; the memo keeps what the user typed.
        request.Keywords = CleanKeywords(lines);
        request.Mode = std::max(0, ComboBoxWordCount->currentIndex());
    }
    return request;
}

void TMainForm::UpdateNameCount()
{
    FCountTimer->stop();
    LabelNameCount->setText(QStringLiteral("Будет создано имен: ") + GroupedCount(RequestedCount(InputRequest())));
}

void TMainForm::RestoreChoices()
{
    MemoWords->setPlainText(RememberedKeywords());
    const int wordCount = ReadSetting(SettingsKeys::WordCount).value_or(0);
    if (wordCount >= 0 && wordCount < ComboBoxWordCount->count())
        ComboBoxWordCount->setCurrentIndex(wordCount);
    if (const auto zones = ReadSetting(SettingsKeys::ChosenZones))
        ComboBoxZones->SetCheckedZones(*zones);

    const int show = ReadSetting(SettingsKeys::ResultsShow).value_or(0);
    if (show >= 0 && show < ResultsPane->ComboBoxShow()->count())
        ResultsPane->ComboBoxShow()->setCurrentIndex(show);
    const int column = ReadSetting(SettingsKeys::ResultsSortColumn).value_or(TResultsModel::NoSort);
    if (column >= 0 && column < TResultsModel::ColumnCount)
        ResultsPane->SetSort(column,
            ReadSetting(SettingsKeys::ResultsSortDescending).value_or(false) ? Qt::DescendingOrder
                                                                             : Qt::AscendingOrder);
    TResultsPanel::TUserWidths widths;
    for (size_t i = 0; i < widths.size(); ++i)
        widths[i] = ReadSetting(SettingsKeys::ResultsColumnW[i]).value_or(-1);
    ResultsPane->SetUserWidths(widths);
}

void TMainForm::SaveChoices()
{
    try {
        RememberKeywords(MemoText(MemoWords));
    } catch (const EOrvantaError& error) {
        // The window is going: standard error is the one place left to tell.
        std::fputs((error.Message() + u'\n').toUtf8().constData(), stderr);
    }
    try {
        WriteSetting(SettingsKeys::WordCount, ComboBoxWordCount->currentIndex());
        WriteSetting(SettingsKeys::ChosenZones, ComboBoxZones->CheckedZones());
        WriteSetting(SettingsKeys::ResultsShow, int(FResults->Show()));
        WriteSetting(SettingsKeys::ResultsSortColumn, FResults->SortColumn());
        WriteSetting(SettingsKeys::ResultsSortDescending, FResults->SortOrder() == Qt::DescendingOrder);
        const TResultsPanel::TUserWidths widths = ResultsPane->UserWidths();
        for (size_t i = 0; i < widths.size(); ++i)
            WriteSetting(SettingsKeys::ResultsColumnW[i], widths[i]);
    } catch (const EOrvantaError&) {
        // A settings file that cannot be used was named at start-up; the choices are simply not kept.
    }
}
