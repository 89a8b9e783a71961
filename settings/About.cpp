#include "settings/About.h"

#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "app/Texts.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/LinkLabel.h"
#include "platform/Modal.h"
#include "editor/ScriptTextBox.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <utility>

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

// How a text of the window is shown.
enum class Look { Plain, Title, Bold, Link, Wrapped };

// The texts of the window from top to bottom, placed in twips; a link shows
// its address and is as wide as it.
struct Entry {
    QLabel* About::*label;
    const char* name;
    QStringView text;
    int left, top, width, height;
    Look look = Look::Plain;
};
const Entry Contents[] = {
    {&About::Label1, "Label1", u"Morvaneo II", 1080, 135, 4000, 420, Look::Title},
    {&About::Label2, "Label2", u"BETA", 1080, 555, 4000, RowHeight, Look::Bold},
    {&About::Label28, "Label28", Texts::KestrandVersion, 1080, 795, 5000, RowHeight},
    {&About::Label3, "Label3", u"Copyright \u00A9 2026 The Morvaneo developers", LeftColumn, 1215, 6540, RowHeight},
    {&About::Label13, "Label13", u"Programmer:", LeftColumn, 1575, HeadingWidth, RowHeight},
    {&About::Label18, "Label18", u"The Morvaneo developers", ValueColumn, 1575, 5200, RowHeight},
    {&About::Label17, "Label17", u"Co-Programmer:", LeftColumn, 1815, HeadingWidth, RowHeight},
    {&About::Label19, "Label19", u"The Morvaneo contributors", ValueColumn, 1815, 5200, RowHeight},
    {&About::Label20, "Label20", u"Partner group:", LeftColumn, 2055, HeadingWidth, RowHeight},
    {&About::Label21, "Label21", u"The Example Script Guild", ValueColumn, 2055, 5200, RowHeight},
    {&About::Label8, "Label8", u"Mail:", LeftColumn, 2415, HeadingWidth, RowHeight},
    {&About::Label9, "Label9", MailAddress, ValueColumn, 2415, 0, 0, Look::Link},
    {&About::Label10, "Label10", u"URL:", LeftColumn, 2655, HeadingWidth, RowHeight},
    {&About::Label27, "Label27", KestrandSite, ValueColumn, 2655, 0, 0, Look::Link},
    {&About::Label25, "Label25", u"(Kestrand II)", NoteColumn, 2655, NoteWidth, RowHeight},
    {&About::Label11, "Label11", HomePage, ValueColumn, 2895, 0, 0, Look::Link},
    {&About::Label26, "Label26", u"(Morvaneo home page)", NoteColumn, 2895, NoteWidth, RowHeight},
    {&About::Label12, "Label12", PartnerSite, ValueColumn, 3135, 0, 0, Look::Link},
    {&About::Label29, "Label29", u"(Example Script Guild)", NoteColumn, 3135, NoteWidth, RowHeight},
    {&About::Label6, "Label6", u"Disclaimer:", LeftColumn, 3555, 6540, RowHeight, Look::Bold},
    {&About::Label4, "Label4", u"By using this program, you agree to the following part:", LeftColumn, 3795, 6540,
     RowHeight},
    {&About::Label5, "Label5",
     u"You use this software at your own risk holding no one who ever worked on this "
     u"project responsible for possible damages etc. to you and/or your computer!",
     LeftColumn, 4035, 6540, 2 * RowHeight + 60, Look::Wrapped},
    {&About::Label7, "Label7", u"Credits:", LeftColumn, 4695, 6540, RowHeight, Look::Bold},
    {&About::Label22, "Label22", u"Thanks to everyone who tried the beta builds and reported what went wrong.",
     LeftColumn, 4935, 6540, RowHeight},
    {&About::Label23, "Label23", u"Thanks to the Example Script Guild for checking the opcode lists.", LeftColumn,
     5175, 6540, RowHeight},
    {&About::Label24, "Label24", u"Thanks to the Kestrand II team for the tool these scripts are made for.",
     LeftColumn, 5415, 6540, RowHeight},
};
// " Visit", the home page and the rest of the sentence, under the texts.
constexpr int SentenceTop = 5835;

void setLook(QLabel* label, Look look)
{
    if (look == Look::Title || look == Look::Bold) {
        QFont f = label->font();
        f.setBold(true);
        if (look == Look::Title)
            f.setPointSizeF(f.pointSizeF() * 2.0);
        label->setFont(f);
    } else if (look == Look::Wrapped) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

QPixmap programIcon()
{
    QPixmap icon = StartUp::programIcon().pixmap(256);
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

    Image1 = Desktop::placed(new QLabel(this), "Image1", LeftColumn, 180, 720, 720);
    Image1->setAccessibleName(QStringLiteral("Morvaneo II icon"));
    const QPixmap icon = programIcon();
    Image1->setPixmap(icon);
    if (!icon.isNull())
        setWindowIcon(QIcon(icon));

    for (const Entry& e : Contents) {
        const QString name = QString::fromLatin1(e.name);
        const QString text = e.text.toString();
        QLabel* l = e.look == Look::Link ? link(name, text, e.left, e.top)
                                         : label(name, text, e.left, e.top, e.width, e.height);
        setLook(l, e.look);
        this->*e.label = l;
    }
    placeVisitSentence();

    const int top = SentenceTop + 420;
    FlatBttn1 = Desktop::placed(new FlatButton(QStringLiteral("&OK"), QString(), this), "FlatBttn1",
                                ClientWidth - 180 - 1215, top, 1215, 375);
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

// The three parts of the bottom sentence, set end to end.
void About::placeVisitSentence()
{
    Label14 = label(QStringLiteral("Label14"), QStringLiteral(" Visit"), LeftColumn, SentenceTop, 100, RowHeight);
    Label14->adjustSize();
    Label15 = link(QStringLiteral("Label15"), HomePage, 0, SentenceTop);
    Label15->move(Label14->geometry().right() + 1, Label15->y());
    Label16 = label(QStringLiteral("Label16"), QStringLiteral(" for the newest version and other stuff!"), 0,
                    SentenceTop, 100, RowHeight);
    Label16->adjustSize();
    Label16->move(Label15->geometry().right() + 1, Label15->y());
    Label14->resize(Label14->width(), Label15->height());
    Label16->resize(Label16->width(), Label15->height());
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
    connect(l, &LinkLabel::Activated, this, [this, l] { runHandler(l, &LinkHandlers::click); });
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
        runHandler(l, &LinkHandlers::mouseMove);
    else if (under == nullptr)
        Form_MouseMove();
    else if (under == Label17)
        Label17_MouseMove();
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
        runHandler(pressed, &LinkHandlers::click);
    QDialog::mouseReleaseEvent(e);
}

void About::runHandler(QLabel* link, void (About::*LinkHandlers::*which)())
{
    const LinkHandlers handlers[] = {{Label9, &About::Label9_Click, &About::Label9_MouseMove},
                                     {Label27, &About::Label27_Click, &About::Label27_MouseMove},
                                     {Label11, &About::Label11_Click, &About::Label11_MouseMove},
                                     {Label12, &About::Label12_Click, &About::Label12_MouseMove},
                                     {Label15, &About::Label15_Click, &About::Label15_MouseMove}};
    for (const LinkHandlers& h : handlers)
        if (h.label == link)
            (this->*(h.*which))();
}

void About::FlatBttn1_Click()
{
    accept();
    if (MainWindow* main = MainWindow::instance())
        main->Text1->SetFocus();
}
