// The console's face against its designed control table: names, kinds,
// captions, pixel geometry (twips / 15), fonts, tab order, separators,
// popup menu and the application icon.

#include "console/consoleface.h"
#include "qtapp.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QtEndian>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace qm::test
{
namespace
{

enum class Kind { Label, TextField, ChoiceList, Button, Separator, Image };

struct Control {
    const char *name;
    Kind kind;
    const char *caption;
    int l, t, w, h;     // twips, as designed
    const char *family; // nullptr: the window's default font
    double points;
    bool bold;
};

constexpr int Px(int twips)
{
    return twips / 15;
}

// Separators are 2 px lines whose designed height is 0.
const std::vector<Control> Table = {
    {"Label2", Kind::Label, "Quillmast Configuration", 240, 120, 9015, 495, "Verdana", 18, true},
    {"cmdAbout", Kind::Button, "About", 10440, 120, 1455, 375, "Arial", 8.25, true},
    {"Line3", Kind::Separator, "", 0, 720, 12000, 30, nullptr, 0, false},
    {"Label1", Kind::Label, "SMS Centre Number", 240, 1035, 2655, 375, "Verdana", 12, true},
    {"txtSMSCenterNumber", Kind::TextField, "", 3360, 1035, 3615, 315, "Verdana", 8.25, true},
    {"Label3", Kind::Label, "Protocol", 240, 1560, 1575, 255, "Verdana", 9, false},
    {"cmbProtocol", Kind::ChoiceList, "", 3360, 1530, 1695, 315, nullptr, 0, false},
    {"ltxtAuthenticationCode", Kind::Label, "Authentication Code", 5400, 1560, 2055, 255, "Verdana",
     9, false},
    {"txtAuthenticationCode", Kind::TextField, "", 7680, 1530, 3615, 315, "Verdana", 8.25, true},
    {"lcmbOperationType", Kind::Label, "Protocol Operation Type", 240, 2040, 2775, 255, "Verdana",
     9, false},
    {"cmbOperationType", Kind::ChoiceList, "", 3360, 2010, 1695, 315, nullptr, 0, false},
    {"ltxtLegitimizationCode", Kind::Label, "Legitimization Code", 5400, 2040, 2055, 255, "Verdana",
     9, false},
    {"txtLegitimizationCode", Kind::TextField, "", 7680, 2010, 3615, 315, "Verdana", 8.25, true},
    {"txtDelivered", Kind::TextField, "", 7680, 2010, 3615, 315, "Verdana", 8.25, true},
    {"ltxtStored", Kind::Label, "Stored Text", 5400, 2520, 2055, 255, "Verdana", 9, false},
    {"txtStored", Kind::TextField, "", 7680, 2490, 3615, 315, "Verdana", 8.25, true},
    {"Line1", Kind::Separator, "", 0, 3060, 12000, 30, nullptr, 0, false},
    {"Label5", Kind::Label, "Modem", 240, 3315, 2655, 375, "Verdana", 12, true},
    {"cmbModem", Kind::ChoiceList, "", 3360, 3315, 3615, 315, nullptr, 0, false},
    {"Label6", Kind::Label, "Baudrate", 240, 3765, 1575, 375, "Verdana", 9, false},
    {"cmbBaudrate", Kind::ChoiceList, "", 3360, 3765, 1695, 315, nullptr, 0, false},
    {"Label7", Kind::Label, "SMS Type (7 or 8  bit)", 240, 4200, 2655, 375, "Verdana", 9, false},
    {"cmbSMSType", Kind::ChoiceList, "", 3360, 4200, 1695, 315, nullptr, 0, false},
    {"Line2", Kind::Separator, "", 0, 5400, 12000, 30, nullptr, 0, false},
    {"cmdStartSendSMS", Kind::Button, "Start Automatic SMS Sending", 240, 5520, 2895, 375, "Arial",
     8.25, true},
    {"cmdSendTestSMS", Kind::Button, "Send Manual SMS", 3600, 5520, 2295, 375, "Arial", 8.25, true},
    {"imgIcon", Kind::Image, "", 10320, 5640, 240, 240, nullptr, 0, false},
    {"statusBar", Kind::Label, "Status", 0, 6000, 12015, 255, "Arial", 8.25, false},
};

const std::vector<const char *> TabOrder = {"txtSMSCenterNumber",
                                            "cmbOperationType",
                                            "cmbModem",
                                            "cmbBaudrate",
                                            "cmbSMSType",
                                            "cmbProtocol",
                                            "txtLegitimizationCode",
                                            "txtAuthenticationCode",
                                            "cmdSendTestSMS",
                                            "cmdAbout",
                                            "cmdStartSendSMS",
                                            "txtStored",
                                            "txtDelivered"};

bool hasKind(const QWidget *w, Kind kind)
{
    switch (kind) {
    case Kind::Label:
    case Kind::Image:
        return qobject_cast<const QLabel *>(w) != nullptr;
    case Kind::TextField:
        return qobject_cast<const QLineEdit *>(w) != nullptr;
    case Kind::ChoiceList:
        return qobject_cast<const QComboBox *>(w) != nullptr;
    case Kind::Button:
        return qobject_cast<const QPushButton *>(w) != nullptr;
    case Kind::Separator: {
        auto *f = qobject_cast<const QFrame *>(w);
        return f && !qobject_cast<const QLabel *>(w) && f->frameShape() == QFrame::HLine;
    }
    }
    return false;
}

QString captionOf(const QWidget *w)
{
    if (auto *l = qobject_cast<const QLabel *>(w))
        return l->text();
    if (auto *b = qobject_cast<const QPushButton *>(w))
        return b->text();
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *c = qobject_cast<const QComboBox *>(w))
        return c->currentText();
    return {};
}

class ConsoleFace : public ::testing::Test
{
protected:
    frmSMSConsole face;

    QWidget *control(const char *name)
    {
        return face.findChild<QWidget *>(QString::fromLatin1(name));
    }
};

TEST_F(ConsoleFace, EveryControlMatchesTheDesignedTable)
{
    QSet<QString> designed;
    for (const Control &c : Table) {
        SCOPED_TRACE(c.name);
        designed.insert(QString::fromLatin1(c.name));
        const auto found = face.findChildren<QWidget *>(QString::fromLatin1(c.name));
        ASSERT_EQ(found.size(), 1);
        QWidget *w = found.front();
        EXPECT_EQ(w->parentWidget(), &face);
        EXPECT_TRUE(hasKind(w, c.kind));
        EXPECT_EQ(captionOf(w).toStdString(), c.caption);
        EXPECT_EQ(w->geometry(), QRect(Px(c.l), Px(c.t), Px(c.w), Px(c.h)));
        if (c.family) {
            EXPECT_EQ(w->font().family().toStdString(), c.family);
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), c.points);
            EXPECT_EQ(w->font().bold(), c.bold);
        } else if (c.kind == Kind::ChoiceList) {
            // The lists carry no font of their own: they follow the window's.
            EXPECT_FALSE(w->testAttribute(Qt::WA_SetFont));
            EXPECT_EQ(w->font(), face.font());
        }
        switch (c.kind) {
        case Kind::Label:
        case Kind::Image:
            // Labels take no part in keyboard navigation.
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
            break;
        case Kind::TextField: {
            auto *e = qobject_cast<QLineEdit *>(w);
            EXPECT_EQ(e->echoMode(), QLineEdit::Normal);
            EXPECT_FALSE(e->isReadOnly());
            break;
        }
        case Kind::ChoiceList: {
            auto *cb = qobject_cast<QComboBox *>(w);
            EXPECT_FALSE(cb->isEditable());
            EXPECT_EQ(cb->count(), 0);
            EXPECT_EQ(cb->currentIndex(), -1);
            break;
        }
        case Kind::Button:
            EXPECT_TRUE(w->isEnabled());
            break;
        case Kind::Separator:
            EXPECT_EQ(qobject_cast<QFrame *>(w)->frameWidth(), 2); // 2 px thick
            break;
        }
    }
    // Nothing on the face beyond the table.
    for (QWidget *w : face.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow())
            continue; // the popup menu
        EXPECT_TRUE(designed.contains(w->objectName())) << w->objectName().toStdString();
    }
}

TEST_F(ConsoleFace, TabOrderFollowsTheDesign)
{
    QWidget *first = control(TabOrder.front());
    ASSERT_NE(first, nullptr);
    std::vector<std::string> walked;
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &face && w != &face)
            walked.push_back(w->objectName().toStdString());
        w = w->nextInFocusChain();
    } while (w != first && walked.size() <= TabOrder.size());
    EXPECT_EQ(walked, std::vector<std::string>(TabOrder.begin(), TabOrder.end()));
}

TEST_F(ConsoleFace, SeparatorsDivideTheWindowIntoBands)
{
    const std::vector<std::tuple<const char *, int>> lines = {
        {"Line3", 48}, {"Line1", 204}, {"Line2", 360}};
    for (const auto &[name, y] : lines) {
        SCOPED_TRACE(name);
        auto *f = face.findChild<QFrame *>(QString::fromLatin1(name));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->frameShape(), QFrame::HLine);
        // From x 0 to x 800 (12000 twips), 2 px thick.
        EXPECT_EQ(f->geometry(), QRect(0, y, 800, 2));
        EXPECT_EQ(f->frameShadow(), QFrame::Sunken);
    }
}

TEST_F(ConsoleFace, WindowCaptionSizeAndIcon)
{
    EXPECT_EQ(face.windowTitle().toStdString(), "Quillmast Configuration for Korvane");
    EXPECT_EQ(face.size(), QSize(801, 418));
    EXPECT_EQ(face.minimumSize(), QSize(801, 418));
    EXPECT_EQ(face.maximumSize(), QSize(801, 418));
    const QList<QSize> sizes = face.windowIcon().availableSizes();
    for (int s : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;

    auto *img = face.findChild<QLabel *>(QStringLiteral("imgIcon"));
    ASSERT_NE(img, nullptr);
    const QPixmap shown = img->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              QImage(QStringLiteral(":/icons/quillmast-16.png"))
                  .convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST_F(ConsoleFace, PopupMenuEntries)
{
    QMenu *menu = face.popupMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu, face.findChild<QMenu *>(QStringLiteral("mnuPopup")));
    EXPECT_EQ(menu->title().toStdString(), "Popup");
    EXPECT_TRUE(menu->isHidden());

    struct Entry {
        const char *name;
        const char *caption;
        bool separator;
        QAction *accessor;
    };
    const std::vector<Entry> entries = {
        {"mnuPopupOpen", "&Open", false, face.mnuPopupOpen()},
        {"mnuPopupAbout", "&About...", false, face.mnuPopupAbout()},
        {"mnuPopupSep10", "", true, nullptr},
        {"mnuPopupExit", "E&xit", false, face.mnuPopupExit()},
    };
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        SCOPED_TRACE(e.name);
        QAction *a = actions[static_cast<qsizetype>(i)];
        EXPECT_EQ(a->objectName().toStdString(), e.name);
        EXPECT_EQ(a->isSeparator(), e.separator);
        EXPECT_EQ(a->text().toStdString(), e.caption);
        EXPECT_TRUE(a->isEnabled());
        if (e.accessor) {
            EXPECT_EQ(a, e.accessor);
        }
    }
}

TEST_F(ConsoleFace, DeliveredTextLiesExactlyOverLegitimizationCode)
{
    QWidget *legit = control("txtLegitimizationCode");
    QWidget *delivered = control("txtDelivered");
    ASSERT_TRUE(legit && delivered);
    EXPECT_EQ(delivered->geometry(), legit->geometry());
    EXPECT_EQ(delivered->parentWidget(), legit->parentWidget());
    // Before any protocol switch every protocol field is shown.
    for (const char *name : {"txtLegitimizationCode", "txtDelivered", "txtStored", "ltxtStored",
                             "cmbOperationType", "lcmbOperationType"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(control(name), nullptr);
        EXPECT_TRUE(control(name)->isVisibleTo(&face));
    }
}

TEST_F(ConsoleFace, TextFieldsKeepLongValuesWhole)
{
    // A stored setting longer than QLineEdit's default 32767 limit must not
    // be cut short on its way into the field (and back into the file).
    const QString longText(40000, QLatin1Char('x'));
    for (const char *name : {"txtSMSCenterNumber", "txtAuthenticationCode", "txtLegitimizationCode",
                             "txtDelivered", "txtStored"}) {
        SCOPED_TRACE(name);
        auto *e = face.findChild<QLineEdit *>(QString::fromLatin1(name));
        ASSERT_NE(e, nullptr);
        e->setText(longText);
        EXPECT_EQ(e->text().size(), longText.size());
    }
}

TEST_F(ConsoleFace, StatusLineShowsMessagesLiterally)
{
    auto *status = face.findChild<QLabel *>(QStringLiteral("statusBar"));
    ASSERT_NE(status, nullptr);
    // Rendered control characters look like tags; as rich text they would vanish.
    const QString message = QStringLiteral("Recieved:<STX>01/00045/O/51/<ETX>");
    status->setText(message);
    const QFontMetrics fm(status->font());
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_GE(status->sizeHint().width(), fm.horizontalAdvance(message));
}

// The icon file: nine images, 16/32/48 px at 8, 24 and 32 bits per pixel,
// each a DIB whose AND mask makes the corners transparent.
TEST(ApplicationIcon, IcoHoldsNineImagesWithMasks)
{
    (void)applicationIcon(); // registers the resources
    QFile file(QStringLiteral(":/icons/quillmast.ico"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ico = file.readAll();
    ASSERT_GE(ico.size(), 6);
    const auto *d = reinterpret_cast<const uchar *>(ico.constData());
    EXPECT_EQ(qFromLittleEndian<quint16>(d + 2), 1); // icon, not cursor
    const int count = qFromLittleEndian<quint16>(d + 4);
    ASSERT_EQ(count, 9);
    ASSERT_GE(ico.size(), 6 + 16 * count);

    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        const uchar *e = d + 6 + 16 * i;
        const int side = e[0] == 0 ? 256 : e[0];
        EXPECT_EQ(e[1], e[0]);
        const int bpp = qFromLittleEndian<quint16>(e + 6);
        const quint32 bytes = qFromLittleEndian<quint32>(e + 8);
        const quint32 offset = qFromLittleEndian<quint32>(e + 12);
        ASSERT_LE(quint64(offset) + bytes, quint64(ico.size()));
        ASSERT_GE(bytes, 40u);
        // A DIB of the same size and depth; its height counts the colour
        // bitmap and the mask.
        const uchar *dib = d + offset;
        EXPECT_EQ(qFromLittleEndian<quint32>(dib), 40u);
        EXPECT_EQ(qFromLittleEndian<qint32>(dib + 4), side);
        EXPECT_EQ(qFromLittleEndian<qint32>(dib + 8), 2 * side);
        EXPECT_EQ(qFromLittleEndian<quint16>(dib + 14), bpp);
        const int used = static_cast<int>(qFromLittleEndian<quint32>(dib + 32));
        const int colours = bpp <= 8 ? (used ? used : 1 << bpp) : 0;
        const int rowBytes = (side * bpp / 8 + 3) / 4 * 4;
        const int maskRow = (side / 8 + 3) / 4 * 4;
        const int maskAt = 40 + 4 * colours + side * rowBytes;
        ASSERT_EQ(bytes, quint32(maskAt + side * maskRow));

        // Rows are stored bottom-up; a set bit leaves the background showing.
        auto transparent = [&](int x, int y) {
            const uchar *row = dib + maskAt + (side - 1 - y) * maskRow;
            return (row[x / 8] >> (7 - x % 8)) & 1;
        };
        EXPECT_TRUE(transparent(0, 0));
        EXPECT_TRUE(transparent(side - 1, side - 1));
        EXPECT_FALSE(transparent(side / 4, side / 2));
        seen.insert({side, bpp});
    }
    const std::set<std::pair<int, int>> expected = {
        {16, 8}, {32, 8}, {48, 8}, {16, 24}, {32, 24}, {48, 24}, {16, 32}, {32, 32}, {48, 32}};
    EXPECT_EQ(seen, expected);
}

TEST(ApplicationIcon, ImagesDecodeAndAgreeAcrossDepths)
{
    (void)applicationIcon();
    std::map<int, QImage> png;
    for (int side : {16, 32, 48}) {
        SCOPED_TRACE(side);
        const QImage img(QStringLiteral(":/icons/quillmast-%1.png").arg(side));
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.size(), QSize(side, side));
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(img.pixel(side / 4, side / 2)), 255);
        png[side] = img;
    }
    if (!QImageReader::supportedImageFormats().contains("ico"))
        GTEST_SKIP() << "no ico image plugin";
    QImageReader reader(QStringLiteral(":/icons/quillmast.ico"));
    int read = 0;
    for (int i = 0; reader.jumpToImage(i); ++i, ++read) {
        SCOPED_TRACE(i);
        const QImage img = reader.read();
        ASSERT_FALSE(img.isNull());
        ASSERT_TRUE(png.count(img.width()));
        // A fully covered pixel has the same colour at every depth.
        const QPoint inside(img.width() / 4, img.height() / 2);
        EXPECT_EQ(qRed(img.pixel(inside)), qRed(png[img.width()].pixel(inside)));
        EXPECT_EQ(qGreen(img.pixel(inside)), qGreen(png[img.width()].pixel(inside)));
        EXPECT_EQ(qBlue(img.pixel(inside)), qBlue(png[img.width()].pixel(inside)));
    }
    EXPECT_EQ(read, 9);
}

} // namespace
} // namespace qm::test
