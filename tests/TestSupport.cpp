#include "TestSupport.h"

#include "settings/SettingsStore.h"

#include <QDir>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QProcess>
#include <QStandardPaths>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace {
[[noreturn]] void unanswered(const char* what, const QString& detail)
{
    std::fprintf(stderr, "FakeModal: unanswered %s: %s\n", what, qPrintable(detail));
    std::abort();
}
}  // namespace

int FakeModal::messageBox(const QString& prompt, int style, const QString& title)
{
    messages.append({prompt, style, title});
    if (onMessage)
        onMessage(messages.constLast());
    if ((style & 0x0F) == Modal::vbOKOnly)
        return messageReplies.isEmpty() ? Modal::vbOK : messageReplies.takeFirst();
    if (messageReplies.isEmpty())
        unanswered("message box", prompt);
    return messageReplies.takeFirst();
}

QString FakeModal::fileDialog(const Modal::FileRequest& request)
{
    fileRequests.append(request);
    if (fileReplies.isEmpty())
        unanswered("file dialog", request.title);
    return fileReplies.takeFirst();
}

QString FakeModal::browseForFolder(const QString& title)
{
    folderRequests.append(title);
    if (folderReplies.isEmpty())
        unanswered("folder dialog", title);
    return folderReplies.takeFirst();
}

std::optional<int> FakeModal::askNumber(const Modal::NumberRequest& request)
{
    lineRequests.append({request.value, request.maximum});
    if (lineReplies.isEmpty())
        unanswered("number", request.title);
    const int reply = lineReplies.takeFirst();
    return reply == 0 ? std::nullopt : std::optional<int>(reply);
}

bool FakeModal::shellOpen(const QString& target)
{
    shellRequests.append(target);
    return shellReply;
}

void WaitingToolStarter::start(const QString& program, const QStringList& arguments)
{
    commands.append(QStringList(program) + arguments);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (process.waitForStarted(5000) && !process.waitForFinished(60000))
        process.kill();
    process.waitForFinished(1000);
}

TempSettings::TempSettings()
    : m_previous(qgetenv("XDG_CONFIG_HOME")), m_previousState(qgetenv("XDG_STATE_HOME"))
{
    moveTo(m_dir.path());
    // Recovery copies go with the settings: left behind by one test, they
    // are never offered to another.
    qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("state"))));
    QDir().mkpath(m_dir.filePath(QStringLiteral("Morvaneo")));
    SettingsStore::resetWriteFailure();
}

TempSettings::~TempSettings()
{
    // Writes still on their way land in this store, not in a removed one.
    FlushSettings();
    qputenv("XDG_CONFIG_HOME", m_previous);
    qputenv("XDG_STATE_HOME", m_previousState);
}

void TempSettings::moveTo(const QString& configHome)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
}

qint64 FailingWriter::write(QIODevice& file, const char* data, qint64 size)
{
    const qint64 now = qMin(size, m_left);
    if (now > 0 && file.write(data, now) != now)
        return -1;
    m_left -= now;
    return now == size ? size : -1;
}

EditorSession::EditorSession()
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    if (!QTest::qWaitForWindowActive(&w))
        qWarning("the main window did not become active");
}

QString writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return f.readAll();
}
