#include "settings/About.h"

#include "app/MainWindow.h"
#include "app/Texts.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/LinkLabel.h"
#include "platform/Modal.h"
#include "platform/ScriptTextBox.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

const QColor LinkColour(0, 0, 255);
const QColor HighlightColour(255, 255, 255);
// A soft blue-grey, on which both the blue and the white link read well.
const QColor Background(184, 200, 224);

const QString MailAddress = QStringLiteral("morvaneo@example.org");
const QString KestrandSite = QStringLiteral("https://kestrand.example.org/");
const QString HomePage = QStringLiteral("https://morvaneo.example.org/");
const QString PartnerSite = QStringLiteral("https://scriptguild.example.org/");

constexpr int LeftColumn = 180;
constexpr int ValueColumn = 1620;
constexpr int HeadingWidth = 1380;
constexpr int NoteColumn = 4830;
constexpr int NoteWidth = 1950;
constexpr int RowHeight = 240;
constexpr int ClientWidth = 6900;

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

QPixmap programIcon()
{
    QPixmap icon(QStringLiteral(":/resources/icons/morvaneo.png"));
    if (icon.isNull()) {
        // Without the icon file, the emblem of the logo picture stands in.
        const QPixmap logo(QStringLiteral(":/resources/logo/logo.gif"));
        if (!logo.isNull())
            icon = logo.copy(36, 96, 148, 148);
    }
    if (icon.isNull())
        return icon;
    return icon.scaled(48, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

About::About(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About"));
    setModal(true);
    setMouseTracking(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Background);
    setPalette(p);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Morvaneo II icon"));
    Desktop::setTwipsGeometry(Image1, LeftColumn, 180, 720, 720);
    const QPixmap icon = programIcon();
    Image1->setPixmap(icon);
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));

    Label1 = label(QStringLiteral("Label1"), QStringLiteral("Morvaneo II"), 1080, 135, 4000, 420);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(title.pointSizeF() * 2.0);
    Label1->setFont(title);
    Label2 = label(QStringLiteral("Label2"), QStringLiteral("BETA"), 1080, 555, 4000, RowHeight);
    QFont bold = Label2->font();
    bold.setBold(true);
    Label2->setFont(bold);
    Label28 = label(QStringLiteral("Label28"), Texts::KestrandVersion, 1080, 795, 5000, RowHeight);

    int top = 1215;
    Label3 = label(QStringLiteral("Label3"), QStringLiteral("Copyright \u00A9 2026 The Morvaneo developers"),
                   LeftColumn, top, 6540, RowHeight);
    top += 360;
    Label13 = label(QStringLiteral("Label13"), QStringLiteral("Programmer:"), LeftColumn, top, HeadingWidth, RowHeight);
    Label18 = label(QStringLiteral("Label18"), QStringLiteral("The Morvaneo developers"), ValueColumn, top, 5200,
                    RowHeight);
    top += RowHeight;
    Label17 = label(QStringLiteral("Label17"), QStringLiteral("Co-Programmer:"), LeftColumn, top, HeadingWidth, RowHeight);
    Label19 = label(QStringLiteral("Label19"), QStringLiteral("The Morvaneo contributors"), ValueColumn, top, 5200,
                    RowHeight);
    top += RowHeight;
    Label20 = label(QStringLiteral("Label20"), QStringLiteral("Partner group:"), LeftColumn, top, HeadingWidth, RowHeight);
    Label21 = label(QStringLiteral("Label21"), QStringLiteral("The Example Script Guild"), ValueColumn, top, 5200,
                    RowHeight);
    top += 360;
    Label8 = label(QStringLiteral("Label8"), QStringLiteral("Mail:"), LeftColumn, top, HeadingWidth, RowHeight);
    Label9 = link(QStringLiteral("Label9"), MailAddress, ValueColumn, top);
    top += RowHeight;
    Label10 = label(QStringLiteral("Label10"), QStringLiteral("URL:"), LeftColumn, top, HeadingWidth, RowHeight);
    Label27 = link(QStringLiteral("Label27"), KestrandSite, ValueColumn, top);
    Label25 = label(QStringLiteral("Label25"), QStringLiteral("(Kestrand II)"),
                    NoteColumn, top, NoteWidth, RowHeight);
    top += RowHeight;
    Label11 = link(QStringLiteral("Label11"), HomePage, ValueColumn, top);
    Label26 = label(QStringLiteral("Label26"), QStringLiteral("(Morvaneo home page)"),
                    NoteColumn, top, NoteWidth, RowHeight);
    top += RowHeight;
    Label12 = link(QStringLiteral("Label12"), PartnerSite, ValueColumn, top);
    Label29 = label(QStringLiteral("Label29"), QStringLiteral("(Example Script Guild)"),
                    NoteColumn, top, NoteWidth, RowHeight);

    top += 420;
    Label6 = label(QStringLiteral("Label6"), QStringLiteral("Disclaimer:"), LeftColumn, top, 6540, RowHeight);
    Label6->setFont(bold);
    top += RowHeight;
    Label4 = label(QStringLiteral("Label4"), QStringLiteral("By using this program, you agree to the following part:"),
                   LeftColumn, top, 6540, RowHeight);
    top += RowHeight;
    Label5 = label(QStringLiteral("Label5"),
                   QStringLiteral("You use this software at your own risk holding no one who ever worked on this "
                                  "project responsible for possible damages etc. to you and/or your computer!"),
                   LeftColumn, top, 6540, 2 * RowHeight + 60);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    top += 2 * RowHeight + 180;
    Label7 = label(QStringLiteral("Label7"), QStringLiteral("Credits:"), LeftColumn, top, 6540, RowHeight);
    Label7->setFont(bold);
    top += RowHeight;
    Label22 = label(QStringLiteral("Label22"),
                    QStringLiteral("Thanks to everyone who tried the beta builds and reported what went wrong."),
                    LeftColumn, top, 6540, RowHeight);
    top += RowHeight;
    Label23 = label(QStringLiteral("Label23"),
                    QStringLiteral("Thanks to the Example Script Guild for checking the opcode lists."), LeftColumn,
                    top, 6540, RowHeight);
    top += RowHeight;
    Label24 = label(QStringLiteral("Label24"),
                    QStringLiteral("Thanks to the Kestrand II team for the tool these scripts are made for."),
                    LeftColumn, top, 6540, RowHeight);

    // The bottom sentence: three labels set end to end.
    top += 420;
    const QString visit = QStringLiteral(" Visit");
    Label14 = label(QStringLiteral("Label14"), visit, LeftColumn, top, 100, RowHeight);
    Label14->adjustSize();
    Label15 = link(QStringLiteral("Label15"), HomePage, 0, top);
    Label15->move(Label14->geometry().right() + 1, Label15->y());
    Label16 = label(QStringLiteral("Label16"), QStringLiteral(" for the newest version and other stuff!"), 0, top,
                    100, RowHeight);
    Label16->adjustSize();
    Label16->move(Label15->geometry().right() + 1, Label15->y());
    Label14->resize(Label14->width(), Label15->height());
    Label16->resize(Label16->width(), Label15->height());

    top += 420;
    FlatBttn1 = new FlatButton(QStringLiteral("&OK"), QString(), this);
    FlatBttn1->setObjectName(QStringLiteral("FlatBttn1"));
    Desktop::setTwipsGeometry(FlatBttn1, ClientWidth - 180 - 1215, top, 1215, 375);
    FlatBttn1->setDefault(true);
    Command1 = makeHiddenTwin(QStringLiteral("Command1"), FlatBttn1, this);
    Command1->setText(QStringLiteral("&Ok"));
    connect(FlatBttn1, &QPushButton::clicked, this, &About::FlatBttn1_Click);
    connect(Command1, &QPushButton::clicked, this, &About::Command1_Click);

    setFixedSize(Desktop::px(ClientWidth), Desktop::px(top + 375 + 180));
    // Mouse moves over every control reach the window (see mouseMoveEvent),
    // also when no button is held.
    for (QWidget* child : findChildren<QWidget*>())
        child->setMouseTracking(true);
    FlatBttn1->setFocus();
}

QLabel* About::label(const QString& name, const QString& text, int left, int top, int width, int height)
{
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    Desktop::setTwipsGeometry(l, left, top, width, height);
    return l;
}

LinkLabel* About::link(const QString& name, const QString& address, int left, int top)
{
    auto* l = new LinkLabel(QStringLiteral(" ") + address, this);
    l->setObjectName(name);
    Desktop::setTwipsGeometry(l, left, top, 100, RowHeight);
    QFont f = l->font();
    f.setUnderline(true);
    l->setFont(f);
    setTextColour(l, LinkColour);
    l->setCursor(Qt::PointingHandCursor);
    l->setToolTip(targetOf(name));
    // As wide as its caption, so that the blank beside a link is background.
    l->resize(QFontMetrics(f).horizontalAdvance(l->text()) + 2, l->height());
    // Enter, Space and a screen reader press a link exactly as a click does;
    // while it has the keyboard focus it shows the hover colour.
    connect(l, &LinkLabel::Activated, this, [this, l] { clickLink(l); });
    connect(l, &LinkLabel::FocusChanged, this, [this, l](bool hasFocus) {
        if (hasFocus)
            highlight(l);
        else
            setTextColour(l, LinkColour);
    });
    return l;
}

QList<QLabel*> About::links() const
{
    return {Label9, Label27, Label11, Label12, Label15};
}

QString About::targetOf(const QString& linkName)
{
    if (linkName == QStringLiteral("Label9"))
        return QStringLiteral("mailto:") + MailAddress;
    if (linkName == QStringLiteral("Label27"))
        return KestrandSite;
    if (linkName == QStringLiteral("Label11") || linkName == QStringLiteral("Label15"))
        return HomePage;
    if (linkName == QStringLiteral("Label12"))
        return PartnerSite;
    return QString();
}

void About::ShowModal(QWidget* owner)
{
    About about(owner);
    about.exec();
}

void About::openLink(const QString& linkName)
{
    // The desktop picks the mail program or the browser; when it cannot,
    // nothing is said and the window stays as it is.
    Modal::seam().shellOpen(targetOf(linkName));
}

void About::Label9_Click()
{
    openLink(QStringLiteral("Label9"));
}

void About::Label11_Click()
{
    openLink(QStringLiteral("Label11"));
}

void About::Label12_Click()
{
    openLink(QStringLiteral("Label12"));
}

void About::Label15_Click()
{
    openLink(QStringLiteral("Label15"));
}

void About::Label27_Click()
{
    openLink(QStringLiteral("Label27"));
}

void About::highlight(QLabel* hovered)
{
    setTextColour(hovered, HighlightColour);
    for (QLabel* other : links())
        if (other != hovered)
            setTextColour(other, LinkColour);
}

void About::unhighlight()
{
    for (QLabel* l : links())
        setTextColour(l, LinkColour);
}

QLabel* About::linkAt(const QPoint& pos) const
{
    QWidget* under = childAt(pos);
    for (QLabel* l : links())
        if (l == under)
            return l;
    return nullptr;
}

// Labels pass mouse events on to the window, so every hover and click lands
// here; what lies under the mouse decides what happens.
void About::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    QWidget* under = childAt(pos);
    if (QLabel* l = linkAt(pos))
        highlight(l);
    else if (under == nullptr || under == Label17)
        unhighlight();
    QDialog::mouseMoveEvent(e);
}

void About::mousePressEvent(QMouseEvent* e)
{
    m_pressed = e->button() == Qt::LeftButton ? linkAt(e->position().toPoint()) : nullptr;
    QDialog::mousePressEvent(e);
}

void About::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel* pressed = m_pressed;
    m_pressed = nullptr;
    if (e->button() == Qt::LeftButton && pressed && pressed == linkAt(e->position().toPoint()))
        clickLink(pressed);
    QDialog::mouseReleaseEvent(e);
}

void About::clickLink(QLabel* link)
{
    if (link == Label9)
        Label9_Click();
    else if (link == Label27)
        Label27_Click();
    else if (link == Label11)
        Label11_Click();
    else if (link == Label12)
        Label12_Click();
    else if (link == Label15)
        Label15_Click();
}

void About::FlatBttn1_Click()
{
    accept();
    if (MainWindow* main = MainWindow::instance())
        main->Text1->SetFocus();
}
