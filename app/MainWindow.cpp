#include "app/MainWindow.h"

#include "app/DropTrajectory.h"
#include "app/RecentList.h"
#include "app/RecoveryCopy.h"
#include "app/StartUp.h"
#include "language/ScriptFile.h"
#include "app/Texts.h"
#include "language/Catalogue.h"
#include "language/LanguageMarkup.h"
#include "language/LinePreparation.h"
#include "language/UnitCommands.h"
#include "editor/Find.h"
#include "editor/GoToLine.h"
#include "dialogs/NewScript.h"
#include "dialogs/RecentFiles.h"
#include "platform/Accessibility.h"
#include "platform/Clipboard.h"
#include "platform/Desktop.h"
#include "platform/FlatButton.h"
#include "platform/KeyCodes.h"
#include "platform/Modal.h"
#include "platform/PngIcon.h"
#include "language/ScriptText.h"
#include "editor/ScriptTextBox.h"
#include "platform/TextBox.h"
#include "platform/Toolbar.h"
#include "platform/TreeView.h"
#include "settings/About.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QThread>

#include <cmath>

namespace {

MainWindow* theInstance = nullptr;

// Client area at the size the window opens with, in twips.
constexpr int BaseWidth = 6975;
constexpr int BaseHeight = 6255;

// The command buttons in keyboard order, each with the push button hidden
// behind it.
struct Command {
    FlatButton* MainWindow::*flat;
    const char* flatName;
    const char* caption;
    const char* tip;
    bool topRow;
    void (MainWindow::*flatClick)();
    QPushButton* MainWindow::*twin;
    const char* twinName;
    void (MainWindow::*twinClick)();
};
const Command Commands[] = {
    {&MainWindow::FlatBttn7, "FlatBttn7", "&Add opcode", "Add opcode with given value", false,
     &MainWindow::FlatBttn7_Click, &MainWindow::Command5, "Command5", &MainWindow::Command5_Click},
    {&MainWindow::FlatBttn6, "FlatBttn6", "Make re&build", "Make a rebuild command for selected unit", false,
     &MainWindow::FlatBttn6_Click, &MainWindow::Command1, "Command1", &MainWindow::Command1_Click},
    {&MainWindow::FlatBttn5, "FlatBttn5", "&Make attacking", "Make the selected units attacking units", false,
     &MainWindow::FlatBttn5_Click, &MainWindow::Command4, "Command4", &MainWindow::Command4_Click},
    {&MainWindow::FlatBttn4, "FlatBttn4", "&Recent files", "Show recent file list", false,
     &MainWindow::FlatBttn4_Click, &MainWindow::Recent, "Recent", &MainWindow::Recent_Click},
    {&MainWindow::FlatBttn3, "FlatBttn3", "&Options", "Set options", false, &MainWindow::FlatBttn3_Click,
     &MainWindow::Command3, "Command3", &MainWindow::Command3_Click},
    {&MainWindow::FlatBttn2, "FlatBttn2", "Abo&ut Morvaneo", "Show more info on Morvaneo II", true,
     &MainWindow::FlatBttn2_Click, &MainWindow::Command2, "Command2", &MainWindow::Command2_Click},
    {&MainWindow::FlatBttn1, "FlatBttn1", "&End", "Exit Morvaneo II", true, &MainWindow::FlatBttn1_Click,
     &MainWindow::End, "End", &MainWindow::End_Click},
};

void showError(const QString& text)
{
    Modal::MsgBox(text, Modal::vbOKOnly + Modal::vbCritical, Texts::ErrorTitle);
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    theInstance = this;
    Accessibility::install();  // a window to screen readers, named by its caption
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(Texts::BetaCaption + Texts::Untitled);
    setWindowIcon(StartUp::programIcon());
    buildControls();
    const QSize base(Desktop::px(BaseWidth), Desktop::px(BaseHeight));
    setMinimumSize(base);
    resize(base);
    layoutControls();
    Recovery = std::make_unique<RecoveryCopy>(this);
}

MainWindow::~MainWindow()
{
    Recovery.reset();
    if (theInstance == this)
        theInstance = nullptr;
}

MainWindow* MainWindow::instance()
{
    return theInstance;
}

void MainWindow::buildControls()
{
    buildToolbar();
    buildBoxes();
    // The flat buttons are made top row first, the order a screen reader
    // lists them in.
    for (bool topRow : {true, false})
        for (const Command& c : Commands)
            if (c.topRow == topRow) {
                this->*c.flat = new FlatButton(QString::fromUtf8(c.caption), QString::fromUtf8(c.tip), this);
                (this->*c.flat)->setObjectName(QString::fromLatin1(c.flatName));
            }

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(Texts::KestrandVersion, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* l : {Label1, Label2}) {
        l->setAlignment(Qt::AlignCenter);
        l->setTextFormat(Qt::PlainText);
    }

    layoutControls();
    // Keyboard order: catalogue, value, script, then the commands.
    QList<QWidget*> tabOrder{TreeView1, Text2, Text1};
    for (const Command& c : Commands) {
        FlatButton* flat = this->*c.flat;
        this->*c.twin = makeHiddenTwin(QString::fromLatin1(c.twinName), flat, this);
        connect(flat, &QPushButton::clicked, this, c.flatClick);
        connect(this->*c.twin, &QPushButton::clicked, this, c.twinClick);
        tabOrder << flat;
    }
    Desktop::setTabOrder(tabOrder);
}

namespace {

// The toolbar's buttons, in order: key (also the caption), picture, tooltip
// and what a click runs.
struct ToolbarButton {
    const char* key;
    const char* icon;
    const char* tip;
    void (*run)(MainWindow&);
};

const ToolbarButton ToolbarButtons[] = {
    {"New", "new", "New script", [](MainWindow& w) { w.NewCommand(false); }},
    {"Open", "open", "Open a script", [](MainWindow& w) { w.FileOpenProc(); }},
    {"Save", "save", "Save the script as", [](MainWindow& w) { w.FileSaveAsProc(); }},
    {"Undo", "undo", "Undo", [](MainWindow& w) { w.Text1->undo(); }},
    {"Cut", "cut", "Cut", [](MainWindow& w) { w.EditCutProc(); }},
    {"Copy", "copy", "Copy", [](MainWindow& w) { w.EditCopyProc(); }},
    {"Paste", "paste", "Paste", [](MainWindow& w) { w.EditPasteProc(); }},
};

}  // namespace

void MainWindow::buildToolbar()
{
    Toolbar1 = new Toolbar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setAccessibleName(QStringLiteral("Toolbar"));
    for (const ToolbarButton& b : ToolbarButtons) {
        // Undo and the edit commands stand apart from the file commands.
        if (&b == &ToolbarButtons[3])
            Toolbar1->addSeparator();
        Toolbar1->addButton(QString::fromLatin1(b.key),
                            PngIcon::fromFile(QStringLiteral(":/resources/icons/%1.png").arg(QLatin1StringView(b.icon))),
                            QString::fromLatin1(b.tip));
    }
    connect(Toolbar1, &Toolbar::ButtonClick, this, &MainWindow::Toolbar1_ButtonClick);
}

void MainWindow::buildBoxes()
{
    Text2 = new TextBox(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setAccessibleName(QStringLiteral("Value"));
    Text2->setText(QStringLiteral("1"));
    connect(Text2, &TextBox::Change, this, &MainWindow::Text2_Change);
    connect(Text2, &TextBox::KeyPress, this, &MainWindow::Text2_KeyPress);
    connect(Text2, &TextBox::KeyUp, this, &MainWindow::Text2_KeyUp);
    connect(Text2, &TextBox::DblClick, this, &MainWindow::Text2_DblClick);

    TreeView1 = new TreeView(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("Opcode catalogue"));
    connect(TreeView1, &TreeView::NodeClick, this, &MainWindow::TreeView1_NodeClick);
    connect(TreeView1, &TreeView::Click, this, &MainWindow::TreeView1_Click);
    connect(TreeView1, &TreeView::DblClick, this, &MainWindow::TreeView1_DblClick);
    connect(TreeView1, &TreeView::MouseDown, this, &MainWindow::TreeView1_MouseDown);

    Text1 = new ScriptTextBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Script"));
    // The script box knows the language: it colours it, underlines its
    // problems, numbers its lines and completes its names.
    static const LanguageMarkup language;
    Text1->setLineMarkup(&language);
    connect(Text1, &ScriptTextBox::Change, this, &MainWindow::Text1_Change);
    connect(Text1, &ScriptTextBox::KeyUp, this, &MainWindow::Text1_KeyUp);
    connect(Text1, &ScriptTextBox::MouseDown, this, &MainWindow::Text1_MouseDown);
    connect(Text1, &ScriptTextBox::DblClick, this, &MainWindow::Text1_DblClick);
    // Find and replace, F3, and Go to line, while the script has the focus.
    Find::attachTo(Text1);
    GoToLine::attachTo(Text1);
}

// Places every control at its position; room beyond the opening size goes to
// the tree and the script box, and the bottom row follows the bottom edge.
void MainWindow::layoutControls()
{
    if (!Label2)
        return;
    const int extraW = qMax(0, width() * Desktop::TwipsPerPixel - BaseWidth);
    const int extraH = qMax(0, height() * Desktop::TwipsPerPixel - BaseHeight);
    const int treeExtra = extraW / 3;
    const int shift = treeExtra;  // everything right of the tree moves with it
    using Desktop::setTwipsGeometry;
    setTwipsGeometry(Toolbar1, 120, 120, 2835, 390);
    setTwipsGeometry(Text2, 3120 + shift, 120, 1455, 375);
    setTwipsGeometry(FlatBttn2, 4680 + shift, 120, 1455, 375);
    setTwipsGeometry(FlatBttn1, 6240 + shift, 120, 615, 375);
    setTwipsGeometry(TreeView1, 120, 600, 2895 + treeExtra, 4455 + extraH);
    setTwipsGeometry(Text1, 3120 + shift, 600, 3735 + extraW - treeExtra, 4455 + extraH);
    const int bottomShift = extraW / 2;
    setTwipsGeometry(FlatBttn7, 240 + bottomShift, 5160 + extraH, 1095, 375);
    setTwipsGeometry(FlatBttn6, 1440 + bottomShift, 5160 + extraH, 1455, 375);
    setTwipsGeometry(FlatBttn5, 3000 + bottomShift, 5160 + extraH, 1335, 375);
    setTwipsGeometry(FlatBttn4, 4440 + bottomShift, 5160 + extraH, 1095, 375);
    setTwipsGeometry(FlatBttn3, 5640 + bottomShift, 5160 + extraH, 1095, 375);
    setTwipsGeometry(Label1, 0, 5735 + extraH, 6975 + extraW, 255);
    setTwipsGeometry(Label2, 0, 6000 + extraH, 6975 + extraW, 255);
    for (const Command& c : Commands)
        if (QPushButton* twin = this->*c.twin)
            twin->setGeometry((this->*c.flat)->geometry());
}

void MainWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    layoutControls();
}

void MainWindow::setCaption(const QString& caption)
{
    setWindowTitle(caption);
}

// ---------------------------------------------------------------- start-up

void MainWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_loaded)
        Form_Load(CommandLine);
}

void MainWindow::Form_Load(const QString& commandLine)
{
    m_loaded = true;
    if (!commandLine.isEmpty())
        OpenArgumentProc(commandLine);
    ActualFile = QString();
    Label1->setText(Texts::BetaCaption + QChar(0xA9) +
                    QStringLiteral(" 2026 The Morvaneo developers and contributors"));
    Changed = 0;
    FillTreeProc();
    if (Recovery)
        Recovery->loaded(commandLine);
}

// ---------------------------------------------------------------- script box

void MainWindow::Text1_Change()
{
    Changed = 1;
    if (Recovery)
        Recovery->changed();
}

void MainWindow::Text1_KeyUp(int keyCode, int shift)
{
    Q_UNUSED(shift);
    if (keyCode == KeyCodes::vbKeyInsert)
        MakeAttackingProc();
}

void MainWindow::Text1_MouseDown(int button, int, double, double)
{
    MouseButton = qint16(button);
}

void MainWindow::Text1_DblClick()
{
    if (MouseButton == KeyCodes::vbLeftButton)
        TreeView1->SetFocus();
}

// ---------------------------------------------------------------- catalogue

void MainWindow::FillTreeProc()
{
    QList<QIcon> images;
    for (const QString& path : catalogueImagePaths())
        images << PngIcon::fromFile(path);
    TreeView1->setImageList(images);
    for (const CatalogueEntry& e : catalogueEntries()) {
        if (e.parentKey.isEmpty())
            TreeView1->Nodes.Add(e.key, e.text, e.image);
        else
            TreeView1->Nodes.Add(e.parentKey, TreeNodes::tvwChild, e.key, e.text, e.image);
    }
}

void MainWindow::TreeView1_NodeClick(QTreeWidgetItem* node)
{
    NodeText = node ? node->text(0) : QString();
    TextToAdd = PrepareLine(NodeText, Text2->Text());
}

void MainWindow::Text2_Change()
{
    // Nothing is prepared before a node has been chosen.
    if (NodeText.isEmpty())
        return;
    TextToAdd = PrepareLine(NodeText, Text2->Text());
}

void MainWindow::InsertStep()
{
    if (TextToAdd.isEmpty())
        return;
    // One assignment gives the same text and caret as the line followed by
    // its own break, with one change and one layout.
    Text1->setSelText(TextToAdd + ScriptText::CrLf);
    Text1->SetFocus();
}

void MainWindow::TreeView1_DblClick()
{
    InsertStep();
}

void MainWindow::Text2_KeyPress(int& keyAscii)
{
    if (keyAscii == KeyCodes::vbKeyReturn) {
        InsertStep();
        keyAscii = 0;
    }
}

void MainWindow::Command5_Click()
{
    InsertStep();
}

void MainWindow::TreeView1_MouseDown(int button, int, double, double)
{
    MouseButton = qint16(button);
}

void MainWindow::TreeView1_Click()
{
    if (MouseButton == KeyCodes::vbRightButton) {
        Text2->setSelStart(0);
        Text2->setSelLength(Text2->Text().size());
        Text2->SetFocus();
    }
}

void MainWindow::Text2_DblClick()
{
    if (MouseButton == KeyCodes::vbLeftButton)
        TreeView1->SetFocus();
}

// ---------------------------------------------------------------- unit commands

void MainWindow::Command1_Click()
{
    const QString s = Text1->SelText();
    if (s.isEmpty()) {
        showError(QStringLiteral("You must select the unit/building!"));
        return;
    }
    // The selection stays where it is: only what follows it is inserted,
    // which leaves the same text and caret as replacing it with the whole.
    Text1->setSelStart(Text1->SelStart() + Text1->SelLength());
    Text1->setSelText(QStringView(RebuildText(s)).mid(s.size()).toString());
    Text1->SetFocus();
}

void MainWindow::MakeAttackingProc()
{
    if (Text1->SelLength() == 0) {
        showError(QStringLiteral("You must highlight the units!"));
        Text1->SetFocus();
        return;
    }
    // The selection stays; its attacking lines follow it, derived from the
    // text as the box holds it, so that thousands of lines are not copied
    // back and forth.
    Text1->insertAfterSelection(&AttackingLines);
    Text1->SetFocus();
}

// ---------------------------------------------------------------- script files

bool MainWindow::LoadScriptFile(const QString& path)
{
    QByteArray bytes;
    if (!ScriptFile::readFile(path, &bytes)) {
        showError(Texts::FileError);
        return false;
    }
    if (Recovery)
        Recovery->replacing(path);
    // The text goes into the script box as UTF-8 a piece at a time: no copy
    // of the whole script besides the file's bytes and the box's own.
    Text1->loadUtf8(ScriptFile::readingRuleUtf8Bound(bytes), [&bytes](const ScriptTextBox::Utf8Sink& take) {
        ScriptFile::readingRuleUtf8(bytes, take);
    });
    bytes = QByteArray();
    WholeText = QString();
    return true;
}

// Writes the script to path; false when it was not written (the error has
// been shown, or the user chose not to write characters the file cannot hold).
bool MainWindow::WriteScriptFile(const QString& path)
{
    bool lossy = false;
    const QByteArray bytes = ScriptFile::writingRule(Text1->Text(), &lossy);
    if (lossy) {
        const QString lost = ScriptFile::unencodable(Text1->Text());
        const QString shown = lost.size() > 20 ? lost.left(20) + QStringLiteral("...") : lost;
        const int answer = Modal::MsgBox(
            QStringLiteral("The script holds characters that an MVN5 file cannot store: %1\r\n"
                           "They will be written as \"?\". Save anyway?").arg(shown),
            Modal::vbYesNo + Modal::vbExclamation, Texts::ConfirmTitle);
        if (answer != Modal::vbYes)
            return false;
    }
    if (!ScriptFile::writeFile(path, bytes)) {
        showError(Texts::FileError);
        return false;
    }
    return true;
}

void MainWindow::readRecentEntries()
{
    m_recent = RecentList::read();
}

void MainWindow::PushRecentFile(const QString& path)
{
    m_recent = RecentList::pushed(m_recent, path);
    RecentList::write(m_recent);
}

void MainWindow::OpenArgumentProc(const QString& path)
{
    OpenScriptProc(path, OpenedFrom::CommandLine);
}

bool MainWindow::OpenScriptProc(const QString& path, OpenedFrom from)
{
    readRecentEntries();
    if (!LoadScriptFile(path))
        return false;
    // The command line's path is written to the list unless it is already
    // the newest entry, a dialog's always; a reopen from the list leaves it.
    if (from == OpenedFrom::Dialog || (from == OpenedFrom::CommandLine && path != m_recent.value(0)))
        PushRecentFile(path);
    // The command line's script stays untitled; a dialog's or the list's is
    // the file a later save without a dialog writes.
    if (from != OpenedFrom::CommandLine)
        ActualFile = path;
    Changed = 0;
    setCaption(Texts::BetaCaption + path);
    if (Recovery)
        Recovery->offerFor(path);
    return true;
}

// The initial directory of a file dialog: the stored default directory when
// its "use" flag is set and it is not empty, otherwise "".
static QString defaultDirectory(const QString& useKey, const QString& dirKey, QString& isDef,
                                QString& dir)
{
    isDef = GetSetting(Texts::App, Texts::Config, useKey, QString());
    dir = isDef.isEmpty() ? QString() : GetSetting(Texts::App, Texts::Config, dirKey, QString());
    return dir;
}

// The file dialog's title, its one file type and default extension. The
// open and save filters have always been written with and without a blank
// after the bar; the dialog reads both alike.
void MainWindow::prepareFileDialog(const QString& title, const QString& bar)
{
    const QString pattern = QStringLiteral("*.mvn5");
    CommonDialog1.FileName = QString();
    CommonDialog1.DialogTitle = title;
    CommonDialog1.DefaultExt = pattern;
    CommonDialog1.Filter = QStringLiteral("MVN5 files (%1)").arg(pattern) + bar + pattern;
}

void MainWindow::FileOpenProc()
{
    CommonDialog1.InitDir = defaultDirectory(Texts::UseDefOpen, Texts::DefaultOpen, IsDefOpen, DefaultOpen);
    WholeText = QString();
    prepareFileDialog(QStringLiteral("Open MVN5 file"), QStringLiteral("| "));
    CommonDialog1.ShowOpen();
    if (CommonDialog1.FileName.isEmpty())
        return;
    OpenScriptProc(CommonDialog1.FileName, OpenedFrom::Dialog);
}

bool MainWindow::FileSaveAsProc()
{
    readRecentEntries();
    CommonDialog1.InitDir = defaultDirectory(Texts::UseDefSave, Texts::DefaultSave, IsDefSave, DefaultSave);
    prepareFileDialog(QStringLiteral("Save MVN5 file"), QStringLiteral("|"));
    CommonDialog1.ShowSave();
    if (CommonDialog1.FileName.isEmpty())
        return false;
    const QString path = CommonDialog1.FileName;
    if (!saveTo(path))
        return false;
    Changed = 0;
    ActualFile = path;
    PushRecentFile(ActualFile);
    if (Recovery)
        Recovery->clean(path);
    return true;
}

bool MainWindow::FileSaveProc()
{
    if (!saveTo(ActualFile))
        return false;
    if (Recovery)
        Recovery->clean(ActualFile);
    return true;
}

bool MainWindow::saveTo(const QString& path)
{
    if (!WriteScriptFile(path))
        return false;
    setCaption(Texts::BetaCaption + path);
    Modal::MsgBox(QStringLiteral("Saved correctly."), Modal::vbOKOnly, QStringLiteral("Done"));
    return true;
}

void MainWindow::FileNewProc()
{
    if (GetSetting(Texts::App, Texts::Config, Texts::NewScript, QString()) != QStringLiteral("0")) {
        NewScript::ShowModal(this);
    } else {
        Text1->setText(QString());
        Text1->SetFocus();
    }
}

void MainWindow::NewCommand(bool fromKeyboard)
{
    if (Changed != 0) {
        const int answer = Modal::MsgBox(QStringLiteral("Script has been changed. Save before continue?"),
                                         Modal::vbYesNo + Modal::vbQuestion, Texts::ConfirmTitle);
        if (answer == Modal::vbYes) {
            // A save that did not happen (cancelled or failed) keeps the script.
            const bool saved = ActualFile.isEmpty() ? FileSaveAsProc() : FileSaveProc();
            if (!saved)
                return;
        }
    }
    if (fromKeyboard)
        Text1->setText(QString());
    FileNewProc();
    Changed = 0;
    ActualFile = QString();
    Text1->emptyUndoBuffer();
    setCaption(Texts::Caption + Texts::Untitled);
    if (Recovery)
        Recovery->clean(QString());
}

// ---------------------------------------------------------------- toolbar and clipboard

void MainWindow::Toolbar1_ButtonClick(const QString& key)
{
    for (const ToolbarButton& b : ToolbarButtons)
        if (key == QLatin1StringView(b.key))
            b.run(*this);
}

void MainWindow::Text2_KeyUp(int keyCode, int shift)
{
    if (keyCode < 0 || keyCode > 255 || !(shift & KeyCodes::vbCtrlMask))
        return;
    const char byte = char(keyCode);
    const QChar c = ScriptFile::decode(QByteArrayView(&byte, 1)).at(0).toUpper();
    if (c == u'N')
        NewCommand(true);
    else if (c == u'O')
        FileOpenProc();
    else if (c == u'S')
        FileSaveAsProc();
}

void MainWindow::EditCopyProc()
{
    Clipboard::SetText(Text1->SelText());
}

void MainWindow::EditCutProc()
{
    Clipboard::SetText(Text1->SelText());
    Text1->setSelText(QString());
}

void MainWindow::EditPasteProc()
{
    // Text from other programs may end its lines with LF or CR alone; each
    // becomes a line of the script.
    Text1->setSelText(ScriptText::withCrLf(Clipboard::GetText()));
}

// ---------------------------------------------------------------- other windows

void MainWindow::Recent_Click()
{
    RecentFiles::ShowModal(this);
}

void MainWindow::Command3_Click()
{
    Options::ShowModal(this);
}

void MainWindow::Command2_Click()
{
    About::ShowModal(this);
}

// ---------------------------------------------------------------- quitting

int MainWindow::QuitRequest()
{
    if (m_animating)
        return Modal::vbNo;
    const int answer = Modal::MsgBox(QStringLiteral("Do you really want to quit??"),
                                     Modal::vbYesNo + Modal::vbQuestion, Texts::App);
    if (answer == Modal::vbYes) {
        DropAnimation();
        // Unsaved changes stay in the recovery copy, which now holds them all.
        if (Recovery)
            Recovery->flush();
        FlushSettings();
        Modal::seam().endProgram();
    }
    return answer;
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    // The window never closes by itself: the frame's close asks, and a Yes
    // ends the program from the animation.
    e->ignore();
    QuitRequest();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (m_animating) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Close:
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::DropAnimation()
{
    // Frames of the drop: every step is shown on a fixed frame interval,
    // several steps a frame when there are many, so the whole drop takes
    // about two seconds on any machine.
    constexpr int FrameMs = 10;
    constexpr qsizetype Frames = 200;
    // Frames given to the window manager to restore a maximised or
    // minimised window before it falls.
    constexpr int RestoreFrames = 20;

    m_animating = true;
    qApp->installEventFilter(this);
    Desktop::FrameClock& clock = Desktop::frameClock();

    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        showNormal();
        for (int i = 0; i < RestoreFrames; ++i) {
            Desktop::processEvents();
            clock.sleep(FrameMs);
        }
    }
    const QRect frame = frameGeometry();
    const double top = double(frame.top()) * Desktop::TwipsPerPixel;
    const double left = double(frame.left()) * Desktop::TwipsPerPixel;
    const DropPlan plan = dropTrajectory(top, left, Desktop::taskBarTop(this),
                                         Desktop::screenHeightTwips(this));

    // Collapse to the title bar, 4000 twips wide with the frame. A client
    // area of height 0 would make the window system unmap the window, so
    // one pixel of it stays.
    setMinimumSize(0, 0);
    const int frameWidth = frame.width() - width();
    resize(qMax(1, Desktop::px(4000) - frameWidth), 1);

    const qsizetype count = qsizetype(plan.steps.size());
    const qsizetype perFrame = qMax<qsizetype>(1, (count + Frames - 1) / Frames);
    const qint64 start = clock.now();
    for (qsizetype i = 0; i < count; ++i) {
        const DropStep& s = plan.steps[size_t(i)];
        move(int(std::lround(s.left / Desktop::TwipsPerPixel)),
             int(std::lround(s.top / Desktop::TwipsPerPixel)));
        if ((i + 1) % perFrame != 0 && i + 1 != count)
            continue;
        // Falling and rising take pending events. The final fall takes no
        // user input (nor does the event filter let any through); the
        // window system still gets to show where the window is.
        if (s.processEvents)
            Desktop::processEvents();
        else
            Desktop::showWindowMoves();
        const qint64 due = start + (i / perFrame + 1) * FrameMs;
        clock.sleep(int(due - clock.now()));
    }
    qApp->removeEventFilter(this);
    m_animating = false;
}
