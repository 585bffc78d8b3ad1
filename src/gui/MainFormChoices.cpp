// The main window's input choices: the word count or names given whole, the zones, the name variants, the
// count of the names a Start would build, and what the window keeps of them (and of the grid's view) for the
// next start.
#include "core/candidates/Generation.h"
#include "core/candidates/NameRules.h"
#include "core/common/Errors.h"
#include "core/settings/DataFiles.h"
#include "core/settings/KeywordMemory.h"
#include "core/settings/ListFiles.h"
#include "core/settings/SettingsKeys.h"
#include "gui/MainForm.h"
#include "gui/MemoText.h"
#include "gui/ResultsModel.h"
#include "gui/ResultsPanel.h"
#include "gui/ZoneChoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <functional>

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
            ? tr("Список имен пуст\n\nДобавить имена из файла?\n(двойной клик)")
            : tr("Список ключевых слов пуст\n\nДобавить ключевые слова из файла?\n(двойной клик)"));
    // Names given whole are checked as they are.
    VariantPanel->setEnabled(!NamesGiven());
    UpdateNameCount();
}

void TMainForm::CreateVariantControls(QWidget* Parent)
{
    VariantPanel = new QWidget(Parent);
    VariantPanel->setObjectName(QStringLiteral("VariantPanel"));
    auto* grid = new QGridLayout(VariantPanel);
    grid->setContentsMargins(6, 0, 3, 3);
    grid->setVerticalSpacing(2);
    const auto box = [this](QCheckBox*& Box, const char* Name, const QString& Caption, const QString& Tip) {
        Box = new QCheckBox(Caption, VariantPanel);
        Box->setObjectName(QLatin1String(Name));
        Box->setToolTip(Tip);
    };
    box(CheckBoxHyphen, "CheckBoxHyphen", tr("Через &дефис"),
        tr("Добавить имена с дефисом между словами: red-cat рядом с redcat"));
    box(CheckBoxPrefixes, "CheckBoxPrefixes", tr("&Префиксы"),
        tr("Добавить имена с каждым префиксом из списка в настройках: myredcat"));
    box(CheckBoxSuffixes, "CheckBoxSuffixes", tr("С&уффиксы"),
        tr("Добавить имена с каждым суффиксом из списка в настройках: redcatshop"));
    box(CheckBoxTranslit, "CheckBoxTranslit", tr("&Латиница для русских слов"),
        tr("В зонах, которые принимают только латиницу (например, ru), писать русские слова латиницей "
                       "по таблице translit.dat: красный + кот = krasnyikot.ru; в зоне рф остается кириллица"));
    box(CheckBoxMaxLength, "CheckBoxMaxLength", tr("Н&е длиннее"),
        tr("Не создавать имена длиннее указанного числа символов (без зоны)"));
    SpinMaxLength = new QSpinBox(VariantPanel);
    SpinMaxLength->setObjectName(QStringLiteral("SpinMaxLength"));
    SpinMaxLength->setRange(1, MaxLabelLetters);
    SpinMaxLength->setValue(15);
    SpinMaxLength->setEnabled(false);
    SpinMaxLength->setAccessibleName(tr("Наибольшая длина имени"));
    auto* length = new QHBoxLayout;
    length->addWidget(CheckBoxMaxLength);
    length->addWidget(SpinMaxLength);
    length->addWidget(new QLabel(tr("символов"), VariantPanel));
    length->addStretch(1);
    grid->addWidget(CheckBoxHyphen, 0, 0, 1, 2);
    grid->addWidget(CheckBoxPrefixes, 1, 0);
    grid->addWidget(CheckBoxSuffixes, 1, 1);
    grid->addWidget(CheckBoxTranslit, 2, 0, 1, 2);
    grid->addLayout(length, 3, 0, 1, 2);
}

std::array<std::pair<QCheckBox*, TBoolKey>, 5> TMainForm::VariantSwitches() const
{
    return { { { CheckBoxHyphen, SettingsKeys::VariantHyphen }, { CheckBoxPrefixes, SettingsKeys::VariantPrefixes },
        { CheckBoxSuffixes, SettingsKeys::VariantSuffixes }, { CheckBoxTranslit, SettingsKeys::VariantTranslit },
        { CheckBoxMaxLength, SettingsKeys::VariantLengthLimit } } };
}

void TMainForm::VariantsChange()
{
    SpinMaxLength->setEnabled(CheckBoxMaxLength->isChecked());
    UpdateNameCount();
}

void TMainForm::LoadVariantLists(bool InUseOnly)
{
    std::exception_ptr failure;
    const auto load = [&](bool Used, const char16_t* Name, const std::function<void(const QStringList&)>& Take) {
        if (InUseOnly && !Used)
            return;
        try {
            QStringList lines;
            LoadDataList(QString::fromUtf16(Name), lines);
            Take(lines);
        } catch (const EOrvantaError&) {
            if (!failure)
                failure = std::current_exception();
        }
    };
    TNameVariants& lists = FVariantLists;
    const bool translit = CheckBoxTranslit->isChecked();
    load(CheckBoxPrefixes->isChecked(), PrefixListFileName, [&lists](const QStringList& L) { lists.Prefixes = L; });
    load(CheckBoxSuffixes->isChecked(), SuffixListFileName, [&lists](const QStringList& L) { lists.Suffixes = L; });
    load(translit, TranslitFileName, [&lists](const QStringList& L) { lists.Table = TTransliteration(L); });
    load(translit, ZoneScriptsFileName, [&lists](const QStringList& L) { lists.ZoneScripts = TZoneScripts(L); });
    if (failure)
        std::rethrow_exception(failure);
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
        TNameVariants& v = request.Variants;
        v.Hyphen = CheckBoxHyphen->isChecked();
        if (CheckBoxPrefixes->isChecked())
            v.Prefixes = FVariantLists.Prefixes;
        if (CheckBoxSuffixes->isChecked())
            v.Suffixes = FVariantLists.Suffixes;
        if (CheckBoxTranslit->isChecked()) {
            v.Translit = true;
            v.Table = FVariantLists.Table;
            v.ZoneScripts = FVariantLists.ZoneScripts;
        }
        v.MaxLength = CheckBoxMaxLength->isChecked() ? SpinMaxLength->value() : 0;
    }
    return request;
}

void TMainForm::UpdateNameCount()
{
    FCountTimer->stop();
    LabelNameCount->setText(tr("Будет создано имен: %1").arg(GroupedCount(RequestedCount(InputRequest()))));
}

void TMainForm::RestoreChoices()
{
    MemoWords->setPlainText(RememberedKeywords());
    const int wordCount = ReadSetting(SettingsKeys::WordCount).value_or(0);
    if (wordCount >= 0 && wordCount < ComboBoxWordCount->count())
        ComboBoxWordCount->setCurrentIndex(wordCount);
    if (const auto zones = ReadSetting(SettingsKeys::ChosenZones))
        ComboBoxZones->SetCheckedZones(*zones);
    for (const auto& [box, key] : VariantSwitches())
        box->setChecked(ReadSetting(key).value_or(false));
    const int maxLength = ReadSetting(SettingsKeys::VariantMaxLength).value_or(0);
    if (maxLength >= SpinMaxLength->minimum() && maxLength <= SpinMaxLength->maximum())
        SpinMaxLength->setValue(maxLength);

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
        for (const auto& [box, key] : VariantSwitches())
            WriteSetting(key, box->isChecked());
        WriteSetting(SettingsKeys::VariantMaxLength, SpinMaxLength->value());
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
