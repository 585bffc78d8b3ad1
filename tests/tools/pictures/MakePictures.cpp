// Draws the tip pictures into <root>/data/Resourse/Help/, the dialog backgrounds into
// <root>/src/gui/images/ and the application icon (PNG sizes and SVG) into <root>/packaging/icons/.
// Everything is painted from simple shapes so the pictures are our own and can be redrawn whenever the
// interface changes.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

const QColor Frame(122, 138, 153);
const QColor Navy(0, 0, 128);
const QColor Select(200, 200, 255);
const QColor EvenRow(240, 240, 255);
const QColor Header(228, 232, 240);

QFont UiFont(int PixelSize, bool Bold = false)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(PixelSize);
    font.setBold(Bold);
    return font;
}

QImage Canvas(int Width, int Height, QColor Fill = Qt::transparent)
{
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Fill);
    return image;
}

// A drop-down list: the box with its arrow.
void DrawCombo(QPainter& p, const QRect& r, const QString& Text)
{
    p.setPen(Frame);
    p.setBrush(Qt::white);
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 3, 3);
    p.setPen(Qt::black);
    p.setFont(UiFont(13));
    p.drawText(r.adjusted(8, 0, -24, 0), Qt::AlignVCenter | Qt::AlignLeft, Text);
    const QPoint c(r.right() - 12, r.center().y() + 2);
    QPainterPath arrow;
    arrow.moveTo(c.x() - 5, c.y() - 3);
    arrow.lineTo(c.x() + 5, c.y() - 3);
    arrow.lineTo(c.x(), c.y() + 3);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(60, 60, 60));
}

// A list of items, one of them highlighted, as an open drop-down or a menu shows them.
void DrawList(QPainter& p, const QRect& r, const QStringList& Items, int Selected, int ItemHeight, int FontSize = 13)
{
    p.setPen(Frame);
    p.setBrush(Qt::white);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setFont(UiFont(FontSize));
    for (int i = 0; i < Items.size(); ++i) {
        const QRect item(r.left() + 1, r.top() + 1 + i * ItemHeight, r.width() - 2, ItemHeight);
        if (Items.at(i) == QStringLiteral("-")) {
            p.setPen(QColor(200, 200, 200));
            p.drawLine(item.left() + 4, item.center().y(), item.right() - 4, item.center().y());
            continue;
        }
        if (i == Selected)
            p.fillRect(item, Select);
        p.setPen(Qt::black);
        p.drawText(item.adjusted(8, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, Items.at(i));
    }
}

void DrawArrow(QPainter& p, QPoint From, QPoint To)
{
    p.setPen(QPen(Navy, 2));
    p.drawLine(From, To);
    QPainterPath head;
    head.moveTo(To);
    head.lineTo(To.x() - 8, To.y() - 5);
    head.lineTo(To.x() - 8, To.y() + 5);
    head.closeSubpath();
    p.fillPath(head, Navy);
}

// A text box with lines, as the keyword list and the settings lists look.
void DrawMemo(QPainter& p, const QRect& r, const QStringList& Lines, int Marked = -1)
{
    p.setPen(Frame);
    p.setBrush(Qt::white);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.setFont(UiFont(12));
    for (int i = 0; i < Lines.size(); ++i) {
        const QRect line(r.left() + 1, r.top() + 3 + i * 18, r.width() - 2, 18);
        if (i == Marked)
            p.fillRect(line, QColor(255, 243, 176));
        p.setPen(Qt::black);
        p.drawText(line.adjusted(6, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, Lines.at(i));
    }
}

void DrawCheck(QPainter& p, QPoint At, bool Checked, const QString& Text)
{
    const QRect box(At.x(), At.y(), 14, 14);
    p.setPen(Frame);
    p.setBrush(Qt::white);
    p.drawRect(box);
    if (Checked) {
        p.setPen(QPen(Navy, 2));
        p.drawLine(box.left() + 3, box.center().y(), box.left() + 6, box.bottom() - 3);
        p.drawLine(box.left() + 6, box.bottom() - 3, box.right() - 2, box.top() + 3);
    }
    p.setPen(Qt::black);
    p.setFont(UiFont(12));
    p.drawText(QRect(At.x() + 20, At.y() - 3, 340, 20), Qt::AlignVCenter | Qt::AlignLeft, Text);
}

QImage Keywords()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMemo(p, QRect(4, 8, 110, 62), { QStringLiteral("red"), QStringLiteral("cat"), QStringLiteral("sun") });
    p.setPen(QColor(90, 90, 90));
    p.setFont(UiFont(11));
    p.drawText(QRect(4, 74, 120, 18), Qt::AlignLeft, QStringLiteral("по слову в строке"));
    DrawArrow(p, QPoint(124, 40), QPoint(164, 40));
    DrawMemo(p, QRect(174, 4, 160, 84),
        { QStringLiteral("redcat.ru"), QStringLiteral("redsun.ru"), QStringLiteral("catred.ru"),
            QStringLiteral("catsun.ru") });
    return image;
}

QImage WordCount()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCombo(p, QRect(4, 4, 120, 26), QStringLiteral("3 слова"));
    DrawList(p, QRect(4, 30, 120, 62),
        { QStringLiteral("2 слова"), QStringLiteral("3 слова"), QStringLiteral("4 слова") }, 1, 20);
    DrawArrow(p, QPoint(134, 48), QPoint(170, 48));
    p.setPen(Qt::black);
    p.setFont(UiFont(13));
    p.drawText(QRect(178, 20, 160, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("red + cat + sun"));
    p.setFont(UiFont(13, true));
    p.drawText(QRect(178, 48, 160, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("redcatsun.ru"));
    return image;
}

QImage Zones()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawCombo(p, QRect(4, 2, 180, 24), QStringLiteral("Все доменные зоны"));
    DrawList(p, QRect(4, 26, 180, 68),
        { QStringLiteral("Все доменные зоны"), QStringLiteral("ru"), QStringLiteral("com"), QStringLiteral("org") }, 1,
        16);
    p.setPen(QColor(70, 70, 70));
    p.setFont(UiFont(12));
    p.drawText(QRect(196, 10, 140, 80), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
        QStringLiteral("одна зона дает в несколько раз меньше имен"));
    return image;
}

QImage Whois()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawMemo(p, QRect(4, 4, 300, 80),
        { QStringLiteral("RU:whois.tcinet.ru"), QStringLiteral("COM:whois.verisign-grs.com"),
            QStringLiteral("ORG:whois.pir.org"), QStringLiteral("*:whois.tcinet.ru") },
        3);
    p.setPen(Navy);
    p.setFont(UiFont(18, true));
    p.drawText(QRect(308, 56, 30, 24), Qt::AlignCenter, QStringLiteral("←"));
    return image;
}

QImage Settings()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A group box frame with a gap for its title, so the picture stays transparent around it.
    p.setPen(Frame);
    p.drawPolyline(
        QPolygon({ QPoint(8, 8), QPoint(2, 8), QPoint(2, 92), QPoint(337, 92), QPoint(337, 8), QPoint(180, 8) }));
    p.setPen(Qt::black);
    p.setFont(UiFont(12, true));
    p.drawText(QRect(12, 0, 168, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Настройки программы:"));
    DrawCheck(p, QPoint(10, 24), true, QStringLiteral("Проверять на доступность домены…"));
    DrawCheck(p, QPoint(10, 48), true, QStringLiteral("Показывать советы при старте"));
    DrawCheck(p, QPoint(10, 72), true, QStringLiteral("Автоматически проверять PR и ТИЦ…"));
    return image;
}

QImage Grid()
{
    QImage image = Canvas(340, 96, Qt::white);
    QPainter p(&image);
    const int widths[] = { 110, 40, 90, 50, 50 };
    const QStringList header { QStringLiteral("Доменное имя"), QStringLiteral("Зона"), QStringLiteral("Занятость"),
        QStringLiteral("PR"), QStringLiteral("ТИЦ") };
    const QList<QStringList> rows {
        { QStringLiteral("redcat.ru"), QStringLiteral("ru"), QStringLiteral("свободен"), QStringLiteral("0"),
            QStringLiteral("0") },
        { QStringLiteral("catred.ru"), QStringLiteral("ru"), QStringLiteral("занят"), QStringLiteral("3"),
            QStringLiteral("40") },
        { QStringLiteral("redsun.ru"), QStringLiteral("ru"), QStringLiteral("Не проверен"), QString(), QString() },
    };
    for (int r = 0; r < 4; ++r) {
        int x = 0;
        const QColor fill = r == 0 ? Header : r % 2 == 1 ? QColor(Qt::white) : EvenRow;
        for (int c = 0; c < 5; ++c) {
            const QRect cell(x, r * 24, widths[c], 24);
            p.fillRect(cell, fill);
            p.setPen(QColor(192, 192, 192));
            p.drawRect(cell.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            p.setFont(UiFont(12, r == 0));
            const QString text = r == 0 ? header.at(c) : rows.at(r - 1).at(c);
            const Qt::Alignment align = c < 2 && r > 0 ? Qt::AlignLeft : Qt::AlignHCenter;
            p.drawText(cell.adjusted(3, 0, -2, 0), align | Qt::AlignVCenter, text);
            x += widths[c];
        }
    }
    return image;
}

QImage ContextMenu()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, 150, 96), EvenRow);
    p.setPen(QColor(192, 192, 192));
    for (int y = 0; y <= 96; y += 24)
        p.drawLine(0, y, 150, y);
    p.setPen(Qt::black);
    p.setFont(UiFont(12));
    p.drawText(QRect(4, 0, 140, 24), Qt::AlignVCenter, QStringLiteral("redcat.ru"));
    p.drawText(QRect(4, 24, 140, 24), Qt::AlignVCenter, QStringLiteral("catred.ru"));
    // The mouse pointer at the right click.
    QPainterPath pointer;
    pointer.moveTo(80, 30);
    pointer.lineTo(80, 48);
    pointer.lineTo(84, 44);
    pointer.lineTo(88, 52);
    pointer.lineTo(91, 51);
    pointer.lineTo(87, 43);
    pointer.lineTo(93, 43);
    pointer.closeSubpath();
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPath(pointer);
    DrawList(p, QRect(100, 8, 238, 86),
        { QStringLiteral("Очистить список"), QStringLiteral("-"), QStringLiteral("Сохранить в текстовый документ"),
            QStringLiteral("Сохранить в CSV документ"), QStringLiteral("В HTML файл (HTML)") },
        2, 17, 12);
    return image;
}

QImage Reports()
{
    QImage image = Canvas(340, 96);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, 340, 22), Header);
    p.setPen(Qt::black);
    p.setFont(UiFont(12));
    const QStringList menus { QStringLiteral("Файл"), QStringLiteral("Настройки"), QStringLiteral("Отчет"),
        QStringLiteral("Справка") };
    const int lefts[] = { 6, 48, 132, 186 };
    for (int i = 0; i < menus.size(); ++i) {
        const QRect item(lefts[i], 0, i == 1 ? 80 : 50, 22);
        if (i == 2)
            p.fillRect(item.adjusted(-4, 0, 0, 0), Select);
        p.drawText(item, Qt::AlignVCenter | Qt::AlignLeft, menus.at(i));
    }
    DrawList(p, QRect(128, 22, 208, 70),
        { QStringLiteral("Сохранить текстовый отчет"), QStringLiteral("Сохранить отчет в HTML"),
            QStringLiteral("Сохранить отчет в CSV") },
        1, 22);
    return image;
}

// The tips dialog's left strip: a lamp on a blue ground.
QImage TipsStrip()
{
    QImage image = Canvas(182, 278);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, 0, 278);
    ground.setColorAt(0, QColor(44, 82, 160));
    ground.setColorAt(1, QColor(14, 34, 88));
    p.fillRect(image.rect(), ground);
    QRadialGradient glow(91, 110, 80);
    glow.setColorAt(0, QColor(255, 240, 160, 150));
    glow.setColorAt(1, QColor(255, 240, 160, 0));
    p.fillRect(image.rect(), glow);
    QRadialGradient bulb(80, 96, 48);
    bulb.setColorAt(0, QColor(255, 252, 220));
    bulb.setColorAt(1, QColor(250, 204, 60));
    p.setPen(QPen(QColor(190, 140, 20), 2));
    p.setBrush(bulb);
    QPainterPath glass;
    glass.addEllipse(QPointF(91, 104), 40, 40);
    QPainterPath neck;
    neck.addRoundedRect(QRectF(72, 130, 38, 28), 6, 6);
    p.drawPath(glass.united(neck));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 160, 176));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(74, 160 + i * 9, 34, 7), 3, 3);
    p.setBrush(QColor(90, 100, 116));
    p.drawRoundedRect(QRectF(82, 187, 18, 8), 3, 3);
    p.setPen(QPen(QColor(255, 244, 190), 3, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(91, 104);
    for (int i = 0; i < 7; ++i) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(-150 + i * 20);
        p.drawLine(turn.map(QPointF(52, 0)), turn.map(QPointF(64, 0)));
    }
    p.setPen(QColor(230, 236, 250));
    p.setFont(UiFont(15, true));
    p.drawText(QRect(0, 222, 182, 24), Qt::AlignCenter, QStringLiteral("Orvanta"));
    p.setFont(UiFont(11));
    p.drawText(QRect(0, 244, 182, 20), Qt::AlignCenter, QStringLiteral("советы"));
    return image;
}

// The About dialog's background: a blue band with scattered zone names above a light field for the text.
QImage AboutBackground()
{
    QImage image = Canvas(550, 381, QColor(246, 248, 252));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, 550, 105);
    band.setColorAt(0, QColor(24, 52, 120));
    band.setColorAt(1, QColor(58, 110, 190));
    p.fillRect(QRect(0, 0, 550, 105), band);
    p.setFont(UiFont(16, true));
    const QList<QPair<QPointF, QString>> zones {
        { { 420, 26 }, QStringLiteral(".ru") },
        { { 478, 44 }, QStringLiteral(".com") },
        { { 408, 62 }, QStringLiteral(".org") },
        { { 470, 86 }, QStringLiteral(".рф") },
        { { 500, 18 }, QStringLiteral(".net") },
        { { 396, 96 }, QStringLiteral(".biz") },
    };
    for (const auto& [at, zone] : zones) {
        p.setPen(QColor(255, 255, 255, 70));
        p.drawText(at, zone);
    }
    // A globe of meridians and parallels.
    const QPointF centre(70, 52);
    p.setPen(QPen(QColor(255, 255, 255, 210), 2));
    p.setBrush(QColor(255, 255, 255, 30));
    p.drawEllipse(centre, 38, 38);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.5));
    for (int w : { 12, 26 })
        p.drawEllipse(centre, qreal(w), 38.0);
    p.drawLine(QPointF(centre.x(), centre.y() - 38), QPointF(centre.x(), centre.y() + 38));
    for (int dy : { -22, 0, 22 }) {
        const qreal half = std::sqrt(38.0 * 38.0 - dy * dy);
        p.drawLine(QPointF(centre.x() - half, centre.y() + dy), QPointF(centre.x() + half, centre.y() + dy));
    }
    p.setPen(Qt::white);
    p.setFont(UiFont(30, true));
    p.drawText(QRect(124, 18, 300, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvanta"));
    p.setFont(UiFont(13));
    p.drawText(
        QRect(126, 58, 320, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("подбор и проверка доменных имен"));
    p.setPen(QPen(QColor(58, 110, 190), 2));
    p.drawLine(58, 184, 520, 184);
    p.fillRect(QRect(0, 325, 550, 56), QColor(232, 236, 244));
    p.setPen(QColor(210, 216, 228));
    p.drawLine(0, 325, 550, 325);
    return image;
}

// The application icon on a 256-unit square: a rounded tile, a globe and a check badge. The PNG sizes are
// painted and the SVG is written from the same figures, so they always agree.
const QColor IconTop(58, 110, 190);
const QColor IconBottom(0, 0, 128);
const QColor IconBadge(46, 160, 67);
const QRectF IconTile(16, 16, 224, 224);
const qreal IconTileRadius = 48;
const QPointF GlobeCentre(112, 112);
const qreal GlobeRadius = 68;
const qreal GlobeMeridian = 30;
const qreal GlobeLatitude = 36;
const qreal GlobeStroke = 10;
const QPointF BadgeCentre(184, 184);
const qreal BadgeRadius = 48;
const qreal BadgeStroke = 8;
const QList<QPointF> CheckPoints { { 160, 186 }, { 178, 204 }, { 210, 166 } };
const qreal CheckStroke = 14;

qreal LatitudeHalf(qreal Dy)
{
    return std::sqrt(GlobeRadius * GlobeRadius - Dy * Dy);
}

QImage AppIcon(int Size)
{
    QImage image = Canvas(Size, Size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(Size / 256.0, Size / 256.0);
    QLinearGradient tile(IconTile.topLeft(), IconTile.bottomLeft());
    tile.setColorAt(0, IconTop);
    tile.setColorAt(1, IconBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(tile);
    p.drawRoundedRect(IconTile, IconTileRadius, IconTileRadius);

    p.setPen(QPen(Qt::white, GlobeStroke, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(GlobeCentre, GlobeRadius, GlobeRadius);
    p.drawEllipse(GlobeCentre, GlobeMeridian, GlobeRadius);
    for (qreal dy : { -GlobeLatitude, 0.0, GlobeLatitude }) {
        const qreal half = LatitudeHalf(dy);
        p.drawLine(QPointF(GlobeCentre.x() - half, GlobeCentre.y() + dy),
            QPointF(GlobeCentre.x() + half, GlobeCentre.y() + dy));
    }

    p.setPen(QPen(Qt::white, BadgeStroke));
    p.setBrush(IconBadge);
    p.drawEllipse(BadgeCentre, BadgeRadius, BadgeRadius);
    p.setPen(QPen(Qt::white, CheckStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(CheckPoints.constData(), int(CheckPoints.size()));
    return image;
}

QString Num(qreal Value)
{
    return QString::number(Value, 'g', 6);
}

QString IconSvg()
{
    QString lines;
    const qreal cx = GlobeCentre.x();
    const qreal cy = GlobeCentre.y();
    for (qreal dy : { -GlobeLatitude, 0.0, GlobeLatitude }) {
        const qreal half = LatitudeHalf(dy);
        lines += QStringLiteral("    <line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\"/>\n")
                     .arg(Num(cx - half), Num(cy + dy), Num(cx + half));
    }
    QString check;
    for (const QPointF& point : CheckPoints)
        check += (check.isEmpty() ? QString() : QStringLiteral(" ")) + Num(point.x()) + u',' + Num(point.y());
    return QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n"
        "  <defs>\n"
        "    <linearGradient id=\"tile\" x1=\"0\" y1=\"%1\" x2=\"0\" y2=\"%2\" gradientUnits=\"userSpaceOnUse\">\n"
        "      <stop offset=\"0\" stop-color=\"%3\"/>\n"
        "      <stop offset=\"1\" stop-color=\"%4\"/>\n"
        "    </linearGradient>\n"
        "  </defs>\n"
        "  <rect x=\"%5\" y=\"%1\" width=\"%6\" height=\"%7\" rx=\"%8\" fill=\"url(#tile)\"/>\n")
               .arg(Num(IconTile.top()), Num(IconTile.bottom()), IconTop.name(), IconBottom.name(),
                   Num(IconTile.left()), Num(IconTile.width()), Num(IconTile.height()), Num(IconTileRadius))
        + QStringLiteral("  <g fill=\"none\" stroke=\"#ffffff\" stroke-width=\"%1\" stroke-linecap=\"round\">\n"
                         "    <circle cx=\"%2\" cy=\"%3\" r=\"%4\"/>\n"
                         "    <ellipse cx=\"%2\" cy=\"%3\" rx=\"%5\" ry=\"%4\"/>\n")
              .arg(Num(GlobeStroke), Num(cx), Num(cy), Num(GlobeRadius), Num(GlobeMeridian))
        + lines + QStringLiteral("  </g>\n")
        + QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"%4\" stroke=\"#ffffff\" stroke-width=\"%5\"/>\n"
                         "  <polyline points=\"%6\" fill=\"none\" stroke=\"#ffffff\" stroke-width=\"%7\" "
                         "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n"
                         "</svg>\n")
              .arg(Num(BadgeCentre.x()), Num(BadgeCentre.y()), Num(BadgeRadius), IconBadge.name(), Num(BadgeStroke),
                  check, Num(CheckStroke));
}

bool SaveText(const QString& Text, const QString& Path)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    QFile file(Path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(Text.toUtf8()) < 0 || !file.flush()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(Path));
        return false;
    }
    std::printf("%s\n", qPrintable(Path));
    return true;
}

bool Save(const QImage& Image, const QString& Path)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    if (!Image.save(Path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(Path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(Path), Image.width(), Image.height());
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures <source root>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const QString help = root + QStringLiteral("data/Resourse/Help/");
    const QString images = root + QStringLiteral("src/gui/images/");
    const QString icons = root + QStringLiteral("packaging/icons/hicolor/");
    const QList<QPair<QString, std::function<QImage()>>> pictures {
        { help + QStringLiteral("keywords.png"), Keywords },
        { help + QStringLiteral("wordcount.png"), WordCount },
        { help + QStringLiteral("zones.png"), Zones },
        { help + QStringLiteral("whois.png"), Whois },
        { help + QStringLiteral("settings.png"), Settings },
        { help + QStringLiteral("grid.png"), Grid },
        { help + QStringLiteral("contextmenu.png"), ContextMenu },
        { help + QStringLiteral("reports.png"), Reports },
        { images + QStringLiteral("tips_strip.png"), TipsStrip },
        { images + QStringLiteral("about_background.png"), AboutBackground },
    };
    bool ok = true;
    for (const auto& [path, draw] : pictures)
        ok = Save(draw(), path) && ok;
    for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 })
        ok = Save(AppIcon(size), icons + QStringLiteral("%1x%1/apps/orvanta.png").arg(size)) && ok;
    ok = SaveText(IconSvg(), icons + QStringLiteral("scalable/apps/orvanta.svg")) && ok;
    return ok ? 0 : 1;
}
