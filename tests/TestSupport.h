#pragma once
#include "platform/Desktop.h"
#include "platform/FileTypeRecords.h"
#include "app/MainWindow.h"
#include "language/ScriptFile.h"
#include "platform/Modal.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// A modal seam that never opens a window: it records every request and
// answers from queued replies. A request without a queued reply fails the
// test at once instead of blocking.
class FakeModal final : public Installed<Modal::Seam> {
public:
    struct Message {
        QString prompt;
        int style = 0;
        QString title;
    };

    QList<Message> messages;
    QList<Modal::FileRequest> fileRequests;
    QList<QString> folderRequests;
    QList<QString> shellRequests;
    QList<std::pair<int, int>> lineRequests;  // (offered, largest) of each number asked for
    int endRequests = 0;

    QList<int> messageReplies;   // consumed in order; OK boxes answer 1 by themselves
    QList<QString> fileReplies;  // "" means cancelled
    QList<QString> folderReplies;
    bool shellReply = true;
    QList<int> lineReplies;  // the chosen number, 0 for Cancel
    // Runs while a message box is "open" (for instance to look at the state).
    std::function<void(const Message&)> onMessage;

    int messageBox(const QString& prompt, int style, const QString& title) override;
    QString fileDialog(const Modal::FileRequest& request) override;
    QString browseForFolder(const QString& title) override;
    bool shellOpen(const QString& target) override;
    std::optional<int> askNumber(const Modal::NumberRequest& request) override;
    void endProgram() override { ++endRequests; }
};

// A frame clock whose time moves only by the waits asked of it: animations
// run without sleeping, and their length is read off `time`.
class FakeClock final : public Installed<Desktop::FrameClock> {
public:
    qint64 time = 0;
    qint64 now() override { return time; }
    void sleep(int milliseconds) override { time += qMax(0, milliseconds); }
};

// Runs the desktop's tools to their end (at most 60 s each) before it
// returns, so that a test sees what they wrote and no tool still writes into
// a folder that the test removes. Records each command, program first.
class WaitingToolStarter final : public Installed<FileTypeRecords::ToolStarter> {
public:
    QList<QStringList> commands;
    void start(const QString& program, const QStringList& arguments) override;
};

// Gives the settings store a fresh configuration folder (XDG_CONFIG_HOME)
// and the editor a fresh state folder (XDG_STATE_HOME, "state" in the same
// place) for the lifetime of the object, so no test ever touches the user's
// own settings; the store is the file "Morvaneo/Morvaneo.conf" in it.
class TempSettings {
public:
    TempSettings();
    ~TempSettings();
    QString path() const { return m_dir.path(); }
    // Moves the configuration folder elsewhere (until the object goes).
    void moveTo(const QString& configHome);

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    QByteArray m_previousState;
};

// Makes every save write at most `limit` bytes into its temporary file and
// then fail, as a full disk would.
class FailingWriter final : public Installed<ScriptFile::PieceWriter> {
public:
    explicit FailingWriter(qint64 limit) : m_left(limit) {}
    qint64 write(QIODevice& file, const char* data, qint64 size) override;

private:
    qint64 m_left;
};

// The main window shown and active, with its own settings store and
// message boxes.
struct EditorSession {
    TempSettings settings;
    FakeModal modal;
    MainWindow w;
    EditorSession();
};

// Writes bytes into a file; returns its path.
QString writeBytes(const QString& path, const QByteArray& bytes);
QByteArray readBytes(const QString& path);
