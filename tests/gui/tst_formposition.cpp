#include "core/settings/SettingsStore.h"
#include "gui/FormPosition.h"
#include "support/TestEnv.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <memory>

namespace {

const QSize DesignSize(400, 300);
const QSize MinimumSize(200, 150);

QRect Area()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

QPoint Centred()
{
    return Area().topLeft()
        + QPoint((Area().width() - DesignSize.width()) / 2, (Area().height() - DesignSize.height()) / 2);
}

std::unique_ptr<QWidget> NewForm()
{
    auto form = std::make_unique<QWidget>();
    form->setMinimumSize(MinimumSize);
    form->resize(DesignSize);
    return form;
}

// Name to value: an int is stored as a number, a text as a text value.
void Store(const QVariantMap& Values)
{
    for (auto it = Values.cbegin(); it != Values.cend(); ++it) {
        if (it->typeId() == QMetaType::QString)
            QVERIFY(TSettingsStore::WriteString(it.key(), it->toString()));
        else
            QVERIFY(TSettingsStore::WriteDWord(it.key(), quint32(it->toInt())));
    }
}

QVariantMap Bounds(int Left, int Top, int Width, int Height)
{
    return { { u"MainForm_L"_qs, Left }, { u"MainForm_T"_qs, Top }, { u"MainForm_W"_qs, Width },
        { u"MainForm_H"_qs, Height } };
}

QVariantMap With(QVariantMap Values, const QString& Name, const QVariant& Value)
{
    if (Value.isValid())
        Values.insert(Name, Value);
    else
        Values.remove(Name);
    return Values;
}

Qt::WindowStates StateOf(int Stored)
{
    return Stored == 2 ? Qt::WindowMaximized : Stored == 1 ? Qt::WindowMinimized : Qt::WindowNoState;
}

} // namespace

class TestFormPosition : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void load_data();
    void load();
    void save_data();
    void save();
    void saveFailureIsSilent_data();
    void saveFailureIsSilent();
};

void TestFormPosition::load_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("state"); // 0 normal, 1 minimized, 2 maximized
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<QSize>("size");
    const QRect a = Area();
    const QVariantMap restore = Bounds(a.left() + 10, a.top() + 20, 300, 250);
    const QVariantMap normalRestore = With(restore, u"MainForm_WS"_qs, 0);
    const QPoint restored = a.topLeft() + QPoint(10, 20);

    QTest::newRow("nothing stored: centred") << QVariantMap() << 0 << Centred() << DesignSize;
    QTest::newRow("restore") << normalRestore << 0 << restored << QSize(300, 250);
    QTest::newRow("bounds without a state") << restore << 0 << restored << QSize(300, 250);
    QTest::newRow("left -300 clamps to the edge")
        << With(normalRestore, u"MainForm_L"_qs, -300) << 0 << QPoint(a.left(), restored.y()) << QSize(300, 250);
    QTest::newRow("beyond the right edge") << With(normalRestore, u"MainForm_L"_qs, a.right() + 50) << 0
                                           << QPoint(a.left() + a.width() - 300, restored.y()) << QSize(300, 250);
    QTest::newRow("above the top") << With(normalRestore, u"MainForm_T"_qs, -40) << 0 << QPoint(restored.x(), a.top())
                                   << QSize(300, 250);
    QTest::newRow("below the bottom") << With(normalRestore, u"MainForm_T"_qs, a.bottom() + 1) << 0
                                      << QPoint(restored.x(), a.top() + a.height() - 250) << QSize(300, 250);
    QTest::newRow("exactly the screen") << With(
        With(With(With(normalRestore, u"MainForm_L"_qs, a.left()), u"MainForm_T"_qs, a.top()), u"MainForm_W"_qs,
            a.width()),
        u"MainForm_H"_qs, a.height()) << 0
                                        << a.topLeft() << a.size();
    QTest::newRow("below the minimum size")
        << With(With(normalRestore, u"MainForm_W"_qs, 50), u"MainForm_H"_qs, 40) << 0 << restored << MinimumSize;
    // Saved at another scale or on a larger screen: cut to the screen, never filling it as maximized.
    QTest::newRow("wider than the screen: cut to it") << With(normalRestore, u"MainForm_W"_qs, a.width() + 1) << 0
                                                      << QPoint(a.left(), restored.y()) << QSize(a.width(), 250);
    QTest::newRow("taller than the screen: cut to it") << With(normalRestore, u"MainForm_H"_qs, a.height() + 1) << 0
                                                       << QPoint(restored.x(), a.top()) << QSize(300, a.height());
    QTest::newRow("much larger than the screen")
        << With(With(normalRestore, u"MainForm_W"_qs, a.width() * 3 / 2), u"MainForm_H"_qs, a.height() * 3 / 2) << 0
        << a.topLeft() << a.size();
    QTest::newRow("stored maximized: bounds not applied")
        << With(restore, u"MainForm_WS"_qs, 2) << 2 << Centred() << DesignSize;
    QTest::newRow("stored minimized") << With(restore, u"MainForm_WS"_qs, 1) << 1 << Centred() << DesignSize;
    QTest::newRow("unknown state counts as normal")
        << With(restore, u"MainForm_WS"_qs, 7) << 0 << restored << QSize(300, 250);
    QTest::newRow("state as text counts as absent")
        << With(restore, u"MainForm_WS"_qs, u"2"_qs) << 0 << restored << QSize(300, 250);
    QTest::newRow("one bound missing: centred")
        << With(normalRestore, u"MainForm_H"_qs, QVariant()) << 0 << Centred() << DesignSize;
    QTest::newRow("bound as text: centred")
        << With(normalRestore, u"MainForm_L"_qs, u"10"_qs) << 0 << Centred() << DesignSize;
}

void TestFormPosition::load()
{
    QFETCH(QVariantMap, stored);
    QFETCH(int, state);
    QFETCH(QPoint, pos);
    QFETCH(QSize, size);
    TTestEnv env;
    Store(stored);
    auto form = NewForm();
    LoadFormPosition(form.get());
    QCOMPARE(form->windowState(), StateOf(state));
    QCOMPARE(form->pos(), pos);
    QCOMPARE(form->size(), size);

    // The window first shows where it was placed; the platform's frame, known only now, adds to the outside.
    form->show();
    QCOMPARE(form->windowState(), StateOf(state));
    if (state == 0) {
        QCOMPARE(form->pos(), pos);
        QCOMPARE(form->size(), size);
    }
}

void TestFormPosition::save_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<quint32>("storedState");
    QTest::newRow("normal") << 0 << 0u;
    QTest::newRow("maximized") << 2 << 2u;
    QTest::newRow("minimized stored as maximized") << 1 << 2u;
}

void TestFormPosition::save()
{
    QFETCH(int, state);
    QFETCH(quint32, storedState);
    TTestEnv env;
    // Bounds of an earlier run, which only a normal window replaces.
    Store(Bounds(1, 2, 301, 251));
    const QRect a = Area();
    // Corner of the frame, size of the client area.
    const QRect placed(a.topLeft() + QPoint(30, 40), QSize(320, 240));
    {
        auto form = NewForm();
        form->resize(placed.size());
        form->move(placed.topLeft());
        form->show();
        if (state != 0)
            form->setWindowState(StateOf(state));
        QVERIFY(SaveFormPosition(form.get()));
    }
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_WS"_qs), std::optional<quint32>(storedState));
    const QRect bounds = state == 0 ? placed : QRect(1, 2, 301, 251);
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_L"_qs), std::optional<quint32>(bounds.x()));
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_T"_qs), std::optional<quint32>(bounds.y()));
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_W"_qs), std::optional<quint32>(bounds.width()));
    QCOMPARE(TSettingsStore::ReadDWord(u"MainForm_H"_qs), std::optional<quint32>(bounds.height()));

    // The next start: back where it was without growing by the frame, or maximized.
    auto next = NewForm();
    LoadFormPosition(next.get());
    next->show();
    QCOMPARE(next->windowState(), state == 0 ? Qt::WindowNoState : Qt::WindowMaximized);
    if (state == 0)
        QCOMPARE(QRect(next->pos(), next->size()), placed);
}

void TestFormPosition::saveFailureIsSilent_data()
{
    QTest::addColumn<bool>("folderBlocked");
    QTest::newRow("settings folder cannot be made") << true;
    QTest::newRow("settings file cannot be replaced") << false;
}

void TestFormPosition::saveFailureIsSilent()
{
    QFETCH(bool, folderBlocked);
    TTestEnv env;
    if (folderBlocked)
        qputenv("XDG_CONFIG_HOME", env.WriteFile(u"blocker"_qs, "x").toLocal8Bit());
    else
        QVERIFY(QDir().mkpath(TSettingsStore::FilePath()));
    auto form = NewForm();
    bool saved = true;
    try {
        saved = SaveFormPosition(form.get());
    } catch (...) {
        QFAIL("SaveFormPosition threw");
    }
    QVERIFY(!saved);
}

QTEST_MAIN(TestFormPosition)
#include "tst_formposition.moc"
