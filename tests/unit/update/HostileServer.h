// The misbehaving test web server (tests/support/hostile_server.py) for one
// test suite: its certificates, its ports, the request lines it logged.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>

class CHostileServer {
public:
    bool bStart()
    {
        const QString support = QStringLiteral(LUMICUE_SOURCE_DIR "/tests/support/");
        if (!dir.isValid() || QProcess::execute(support + "make-test-ca.sh", {dir.path()}) != 0) {
            ADD_FAILURE() << "no test certificates";
            return false;
        }
        QDir(dir.path()).mkdir("files");
        // The system's interpreter: a version manager's shim costs seconds per start.
        const QString python = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
        proc.start(python, {support + "hostile_server.py", "--log", LogPath(), "--files", FilesDir(), "--certs",
                                  dir.path(), "--lifetime", "300", "--watch-stdin"});
        if (!proc.waitForReadyRead(20000)) {
            ADD_FAILURE() << "the test server did not start: " << proc.readAllStandardError().toStdString();
            return false;
        }
        const QStringList ports = QString::fromLatin1(proc.readLine()).split(' ');
        if (ports.size() != 3)
            return false;
        nPort = ports[0].toInt();
        nTlsPort = ports[1].toInt();
        nRoguePort = ports[2].toInt();
        return nPort > 0;
    }
    ~CHostileServer()
    {
        proc.closeWriteChannel();
        if (!proc.waitForFinished(2000))
            proc.kill();
        proc.waitForFinished(2000);
    }

    QString Url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(nPort).arg(path); }
    QString TlsUrl(const QString& path, int port = 0) const
    {
        return QStringLiteral("https://127.0.0.1:%1%2").arg(port ? port : nTlsPort).arg(path);
    }
    QString CaFile() const { return dir.path() + "/ca.pem"; }
    QString FilesDir() const { return dir.path() + "/files"; }
    QString LogPath() const { return dir.path() + "/requests.log"; }
    // The request lines logged since the last call ("HTTP/1.0 GET /ok").
    QStringList TakeRequests()
    {
        QFile f(LogPath());
        QStringList lines;
        if (f.open(QIODevice::ReadOnly))
            lines = QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
        f.close();
        f.remove();
        return lines;
    }

    // Sleeps on inotify until a request was logged, for at most ms.
    bool bWaitForRequest(int ms)
    {
        const int fd = inotify_init1(IN_CLOEXEC);
        inotify_add_watch(fd, dir.path().toLocal8Bit().constData(), IN_CLOSE_WRITE);
        const auto tEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        bool bLogged = QFile::exists(LogPath());
        while (!bLogged && std::chrono::steady_clock::now() < tEnd) {
            pollfd pfd{fd, POLLIN, 0};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(tEnd - std::chrono::steady_clock::now());
            if (poll(&pfd, 1, static_cast<int>(left.count())) > 0) {
                char events[4096];
                [[maybe_unused]] ssize_t n = read(fd, events, sizeof events);
            }
            bLogged = QFile::exists(LogPath());
        }
        close(fd);
        return bLogged;
    }

    int nPort = 0;
    int nTlsPort = 0;
    int nRoguePort = 0;

private:
    QTemporaryDir dir;
    QProcess proc;
};
