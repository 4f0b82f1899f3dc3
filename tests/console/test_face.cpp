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
using enum Kind;

struct Control {
    const char *name;
    Kind kind;
    const char *caption;
    int l, t, w, h;               // twips, as designed
    const char *family = nullptr; // nullptr: the window's default font
    double points = 0;
    bool bold = false;
};

// Separators are 2 px lines whose designed height is 0; txtDelivered lies
// exactly over txtLegitimizationCode.
const std::vector<Control> Table = {
    {"Label2", Label, "Quillmast Configuration", 240, 120, 9015, 495, "Verdana", 18, true},
    {"cmdAbout", Button, "About", 10440, 120, 1455, 375, "Arial", 8.25, true},
    {"Line3", Separator, "", 0, 720, 12000, 30},
    {"Label1", Label, "SMS Centre Number", 240, 1035, 2655, 375, "Verdana", 12, true},
    {"txtSMSCenterNumber", TextField, "", 3360, 1035, 3615, 315, "Verdana", 8.25, true},
    {"Label3", Label, "Protocol", 240, 1560, 1575, 255, "Verdana", 9},
    {"cmbProtocol", ChoiceList, "", 3360, 1530, 1695, 315},
    {"ltxtAuthenticationCode", Label, "Authentication Code", 5400, 1560, 2055, 255, "Verdana", 9},
    {"txtAuthenticationCode", TextField, "", 7680, 1530, 3615, 315, "Verdana", 8.25, true},
    {"lcmbOperationType", Label, "Protocol Operation Type", 240, 2040, 2775, 255, "Verdana", 9},
    {"cmbOperationType", ChoiceList, "", 3360, 2010, 1695, 315},
    {"ltxtLegitimizationCode", Label, "Legitimization Code", 5400, 2040, 2055, 255, "Verdana", 9},
    {"txtLegitimizationCode", TextField, "", 7680, 2010, 3615, 315, "Verdana", 8.25, true},
    {"txtDelivered", TextField, "", 7680, 2010, 3615, 315, "Verdana", 8.25, true},
    {"ltxtStored", Label, "Stored Text", 5400, 2520, 2055, 255, "Verdana", 9},
    {"txtStored", TextField, "", 7680, 2490, 3615, 315, "Verdana", 8.25, true},
    {"Line1", Separator, "", 0, 3060, 12000, 30},
    {"Label5", Label, "Modem", 240, 3315, 2655, 375, "Verdana", 12, true},
    {"cmbModem", ChoiceList, "", 3360, 3315, 3615, 315},
    {"Label6", Label, "Baudrate", 240, 3765, 1575, 375, "Verdana", 9},
    {"cmbBaudrate", ChoiceList, "", 3360, 3765, 1695, 315},
    {"Label7", Label, "SMS Type (7 or 8  bit)", 240, 4200, 2655, 375, "Verdana", 9},
    {"cmbSMSType", ChoiceList, "", 3360, 4200, 1695, 315},
    {"Line2", Separator, "", 0, 5400, 12000, 30},
    {"cmdStartSendSMS", Button, "Start Automatic SMS Sending", 240, 5520, 2895, 375, "Arial", 8.25,
     true},
    {"cmdSendTestSMS", Button, "Send Manual SMS", 3600, 5520, 2295, 375, "Arial", 8.25, true},
    {"imgIcon", Image, "", 10320, 5640, 240, 240},
    {"statusBar", Label, "Status", 0, 6000, 12015, 255, "Arial", 8.25},
};

const char *const TabOrder = "txtSMSCenterNumber cmbOperationType cmbModem cmbBaudrate cmbSMSType "
                             "cmbProtocol txtLegitimizationCode txtAuthenticationCode "
                             "cmdSendTestSMS cmdAbout cmdStartSendSMS txtStored txtDelivered";

bool hasKind(const QWidget *w, Kind kind)
{
    static const QMetaObject *const classes[] = {
        &QLabel::staticMetaObject,      &QLineEdit::staticMetaObject, &QComboBox::staticMetaObject,
        &QPushButton::staticMetaObject, &QFrame::staticMetaObject,    &QLabel::staticMetaObject};
    // A label is a frame too; a separator is a plain one.
    return classes[static_cast<int>(kind)]->cast(w) &&
           (kind != Separator || !qobject_cast<const QLabel *>(w));
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
    // Longer than QLineEdit's default limit of 32767: a stored setting must
    // not be cut short on its way into a field (and back into the file).
    const QString longText(40000, QLatin1Char('x'));
    QSet<QString> designed;
    for (const Control &c : Table) {
        SCOPED_TRACE(c.name);
        designed.insert(QString::fromLatin1(c.name));
        const auto found = face.findChildren<QWidget *>(QString::fromLatin1(c.name));
        ASSERT_EQ(found.size(), 1);
        QWidget *w = found.front();
        ASSERT_TRUE(hasKind(w, c.kind));
        EXPECT_EQ(w->parentWidget(), &face);
        EXPECT_TRUE(w->isVisibleTo(&face)); // before any protocol switch
        const char *captionProperty = c.kind == ChoiceList ? "currentText" : "text";
        EXPECT_EQ(w->property(captionProperty).toString().toStdString(), c.caption);
        EXPECT_EQ(w->geometry(), QRect(c.l / 15, c.t / 15, c.w / 15, c.h / 15));
        if (c.family) {
            EXPECT_EQ(w->font().family().toStdString(), c.family);
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), c.points);
            EXPECT_EQ(w->font().bold(), c.bold);
        } else if (c.kind == ChoiceList) {
            // The lists carry no font of their own: they follow the window's.
            EXPECT_FALSE(w->testAttribute(Qt::WA_SetFont));
            EXPECT_EQ(w->font(), face.font());
        }
        switch (c.kind) {
        case Label:
        case Image: // no part in keyboard navigation
            EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
            break;
        case TextField: {
            auto *e = qobject_cast<QLineEdit *>(w);
            EXPECT_EQ(e->echoMode(), QLineEdit::Normal);
            EXPECT_FALSE(e->isReadOnly());
            e->setText(longText);
            EXPECT_EQ(e->text().size(), longText.size());
            break;
        }
        case ChoiceList: {
            auto *cb = qobject_cast<QComboBox *>(w);
            EXPECT_FALSE(cb->isEditable());
            EXPECT_EQ(cb->count(), 0);
            EXPECT_EQ(cb->currentIndex(), -1);
            break;
        }
        case Button:
            EXPECT_TRUE(w->isEnabled());
            break;
        case Separator: {
            auto *f = qobject_cast<QFrame *>(w);
            EXPECT_EQ(f->frameShape(), QFrame::HLine);
            EXPECT_EQ(f->frameShadow(), QFrame::Sunken);
            EXPECT_EQ(f->frameWidth(), 2);
            break;
        }
        }
    }
    // Nothing on the face beyond the table (the popup menu is a window).
    for (QWidget *w : face.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(w->isWindow() || designed.contains(w->objectName()))
            << w->objectName().toStdString();
}

TEST_F(ConsoleFace, TabOrderFollowsTheDesign)
{
    const QStringList expected = QString::fromLatin1(TabOrder).split(QLatin1Char(' '));
    QWidget *first = control("txtSMSCenterNumber");
    ASSERT_NE(first, nullptr);
    QStringList walked;
    QWidget *w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &face && w != &face)
            walked.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != first && walked.size() <= expected.size());
    EXPECT_EQ(walked.join(QLatin1Char(' ')).toStdString(), TabOrder);
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

    auto *img = qobject_cast<QLabel *>(control("imgIcon"));
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

    // name, caption, accessor (none: a separator)
    const std::vector<std::tuple<std::string, std::string, QAction *>> entries = {
        {"mnuPopupOpen", "&Open", face.mnuPopupOpen()},
        {"mnuPopupAbout", "&About...", face.mnuPopupAbout()},
        {"mnuPopupSep10", "", nullptr},
        {"mnuPopupExit", "E&xit", face.mnuPopupExit()},
    };
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size()));
    qsizetype i = 0;
    for (const auto &[name, caption, accessor] : entries) {
        SCOPED_TRACE(name);
        QAction *a = actions[i++];
        EXPECT_EQ(a->objectName().toStdString(), name);
        EXPECT_EQ(a->isSeparator(), accessor == nullptr);
        EXPECT_EQ(a->text().toStdString(), caption);
        EXPECT_TRUE(a->isEnabled());
        if (accessor) {
            EXPECT_EQ(a, accessor);
        }
    }
}

TEST_F(ConsoleFace, StatusLineShowsMessagesLiterally)
{
    auto *status = qobject_cast<QLabel *>(control("statusBar"));
    ASSERT_NE(status, nullptr);
    // Rendered control characters look like tags; as rich text they would vanish.
    const QString message = QStringLiteral("Recieved:<STX>01/00045/O/51/<ETX>");
    status->setText(message);
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_GE(status->sizeHint().width(), QFontMetrics(status->font()).horizontalAdvance(message));
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
        EXPECT_EQ(img.pixel(inside) & RGB_MASK, png[img.width()].pixel(inside) & RGB_MASK);
    }
    EXPECT_EQ(read, 9);
}

} // namespace
} // namespace qm::test
